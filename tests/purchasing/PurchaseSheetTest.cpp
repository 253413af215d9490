#include <gtest/gtest.h>

#include <stdexcept>

#include "PurchaseFixture.h"
#include "ScriptedPrompt.h"
#include "purchasing/PurchaseSheet.h"

namespace {

SheetRow row(const char* product, const char* category, const char* amount, const char* qty, const char* index,
             const char* no = "", const char* note = "") {
  return SheetRow{product, category, amount, qty, no, note, index};
}

QStringList products(const std::vector<SheetRow>& rows) {
  QStringList out;
  for (const SheetRow& r : rows) out << r.product;
  return out;
}

}  // namespace

TEST(PurchaseSheet, BookingFailingAtTheThirdRowBooksTheFirstTwoOnce) {
  Database db;
  for (const char* name : {"丁", "丙", "乙", "甲"}) addProduct(db, {name, "類", "10", "5", "0"});
  std::vector<SheetRow> rows = {row("丁", "類", "5", "1", "1"), row("丙", "類", "5", "2", "2"),
                                row("乙", "類", "5", "3", "3"), row("甲", "類", "5", "4", "4")};
  ScriptedPrompt prompt;
  const PurchaseSheet::Header header{"2024/05/01", "", "廠商1"};
  auto failAtThird = [](int position) {
    if (position == 2) throw std::runtime_error("disk gone");
  };
  auto res = PurchaseSheet::book(db, prompt, header, rows, false, failAtThird);
  EXPECT_FALSE(res.ok);
  EXPECT_EQ(res.booked, 2);
  EXPECT_TRUE(db.dirty());
  EXPECT_EQ(products(rows), QStringList({"乙", "甲"}));
  EXPECT_EQ(db.ManufStock.count(), 2);
  EXPECT_EQ(stockOf(db, 1), "1");
  EXPECT_EQ(stockOf(db, 3), "0");

  // The retry books what is left, and nothing twice.
  res = PurchaseSheet::book(db, prompt, header, rows, false);
  EXPECT_TRUE(res.ok);
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(db.ManufStock.count(), 4);
  EXPECT_EQ(stockOf(db, 1), "1");
  EXPECT_EQ(stockOf(db, 2), "2");
  EXPECT_EQ(stockOf(db, 3), "3");
  EXPECT_EQ(stockOf(db, 4), "4");
  EXPECT_TRUE(prompt.shown.empty());
}

TEST(PurchaseSheet, BookingFindsProductsAndWritesRecords) {
  Database db;
  addProduct(db, {"別的", "類", "1", "1", "1"});
  const int cup = addProduct(db, {"杯子", "廚房", "100", "100", "10"});
  std::vector<SheetRow> rows = {
      row("杯子", "廚房", "120", "10", "2", "A-1", "第一批"),
      row("杯子", "廚房", "90元", "5", "1"),     // stale row number: found by name and category
      row("杯子", "客廳", "1", "1", "2"),        // category changed: not found
      row("杯子", "廚房", "1", "1", "-1"),       // a negative row number is never looked up
      row("盤子", "廚房", "1", "1", "99"),
  };
  ScriptedPrompt prompt;
  const auto res = PurchaseSheet::book(db, prompt, {"2024/5/1", "SHEET", "甲"}, rows, true);
  EXPECT_TRUE(res.ok);
  EXPECT_EQ(res.booked, 2);
  EXPECT_EQ(prompt.texts(), QStringList({"找不到 杯子 商品資料，將略過此筆商品!", "找不到 杯子 商品資料，將略過此筆商品!",
                                         "找不到 盤子 商品資料，將略過此筆商品!"}));
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::None);
  EXPECT_EQ(stockOf(db, cup), "25");
  EXPECT_EQ(costOf(db, cup), "106");
  ASSERT_EQ(db.ManufStock.count(), 2);
  const PurchaseRecord first = PurchaseRecords::read(db, 1);
  EXPECT_EQ(first.date, "2024/5/1");
  EXPECT_EQ(first.kind, "進貨");
  EXPECT_EQ(first.supplier, "甲");
  EXPECT_EQ(first.no, "A-1");  // the row's own number, not the sheet's
  EXPECT_EQ(first.note, "第一批");
  EXPECT_EQ(PurchaseRecords::read(db, 2).amount, "90");  // the amount's leading number

  // Without the recompute the cost stays.
  std::vector<SheetRow> more = {row("杯子", "廚房", "500", "5", "2")};
  PurchaseSheet::book(db, prompt, {}, more, false);
  EXPECT_EQ(costOf(db, cup), "106");
  EXPECT_EQ(stockOf(db, cup), "30");
}

TEST(PurchaseSheet, RowsSortAndTotal) {
  std::vector<SheetRow> rows;
  for (const char* name : {"b", "C", "a", "b"}) PurchaseSheet::insert(rows, row(name, "", "1", "1", "0", name));
  EXPECT_EQ(products(rows), QStringList({"C", "b", "b", "a"}));
  rows = {row("a", "", "10", "2", ""), row("b", "", "5", "3", ""), row("c", "", "7", "1", "")};
  EXPECT_EQ(PurchaseSheet::total(rows).toText(), "42");
  EXPECT_EQ(PurchaseSheet::total(rows, {0, 1}).toText(), "35");
  EXPECT_EQ(PurchaseSheet::total({}).toText(), "0");
}

TEST(PurchaseSheet, FileRoundTripKeepsCommasAndDropsLineBreaks) {
  const PurchaseSheet::Header header{"2024/05/01", "P,1", "甲"};
  std::vector<SheetRow> rows = {row("杯子", "廚房", "10", "2", "3", "A", "備註,有逗號"),
                                row("碗", "廚房", "5", "1", "4", "", "兩\r\n行")};
  const QString text = PurchaseSheet::fileText(header, rows);
  EXPECT_EQ(text, "2024/05/01,\"P,1\",甲\r\n杯子,廚房,10,2,A,\"備註,有逗號\",3\r\n碗,廚房,5,1,,兩行,4\r\n");
  PurchaseSheet::Loaded loaded;
  ASSERT_TRUE(PurchaseSheet::parseFile(text, &loaded));
  EXPECT_EQ(loaded.header, QStringList({"2024/05/01", "P,1", "甲"}));
  ASSERT_EQ(loaded.rows.size(), 2u);
  EXPECT_EQ(loaded.rows[0].cells(), QStringList({"碗", "廚房", "5", "1", "", "兩行", "4"}));  // greatest first
  EXPECT_EQ(loaded.rows[1].note, "備註,有逗號");
  EXPECT_EQ(loaded.rows[1].index, "3");

  // Short lines leave cells empty, empty lines add nothing, quotes go.
  ASSERT_TRUE(PurchaseSheet::parseFile("d\r\n\r\n杯”子,廚\"房\r\n", &loaded));
  EXPECT_EQ(loaded.header, QStringList({"d"}));
  ASSERT_EQ(loaded.rows.size(), 1u);
  EXPECT_EQ(loaded.rows[0].cells(), QStringList({"杯子", "廚房", "", "", "", "", ""}));
  EXPECT_FALSE(PurchaseSheet::parseFile("", &loaded));
}
