// The window-free parts of the customer views: purchase history, the
// advanced search, a customer's orders, customers without orders and the
// e-mail list.
#include <gtest/gtest.h>

#include "../models/AwkwardBook.h"
#include "CustomerViewsFixture.h"
#include "customers/GuestFind.h"
#include "customers/GuestHistory.h"
#include "customers/GuestOrders.h"
#include "customers/GuestRowSource.h"
#include "models/OrderList.h"

namespace {

QStringList keys(const Table& guest, const std::vector<int>& rows) {
  QStringList out;
  for (const int r : rows) out << guest.key(r) + "/" + guest.cell(r, GuestCell::CustomerCategory);
  return out;
}

// The list row the window shows for row i of the found rows.
QStringList shown(const Table& guest, const std::vector<int>& rows, size_t i,
                  const GuestList::View& view = GuestList::allShown()) {
  const auto source = GuestList::rowSource(guest, rows, view);
  QStringList cells;
  for (int c = 0; c < GuestList::Count; ++c) cells << source->text(static_cast<int>(i), c);
  return cells;
}

TEST(GuestHistory, LinesOfTheCustomersOrdersWithTotals) {
  CustomerViewsFixture f;
  const GuestHistory::Result r = GuestHistory::build(f.db, "amy", "露天");
  // A1's lines lie apart in Stock and still come together, before A3's;
  // the lines of the same account on the other site are not listed.
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.rows[0], (QStringList{"2021/01/05", "手工茶杯", "陶瓷", "100 x 0.95", "60", "2", "",
                                    "http://shop.example.com/cup"}));
  EXPECT_EQ(r.rows[1], (QStringList{"2021/01/05", "玻璃收納盒", "玻璃", "25.5 x 0.95", "10.25", "1", "",
                                    "www.example.com/box"}));
  EXPECT_EQ(r.rows[2], (QStringList{"2021/03/01", "木製餐具", "木器", "150", "100", "2", "*已包", "javascript:alert(1)"}));
  // The totals take the stored prices, whatever the discounts.
  EXPECT_EQ(r.status(), " 共 3 筆資料，售價總計 525.5元 ，成本總計 330.25 元，結餘 195.25 元，數量總計 5");

  EXPECT_EQ(GuestHistory::build(f.db, "cal", "未分類").status(),
            " 共 0 筆資料，售價總計 0元 ，成本總計 0 元，結餘 0 元，數量總計 0");
  EXPECT_TRUE(GuestHistory::build(f.db, "Amy", "露天").rows.empty());
}

TEST(GuestHistory, SearchLooksInProductNamesIgnoringCase) {
  CustomerViewsFixture f;
  const auto xab = GuestHistory::build(f.db, "amy", "蝦皮", "xab");
  ASSERT_EQ(xab.rows.size(), 1u);
  EXPECT_EQ(xab.rows[0][GuestHistory::Name], "XAB-1 髮夾");
  EXPECT_EQ(xab.status(), " 共 1 筆資料，售價總計 500元 ，成本總計 300 元，結餘 200 元，數量總計 1");
  EXPECT_EQ(GuestHistory::build(f.db, "amy", "露天", "收納").rows.size(), 1u);
  EXPECT_TRUE(GuestHistory::build(f.db, "amy", "蝦皮", " xab").rows.empty());  // the blank must stand in the name
  EXPECT_EQ(GuestHistory::build(f.db, "amy", "露天", "").rows.size(), 3u);
}

TEST(GuestHistory, PriceCellAndWebAddresses) {
  const std::pair<const char*, const char*> prices[] = {
      {"95", "100 x 0.95"}, {"100", "100 x 1"}, {"5", "100 x 0.05"}, {"87.5", "100 x 0.875"}, {"", "100"}};
  for (const auto& [percent, cell] : prices) EXPECT_EQ(GuestHistory::priceCell("100", percent), cell) << percent;

  const std::pair<const char*, const char*> urls[] = {
      {"http://shop.example.com/cup", "http://shop.example.com/cup"},
      {"https://a.example.com/x?y=1", "https://a.example.com/x?y=1"},
      {"ftp://files.example.com/a", "ftp://files.example.com/a"},
      {"www.example.com/box", "http://www.example.com/box"},
      {"mailto:a@example.com", nullptr},
      {"javascript:alert(1)", nullptr},
      {"file:///etc/passwd", nullptr},
      {"", nullptr},
  };
  for (const auto& [cell, opened] : urls) {
    const QUrl u = GuestHistory::webAddress(QString::fromUtf8(cell));
    if (opened) EXPECT_EQ(u.toString(), QString::fromUtf8(opened)) << cell;
    else EXPECT_FALSE(u.isValid()) << cell;
  }
}

TEST(GuestFind, FieldSearchNeedsEveryCondition) {
  CustomerViewsFixture f;
  struct Case {
    const char* category;
    int box;  // index into Conditions::text, -1 none
    const char* text;
    const char* sex;
    QStringList found;
  };
  const Case cases[] = {
      {"全部", -1, "", "", {"amy/露天", "amy/蝦皮", "Bob/露天", "cal/未分類", "dan/露天"}},
      {"全部", 0, "AM", "", {"amy/露天", "amy/蝦皮"}},
      {"露天", 0, "AM", "", {"amy/露天"}},
      {"蝦皮", 1, "amy", "", {"amy/蝦皮"}},      // the name part, lower case
      {"全部", 1, "丁", "", {"dan/露天"}},       // a name without separator is a name
      {"全部", -1, "", "男", {"cal/未分類"}},
      {"全部", -1, "", "女", {"amy/露天"}},      // "丁" has no sex part
      {"未分類", -1, "", "", {"cal/未分類"}},
      {"", -1, "", "", {}},                      // no entry chosen: only empty categories
      {"露天", 4, "X.TW", "", {"amy/露天", "dan/露天"}},
      {"全部", 5, "台中", "", {"amy/蝦皮"}},
      {"全部", 7, "vip", "", {"amy/露天"}},
  };
  for (const Case& c : cases) {
    GuestFind::Conditions cond;
    cond.category = QString::fromUtf8(c.category);
    if (c.box >= 0) cond.text[static_cast<size_t>(c.box)] = QString::fromUtf8(c.text);
    cond.sex = QString::fromUtf8(c.sex);
    const auto rows = GuestFind::fieldSearch(f.db.Guest, cond);
    EXPECT_EQ(keys(f.db.Guest, rows), c.found) << c.category << " " << c.box << " " << c.text << " " << c.sex;
  }
  // Every column is filled, whatever the window's view menu says.
  GuestFind::Conditions amy;
  amy.text[3] = "0911";
  const auto rows = GuestFind::fieldSearch(f.db.Guest, amy);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(shown(f.db.Guest, rows, 0),
            (QStringList{"amy", "露天", "王小美", "02-1", "0911", "amy@x.tw", "台北市", "11111", "VIP", "1"}));
}

TEST(GuestFind, ProductSearchFindsBuyersWhereverTheirLinesLie) {
  CustomerViewsFixture f;
  const GuestList::View all = GuestList::allShown();
  // "玻璃收納盒" is A1's second line, three rows after its first.
  const Table& g = f.db.Guest;
  EXPECT_EQ(keys(g, GuestFind::productSearch(f.db, "玻璃")), QStringList{"amy/露天"});
  // "xab-2" is an order of "bob", but the customer is "Bob": not listed.
  EXPECT_EQ(keys(g, GuestFind::productSearch(f.db, "ab")), QStringList{"amy/蝦皮"});
  // Several matching lines, one row; an empty text matches every named line.
  EXPECT_EQ(keys(g, GuestFind::productSearch(f.db, "")), (QStringList{"amy/露天", "amy/蝦皮"}));
  EXPECT_TRUE(GuestFind::productSearch(f.db, "沒有這個").empty());
  GuestList::View noPhone = all;
  noPhone[GuestList::Phone] = false;
  const auto rows = GuestFind::productSearch(f.db, "杯");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(shown(g, rows, 0, noPhone)[GuestList::Phone], "");
  EXPECT_EQ(shown(g, rows, 0, noPhone)[GuestList::Mobile], "0911");
  EXPECT_EQ(shown(g, rows, 0, noPhone)[GuestList::Index], "1");
}

TEST(GuestOrders, OrdersCustomersWithoutOrdersAndEmailList) {
  CustomerViewsFixture f;
  EXPECT_EQ(GuestOrders::ordersOf(f.db.Order, "amy", "露天"), (std::vector<int>{1, 3}));
  EXPECT_TRUE(GuestOrders::ordersOf(f.db.Order, "Bob", "露天").empty());

  // The orphan order A4 ("bob") does not count for "Bob"; last row first.
  const auto without = GuestOrders::withoutOrders(f.db);
  EXPECT_EQ(keys(f.db.Guest, without), (QStringList{"cal/未分類", "Bob/露天"}));
  EXPECT_EQ(shown(f.db.Guest, without, 0)[GuestList::Index], "4");
  EXPECT_EQ(shown(f.db.Guest, without, 0)[GuestList::Name], "陳");

  bool bad = false;
  EXPECT_EQ(GuestOrders::emailList(f.db.Guest, {1, 3, 2, 5}, &bad), "amy@x.tw;amy@x.tw;dan@x.tw");
  EXPECT_FALSE(bad);
  EXPECT_EQ(GuestOrders::emailList(f.db.Guest, {3, 4}, &bad), "");
  EXPECT_EQ(GuestOrders::emailList(f.db.Guest, {9, 5}, &bad), "dan@x.tw");
  EXPECT_TRUE(bad);
}

TEST(GuestOrders, CustomersWithoutOrdersShareTheirKeysMark) {
  AwkwardBook b;
  // Rows whose key no order uses, last row first: a key stored twice is
  // listed with all its rows or with none.
  const OrderList::CustomerLookup lookup(b.db.Guest);
  std::vector<char> used(static_cast<size_t>(b.db.Guest.count()) + 1, 0);
  for (int o = 1; o <= b.db.Order.count(); ++o)
    used[static_cast<size_t>(
        lookup.row(b.db.Order.cell(o, OrderCell::BuyerAccount), b.db.Order.cell(o, OrderCell::BuyerCategory)))] = 1;
  std::vector<int> expected;
  for (int r = b.db.Guest.count(); r >= 1; --r)
    if (!used[static_cast<size_t>(lookup.row(b.db.Guest.key(r), b.db.Guest.cell(r, GuestCell::CustomerCategory)))])
      expected.push_back(r);
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(GuestOrders::withoutOrders(b.db), expected);

  // A second "amy/露天拍賣" behind one that has an order is not listed.
  Database db;
  for (const auto& [account, category] : {std::pair{"amy", "露天拍賣"}, {"bob", "露天拍賣"}, {"amy", "露天拍賣"}}) {
    const int r = db.Guest.append(account);
    db.Guest.setCell(r, GuestCell::CustomerCategory, category);
  }
  const int o = db.Order.append("A1");
  db.Order.setCell(o, OrderCell::BuyerAccount, "amy");
  db.Order.setCell(o, OrderCell::BuyerCategory, "露天拍賣");
  EXPECT_EQ(GuestOrders::withoutOrders(db), std::vector<int>{2});
}

}  // namespace
