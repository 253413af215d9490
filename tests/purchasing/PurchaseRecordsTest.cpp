#include <gtest/gtest.h>

#include "PurchaseFixture.h"

namespace {

QStringList dates(const PurchaseRecords::Listing& l) {
  QStringList out;
  for (const QStringList& row : l.rows) out << row[PurchaseRecords::Column::Date];
  return out;
}

}  // namespace

TEST(PurchaseRecords, EditMovesStockFromTheOldProductToTheNewOne) {
  Database db;
  const int a = addProduct(db, {"杯子", "廚房", "100", "60", "30"});
  const int b = addProduct(db, {"盤子", "廚房", "100", "100", "10"});
  const int row = addRecord(db, {"2024/01/02", "杯子", "進貨", "10", "廠商1", "P1", "50", ""});
  db.ManufStock.setCell(row, ManufStockCell::PurchaseSpare2, "keep");

  PurchaseRecord rec = PurchaseRecords::read(db, row);
  rec.product = "盤子";
  rec.qty = "12";
  PurchaseRecords::edit(db, row, rec, true, 2);
  // The cup loses the 10 it was booked with: (1800 - 500) / 20.
  EXPECT_EQ(stockOf(db, a), "20");
  EXPECT_EQ(costOf(db, a), "65");
  // The plate takes the 12: (1000 + 600) / 22.
  EXPECT_EQ(stockOf(db, b), "22");
  EXPECT_EQ(costOf(db, b), "72.73");
  EXPECT_EQ(db.ManufStock.cell(row, ManufStockCell::PurchaseProduct), "盤子");
  EXPECT_EQ(db.ManufStock.cell(row, ManufStockCell::PurchaseSpare2), "keep");

  // Without the recompute only the record changes.
  rec.qty = "1";
  PurchaseRecords::edit(db, row, rec, false, 2);
  EXPECT_EQ(stockOf(db, b), "22");
  EXPECT_EQ(db.ManufStock.cell(row, ManufStockCell::PurchaseQty), "1");

  // A record of a product that is not listed is still rewritten.
  rec.product = "不明";
  PurchaseRecords::edit(db, row, rec, true, 2);
  EXPECT_EQ(db.ManufStock.cell(row, ManufStockCell::PurchaseProduct), "不明");
  EXPECT_EQ(stockOf(db, b), "21");  // the plate gave its 1 back
}

TEST(PurchaseRecords, DeleteTakesRecordsBackInOrderAndRemovesThemTogether) {
  Database db;
  addProduct(db, {"別的", "雜", "1", "1", "1"});
  const int p = addProduct(db, {"杯子", "廚房", "100", "30", "15"});
  addProduct(db, {"杯子", "其他", "100", "999", "999"});  // same name, later row: untouched
  addRecord(db, {"2024/01/01", "杯子", "進貨", "5", "廠商1", "", "20", "a"});
  addRecord(db, {"2024/01/02", "杯子", "進貨", "1", "廠商1", "", "1", "b"});
  addRecord(db, {"2024/01/03", "杯子", "退貨", "2", "廠商1", "", "30", "c"});
  addRecord(db, {"2024/01/04", "不明", "進貨", "3", "廠商1", "", "5", "d"});

  PurchaseRecords::remove(db, {1, 3, 4}, true);
  // (450 - 100) / 10 = 35, then the return comes back: (350 + 60) / 12.
  EXPECT_EQ(stockOf(db, p), "12");
  EXPECT_EQ(costOf(db, p), "34.1666666666667");
  EXPECT_EQ(stockOf(db, 3), "999");
  ASSERT_EQ(db.ManufStock.count(), 1);
  EXPECT_EQ(db.ManufStock.cell(1, ManufStockCell::PurchaseNote), "b");
  EXPECT_EQ(db.ManufStock.key(1), "2024/01/02");  // no date rewritten

  // A record whose quantity is the whole stock leaves the cost; without
  // the recompute no product changes.
  db.Manuf.setCell(p, ManufCell::ProductStock, "1");
  PurchaseRecords::remove(db, {1}, true);
  EXPECT_EQ(stockOf(db, p), "0");
  EXPECT_EQ(costOf(db, p), "34.1666666666667");
  addRecord(db, {"2024/01/05", "杯子", "進貨", "4", "廠商1", "", "5", ""});
  PurchaseRecords::remove(db, {1}, false);
  EXPECT_EQ(stockOf(db, p), "0");
  EXPECT_TRUE(db.ManufStock.isEmpty());
}

TEST(PurchaseRecords, ListFiltersSortsAndTotals) {
  Database db;
  addRecord(db, {"2024/03/05", "杯子", "進貨", "10", "甲", "AB-01", "5", ""});
  addRecord(db, {"2023/12/31", "杯子", "進貨", "2", "甲", "xab", "7.5", ""});
  addRecord(db, {"2024/12/01", "杯子", "退貨", "1", "甲", "a-b", "5", ""});
  addRecord(db, {"2024/3/5", "杯子", "進貨", "1", "乙", "", "0.1", ""});
  addRecord(db, {"2024/03/25", "杯子 ", "進貨", "1", "甲", "", "1", ""});
  addRecord(db, {"2024-03-06", "杯子", "進貨", "1", "甲", "", "", ""});

  PurchaseRecords::Filter f;
  f.product = "杯子";
  auto l = PurchaseRecords::list(db, f);
  EXPECT_EQ(dates(l), QStringList({"2024/3/5", "2024/12/01", "2024/03/05", "2024-03-06", "2023/12/31"}));
  EXPECT_EQ(l.rows[1][PurchaseRecords::Column::Index], "3");
  EXPECT_EQ(l.rows[1][PurchaseRecords::Column::Amount], "5");  // amount before quantity
  EXPECT_EQ(l.rows[1][PurchaseRecords::Column::Qty], "1");

  f.supplier = "甲";
  l = PurchaseRecords::list(db, f);
  EXPECT_EQ(l.moneyText(), "進貨總金額: 65，退貨總金額: 5");
  EXPECT_EQ(l.countText(), " 共 4 筆記錄");

  struct Case {
    const char* supplier;
    int period;
    const char* year;
    QStringList expected;
  } cases[] = {
      {"全部", 1, "2024", {"2024/3/5", "2024/12/01", "2024/03/05", "2024-03-06"}},
      {"全部", 1, " 2024", {}},                            // the year text as typed
      {"全部", 4, " 2024", {"2024/3/5", "2024/03/05"}},     // months compare numbers
      {"全部", 13, "2024", {"2024/12/01"}},
      {"乙", 0, "", {"2024/3/5"}},
  };
  for (const Case& c : cases) {
    PurchaseRecords::Filter g;
    g.product = "杯子";
    g.supplier = c.supplier;
    g.period = c.period;
    g.year = c.year;
    EXPECT_EQ(dates(PurchaseRecords::list(db, g)), c.expected) << c.period << c.year;
  }
  f = {};
  f.allProducts = true;
  l = PurchaseRecords::list(db, f);
  EXPECT_EQ(l.rows.size(), 6u);
  EXPECT_EQ(l.moneyText(), "進貨總金額: 66.1，退貨總金額: 5");  // exact sums, the empty amount counts 0

  // The purchase-order search ignores case, product and period.
  l = PurchaseRecords::search(db, "全部", "ab");
  EXPECT_EQ(dates(l), QStringList({"2024/03/05", "2023/12/31"}));
  EXPECT_EQ(l.moneyText(), "進貨總金額: 65");
  EXPECT_TRUE(PurchaseRecords::search(db, "乙", "AB").rows.empty());
  // A record with empty quantity and amount is listed like any other.
  addRecord(db, {"2020/01/01", "碗", "進貨", "", "甲", "zz-1", "", ""});
  l = PurchaseRecords::search(db, "甲", "ZZ");
  ASSERT_EQ(l.rows.size(), 1u);
  EXPECT_EQ(l.moneyText(), "進貨總金額: 0");
}

// Records of one date stay in table order under the latest date first,
// however many share it.
TEST(PurchaseRecords, ListKeepsTableOrderWithinADate) {
  Database db;
  const char* dates[] = {"2024/01/02", "2024/01/03", "2024/01/02", "2024/01/03", "2024/01/02", "2023/12/31"};
  for (int i = 0; i < 6; ++i) addRecord(db, {dates[i], "杯子", "進貨", "1", "甲", "", "1", ""});
  PurchaseRecords::Filter f;
  f.allProducts = true;
  QStringList indexes;
  for (const auto& row : PurchaseRecords::list(db, f).rows) indexes << row[PurchaseRecords::Column::Index];
  EXPECT_EQ(indexes, QStringList({"2", "4", "1", "3", "5", "6"}));
}
