// The purchase-sheet file reader: any bytes a file may hold never crash it;
// the rows come out sorted, without quotes; a sheet saved and loaded again
// is the same sheet; and booking whatever was loaded never crashes, books
// each row at most once and writes one purchase record per booked row.
#include <QByteArray>
#include <QCollator>
#include <QLocale>
#include <cstdint>
#include <cstdlib>

#include "platform/Codec.h"
#include "platform/Prompt.h"
#include "purchasing/PurchaseSheet.h"
#include "store/Database.h"

namespace {

void check(bool ok) {
  if (!ok) abort();
}

// Answers every message box (the booking reports products it cannot find).
class QuietPrompt : public Prompt {
 public:
  Answer message(const QString&, Icon, Buttons, const QString&) override { return Answer::Ok; }
  std::optional<QString> input(const QString&, const QString&, const QString&, bool) override { return {}; }
  QString openFile(const QString&, const QString&, const QString&) override { return {}; }
  QString saveFile(const QString&, const QString&, const QString&, const QString&) override { return {}; }
  QString pickFolder(const QString&, const QString&) override { return {}; }
};

Database fixture() {
  Database db;
  for (const char* name : {"許功蓋", "杯子", "A"}) {
    const int r = db.Manuf.append(QString::fromUtf8(name));
    db.Manuf.setCell(r, ManufCell::ProductCategory, QStringLiteral("文具"));
    db.Manuf.setCell(r, ManufCell::ProductCost, QStringLiteral("10"));
    db.Manuf.setCell(r, ManufCell::ProductStock, QStringLiteral("3"));
  }
  return db;
}

bool holdsCrLf(const PurchaseSheet::Loaded& l) {
  for (const QString& h : l.header)
    if (h.contains(QStringLiteral("\r\n"))) return true;
  for (const SheetRow& r : l.rows)
    for (const QString& c : r.cells())
      if (c.contains(QStringLiteral("\r\n"))) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  bool ok = true;
  const QString text = Codec::decode(bytes, &ok);
  if (!ok) return 0;  // the reader refuses such a file before the sheet is touched

  PurchaseSheet::Loaded loaded;
  if (!PurchaseSheet::parseFile(text, &loaded)) return 0;
  QCollator names(QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan));
  names.setCaseSensitivity(Qt::CaseInsensitive);
  for (size_t i = 0; i < loaded.rows.size(); ++i) {
    for (const QString& c : loaded.rows[i].cells()) check(!c.contains(u'"') && !c.contains(QChar(0x201D)));
    if (i > 0) check(names.compare(loaded.rows[i - 1].product, loaded.rows[i].product) >= 0);
  }

  // Saved and loaded again: the same sheet.
  if (!holdsCrLf(loaded)) {
    const PurchaseSheet::Header h{loaded.header.value(0), loaded.header.value(1), loaded.header.value(2)};
    PurchaseSheet::Loaded again;
    check(PurchaseSheet::parseFile(PurchaseSheet::fileText(h, loaded.rows), &again));
    check(again.header.value(0) == h.date && again.header.value(1) == h.no && again.header.value(2) == h.supplier);
    check(again.rows.size() == loaded.rows.size());
    for (size_t i = 0; i < again.rows.size(); ++i) check(again.rows[i].cells() == loaded.rows[i].cells());
  }

  // Booked onto a small product table, with and without the cost recompute.
  QuietPrompt prompt;
  for (bool recompute : {false, true}) {
    Database db = fixture();
    std::vector<SheetRow> rows = loaded.rows;
    const PurchaseSheet::BookResult res =
        PurchaseSheet::book(db, prompt, {QStringLiteral("2024/03/05"), QString(), QStringLiteral("甲")}, rows, recompute);
    check(res.ok);
    check(res.booked >= 0 && rows.size() + static_cast<size_t>(res.booked) == loaded.rows.size());
    check(db.ManufStock.count() == res.booked);
    check(db.Manuf.count() == 3);
  }
  return 0;
}
