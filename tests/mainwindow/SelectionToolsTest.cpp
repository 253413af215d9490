#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "mainwindow/SelectionTools.h"
#include "models/OrderList.h"
#include "store/Database.h"

using namespace SelectionTools;

namespace {

const QString kToday = QStringLiteral("2024/03/05");

int addOrder(Database& db, const QString& no, const QString& account, const QString& pay, const QString& ship) {
  const int r = db.Order.append(no);
  db.Order.setCell(r, OrderCell::OrderDate, "2024/03/01");
  db.Order.setCell(r, OrderCell::BuyerAccount, account);
  db.Order.setCell(r, OrderCell::BuyerCategory, "VIP");
  db.Order.setCell(r, OrderCell::PaymentState, pay);
  db.Order.setCell(r, OrderCell::ShippingState, ship);
  return r;
}

void addGuest(Database& db, const QString& account, const QString& mail) {
  const int r = db.Guest.append(account);
  db.Guest.setCell(r, GuestCell::CustomerCategory, "VIP");
  db.Guest.setCell(r, GuestCell::CustomerEmail, mail);
}

// Selected rows as OrderForm reads them from a freshly built list.
std::vector<SelectedOrder> select(const Database& db, std::initializer_list<int> indexes) {
  std::vector<SelectedOrder> out;
  for (int i : indexes) {
    const QStringList row = OrderList::orderListRow(db.Order, i);
    out.push_back({i, row[OrderListCol::PaymentDate], row[OrderListCol::ShippingMethod]});
  }
  return out;
}

class SelectionToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    addOrder(db, "1", "amy", "未匯款", "未出貨");
    addOrder(db, "2", "amy", "未匯款 已給", "寄郵局 未出貨");
    addOrder(db, "3", "bob", "2024/01/02 已給", "寄宅配 2024/01/03");
    addOrder(db, "4", "cat", "已匯款", "已出貨");
  }
  QString pay(int r) const { return db.Order.cell(r, OrderCell::PaymentState); }
  QString ship(int r) const { return db.Order.cell(r, OrderCell::ShippingState); }
  Database db;
  ScriptedPrompt prompt;
};

}  // namespace

TEST_F(SelectionToolsTest, MarkPaidKeepsTheFeedbackMark) {
  prompt.answerInput(kToday);
  EXPECT_TRUE(markPaid(db, prompt, 4, select(db, {1, 2}), kToday));
  ASSERT_EQ(prompt.shown.size(), 1u);  // all unpaid: no question
  EXPECT_EQ(prompt.shown[0].kind, "input");
  EXPECT_EQ(prompt.shown[0].text, "請輸入匯款日期");
  EXPECT_EQ(pay(1), "2024/03/05");
  EXPECT_EQ(pay(2), "2024/03/05 已給");
  EXPECT_TRUE(db.dirty());
  // The rebuilt row shows the date and the mark.
  const QStringList row = OrderList::orderListRow(db.Order, 2);
  EXPECT_EQ(row[OrderListCol::PaymentDate], "2024/03/05");
  EXPECT_EQ(row[OrderListCol::RatingGiven], "已給");
}

TEST_F(SelectionToolsTest, MarkPaidRefusesWhatTheFileCannotHoldAndDropsQuotes) {
  prompt.answerInput(QStringLiteral("3/5😀"));
  EXPECT_FALSE(markPaid(db, prompt, 4, select(db, {1}), kToday));
  EXPECT_EQ(prompt.texts().last(), "匯款日期中的「😀」無法儲存在資料檔中，請改用其他字元");
  EXPECT_EQ(pay(1), "未匯款");
  EXPECT_FALSE(db.dirty());
  prompt.answerInput(QStringLiteral("3/5\"ATM\""));
  EXPECT_TRUE(markPaid(db, prompt, 4, select(db, {1}), kToday));
  EXPECT_EQ(pay(1), "3/5ATM");
}

TEST_F(SelectionToolsTest, MarkPaidAsksWhenSomeArePaid) {
  prompt.answer(Prompt::Answer::No);
  EXPECT_FALSE(markPaid(db, prompt, 4, select(db, {1, 3}), kToday));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "選擇的訂單內含有已匯款的訂單，確定要全部設為已匯款嗎?");
  EXPECT_EQ(prompt.shown[0].title, "刪除");
  EXPECT_EQ(prompt.shown[0].buttons, Prompt::Buttons::YesNo);
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Exclamation);
  EXPECT_FALSE(db.dirty());

  prompt.clear();
  prompt.answer(Prompt::Answer::Yes).answerInput(std::nullopt);  // cancelled date
  EXPECT_FALSE(markPaid(db, prompt, 4, select(db, {1, 3}), kToday));
  prompt.answer(Prompt::Answer::Yes).answerInput("");  // empty date
  EXPECT_FALSE(markPaid(db, prompt, 4, select(db, {1, 3}), kToday));
  EXPECT_EQ(pay(3), "2024/01/02 已給");
  EXPECT_FALSE(db.dirty());

  prompt.answer(Prompt::Answer::Yes).answerInput(" 3/5 晚上");  // stored as typed
  EXPECT_TRUE(markPaid(db, prompt, 4, select(db, {1, 3}), kToday));
  EXPECT_EQ(pay(1), " 3/5 晚上");
  EXPECT_EQ(pay(3), " 3/5 晚上 已給");
  EXPECT_FALSE(prompt.pending());
}

TEST_F(SelectionToolsTest, MarkPaidEmptyListAndEmptySelection) {
  EXPECT_FALSE(markPaid(db, prompt, 0, {}, kToday));  // no prompt at all
  EXPECT_TRUE(prompt.shown.empty());

  prompt.answerInput(kToday);  // rows listed, none selected: the box still comes
  EXPECT_TRUE(markPaid(db, prompt, 4, {}, kToday));
  EXPECT_TRUE(db.dirty());
  EXPECT_EQ(pay(1), "未匯款");
}

TEST_F(SelectionToolsTest, MarkShippedToday) {
  EXPECT_FALSE(markShipped(db, prompt, 0, select(db, {1}), kToday));
  EXPECT_TRUE(markShipped(db, prompt, 4, select(db, {1, 2, 3, 4}), kToday));
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(ship(1), " 2024/03/05");
  EXPECT_EQ(ship(2), "寄郵局 2024/03/05");
  EXPECT_EQ(ship(3), "寄宅配 2024/03/05");
  EXPECT_EQ(ship(4), " 2024/03/05");
  EXPECT_TRUE(db.dirty());
  // The marked orders now list as shipped, with their method and date.
  OrderList::OrderFilter shipped;
  shipped.unshipped = false;
  shipped.shipped = true;
  const auto r = OrderList::OrderShow(db, shipped, {});
  ASSERT_EQ(r.rows.size(), 4u);
  EXPECT_EQ(r.rows[1][OrderListCol::ShippingMethod], "寄郵局");
  EXPECT_EQ(r.rows[1][OrderListCol::ShipDate], "2024/03/05");
  EXPECT_EQ(r.rows[0][OrderListCol::ShippingMethod], "");
}

TEST_F(SelectionToolsTest, StaleIndexChangesNothing) {
  std::vector<SelectedOrder> sel = select(db, {1});
  sel.push_back({9, "未匯款", ""});
  prompt.answerInput(kToday);
  EXPECT_FALSE(markPaid(db, prompt, 4, sel, kToday));
  EXPECT_FALSE(markShipped(db, prompt, 4, sel, kToday));
  EXPECT_EQ(prompt.texts().count("發生錯誤!"), 2);
  EXPECT_EQ(pay(1), "未匯款");
  EXPECT_EQ(ship(1), "未出貨");
  EXPECT_FALSE(db.dirty());
}

TEST_F(SelectionToolsTest, EmailToTheSelection) {
  addGuest(db, "amy", "amy@example.com");
  addGuest(db, "amy", "second@example.com");  // only the first customer counts
  addGuest(db, "bob", "");                    // no address: skipped
  addGuest(db, "cat", "c d+x@example.com; e@example.com");

  EXPECT_EQ(emailList(db, {1, 3, 2, 4}).list, "amy@example.com;amy@example.com;c d+x@example.com; e@example.com");
  const QUrl url = emailSelected(db, prompt, {1, 3, 2, 4});
  EXPECT_EQ(url.toEncoded(), "mailto:amy@example.com,amy@example.com,c%20d%2Bx@example.com,e@example.com");
  EXPECT_TRUE(emailSelected(db, prompt, {3}).isEmpty());
  EXPECT_TRUE(emailSelected(db, prompt, {}).isEmpty());
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_FALSE(db.dirty());
}

TEST_F(SelectionToolsTest, EmailTakesTheCustomerOfTheOrdersCategory) {
  // One order among many customers, and one among few: the customer of the
  // same account in another category is never taken.
  for (int fillers : {0, 40}) {
    Database d;
    addOrder(d, "1", "amy", "未匯款", "未出貨");
    const int other = d.Guest.append("amy");
    d.Guest.setCell(other, GuestCell::CustomerCategory, "一般");
    d.Guest.setCell(other, GuestCell::CustomerEmail, "wrong@example.com");
    for (int k = 0; k < fillers; ++k) addGuest(d, QStringLiteral("g%1").arg(k), "g@example.com");
    addGuest(d, "amy", "amy@example.com");
    EXPECT_EQ(emailList(d, {1}).list, "amy@example.com") << fillers;
    EXPECT_TRUE(emailList(d, {1, 2}).failed);
  }
}

TEST_F(SelectionToolsTest, EmailListLimit) {
  const QString at = QStringLiteral("@x.tw");
  addGuest(db, "amy", QString(2048 - at.size(), u'a') + at);
  addGuest(db, "bob", QString(2049 - at.size(), u'b') + at);
  EXPECT_FALSE(emailSelected(db, prompt, {1}).isEmpty());  // exactly 2048: opened
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_TRUE(emailSelected(db, prompt, {3}).isEmpty());
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "Email名單超出容納範圍，請減少名單數量並分多次寄送");
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Exclamation);
  EXPECT_TRUE(prompt.shown[0].title.isEmpty());
}
