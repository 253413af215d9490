#include "purchasing/PurchaseSheet.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <exception>
#include <memory>

#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "purchasing/PurchaseCost.h"
#include "purchasing/PurchaseRecords.h"
#include "store/CsvFile.h"
#include "store/Database.h"
#include "store/SharedRoutines.h"
#include "store/TextEntry.h"

namespace PurchaseSheet {

namespace {

const QCollator& collator() {
  static const QCollator c = [] {
    QCollator k(QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan));
    k.setCaseSensitivity(Qt::CaseInsensitive);
    return k;
  }();
  return c;
}

}  // namespace

int sortedPlace(const std::vector<SheetRow>& rows, const QString& product) {
  int pos = static_cast<int>(rows.size());
  while (pos > 0 && collator().compare(rows[static_cast<size_t>(pos - 1)].product, product) < 0) --pos;
  return pos;
}

int insert(std::vector<SheetRow>& rows, const SheetRow& row) {
  const int pos = sortedPlace(rows, row.product);
  rows.insert(rows.begin() + pos, row);
  return pos;
}

SheetRow fromProduct(const Database& db, int r) {
  const Table& m = db.Manuf;
  SheetRow row;
  row.product = m.cell(r, ManufCell::ProductName);
  row.category = m.cell(r, ManufCell::ProductCategory);
  row.amount = m.cell(r, ManufCell::ProductCost);
  row.qty = QStringLiteral("1");
  row.index = QString::number(r);
  return row;
}

Decimal total(const std::vector<SheetRow>& rows) {
  Decimal sum;
  for (const SheetRow& r : rows) sum += Decimal::leading(r.amount) * Decimal::leading(r.qty);
  return sum;
}

Decimal total(const std::vector<SheetRow>& rows, const std::vector<int>& positions) {
  Decimal sum;
  for (int p : positions)
    if (p >= 0 && p < static_cast<int>(rows.size())) {
      const SheetRow& r = rows[static_cast<size_t>(p)];
      sum += Decimal::leading(r.amount) * Decimal::leading(r.qty);
    }
  return sum;
}

BookResult book(Database& db, Prompt& prompt, const Header& header, std::vector<SheetRow>& rows, bool recompute,
                const std::function<void(int)>& beforeRow) {
  BookResult res;
  Table& m = db.Manuf;
  std::unique_ptr<ProductIndex> index;  // built at the first row that needs it
  std::vector<char> booked(rows.size(), 0);
  const int digits = db.moneyDigits();
  try {
    for (size_t i = 0; i < rows.size(); ++i) {
      if (beforeRow) beforeRow(static_cast<int>(i));
      const SheetRow& row = rows[i];
      const double stored = Num::leading(row.index);
      int r = 0;
      if (stored >= 1 && stored <= m.count() && stored == static_cast<int>(stored) &&
          m.cell(static_cast<int>(stored), ManufCell::ProductName) == row.product &&
          m.cell(static_cast<int>(stored), ManufCell::ProductCategory) == row.category) {
        r = static_cast<int>(stored);
      } else if (stored >= 0) {
        if (!index) index = std::make_unique<ProductIndex>(m);
        r = index->find(row.product, row.category);
      }
      if (r <= 0) {
        prompt.message(QStringLiteral("找不到 ") + row.product + QStringLiteral(" 商品資料，將略過此筆商品!"));
        continue;
      }
      const double q = Num::leading(row.qty);
      const double a = Num::leading(row.amount);
      const double s = Num::leading(m.cell(r, ManufCell::ProductStock));
      const auto moved = PurchaseCost::afterSheetRow(Num::leading(m.cell(r, ManufCell::ProductCost)), s, q, a, digits);
      if (recompute) m.setCell(r, ManufCell::ProductCost, Num::format(moved.cost));
      m.setCell(r, ManufCell::ProductStock, Num::format(moved.stock));

      PurchaseRecord rec;
      rec.date = header.date;
      rec.product = row.product;
      rec.kind = PurchaseRecords::kPurchase;
      rec.qty = Num::format(q);
      rec.supplier = header.supplier;
      rec.no = row.no;
      rec.amount = Num::format(a);
      rec.note = row.note;
      PurchaseRecords::append(db, rec);
      db.setDirty(true);
      booked[i] = 1;
      ++res.booked;
    }
  } catch (const std::exception&) {
    res.ok = false;
  }
  // Booked rows leave the sheet, so booking again never books them twice.
  std::vector<SheetRow> rest;
  rest.reserve(rows.size() - static_cast<size_t>(res.booked));
  for (size_t i = 0; i < rows.size(); ++i)
    if (!booked[i]) rest.push_back(std::move(rows[i]));
  rows = std::move(rest);
  return res;
}

QString fileText(const Header& h, const std::vector<SheetRow>& rows) {
  QString out = Csv::record({TextEntry::withoutCrLf(h.date), TextEntry::withoutCrLf(h.no), TextEntry::withoutCrLf(h.supplier)}) +
                QStringLiteral("\r\n");
  for (const SheetRow& r : rows) {
    QStringList fields = r.cells();
    for (QString& f : fields) f = TextEntry::withoutCrLf(f);
    out += Csv::record(fields) + QStringLiteral("\r\n");
  }
  return out;
}

bool parseFile(const QString& text, Loaded* out) {
  const std::vector<QStringList> records = Csv::parse(text);
  if (records.empty()) return false;
  out->header = records.front();
  out->rows.clear();
  for (size_t i = 1; i < records.size(); ++i) {
    const QStringList& f = records[i];
    if (f.size() == 1 && f.front().isEmpty()) continue;  // an empty line
    SheetRow row;
    QString* cells[] = {&row.product, &row.category, &row.amount, &row.qty, &row.no, &row.note, &row.index};
    for (int k = 0; k < 7 && k < f.size(); ++k) *cells[k] = TextEntry::clean(f[k]);
    out->rows.push_back(std::move(row));
  }
  // Greatest name first; rows of one name keep the file's order.
  std::stable_sort(out->rows.begin(), out->rows.end(), [](const SheetRow& a, const SheetRow& b) {
    return collator().compare(a.product, b.product) > 0;
  });
  return true;
}

}  // namespace PurchaseSheet
