#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "admin/ClearShippedOrders.h"
#include "store/Database.h"

namespace {

TEST(ClearShippedOrders, WhatCountsAsShipped) {
  for (const char* s : {"已出貨", "寄郵局 2024/03/01", "寄郵局 已出貨", " 2024/03/01"})
    EXPECT_TRUE(ClearShippedOrders::isShipped(s)) << s;
  for (const char* s : {"未出貨", "寄郵局 未出貨", "", "寄郵局"}) EXPECT_FALSE(ClearShippedOrders::isShipped(s)) << s;
}

struct ClearFixture : ::testing::Test {
  Database db;
  void SetUp() override {
    add("A", "2024/02/29", "已出貨");
    add("B", "2024/03/01", "寄郵局 2024/03/02");
    add("C", "2024/03/15", "寄郵局 未出貨");
    add("D", "2024/03/31", " 2024/04/01");
    add("E", "2024/04/01", "已出貨");
    for (const char* n : {"B", "A", "C", "B", "D", "E", "D"}) {
      const int r = db.Stock.append(n);
      db.Stock.setCell(r, StockCell::LineQty, "1");
    }
    db.Manuf.append("P");
    db.Manuf.setCell(1, ManufCell::ProductStock, "7");
  }
  void add(const char* no, const char* date, const char* state) {
    const int r = db.Order.append(no);
    db.Order.setCell(r, OrderCell::OrderDate, date);
    db.Order.setCell(r, OrderCell::ShippingState, state);
  }
  QString keys(const Table& t) const {
    QString k;
    for (int r = 1; r <= t.count(); ++r) k += t.key(r);
    return k;
  }
};

TEST_F(ClearFixture, RangeTypedBackwardsClearsTheSameOrders) {
  ScriptedPrompt prompt;
  prompt.answer(Prompt::Answer::Yes);
  QString from = "2024/3/31", to = "2024-03-01";
  EXPECT_TRUE(ClearShippedOrders::run(db, prompt, false, from, to));
  EXPECT_EQ(from, "2024/03/01");
  EXPECT_EQ(to, "2024/03/31");
  EXPECT_EQ(keys(db.Order), "ACE");  // unshipped C inside, A and E outside stay
  EXPECT_EQ(keys(db.Stock), "ACE");  // B's and D's scattered lines all go
  EXPECT_EQ(db.Manuf.cell(1, ManufCell::ProductStock), "7");
  EXPECT_TRUE(db.dirty());
  EXPECT_EQ(prompt.texts(), (QStringList{"確定要清除訂單嗎？", "清除完成!"}));
  EXPECT_EQ(prompt.shown[1].icon, Prompt::Icon::Exclamation);
}

TEST_F(ClearFixture, AllShippedIgnoresTheBoxes) {
  ScriptedPrompt prompt;
  prompt.answer(Prompt::Answer::Yes);
  QString from = "not a date", to = "";
  EXPECT_TRUE(ClearShippedOrders::run(db, prompt, true, from, to));
  EXPECT_EQ(keys(db.Order), "C");
  EXPECT_EQ(keys(db.Stock), "C");
}

TEST_F(ClearFixture, RefusalsChangeNothing) {
  ScriptedPrompt prompt;
  QString from = "2024/03/01", to = "2024/13/01";
  prompt.answer(Prompt::Answer::No);
  EXPECT_FALSE(ClearShippedOrders::run(db, prompt, false, from, to));
  prompt.answer(Prompt::Answer::Yes);
  EXPECT_FALSE(ClearShippedOrders::run(db, prompt, false, from, to));
  EXPECT_EQ(prompt.shown.back().text, "不是正確的日期格式");
  EXPECT_EQ(prompt.shown.back().title, "注意");
  EXPECT_EQ(db.Order.count(), 5);
  EXPECT_FALSE(db.dirty());
  // Nothing in range: done, but the database is not marked changed.
  prompt.answer(Prompt::Answer::Yes);
  from = to = "2023/01/01";
  EXPECT_TRUE(ClearShippedOrders::run(db, prompt, false, from, to));
  EXPECT_EQ(prompt.shown.back().text, "清除完成!");
  EXPECT_EQ(db.Order.count(), 5);
  EXPECT_FALSE(db.dirty());
}

TEST_F(ClearFixture, SameDayClearsThatDayOnly) {
  EXPECT_EQ(ClearShippedOrders::clear(db, false, "2024/03/01", "2024/03/01"), 1);
  EXPECT_EQ(keys(db.Order), "ACDE");
}

}  // namespace
