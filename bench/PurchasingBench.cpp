// Purchasing: the purchase records window filled with every record, and the
// booking of a full purchase sheet.
#include <QComboBox>
#include <QElapsedTimer>
#include <QRadioButton>
#include <algorithm>

#include "BenchCase.h"
#include "platform/ListView.h"
#include "purchasing/ManufStock.h"
#include "purchasing/PurchaseSheet.h"
#include "store/Database.h"

KESTRIN_BENCH(PurchaseRecordsWindow) {
  ManufStock w(ctx.db, ctx.prompt);
  w.openFor(ctx.db.Manuf.key(1));
  w.allProductsOption->setChecked(true);  // every product, every supplier, every date
  const double ms = ctx.bestMs([&] { w.ManufStockShow(); });
  ctx.report(QStringLiteral("purchase records window, %1 records").arg(w.recordList->rowCount()), ms, ctx.scanMs,
             QStringLiteral("one pass over Order"), 100);
}

KESTRIN_BENCH(PurchaseSheetBooking) {
  // 500 rows, half of them with a row number that no longer holds the
  // product (found by name and category).
  const int products = ctx.db.Manuf.count();
  std::vector<SheetRow> sheet;
  for (int i = 0; i < 500; ++i) {
    const int r = 1 + (i * 37) % products;
    SheetRow row = PurchaseSheet::fromProduct(ctx.db, r);
    row.qty = QStringLiteral("3");
    if (i % 2) row.index = QString::number(1 + (r % products));
    PurchaseSheet::insert(sheet, row);
  }
  double ms = 1e300;
  for (int k = 0; k < std::max(1, ctx.repeat); ++k) {
    Database copy = ctx.db;
    std::vector<SheetRow> rows = sheet;
    QElapsedTimer t;
    t.start();
    (void)PurchaseSheet::book(copy, ctx.prompt, {QStringLiteral("2026/01/01"), {}, QStringLiteral("廠商1")}, rows, true);
    ms = std::min(ms, t.nsecsElapsed() / 1e6);
  }
  ctx.report(QStringLiteral("purchase sheet booking, 500 rows"), ms, ctx.scanMs, QStringLiteral("one pass over Order"),
             100);
}

