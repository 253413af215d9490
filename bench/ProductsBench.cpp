// The product window's commands on the loaded synthetic database.
#include "BenchCase.h"

#include "products/ProductCsv.h"
#include "products/ProductOrders.h"
#include "products/ProductSearch.h"
#include "store/CsvFile.h"
#include "store/Database.h"

KESTRIN_BENCH(ProductListOrders) {
  const Table& m = ctx.db.Manuf;
  std::vector<std::pair<QString, QString>> chosen;
  const int step = std::max(1, m.count() / 20);
  for (int r = 1; r <= m.count() && chosen.size() < 20; r += step)
    chosen.emplace_back(m.key(r), m.cell(r, ManufCell::ProductCategory));
  size_t listed = 0;
  const double ms = ctx.bestMs([&] {
    listed = ProductOrders::list(ctx.db, chosen, ProductOrders::ShipChoice::All, true).rows.size();
  });
  ctx.report(QStringLiteral("列出訂單, 20 products over %1 lines (%2 orders listed)").arg(ctx.db.Stock.count()).arg(listed),
             ms, ctx.scanMs, QStringLiteral("one pass over Order"), 100);
  const double join = ctx.bestMs([&] { (void)ProductOrders::orderRows(ctx.db, chosen, ProductOrders::ShipChoice::All); });
  ctx.report(QStringLiteral("列出訂單, the join alone"), join, ctx.scanMs, QStringLiteral("one pass over Order"));
  // What OrderList::listOrders adds, with and without the customers' names.
  const std::vector<int> rows = ProductOrders::orderRows(ctx.db, chosen, ProductOrders::ShipChoice::All);
  const double named = ctx.bestMs([&] { (void)OrderList::listOrders(ctx.db, rows, true); });
  ctx.report(QStringLiteral("列出訂單, OrderList::listOrders with names"), named, ctx.scanMs,
             QStringLiteral("one pass over Order"));
  const double plain = ctx.bestMs([&] { (void)OrderList::listOrders(ctx.db, rows, false); });
  ctx.report(QStringLiteral("列出訂單, OrderList::listOrders without names"), plain, ctx.scanMs,
             QStringLiteral("one pass over Order"));
}

KESTRIN_BENCH(ProductSearch) {
  ProductList::Options o;
  size_t found = 0;
  const double ms = ctx.bestMs([&] { found = ProductSearch::run(ctx.db, QStringLiteral("手工 杯"), o, true).listing.rows.size(); });
  ctx.report(QStringLiteral("product search, two keywords over %1 products (%2 found)").arg(ctx.db.Manuf.count()).arg(found),
             ms, ctx.scanMs, QStringLiteral("one pass over Order"), 50);
  // A keyword found nowhere reads every name and every note.
  const double none = ctx.bestMs([&] { (void)ProductSearch::run(ctx.db, QStringLiteral("nothing"), o, false); });
  ctx.report(QStringLiteral("product search, no match over %1 products").arg(ctx.db.Manuf.count()), none, ctx.scanMs,
             QStringLiteral("one pass over Order"), 50);
}

KESTRIN_BENCH(ProductCsvRoundTrip) {
  std::vector<int> rows;
  for (int r = 1; r <= ctx.db.Manuf.count(); ++r) rows.push_back(r);
  const QString path = ctx.workDir + QStringLiteral("products.csv");
  bool ok = true;
  const double ms = ctx.bestMs([&] {
    ok = Csv::writeFile(path, ProductCsv::productText(ctx.db, rows)) && ok;
    QString text;
    ok = Csv::readFile(path, &text) == Csv::ReadStatus::Ok && ok;
    Database back;
    back.Manuf = ctx.db.Manuf;
    ProductCsv::importProducts(back, text, true);
  });
  ctx.report(QStringLiteral("product CSV export and re-import, %1 products%2").arg(rows.size()).arg(ok ? "" : " FAILED"), ms,
             ctx.scanMs, QStringLiteral("one pass over Order"), 300);
}
