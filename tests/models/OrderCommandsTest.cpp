#include <gtest/gtest.h>

#include <climits>

#include "ScriptedPrompt.h"
#include "models/OrderCommands.h"
#include "platform/SettingsStore.h"
#include "store/Database.h"
#include "store/SharedRoutines.h"

namespace {

void addOrder(Database& db, const QString& number) { db.Order.append(number); }

void addLine(Database& db, const QString& number, const QString& name, const QString& qty) {
  const int r = db.Stock.append(number);
  db.Stock.setCell(r, StockCell::LineName, name);
  db.Stock.setCell(r, StockCell::LineCategory, "c");
  db.Stock.setCell(r, StockCell::LineQty, qty);
}

int addProduct(Database& db, const QString& name, const QString& stock) {
  const int r = db.Manuf.append(name);
  db.Manuf.setCell(r, ManufCell::ProductCategory, "c");
  db.Manuf.setCell(r, ManufCell::ProductStock, stock);
  return r;
}

TEST(OrderCommands, NumberFormat) {
  EXPECT_EQ(OrderNumberText("2612", 1), "2612000001");
  EXPECT_EQ(OrderNumberText("2612", 42), "2612000042");
  EXPECT_EQ(OrderNumberText("2612", 1000000), "26121000000");
}

TEST(OrderCommands, NextNumberSkipsTakenNumbersAndStaysAdvanced) {
  Database db;
  db.NumStr = "2612";
  db.num = 1;
  for (const char* n : {"2612000001", "2612000002", "2612000003", "2612000005"}) addOrder(db, n);
  const QDate dec(2026, 12, 20);
  EXPECT_EQ(OrderCommands::nextOrderNumber(db, dec), "2612000004");
  EXPECT_EQ(db.num, 4);
  // A cancelled editor saved nothing: the same number comes again.
  EXPECT_EQ(OrderCommands::nextOrderNumber(db, dec), "2612000004");
  db.num = 5;  // a save of 2612000004 raised it
  addOrder(db, "2612000004");
  EXPECT_EQ(OrderCommands::nextOrderNumber(db, dec), "2612000006");
}

TEST(OrderCommands, NewMonthRestartsTheCounter) {
  Database db;
  db.NumStr = "2611";
  db.num = 57;
  addOrder(db, "2612000001");  // already taken in the new month
  EXPECT_EQ(OrderCommands::nextOrderNumber(db, QDate(2026, 12, 1)), "2612000002");
  EXPECT_EQ(db.NumStr, "2612");
  EXPECT_EQ(db.num, 2);
}

TEST(OrderCommands, CounterAtItsEndFails) {
  Database db;
  db.NumStr = "2612";
  db.num = INT_MAX;
  addOrder(db, OrderNumberText("2612", INT_MAX));
  EXPECT_FALSE(OrderCommands::nextOrderNumber(db, QDate(2026, 12, 1)));
}

TEST(OrderCommands, NewOrderDefaults) {
  Database db;
  SettingsStore::setBool("OrderInput", "Set_1", true);
  SettingsStore::remove("OrderInput", "Set_1_Value");
  SettingsStore::setBool("OrderInput", "Set_2", false);
  SettingsStore::set("OrderInput", "Set_2_Value", "寄郵局");
  SettingsStore::set("OrderInput", "Set_6_Value", "謝謝");
  auto n = OrderCommands::prepareNewOrder(db, QDate(2026, 12, 3));
  ASSERT_TRUE(n);
  EXPECT_EQ(n->number, "2612000001");
  EXPECT_EQ(n->date, "2026/12/03");
  EXPECT_EQ(n->fee, "");  // Set_1 on without a remembered fee
  EXPECT_FALSE(n->setMethod);
  EXPECT_EQ(n->note, "謝謝");
  SettingsStore::setBool("OrderInput", "Set_1", false);
  SettingsStore::setBool("OrderInput", "Set_2", true);
  n = OrderCommands::prepareNewOrder(db, QDate(2026, 12, 3));
  EXPECT_EQ(n->fee, "0");
  EXPECT_TRUE(n->setMethod);
  EXPECT_EQ(n->method, "寄郵局");
  SettingsStore::remove("OrderInput", "Set_2");
  SettingsStore::remove("OrderInput", "Set_6_Value");
}

struct DeleteFixture : ::testing::Test {
  Database db;
  int a = 0, b = 0;
  void SetUp() override {
    a = addProduct(db, "A", "10");
    addProduct(db, "A", "100");  // a duplicate further down gets nothing
    b = addProduct(db, "B", "1.5");
    addOrder(db, "O1");
    addOrder(db, "O2");
    addOrder(db, "O3");
    addLine(db, "O1", "A", "1");
    addLine(db, "O2", "A", "2");
    addLine(db, "O3", "B", "1");
    addLine(db, "O2", "B", "2");      // a stray line of O2 apart from its run
    addLine(db, "O2", "gone", "5");  // its product no longer exists
  }
  QStringList keys(const Table& t) const {
    QStringList k;
    for (int r = 1; r <= t.count(); ++r) k << t.key(r);
    return k;
  }
};

TEST_F(DeleteFixture, DeleteWithGiveBack) {
  ScriptedPrompt prompt;
  prompt.answer(Prompt::Answer::Yes).answer(Prompt::Answer::Yes);
  EXPECT_TRUE(OrderCommands::deleteSelectedOrders(db, prompt, 3, {2, 2}));
  EXPECT_EQ(prompt.texts(), (QStringList{OrderCommands::DeleteQuestion, OrderCommands::GiveBackQuestion}));
  EXPECT_EQ(prompt.shown[0].title, "刪除");
  EXPECT_EQ(prompt.shown[1].icon, Prompt::Icon::Exclamation);
  EXPECT_EQ(keys(db.Order), (QStringList{"O1", "O3"}));
  EXPECT_EQ(keys(db.Stock), (QStringList{"O1", "O3"}));
  EXPECT_EQ(db.Manuf.cell(a, ManufCell::ProductStock), "12");
  EXPECT_EQ(db.Manuf.cell(2, ManufCell::ProductStock), "100");
  EXPECT_EQ(db.Manuf.cell(b, ManufCell::ProductStock), "3.5");
  EXPECT_TRUE(db.dirty());
}

TEST_F(DeleteFixture, DeleteWithoutGiveBack) {
  ScriptedPrompt prompt;
  prompt.answer(Prompt::Answer::Yes).answer(Prompt::Answer::No);
  EXPECT_TRUE(OrderCommands::deleteSelectedOrders(db, prompt, 3, {1, 3}));
  EXPECT_EQ(keys(db.Order), (QStringList{"O2"}));
  EXPECT_EQ(keys(db.Stock), (QStringList{"O2", "O2", "O2"}));
  EXPECT_EQ(db.Manuf.cell(a, ManufCell::ProductStock), "10");
  EXPECT_EQ(db.Manuf.cell(b, ManufCell::ProductStock), "1.5");
}

TEST_F(DeleteFixture, NothingChangesWithoutConsent) {
  ScriptedPrompt prompt;
  EXPECT_FALSE(OrderCommands::deleteSelectedOrders(db, prompt, 0, {1}));  // empty list: no question
  EXPECT_TRUE(prompt.shown.empty());
  prompt.answer(Prompt::Answer::No);
  EXPECT_FALSE(OrderCommands::deleteSelectedOrders(db, prompt, 3, {1}));
  EXPECT_EQ(db.Order.count(), 3);
  EXPECT_FALSE(db.dirty());
  // Yes with nothing selected removes nothing but marks the database changed.
  prompt.answer(Prompt::Answer::Yes).answer(Prompt::Answer::Yes);
  EXPECT_TRUE(OrderCommands::deleteSelectedOrders(db, prompt, 3, {}));
  EXPECT_EQ(db.Order.count(), 3);
  EXPECT_EQ(db.Stock.count(), 5);
  EXPECT_TRUE(db.dirty());
  EXPECT_EQ(OrderCommands::deleteOrders(db, {0, 4, -1}, true), 0);
}

}  // namespace
