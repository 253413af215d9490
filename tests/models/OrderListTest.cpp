#include <gtest/gtest.h>

#include "models/OrderList.h"
#include "platform/Numbers.h"
#include "store/Database.h"

using namespace OrderList;

namespace {

struct O {
  const char* no;
  const char* date;
  const char* account;
  const char* category;
  const char* fee;
  const char* receivable;
  const char* pay;
  const char* ship;
  const char* note;
  const char* cost;
  const char* sellerPays;
  const char* percent;
  const char* amount;
};

int add(Database& db, const O& o) {
  const int r = db.Order.append(QString::fromUtf8(o.no));
  const char* cells[] = {o.date, o.account, o.category, o.fee, o.receivable, o.pay, o.ship,
                         o.note, o.cost,    o.sellerPays, o.percent, o.amount};
  for (int c = 0; c < 12; ++c) db.Order.setCell(r, c + 1, QString::fromUtf8(cells[c]));
  return r;
}

void addGuest(Database& db, const QString& account, const QString& category, const QString& nameSex,
              const QString& mail = {}) {
  const int r = db.Guest.append(account);
  db.Guest.setCell(r, GuestCell::CustomerCategory, category);
  db.Guest.setCell(r, GuestCell::CustomerNameSex, nameSex);
  db.Guest.setCell(r, GuestCell::CustomerEmail, mail);
}

void addExpense(Database& db, const QString& date, const QString& category, const QString& amount) {
  const int r = db.Expend.append(date);
  db.Expend.setCell(r, ExpendCell::ExpendCategory, category);
  db.Expend.setCell(r, ExpendCell::ExpendAmount, amount);
}

// The fixture: seven orders of every kind the list tells apart.
//  1 unshipped, unpaid, seller pays        2 shipped by post, paid with feedback, 95%
//  3 method + 未出貨, unpaid + feedback     4 已出貨, empty payment, odd SellerPaysShipping, amount 0
//  5 method alone: never listed            6 empty shipping state: never listed
//  7 state starting with a blank, seller pays
void fill(Database& db) {
  add(db, {"2401000001", "2024/01/05", "amy", "VIP", "60", "500", "未匯款", "未出貨", "n1", "300", "1", "", ""});
  add(db, {"2401000002", "2024/01/20", "BOB", "", "80", "1080", "2024/01/21 已給", "寄郵局 2024/01/22", "", "600",
           "0", "95", ""});
  add(db, {"2402000003", "2024/02/03", "amy", "VIP", "0", "200", "未匯款 已給", "寄宅配 未出貨", "", "100", "",
           "90", "-25 x"});
  add(db, {"2312000004", "2023/12/30", "carl", "未分類", "50", "300", "", "已出貨", "", "150", "abc", "", "0"});
  add(db, {"2402000005", "2024/02/10", "dan", "VIP", "10", "110", "已匯款", "寄郵局", "", "50", "", "", ""});
  add(db, {"2402000006", "2024/02/11", "eve", "", "10", "110", "已匯款", "", "", "50", "", "", ""});
  add(db, {"2401000007", "2024/01/25", "amy", "VIP", "40", "440", "2024/01/26", " 2024/01/27", "", "200", "1",
           "", ""});
  addGuest(db, "amy", "VIP", QStringLiteral("Amy Wang") + QChar(1) + QStringLiteral("女"));
  addGuest(db, "amy", "VIP", "Second");  // stored twice: the first one counts
  addGuest(db, "BOB", "", "");            // empty name: nothing appended
  addGuest(db, "carl", "", "Carl");       // other category than his order
  addExpense(db, "2024/01/15", "VIP", "500");
  addExpense(db, "2023/12/01", "", "70");
  addExpense(db, "2024/02/01", "未分類", "30");
}

OrderFilter filter(const char* category, const char* period, const char* year, bool unshipped, bool shipped) {
  OrderFilter f;
  f.category = QString::fromUtf8(category);
  f.period = QString::fromUtf8(period);
  f.year = QString::fromUtf8(year);
  f.unshipped = unshipped;
  f.shipped = shipped;
  return f;
}

QStringList indexes(const OrderListResult& r) {
  QStringList out;
  for (const auto& row : r.rows) out << row[OrderListCol::OrderIndex];
  return out;
}

QStringList panels(std::initializer_list<const char*> texts) {
  QStringList out;
  for (const char* t : texts) out << QString::fromUtf8(t);
  return out;
}

class OrderListTest : public ::testing::Test {
 protected:
  void SetUp() override { fill(db); }
  Database db;
};

}  // namespace

TEST_F(OrderListTest, RowsOfEveryKind) {
  OrderListResult r = OrderShow(db, filter("全部", "全部", "2024", true, false), {});
  ASSERT_EQ(indexes(r), (QStringList{"1", "3"}));
  EXPECT_EQ(r.rows[0], (QStringList{"2401000001", "2024/01/05", "amy", "VIP", "60", "500", "", "未匯款", "未出貨", "",
                                    "", "n1", "1"}));
  EXPECT_EQ(r.rows[1], (QStringList{"2402000003", "2024/02/03", "amy", "VIP", "0", "200", "+25", "未匯款", "未出貨",
                                    "寄宅配", "已給", "", "3"}));
  ASSERT_EQ(r.colors.size(), 2u);
  EXPECT_EQ(r.colors[1].color(OrderListCol::Receivable), QColor(0, 0, 255));
  EXPECT_EQ(r.colors[1].color(OrderListCol::PaymentDate), QColor(206, 0, 0));
  EXPECT_EQ(r.colors[1].color(OrderListCol::ShipDate), QColor(206, 0, 0));
  EXPECT_FALSE(r.colors[1].color(OrderListCol::OrderNo).isValid());

  r = OrderShow(db, filter("全部", "全部", "2024", false, true), {});
  ASSERT_EQ(indexes(r), (QStringList{"2", "4", "7"}));
  EXPECT_EQ(r.rows[0], (QStringList{"2401000002", "2024/01/20", "BOB", "", "80", "1080", "95%", "2024/01/21",
                                    "2024/01/22", "寄郵局", "已給", "", "2"}));
  EXPECT_EQ(r.rows[1], (QStringList{"2312000004", "2023/12/30", "carl", "未分類", "50", "300", "-0", "", "已出貨", "",
                                    "", "", "4"}));
  EXPECT_EQ(r.rows[2][OrderListCol::ShippingMethod], "");
  EXPECT_EQ(r.rows[2][OrderListCol::ShipDate], "2024/01/27");
  for (const RowColors& c : r.colors) {
    EXPECT_FALSE(c.color(OrderListCol::PaymentDate).isValid());
    EXPECT_FALSE(c.color(OrderListCol::ShipDate).isValid());
  }
}

TEST_F(OrderListTest, FiltersAndPanels) {
  struct Case {
    OrderFilter f;
    bool expend;
    QStringList rows;
    QStringList panels;
  };
  const std::vector<Case> cases = {
      {filter("全部", "全部", "2024", true, false), true, {"1", "3"},
       panels({"應收帳款: 700 ", "商品: 700 ", "成本: 400 + 60 (運費) = 460 ", "結餘: 240 ", "未匯款: 700 ",
               "運費: 60 (賣方) + 0 (買方) = 60 ", " 共 2 筆資料"})},
      {filter("全部", "全部", "2024", false, true), false, {"2", "4", "7"},
       panels({"應收帳款: 1820 ", "商品: 1690 ", "成本: 950 + 40 (運費) = 990 ", "結餘: 700 ", "未匯款: 0 ",
               "運費: 40 (賣方) + 130 (買方) = 170 ", " 共 3 筆資料"})},
      {filter("全部", "整年", "2024", false, true), true, {"2", "7"},
       panels({"應收帳款: 1520 ", "商品: 1440 ", "成本: 800 + 40 (運費) + 530 (雜支) = 1370 ", "結餘: 70 ",
               "未匯款: 0 ", "運費: 40 (賣方) + 80 (買方) = 120 ", " 共 2 筆資料"})},
      {filter("未分類", "全部", "2024", false, true), true, {"4"},
       panels({"應收帳款: 300 ", "商品: 250 ", "成本: 150 + 30 (雜支) = 180 ", "結餘: 70 ", "未匯款: 0 ",
               "運費: 0 (賣方) + 50 (買方) = 50 ", " 共 1 筆資料"})},
      {filter("VIP", "01月", "2024", true, false), true, {"1"},
       panels({"應收帳款: 500 ", "商品: 500 ", "成本: 300 + 60 (運費) = 360 ", "結餘: 140 ", "未匯款: 500 ",
               "運費: 60 (賣方) + 0 (買方) = 60 ", " 共 1 筆資料"})},
      {filter("VIP", "02月", "2024", true, false), false, {"3"},
       panels({"應收帳款: 200 ", "商品: 200 ", "成本: 100 ", "結餘: 100 ", "未匯款: 200 ",
               "運費: 0 (賣方) + 0 (買方) = 0 ", " 共 1 筆資料"})},
      // Neither option: nothing listed, yet the period's expenses count.
      {filter("全部", "全部", "2024", false, false), true, {},
       panels({"應收帳款: 0 ", "商品: 0 ", "成本: 0 + 600 (雜支) = 600 ", "結餘: -600 ", "未匯款: 0 ",
               "運費: 0 (賣方) + 0 (買方) = 0 ", "沒有找到符合的訂單"})},
      // The year box is compared as text: empty or with a blank lists nothing.
      {filter("全部", "整年", "", true, true), false, {}, {}},
      {filter("全部", "01月", "2024 ", true, true), false, {}, {}},
      {filter("全部", "12月", "2023", true, true), false, {"4"}, {}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const OrderListResult r = OrderShow(db, c.f, {false, c.expend});
    EXPECT_EQ(indexes(r), c.rows) << "case " << i;
    if (!c.panels.isEmpty()) {
      EXPECT_EQ(r.panels, c.panels) << "case " << i;
    }
  }
}

TEST(OrderListPanels, ExampleOfTwoOrders) {
  Database db;
  add(db, {"1", "2024/01/01", "a", "", "60", "500", "2024/01/02", "未出貨", "", "300", "1", "", ""});
  add(db, {"2", "2024/01/01", "b", "", "80", "1080", "未匯款", "未出貨", "", "600", "0", "", ""});
  const OrderListResult r = OrderShow(db, OrderFilter{}, {});
  EXPECT_EQ(r.panels, panels({"應收帳款: 1580 ", "商品: 1500 ", "成本: 900 + 60 (運費) = 960 ", "結餘: 540 ",
                              "未匯款: 1080 ", "運費: 60 (賣方) + 80 (買方) = 140 ", " 共 2 筆資料"}));
  OrderTotals t;
  t.ReceivableTotal = Decimal::leading(u"0.1") + Decimal::leading(u"0.2");
  EXPECT_EQ(moneyPanels(t, "")[0], "應收帳款: 0.3 ");
}

TEST_F(OrderListTest, CustomerNamesAppended) {
  const OrderListResult r = OrderShow(db, filter("全部", "全部", "", false, true), {true, false});
  QStringList accounts;
  for (const auto& row : r.rows) accounts << row[OrderListCol::BuyerAccount];
  EXPECT_EQ(accounts, (QStringList{"BOB", "carl", "amy (Amy Wang)"}));
}

TEST_F(OrderListTest, ClosingStepMarksShortagesOnlyWithUnshipped) {
  db.CheckLacks = true;
  const int p = db.Manuf.append("Pen");
  db.Manuf.setCell(p, ManufCell::ProductStock, "-1");
  for (const char* no : {"2402000003", "2401000001", "2401000002"}) {
    const int s = db.Stock.append(QString::fromUtf8(no));
    db.Stock.setCell(s, StockCell::LineName, "Pen");
    db.Stock.setCell(s, StockCell::LineQty, "1");
  }
  OrderListResult r = OrderShow(db, filter("全部", "全部", "", true, false), {});
  ASSERT_EQ(r.shortage.rows.size(), 2u);  // order 2 is shipped
  EXPECT_EQ(r.rows[0][OrderListCol::ShipDate], "未出貨");
  EXPECT_EQ(r.rows[1][OrderListCol::ShipDate], "缺貨");
  EXPECT_EQ(r.colors[1].color(OrderListCol::ShipDate), QColor(206, 0, 0));  // colour stays

  r = OrderShow(db, filter("全部", "全部", "", false, true), {});
  EXPECT_TRUE(r.shortage.rows.empty());
}

TEST_F(OrderListTest, CustomerSearch) {
  const OrderFilter unshipped = filter("全部", "全部", "", true, false);
  EXPECT_TRUE(CustomerSearch(db, unshipped, {}, "").refused);

  // Trimmed, first line only, letter case ignored.
  CustomerSearchResult s = CustomerSearch(db, unshipped, {}, "  AM\r\nzzz");
  EXPECT_FALSE(s.refused);
  EXPECT_EQ(s.searchText, "AM");
  EXPECT_EQ(indexes(s.list), (QStringList{"1", "3"}));

  // By name only while customer names are shown.
  EXPECT_TRUE(indexes(CustomerSearch(db, unshipped, {false, false}, "wang").list).isEmpty());
  s = CustomerSearch(db, unshipped, {true, false}, "wang");
  EXPECT_EQ(indexes(s.list), (QStringList{"1", "3"}));
  EXPECT_EQ(s.list.rows[0][OrderListCol::BuyerAccount], "amy (Amy Wang)");
  EXPECT_TRUE(indexes(CustomerSearch(db, unshipped, {true, false}, "second").list).isEmpty());

  // The filters apply; expenses never count.
  s = CustomerSearch(db, filter("全部", "全部", "", false, true), {false, true}, "bob");
  EXPECT_EQ(indexes(s.list), (QStringList{"2"}));
  EXPECT_EQ(s.list.panels, panels({"應收帳款: 1080 ", "商品: 1000 ", "成本: 600 ", "結餘: 400 ", "未匯款: 0 ",
                                   "運費: 0 (賣方) + 80 (買方) = 80 ", " 共 1 筆資料"}));

  // Blanks only: every non-empty account passes.
  add(db, {"2403000008", "2024/03/01", "", "", "0", "5", "未匯款", "未出貨", "", "0", "", "", ""});
  s = CustomerSearch(db, unshipped, {}, "   ");
  EXPECT_EQ(s.searchText, "");
  EXPECT_EQ(indexes(s.list), (QStringList{"1", "3"}));
}

TEST_F(OrderListTest, RecountAndSelectionTotals) {
  const OrderFilter shipped = filter("全部", "全部", "", false, true);
  // Recount of rows another window listed, expenses from the main filters.
  auto p = Recount(db, shipped, {false, true}, {2, 4});
  ASSERT_TRUE(p);
  EXPECT_EQ(*p, panels({"應收帳款: 1380 ", "商品: 1250 ", "成本: 750 + 600 (雜支) = 1350 ", "結餘: -100 ",
                        "未匯款: 0 ", "運費: 0 (賣方) + 130 (買方) = 130 ", " 共 2 筆資料"}));
  p = Recount(db, shipped, {false, true}, {});
  ASSERT_TRUE(p);
  EXPECT_EQ((*p)[2], "成本: 0 + 600 (雜支) = 600 ");
  EXPECT_EQ((*p)[6], "沒有找到符合的訂單");
  EXPECT_FALSE(Recount(db, shipped, {}, {2, 99}));

  // Selection: no expenses; an empty payment state and an odd seller flag
  // are read as the list reads them.
  p = SelectionTotals(db, {4, 1});
  ASSERT_TRUE(p);
  EXPECT_EQ(*p, panels({"應收帳款: 800 ", "商品: 750 ", "成本: 450 + 60 (運費) = 510 ", "結餘: 240 ",
                        "未匯款: 500 ", "運費: 60 (賣方) + 50 (買方) = 110 ", " 共選擇了 2 筆資料"}));
  p = SelectionTotals(db, {});
  ASSERT_TRUE(p);
  EXPECT_EQ((*p)[0], "應收帳款: 0 ");
  EXPECT_EQ((*p)[6], " 共選擇了 0 筆資料");
  EXPECT_FALSE(SelectionTotals(db, {0}));
}

TEST(OrderListView, CheckViewMoney) {
  MoneyPanelVisibility v = CheckViewMoney(true, false);
  EXPECT_TRUE(v.recount);
  EXPECT_EQ(v.panel, (std::array<bool, 6>{true, true, true, true, true, true}));
  v = CheckViewMoney(true, true);
  EXPECT_EQ(v.panel, (std::array<bool, 6>{true, true, false, false, true, true}));
  v = CheckViewMoney(false, false);
  EXPECT_FALSE(v.recount);
  EXPECT_EQ(v.panel, (std::array<bool, 6>{}));
}

TEST(OrderListView, CategoryEntriesAndCaptions) {
  Database db;
  db.settings.CustomerCategories = {"VIP", "批發"};
  EXPECT_EQ(customerCategoryEntries(db), (QStringList{"全部", "VIP", "批發", "未分類", "編輯客戶分類"}));
  EXPECT_EQ(orderListCaptions().size(), OrderListCol::Count);
  EXPECT_EQ(orderListCaptions().last(), "Index");
}

TEST(OrderListView, CustomerLookupTakesTheFirstOfAccountAndCategory) {
  Database db;
  addGuest(db, "x", "A", "first");
  addGuest(db, "y", "A", "other");
  addGuest(db, "x", "B", QStringLiteral("second") + QChar(1) + QStringLiteral("男"));
  addGuest(db, "x", "A", "third");
  const CustomerLookup customers(db.Guest);
  EXPECT_EQ(customers.row("x", "A"), 1);
  EXPECT_EQ(customers.row("x", "B"), 3);
  EXPECT_EQ(customers.row("x", "C"), 0);
  EXPECT_EQ(customers.row("X", "A"), 0);
  EXPECT_EQ(customers.name("x", "B"), "second");
}

TEST(OrderListPanels, TotalsAreExactWhereDoublesGoWrong) {
  // Each case: many orders of the same cells; the panel a double sum would
  // show differs where noted (binary error), the exact sum does not.
  struct Case {
    const char* what;
    int orders;
    const char* fee;
    const char* receivable;
    const char* cost;
    const char* sellerPays;
    std::vector<const char*> panels;  // expected panels 1..6
    bool doublesWrong;                // the old double sum of receivable showed noise
  };
  const std::vector<Case> cases = {
      {"0.1 + 0.2", 0, "", "", "", "", {}, false},
      {"100000 small amounts of 0.1", 100000, "0", "0.1", "0.01", "0",
       {"應收帳款: 10000 ", "商品: 10000 ", "成本: 1000 ", "結餘: 9000 ", "未匯款: 10000 ",
        "運費: 0 (賣方) + 0 (買方) = 0 "},
       true},
      {"quantity times price with two decimals (3 x 19.99)", 7000, "60.5", "119.97", "59.97", "1",
       {"應收帳款: 839790 ", "商品: 839790 ", "成本: 419790 + 423500 (運費) = 843290 ", "結餘: -3500 ",
        "未匯款: 839790 ", "運費: 423500 (賣方) + 0 (買方) = 423500 "},
       true},
      {"amounts past 15 significant digits", 3, "0", "12345678901234.56", "0", "0",
       {"應收帳款: 37037036703703.7 ", "商品: 37037036703703.7 ", "成本: 0 ", "結餘: 37037036703703.7 ",
        "未匯款: 37037036703703.7 ", "運費: 0 (賣方) + 0 (買方) = 0 "},
       false},
  };
  for (const Case& c : cases) {
    Database db;
    std::vector<int> rows;
    double naive = 0;
    for (int i = 0; i < c.orders; ++i) {
      rows.push_back(add(db, {"1", "2024/01/01", "a", "", c.fee, c.receivable, "未匯款", "未出貨", "", c.cost,
                              c.sellerPays, "", ""}));
      naive += Num::leading(QString::fromUtf8(c.receivable));
    }
    if (c.orders == 0) {
      OrderTotals t;
      t.ReceivableTotal = Decimal::leading(u"0.1") + Decimal::leading(u"0.2");
      EXPECT_EQ(moneyPanels(t, "")[0], "應收帳款: 0.3 ") << c.what;
      continue;
    }
    const auto p = SelectionTotals(db, rows);
    ASSERT_TRUE(p) << c.what;
    for (size_t k = 0; k < c.panels.size(); ++k) EXPECT_EQ((*p)[static_cast<int>(k)], QString::fromUtf8(c.panels[k])) << c.what;
    // The same totals order by order (as other windows add them).
    OrderTotals one;
    for (int r : rows) one.addOrder(db.Order, r);
    EXPECT_EQ(moneyPanels(one, "").mid(0, 6), p->mid(0, 6)) << c.what;
    if (c.doublesWrong) {
      EXPECT_NE(QStringLiteral("應收帳款: ") + Num::format(naive) + u' ', (*p)[0]) << c.what;
    }
  }
}

// Totals of long lists read numbers kept for the table: cells that are no
// plain number, or too long for the kept form, are read as before, and a
// changed cell is seen at once.
TEST(OrderListPanels, TotalsOfLongListsFollowEveryCellAndChange) {
  // 9999999999999 is too long for the kept form, yet the sums keep every unit.
  const char* numbers[] = {"12.", "1e3", " 5", "-0.5", "abc", "9999999999999", "1,000", "", "7.25", "0"};
  const char* pays[] = {"未匯款", "已匯款", "未匯款 已給", "未匯款X", ""};
  const char* sellerPays[] = {"0", "1", "01", "1.0", "", "x"};
  Database db;
  std::vector<int> rows;
  for (int i = 0; i < 60; ++i)
    rows.push_back(add(db, {"1", "2024/01/01", "a", "", numbers[i % 10], numbers[(i / 10) % 10], pays[i % 5], "未出貨", "",
                            numbers[(i + 3) % 10], sellerPays[i % 6], "", ""}));
  const auto oneByOne = [&db](const std::vector<int>& list) {
    OrderTotals t;
    for (int r : list) t.addOrder(db.Order, r);
    return moneyPanels(t, "").mid(0, 6);
  };
  for (int change = 0; change < 5; ++change) {
    if (change == 1) db.Order.setCell(7, OrderCell::Receivable, QStringLiteral("1000000"));
    if (change == 2) db.Order.setCell(9, OrderCell::PaymentState, QStringLiteral("未匯款"));
    if (change == 3) {  // an order added, another's fee changed: those rows are read again
      rows.push_back(add(db, {"2", "2024/01/02", "b", "", "12.5", "99", "未匯款", "未出貨", "", "1", "1", "", ""}));
      db.Order.setCell(2, OrderCell::ShippingFee, QStringLiteral("-3.25"));
    }
    if (change == 4) db.Order.remove(5);  // rows removed: read anew
    if (change == 4) rows.pop_back();
    const auto all = SelectionTotals(db, rows);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->mid(0, 6), oneByOne(rows)) << "change " << change;
    const std::vector<int> few = {3, 7, 9, 50};
    EXPECT_EQ(SelectionTotals(db, few)->mid(0, 6), oneByOne(few)) << "change " << change;
  }
}

// A long list finds its customers through those kept for every order: a
// changed customer or order is seen by the next list.
TEST_F(OrderListTest, CustomerNamesFollowChangedCustomersAndOrders) {
  const auto accounts = [this] {
    QStringList out;
    for (const auto& row : OrderShow(db, filter("全部", "全部", "", true, true), {true, false}).rows)
      out << row[OrderListCol::BuyerAccount];
    return out;
  };
  EXPECT_EQ(accounts(), (QStringList{"amy (Amy Wang)", "BOB", "amy (Amy Wang)", "carl", "amy (Amy Wang)"}));
  db.Guest.setCell(1, GuestCell::CustomerNameSex, QStringLiteral("王小美"));
  db.Order.setCell(2, OrderCell::BuyerAccount, QStringLiteral("carl"));
  EXPECT_EQ(accounts(), (QStringList{"amy (王小美)", "carl (Carl)", "amy (王小美)", "carl", "amy (王小美)"}));
  db.Guest.remove(1);  // the second "amy" counts now
  EXPECT_EQ(accounts(), (QStringList{"amy (Second)", "carl (Carl)", "amy (Second)", "carl", "amy (Second)"}));
  // Orders added and changed while the customers stay: looked up alone.
  add(db, {"2402000008", "2024/02/12", "BOB", "", "0", "100", "未匯款", "未出貨", "", "0", "", "", ""});
  db.Order.setCell(4, OrderCell::BuyerCategory, QString());
  db.Order.setCell(1, OrderCell::OrderNote, QStringLiteral("改"));
  EXPECT_EQ(accounts(),
            (QStringList{"amy (Second)", "carl (Carl)", "amy (Second)", "carl (Carl)", "amy (Second)", "BOB"}));
  // An order whose buyer is not a customer yet, then the customer added.
  add(db, {"2402000009", "2024/02/13", "frank", "VIP", "0", "100", "未匯款", "未出貨", "", "0", "", "", ""});
  EXPECT_EQ(accounts().last(), "frank");
  addGuest(db, "frank", "", "Other category");
  addGuest(db, "frank", "VIP", "Frank");
  addGuest(db, "frank", "VIP", "Second Frank");
  EXPECT_EQ(accounts().last(), "frank (Frank)");
  EXPECT_EQ(accounts()[0], "amy (Second)");
}
