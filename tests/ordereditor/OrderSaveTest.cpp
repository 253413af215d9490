#include <gtest/gtest.h>

#include <climits>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "ordereditor/OrderLoad.h"
#include "ordereditor/OrderSave.h"
#include "platform/SettingsStore.h"
#include "store/DataStore.h"
#include "store/Database.h"
#include "store/Progress.h"

namespace {

OrderBoxes boxes(const QString& number) {
  OrderBoxes b;
  b.number = number;
  b.date = "2026/12/3";
  b.account = "buyer1";
  b.category = "露天拍賣";
  b.fee = "60";
  b.method = "寄郵局";
  b.note = "請包\"好\"一點”";
  return b;
}

OrderLine line(const char* name, const char* qty, const char* price = "100") {
  OrderLine l;
  l.name = name;
  l.category = "杯子";
  l.price = price;
  l.cost = "40";
  l.qty = qty;
  l.shortage = "缺3";
  l.note = "*2026/12/01 ";
  l.url = "https://shop.example/a";
  l.weight = "0.3";
  return l;
}

int addOrder(Database& db, const QString& number) {
  const int r = db.Order.append(number);
  db.Order.setCell(r, OrderCell::OrderDate, "2026/12/01");
  return r;
}

void addLine(Database& db, const QString& number, const QString& name) {
  const int r = db.Stock.append(number);
  db.Stock.setCell(r, StockCell::LineName, name);
  db.Stock.setCell(r, StockCell::LineQty, "1");
}

QStringList stockKeys(const Database& db) {
  QStringList keys;
  for (int r = 1; r <= db.Stock.count(); ++r) keys << db.Stock.key(r) + ":" + db.Stock.cell(r, StockCell::LineName);
  return keys;
}

TEST(OrderSave, ChecksInOrder) {
  struct Case {
    const char* what;
    void (*change)(OrderBoxes&);
    const char* message;  // "" = passes
  };
  const std::vector<Case> cases = {
      {"date and account empty: the date first", [](OrderBoxes& b) { b.date = "", b.account = ""; }, "請輸入日期"},
      {"account empty", [](OrderBoxes& b) { b.account = ""; }, "請輸入客戶帳號"},
      {"impossible date", [](OrderBoxes& b) { b.date = "2026/02/30"; }, "不是正確的日期格式"},
      {"percent text while unticked", [](OrderBoxes& b) { b.percent = "abc"; }, "折扣欄不是數值格式"},
      {"ticked percent box empty", [](OrderBoxes& b) { b.percentOn = true; }, "折扣欄不是數值格式"},
      {"ticked amount box not a number", [](OrderBoxes& b) { b.amountOn = true, b.amount = "五十"; },
       "折扣欄不是數值格式"},
      {"empty percent while unticked passes", [](OrderBoxes& b) { b.percent = ""; }, ""},
      {"amount text while unticked passes", [](OrderBoxes& b) { b.amount = "x"; }, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedPrompt prompt;
    OrderBoxes b = boxes("2612000001");
    c.change(b);
    EXPECT_EQ(OrderSave::check(b, prompt), QString(c.message).isEmpty());
    if (QString(c.message).isEmpty()) {
      EXPECT_TRUE(prompt.shown.empty());
    } else {
      ASSERT_EQ(prompt.shown.size(), 1u);
      EXPECT_EQ(prompt.shown[0].text, c.message);
      EXPECT_EQ(prompt.shown[0].title, "注意");
      EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Exclamation);
    }
  }
}

TEST(OrderSave, FeeBecomesZeroEvenWhenTheSaveIsRefused) {
  ScriptedPrompt prompt;
  OrderBoxes b = boxes("2612000001");
  b.fee = "六十";
  b.date = "someday";
  EXPECT_FALSE(OrderSave::check(b, prompt));
  EXPECT_EQ(b.fee, "0");
}

TEST(OrderSave, ATickedDiscountWithoutNumberStoresNothing) {
  Database db;
  ScriptedPrompt prompt;
  OrderBoxes b = boxes("2612000001");
  b.percentOn = true;
  b.percent = "";
  OrderLines lines{line("A", "1")};
  const auto r = OrderSave::save(db, prompt, b, lines, OrderSave::Mode::New, 0, {});
  EXPECT_EQ(r.status, OrderSave::Result::Status::Refused);
  EXPECT_EQ(db.Order.count(), 0);
  EXPECT_EQ(db.Stock.count(), 0);
  EXPECT_EQ(db.num, 1);
  EXPECT_FALSE(db.dirty());
}

TEST(OrderSave, EncodedStates) {
  struct Case {
    bool paid;
    const char* payDate;
    bool rated;
    bool shipped;
    const char* method;
    const char* shipDate;
    const char* payment;
    const char* shipping;
  };
  const std::vector<Case> cases = {
      {true, "", false, true, "", "", "已匯款", "已出貨"},
      {false, "2026/12/01", true, false, "", "2026/12/09", "未匯款 已給", "未出貨"},
      {true, "2026/12/02", false, true, "", "2026/12/09", "2026/12/02", " 2026/12/09"},
      {true, "2026/12/02", true, true, "寄 郵局", "", "2026/12/02 已給", "寄郵局 已出貨"},
      {false, "", false, false, "宅配", "", "未匯款", "宅配 未出貨"},
      {false, "", false, true, "宅配", "12 / 9", "未匯款", "宅配 12/9"},
      {false, "", false, true, "全形　空白", "", "未匯款", "全形　空白 已出貨"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shipping);
    OrderBoxes b = boxes("1");
    b.paid = c.paid, b.payDate = c.payDate, b.rated = c.rated;
    b.shipped = c.shipped, b.method = c.method, b.shipDate = c.shipDate;
    OrderSave::tidy(b);
    const QStringList cells = OrderSave::orderCells(b, OrderMoney::compute({}, b.money()), 0);
    EXPECT_EQ(cells[OrderCell::PaymentState], c.payment);
    EXPECT_EQ(cells[OrderCell::ShippingState], c.shipping);
  }
}

TEST(OrderSave, DiscountCellsAndListText) {
  OrderBoxes b = boxes("1");
  b.amountOn = true;
  b.amount = "50";
  MoneyFigures m = OrderMoney::compute({line("A", "1"), line("B", "1"), line("C", "1")}, b.money());
  EXPECT_EQ(OrderSave::orderCells(b, m, 3)[OrderCell::DiscountAmount], "50 3");
  EXPECT_EQ(OrderSave::orderCells(b, m, 3)[OrderCell::DiscountPercent], "");
  EXPECT_EQ(OrderSave::listRow(b, "310", false).cells[6], "-50");
  b.amount = "-50";
  EXPECT_EQ(OrderSave::listRow(b, "410", false).cells[6], "+50");
  b.amount = "0";
  EXPECT_EQ(OrderSave::listRow(b, "360", false).cells[6], "-0");
  EXPECT_EQ(OrderSave::orderCells(b, OrderMoney::compute({}, b.money()), 0)[OrderCell::DiscountAmount], "0 0");
  b.amountOn = false;
  b.percentOn = true;
  b.percent = "95";
  EXPECT_EQ(OrderSave::listRow(b, "1", false).cells[6], "95%");
  b.name = "王小明";
  EXPECT_EQ(OrderSave::listRow(b, "1", true).cells[2], "buyer1 (王小明)");
  b.name = "";
  EXPECT_EQ(OrderSave::listRow(b, "1", true).cells[2], "buyer1");
  const OrderListRow row = OrderSave::listRow(b, "1", false);
  EXPECT_TRUE(row.unpaid);
  EXPECT_TRUE(row.unshipped);
  EXPECT_EQ(row.cells[7], "未匯款");
  EXPECT_EQ(row.cells[8], "未出貨");
}

TEST(OrderSave, NewOrderSavedAndReloadedByteForByte) {
  TestDir dir;
  ScriptedPrompt prompt;
  SilentProgress progress;
  Database db;
  db.DataBasePath = dir.path();
  db.NumStr = QDate::currentDate().toString("yyMM");
  const int p = db.Manuf.append("A");
  db.Manuf.setCell(p, ManufCell::ProductCategory, "杯子");
  db.Manuf.setCell(p, ManufCell::ProductStock, "3");
  const QString existing = db.NumStr + "000001";
  addOrder(db, existing);
  addLine(db, existing, "X");
  db.Stock.setCell(1, StockCell::LineWeight, "0");  // weights load as numbers
  DataStore store(db, prompt, progress);
  ASSERT_TRUE(store.DataBaseSave());
  db.setDirty(false);

  SettingsStore::remove("OrderInput", "Set_1_Value");
  SettingsStore::set("OrderInput", "Set_2_Value", "old");
  OrderBoxes b = boxes(db.NumStr + "000002");
  b.sellerPays = false;
  b.shipped = true;
  b.shipDate = "2026/12/05";
  b.percentOn = true;
  b.percent = "95";
  OrderLines lines{line("A", "2", "19.9"), line("B", "1", "1001")};
  lines[1].note = "plain";
  lines[1].ticked = true;  // a tick without "*" is not stored
  db.num = 2;
  const auto r = OrderSave::save(db, prompt, b, lines, OrderSave::Mode::New, 0, {true, false, false});
  ASSERT_TRUE(r.saved());
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(r.orderRow, 2);
  EXPECT_EQ(db.num, 3);
  EXPECT_TRUE(db.dirty());
  EXPECT_EQ(db.Manuf.cell(p, ManufCell::ProductStock), "3");  // saving moves no stock
  EXPECT_EQ(lines[0].subtotal, "39.8");
  EXPECT_EQ(b.date, "2026/12/03");
  EXPECT_EQ(b.note, "請包好一點");
  EXPECT_EQ(SettingsStore::get("OrderInput", "Set_1_Value"), "60");
  EXPECT_EQ(SettingsStore::get("OrderInput", "Set_2_Value"), "old");

  // goods 39.8 + 1001 = 1040.8; 95 % is 988.76 paid as 989; receivable 989 + 60.
  const QStringList expected = {b.number, "2026/12/03", "buyer1", "露天拍賣", "60", "1049", "未匯款",
                                "寄郵局 2026/12/05", "請包好一點", "120", "0", "95", ""};
  for (int c = 0; c <= OrderCell::Count; ++c) EXPECT_EQ(db.Order.cell(2, c), expected[c]) << c;
  ASSERT_TRUE(store.DataBaseSave());

  const QByteArray orderBytes = dir.get("Order1.kdt");
  QString tail;
  for (const QString& v : expected) tail += (tail.isEmpty() ? "\"" : ",\"") + v + "\"";
  EXPECT_TRUE(orderBytes.endsWith(big5(tail + "\r\n")));
  QString stockTail;
  for (const OrderLine& l : lines) {
    QString rec;
    for (const QString& v : {b.number, l.name, l.category, l.price, l.cost, l.qty, l.note, l.url})
      rec += (rec.isEmpty() ? "\"" : ",\"") + v + "\"";
    stockTail += rec + "\r\n";
  }
  EXPECT_TRUE(dir.get("Stock1.kdt").endsWith(big5(stockTail)));
  EXPECT_TRUE(dir.get("Stock2.kdt").endsWith(big5("\"0.3\"\r\n\"0.3\"\r\n")));

  Database again;
  again.DataBasePath = dir.path();
  DataStore reload(again, prompt, progress);
  reload.loadDatabase();
  EXPECT_TRUE(prompt.shown.empty()) << prompt.texts().join("|").toStdString();
  EXPECT_TRUE(again.Order == db.Order);
  EXPECT_TRUE(again.Stock == db.Stock);
  EXPECT_EQ(again.num, 3);

  TestDir second;
  again.DataBasePath = second.path();
  ASSERT_TRUE(reload.DataBaseSave());
  for (const char* name : {"Order1.kdt", "Stock1.kdt", "Stock2.kdt", "Num.kdt", "Manuf1.kdt"})
    EXPECT_EQ(second.get(name), dir.get(name)) << name;
}

TEST(OrderSave, EditedOrderMovesItsLinesToTheEnd) {
  Database db;
  ScriptedPrompt prompt;
  addOrder(db, "A1");
  const int edited = addOrder(db, "A2");
  addOrder(db, "A3");
  addLine(db, "A1", "a");
  addLine(db, "A2", "old1");
  addLine(db, "A2", "old2");
  addLine(db, "A3", "c");
  OrderBoxes b = boxes("A2");
  b.paid = true;
  OrderLines lines{line("new1", "1"), line("new2", "2")};
  auto r = OrderSave::save(db, prompt, b, lines, OrderSave::Mode::Edited, edited, {false, false, true});
  ASSERT_TRUE(r.saved());
  EXPECT_EQ(stockKeys(db), (QStringList{"A1:a", "A3:c", "A2:new1", "A2:new2"}));
  EXPECT_EQ(db.Order.count(), 3);
  EXPECT_EQ(db.Order.cell(edited, OrderCell::PaymentState), "已匯款");
  EXPECT_EQ(db.num, 1);  // an edit does not advance the counter
  EXPECT_EQ(r.listRow.cells[0], "A2");
  EXPECT_EQ(r.listRow.cells[5], "360");
  EXPECT_FALSE(r.listRow.unpaid);

  // Saving twice leaves one run at the end; all lines removed leaves none.
  ASSERT_TRUE(OrderSave::save(db, prompt, b, lines, OrderSave::Mode::Edited, edited, {}).saved());
  EXPECT_EQ(stockKeys(db), (QStringList{"A1:a", "A3:c", "A2:new1", "A2:new2"}));
  OrderLines none;
  ASSERT_TRUE(OrderSave::save(db, prompt, b, none, OrderSave::Mode::Edited, edited, {}).saved());
  EXPECT_EQ(stockKeys(db), (QStringList{"A1:a", "A3:c"}));
}

TEST(OrderSave, AFailedSaveChangesNoTable) {
  Database db;
  addOrder(db, "A1");
  addLine(db, "A1", "a");
  const Table order = db.Order, stock = db.Stock;
  OrderLines lines{line("n", "1")};
  {
    SCOPED_TRACE("the list row names another order");
    ScriptedPrompt prompt;
    OrderBoxes b = boxes("A9");
    EXPECT_EQ(OrderSave::save(db, prompt, b, lines, OrderSave::Mode::Edited, 1, {}).status,
              OrderSave::Result::Status::Failed);
    EXPECT_EQ(prompt.texts(), QStringList{"發生錯誤!"});
    EXPECT_EQ(OrderSave::save(db, prompt, b, lines, OrderSave::Mode::Edited, 5, {}).status,
              OrderSave::Result::Status::Failed);
  }
  {
    SCOPED_TRACE("the counter is at its end");
    ScriptedPrompt prompt;
    db.num = INT_MAX;
    OrderBoxes b = boxes("A2");
    EXPECT_EQ(OrderSave::save(db, prompt, b, lines, OrderSave::Mode::New, 0, {}).status,
              OrderSave::Result::Status::Failed);
    EXPECT_EQ(db.num, INT_MAX);
  }
  {
    SCOPED_TRACE("a character the file cannot hold");
    ScriptedPrompt prompt;
    OrderBoxes b = boxes("A2");
    b.note = "謝謝😀";
    b.method = "7-11\u2028取貨";
    EXPECT_EQ(OrderSave::save(db, prompt, b, lines, OrderSave::Mode::New, 0, {}).status,
              OrderSave::Result::Status::Refused);
    EXPECT_EQ(prompt.texts(), QStringList{"運送方式中的「U+2028」無法儲存在資料檔中，請改用其他字元"});
    EXPECT_EQ(b.note, "謝謝😀");  // the boxes stay as typed
  }
  EXPECT_TRUE(db.Order == order);
  EXPECT_TRUE(db.Stock == stock);
  EXPECT_FALSE(db.dirty());
}

TEST(OrderSave, BlanksAroundMoneyBoxesNeitherChangeNorLoseTheFigures) {
  Database db;
  ScriptedPrompt prompt;
  const QString ideographic = QString(QChar(0x3000));
  OrderLines lines{line("A", "2")};  // goods 200

  // An amount typed with a blank before it reopens as that amount.
  OrderBoxes b = boxes("N1");
  b.fee = ideographic + "60";
  b.amountOn = true;
  b.amount = " 50";
  auto r = OrderSave::save(db, prompt, b, lines, OrderSave::Mode::New, 0, {});
  ASSERT_TRUE(r.saved());
  EXPECT_EQ(db.Order.cell(r.orderRow, OrderCell::ShippingFee), "60");
  EXPECT_EQ(db.Order.cell(r.orderRow, OrderCell::DiscountAmount), "50 1");
  EXPECT_EQ(db.Order.cell(r.orderRow, OrderCell::Receivable), "210");
  auto reopened = OrderLoad::load(db, r.orderRow, {});
  ASSERT_TRUE(reopened);
  EXPECT_TRUE(reopened->boxes.amountOn);
  EXPECT_EQ(reopened->boxes.amount, "50");
  EXPECT_EQ(OrderMoney::compute(reopened->lines, reopened->boxes.money()).netGoodsText, "150");

  // A percent behind an ideographic blank is that percent, not 0 (which
  // would make the goods free).
  OrderBoxes p = boxes("N2");
  p.percentOn = true;
  p.percent = ideographic + "95";
  EXPECT_EQ(OrderMoney::compute(lines, p.money()).netGoodsText, "190");
  r = OrderSave::save(db, prompt, p, lines, OrderSave::Mode::New, 0, {});
  ASSERT_TRUE(r.saved());
  EXPECT_EQ(db.Order.cell(r.orderRow, OrderCell::DiscountPercent), "95");
  EXPECT_EQ(db.Order.cell(r.orderRow, OrderCell::Receivable), "250");
  EXPECT_TRUE(prompt.texts().isEmpty());
}

}  // namespace
