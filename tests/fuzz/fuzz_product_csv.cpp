// The product and picture-path CSV importers: any bytes a file may hold
// never crash them, a file that does not decode changes nothing, every
// picture row left has its product, every new product has one purchase
// record, and what was imported exports and imports again unchanged.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "platform/Codec.h"
#include "products/ProductCsv.h"
#include "store/Database.h"

namespace {

void check(bool ok) {
  if (!ok) abort();
}

Database fixture() {
  Database db;
  db.DataBasePath = QStringLiteral("/data/shop/");
  const int r = db.Manuf.append(QStringLiteral("戒指"));
  db.Manuf.setCell(r, ManufCell::ProductCategory, QStringLiteral("飾品"));
  const int i = db.Images.append(QStringLiteral("戒指"));
  db.Images.setCell(i, ImagesCell::ImageCategory, QStringLiteral("飾品"));
  return db;
}

bool holdsCrLf(const Table& t) {
  for (int r = 1; r <= t.count(); ++r)
    for (int c = 0; c <= t.cellCount(); ++c)
      if (t.cell(r, c).contains(QStringLiteral("\r\n"))) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  bool ok = true;
  const QString text = Codec::decode(bytes, &ok);
  if (!ok) return 0;  // the reader refuses such a file before any table is touched

  for (bool replace : {false, true}) {
    Database db = fixture();
    const auto counts = ProductCsv::importProducts(db, text, replace);
    check(db.Manuf.count() == 1 + counts.added);
    check(db.ManufStock.count() == counts.added);
    for (int r = 2; r <= db.Manuf.count(); ++r)
      check(!db.Manuf.key(r).isEmpty() && !db.Manuf.cell(r, ManufCell::ProductCategory).isEmpty());
    if (!replace) check(db.Manuf.cell(1, ManufCell::ProductPrice).isEmpty());

    ProductCsv::importPicturePaths(db, text);
    for (int r = 1; r <= db.Images.count(); ++r) {
      bool found = false;
      for (int m = 1; m <= db.Manuf.count() && !found; ++m)
        found = db.Manuf.key(m) == db.Images.key(r) &&
                db.Manuf.cell(m, ManufCell::ProductCategory) == db.Images.cell(r, ImagesCell::ImageCategory);
      check(found);
    }
  }

  // What a file brought comes back whole through an export and an import.
  Database first;
  ProductCsv::importProducts(first, text, true);
  if (!holdsCrLf(first.Manuf)) {
    std::vector<int> rows;
    for (int r = 1; r <= first.Manuf.count(); ++r) rows.push_back(r);
    Database again;
    ProductCsv::importProducts(again, ProductCsv::productText(first, rows), false);
    check(again.Manuf == first.Manuf);
  }
  return 0;
}
