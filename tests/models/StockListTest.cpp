#include <gtest/gtest.h>

#include "../reports/ReportsFixture.h"
#include "models/OrderList.h"
#include "models/StockList.h"

namespace {

QStringList names(const StockList::Listing& l) {
  QStringList out;
  for (const QStringList& r : l.rows) out << r[StockList::Name];
  return out;
}

StockList::Filter filter(const QString& customers, bool unshipped, bool shipped, const QString& products = "全部",
                         const QString& period = "全部", const QString& year = "2024") {
  StockList::Filter f;
  f.allCustomers = customers == "全部";
  f.customerCategory = customers;
  f.productCategory = products;
  f.period = period;
  f.year = year;
  f.unshipped = unshipped;
  f.shipped = shipped;
  return f;
}

}  // namespace

// Lines join the first Order row of their number that passes the customer
// category, however the tables are ordered; a line of a missing order is
// never listed.
TEST(StockList, FiltersOnOrdersOutOfNumberOrder) {
  Database db;
  fillOrders(db);
  const struct {
    StockList::Filter f;
    QStringList expected;
  } cases[] = {
      {filter("全部", true, false), {"A", "B", "D", "E", "F", "G", "H"}},
      {filter("全部", false, true), {"C"}},  // 2401000001 joins its first row (蝦皮, unshipped)
      {filter("露天拍賣", false, true), {"B", "C", "H"}},  // ... but its 露天 row under that category
      {filter("露天拍賣", true, false), {"A", "D", "E"}},
      {filter("蝦皮拍賣", true, false), {"B", "H"}},
      {filter("全部", true, false, "文具"), {"B", "D", "F", "G"}},
      {filter("全部", true, false, "全部", "02月"), {"A", "D", "E"}},
      {filter("全部", true, false, "全部", "05月"), {"F", "G"}},
      {filter("全部", true, false, "全部", "整年", "2023"), {}},
      {filter("全部", true, false, "全部", "整年", " 2024"), {}},  // the year box is not trimmed
      {filter("全部", false, false), {}},
  };
  for (const auto& c : cases) EXPECT_EQ(names(StockList::StockShow(db, c.f)), c.expected) << c.f.customerCategory.toStdString();
}

TEST(StockList, RowsDiscountsAndTotalsText) {
  Database db;
  fillOrders(db);
  const StockList::Listing l = StockList::StockShow(db, filter("全部", true, false));
  ASSERT_EQ(l.rows.size(), 7u);
  EXPECT_EQ(l.rows[0], (QStringList{"2402000002", "A", "飾品", "100", "60", "1", "-33.3333333333333", "",
                                    "http://shop.example/a"}));
  EXPECT_EQ(l.rows[1][StockList::Discount], "95%");
  EXPECT_EQ(l.rows[4][StockList::Discount], "+15");
  // 66.67 + 19 + 299.67 - 33.33 + 35 + 55 + 316; the shares add up exactly.
  EXPECT_EQ(StockList::StockTotalsText(7, l.totals, true, true),
            " 共 7 筆資料， 12 件商品，售價總計 758 ，成本總計 408 ，結餘 350");
  EXPECT_EQ(StockList::StockTotalsText(7, l.totals, true, false), " 共 7 筆資料， 12 件商品，售價總計 758");
  EXPECT_EQ(StockList::StockTotalsText(7, l.totals, false, true), " 共 7 筆資料， 12 件商品");
  EXPECT_EQ(StockList::StockTotalsText(0, {}, true, true), " 共 0 筆資料， 0 件商品，售價總計 0 ，成本總計 0 ，結餘 0");
}

// The discount text and net amount of one line under each kind of discount.
TEST(StockList, LineDiscountTextAndNetAmount) {
  const struct {
    const char* percent;
    const char* amount;
    const char* price;
    const char* qty;
    const char* text;
    const char* net;
  } cases[] = {
      {"", "", "12.5", "2", "", "25"},
      {"95", "", "10", "1", "95%", "10"},    // 9.5 rounds up
      {"95", "", "333", "1", "95%", "316"},  // 316.35
      {"95", "", "-10", "1", "95%", "-10"},  // -9.5 rounds away from zero
      {"95", "", "0", "1", "95%", "0"},
      {"", "100 3", "100", "1", "-33.3333333333333", "66.6666666666667"},
      {"", "-30 2", "20", "1", "+15", "35"},
      {"", "0 1", "100", "1", "-0", "100"},
      {"90", "100 2", "100", "1", "-50", "40"},  // both: the percent, then the share
      {"", "50", "100", "1", "", "100"},         // no line count: the amount is left out
      {"95", "50 0", "100", "1", "95%", "95"},    // a count of 0 likewise
  };
  for (const auto& c : cases) {
    Database db;
    addOrder(db, {"1", "2024/01/01", "a", "x", "0", "0", "未匯款", "未出貨", "", "0", "0", c.percent, c.amount});
    addLine(db, {"1", "n", "k", c.price, "0", c.qty});
    const StockList::OrderDiscount d = StockList::orderDiscount(db.Order, 1);
    EXPECT_EQ(d.text, QString::fromUtf8(c.text)) << c.percent << "|" << c.amount;
    EXPECT_EQ(StockList::LineNetAmount(db.Stock, 1, d, 2).toText(), QString::fromUtf8(c.net)) << c.percent << "|" << c.amount;
  }
}

// Each line of an order takes the share of its amount that its discount
// text shows, the last of its line count what the others leave: the
// shares add up to the amount exactly.
TEST(StockList, DiscountSharesAddUpToTheAmount) {
  const struct {
    const char* amount;
    int lines;
    const char* shown;
  } cases[] = {
      {"100 3", 3, "-33.3333333333333"},
      {"100 7", 7, "-14.2857142857143"},
      {"-100 7", 7, "+14.2857142857143"},
      {"0.1 3", 3, "-0.0333333333333333"},
  };
  for (const auto& c : cases) {
    Database db;
    addOrder(db, {"1", "2024/01/01", "a", "x", "0", "0", "未匯款", "未出貨", "", "0", "0", "", c.amount});
    const StockList::OrderDiscount d = StockList::orderDiscount(db.Order, 1);
    EXPECT_EQ(d.text, c.shown) << c.amount;
    Decimal sum;
    for (int place = 1; place <= c.lines; ++place) sum += StockList::lineShare(d, place);
    EXPECT_EQ(sum.toExactText(), QString::fromUtf8(c.amount).section(' ', 0, 0)) << c.amount;
  }
}

// Three lines of 50 (cost 20 each) under an amount of 100: the totals are
// exact, in the list and in the search alike.
TEST(StockList, TotalsOfAnOrderWithAnAmountAreExact) {
  Database db;
  addOrder(db, {"1", "2024/01/01", "a", "x", "0", "50", "未匯款", "未出貨", "", "60", "0", "", "100 3"});
  for (const char* name : {"A", "B", "C"}) addLine(db, {"1", name, "k", "50", "20", "1"});
  const char* expected = " 共 3 筆資料， 3 件商品，售價總計 50 ，成本總計 60 ，結餘 -10";
  const StockList::Listing list = StockList::StockShow(db, filter("全部", true, false));
  EXPECT_EQ(StockList::StockTotalsText(3, list.totals, true, true), expected);
  EXPECT_EQ(list.rows[2][StockList::Discount], "-33.3333333333333");  // as every line shows it
  StockList::SearchBoxes b;
  b.unshipped = true;
  EXPECT_EQ(StockList::StockTotalsText(3, StockList::StockSearch(db, b).totals, true, true), expected);
}

TEST(StockList, SearchCriteria) {
  Database db;
  fillOrders(db);
  auto run = [&](StockList::SearchBoxes b) {
    StockList::prepare(b);
    EXPECT_EQ(StockList::dateMessage(b), "");
    StockList::orderRange(b);
    return names(StockList::StockSearch(db, b));
  };
  StockList::SearchBoxes unshipped;
  unshipped.unshipped = true;
  // Every unshipped line, whatever the window's period and customer category.
  EXPECT_EQ(run(unshipped), (QStringList{"A", "B", "D", "E", "F", "G", "H"}));
  StockList::SearchBoxes b = unshipped;
  b.dateFrom = "20240201";
  b.dateTo = "20240201";  // both ends included
  EXPECT_EQ(run(b), (QStringList{"A", "D", "E"}));
  b.dateFrom = "20240531";
  b.dateTo = "20240105";  // typed the wrong way round
  EXPECT_EQ(run(b), (QStringList{"A", "B", "D", "E", "F", "G", "H"}));
  b.dateTo = "";  // half a range filters nothing
  EXPECT_EQ(run(b).size(), 7);
  b = unshipped;
  b.orderNo = " 0500 ";
  EXPECT_EQ(run(b), (QStringList{"F", "G"}));
  b = unshipped;
  b.productName = "a\r\nsecond line";  // cut at the line break, letters without regard to case
  EXPECT_EQ(run(b), (QStringList{"A"}));
  b = unshipped;
  b.lineNote = "藍";
  EXPECT_EQ(run(b), (QStringList{"B"}));
  b = unshipped;
  b.lineUrl = "SHOP.example";
  EXPECT_EQ(run(b), (QStringList{"A"}));
  b = unshipped;
  b.category = "飾品";
  EXPECT_EQ(run(b), (QStringList{"A", "E", "H"}));
  b = StockList::SearchBoxes{};
  b.shipped = true;
  EXPECT_EQ(run(b), (QStringList{"C"}));
  EXPECT_EQ(run(StockList::SearchBoxes{}), QStringList{});  // no option: nothing

  const char* bad[] = {"2024020", "2024/02/01", "2024020a"};
  for (const char* t : bad) {
    StockList::SearchBoxes d;
    d.dateTo = t;
    StockList::prepare(d);
    EXPECT_EQ(StockList::dateMessage(d), StockList::DateMessage) << t;
  }
  StockList::SearchBoxes month13;
  month13.dateFrom = "20241301";
  EXPECT_EQ(StockList::dateMessage(month13), "");
}

// "列出選擇的訂單": each order once, in the order of its first selected line;
// lines whose order is gone are passed over.
TEST(StockList, OrdersOfTheSelectedLines) {
  Database db;
  fillOrders(db);
  EXPECT_EQ(StockList::ordersOfLines(db, {"2402000002", "2499999999", "2401000001", "2402000002", "2402000003"}),
            (std::vector<int>{3, 2, 1}));
  EXPECT_TRUE(StockList::ordersOfLines(db, {}).empty());
  EXPECT_TRUE(StockList::ordersOfLines(db, {"2499999999"}).empty());

  // A long table is read in slices: a number's first row still wins.
  Database big;
  for (int r = 1; r <= 50000; ++r) big.Order.append(QString::number(r));
  big.Order.setKey(45000, "10");
  big.Order.setKey(40000, "30000");
  EXPECT_EQ(StockList::ordersOfLines(big, {"30000", "10", "30000", "0"}), (std::vector<int>{30000, 10}));
  big.Order.setKey(30000, "x");
  EXPECT_EQ(StockList::ordersOfLines(big, {"30000", "10"}), (std::vector<int>{40000, 10}));
}

// With both tables in number order the join gives what a forward search
// through Order (resuming at the row found last) gives.
TEST(StockList, SortedTablesJoinAsAForwardSearch) {
  Database db;
  fillOrders(db);
  db.Order.sortBy(0);
  db.Stock.sortBy(0);
  auto forward = [&](const StockList::Filter& f) {
    QStringList out;
    OrderList::OrderFilter t;
    t.unshipped = f.unshipped;
    t.shipped = f.shipped;
    t.period = f.period;
    t.year = f.year;
    int r = 1;
    for (int line = 1; line <= db.Stock.count(); ++line) {
      int found = 0;
      for (int o = r; o <= db.Order.count() && !found; ++o)
        if (db.Order.key(o) == db.Stock.key(line) &&
            (f.allCustomers || db.Order.cell(o, OrderCell::BuyerCategory) == f.customerCategory))
          found = o;
      if (!found) continue;
      r = found;
      if (f.productCategory != "全部" && db.Stock.cell(line, StockCell::LineCategory) != f.productCategory) continue;
      if (!t.passesShipping(db.Order.cell(found, OrderCell::ShippingState))) continue;
      if (!t.passesPeriod(db.Order.cell(found, OrderCell::OrderDate))) continue;
      out << db.Stock.cell(line, StockCell::LineName);
    }
    return out;
  };
  for (const QString customers : {"全部", "露天拍賣", "蝦皮拍賣", "Yahoo拍賣"})
    for (const auto& [u, s] : {std::pair{true, false}, std::pair{false, true}})
      for (const QString products : {"全部", "文具"}) {
        const StockList::Filter f = filter(customers, u, s, products);
        EXPECT_EQ(names(StockList::StockShow(db, f)), forward(f)) << customers.toStdString() << u;
      }
  EXPECT_EQ(names(StockList::StockShow(db, filter("露天拍賣", false, true))), (QStringList{"B", "H", "C"}));
}

// Many lines are worked in slices: rows stay in Stock order and the totals
// are those of one pass, whatever the number cells hold.
TEST(StockList, ManyLinesKeepTheirOrderAndTotals) {
  Database db;
  StockList::Totals expected;
  const QStringList odd = {"2",     "1.25", "",        " 3",    "+4",         "5.",         "0.1234567",
                           "-2",    "12abc", "3.5.1",  "1e3",   "1234567890", "999999999.999999", "-0.000001",
                           "０",    "x",     "-",      ".5",    "007",        "123456789012345678901234"};
  for (int o = 1; o <= 12000; ++o) {
    const QString no = QStringLiteral("%1").arg(o, 8, 10, QLatin1Char('0'));
    addOrder(db, {no, "2024/01/01", "a", "x", "0", "0", "未匯款", "未出貨", "", "0", "0", o % 5 ? "" : "95",
                  o % 7 ? "" : "10 3"});
    for (int k = 0; k < 3; ++k) {
      const int n = o * 3 + k;
      const bool plain = n % 4 != 0;
      const QString price = plain ? QString::number(o % 97) + ".5" : odd[n % odd.size()];
      const QString cost = plain ? "1.25" : odd[(n / 3) % odd.size()];
      const QString qty = plain ? "2" : odd[(n / 7) % odd.size()];
      const int line = addLine(db, {no, QString::number(n), "c", price, cost, qty});
      expected.addLine(db.Stock, line, StockList::orderDiscount(db.Order, o), k + 1);
    }
  }
  const StockList::Listing l = StockList::StockShow(db, filter("全部", true, false));
  ASSERT_EQ(l.rows.size(), 36000u);
  for (size_t i = 0; i < l.rows.size(); ++i) ASSERT_EQ(l.rows[i][StockList::Name], QString::number(i + 3)) << i;
  EXPECT_EQ(StockList::StockTotalsText(36000, l.totals, true, true),
            StockList::StockTotalsText(36000, expected, true, true));
  EXPECT_TRUE(l.totals.price == expected.price);
  EXPECT_TRUE(l.totals.cost == expected.cost);
  EXPECT_TRUE(l.totals.qty == expected.qty);
}
