#include <gtest/gtest.h>

#include "models/OrderMoney.h"
#include "store/Table.h"

namespace {

OrderLine line(const QString& price, const QString& qty, const QString& cost = "0", const QString& weight = "0") {
  OrderLine l;
  l.name = "A";
  l.price = price;
  l.qty = qty;
  l.cost = cost;
  l.weight = weight;
  return l;
}

struct TotalsCase {
  const char* what;
  OrderLines lines;
  MoneyBoxes boxes;
  const char* netGoods;
  const char* receivable;
  const char* panel1;
  const char* panel2;
  const char* panel3;
};

TEST(OrderMoney, TotalsTable) {
  const std::vector<TotalsCase> cases = {
      {"no lines, fee 60, nothing ticked", {}, {"60", false, false, "", false, ""},
       "0", "應收款項: 60", "金額小計: 0 ", "成本小計: 0 ", "訂單結餘: 0 "},
      {"percent 95 of 1001 pays 951", {line("1001", "1")}, {"0", false, true, "95", false, ""},
       "951", "應收款項: 951", "金額小計: 1001 - 50 (折扣) = 951 ", "成本小計: 0 ", "訂單結餘: 951 "},
      {"exact half 959.5 goes up to 960", {line("505", "2")}, {"0", false, true, "95", false, ""},
       "960", "應收款項: 960", "金額小計: 1010 - 50 (折扣) = 960 ", "成本小計: 0 ", "訂單結餘: 960 "},
      {"negative exact half -959.5 goes to -960", {line("-505", "2")}, {"0", false, true, "95", false, ""},
       "-960", "應收款項: -960", "金額小計: -1010 - -50 (折扣) = -960 ", "成本小計: 0 ", "訂單結餘: -960 "},
      {"goods 0 with a percent", {}, {"0", false, true, "95", false, ""},
       "0", "應收款項: 0", "金額小計: 0 - 0 (折扣) = 0 ", "成本小計: 0 ", "訂單結餘: 0 "},
      {"amount replaces percent", {line("1000", "1")}, {"0", false, true, "95", true, "30"},
       "970", "應收款項: 970", "金額小計: 1000 - 30 (折扣) = 970 ", "成本小計: 0 ", "訂單結餘: 970 "},
      {"negative amount is a surcharge", {line("100", "1")}, {"0", false, false, "", true, "-50"},
       "150", "應收款項: 150", "金額小計: 100 - -50 (折扣) = 150 ", "成本小計: 0 ", "訂單結餘: 150 "},
      {"buyer pays the fee, unit word after it", {line("500", "1", "300")}, {"60元", false, false, "", false, ""},
       "500", "應收款項: 560", "金額小計: 500 ", "成本小計: 300 ", "訂單結餘: 200 "},
      {"seller pays the fee", {line("500", "2", "200")}, {"80", true, false, "", false, ""},
       "1000", "應收款項: 1000", "金額小計: 1000 ", "成本小計: 400 + 80 (運費) = 480 ", "訂單結餘: 520 "},
      {"3 x 19.9 has no tail", {line("19.9", "3")}, {"0", false, false, "", false, ""},
       "59.7", "應收款項: 59.7", "金額小計: 59.7 ", "成本小計: 0 ", "訂單結餘: 59.7 "},
      {"a balance of nothing reads 0, not binary noise", {line("0.3", "1", "0.1")}, {"0.2", true, false, "", false, ""},
       "0.3", "應收款項: 0.3", "金額小計: 0.3 ", "成本小計: 0.1 + 0.2 (運費) = 0.3 ", "訂單結餘: 0 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const MoneyFigures f = OrderMoney::compute(c.lines, c.boxes);
    ASSERT_TRUE(f.ok());
    EXPECT_EQ(f.netGoodsText, c.netGoods);
    EXPECT_EQ(f.receivableCaption, c.receivable);
    EXPECT_EQ(f.panels[0], c.panel1);
    EXPECT_EQ(f.panels[1], c.panel2);
    EXPECT_EQ(f.panels[2], c.panel3);
    EXPECT_EQ(f.panels[3], QString(c.receivable) + " ");
    EXPECT_EQ(f.ReceivableText, QString(c.receivable).mid(6));
  }
}

TEST(OrderMoney, LinesGiveSubtotalsQuantityAndWeight) {
  const MoneyFigures f =
      OrderMoney::compute({line("19.9", "3", "10", "0.5"), line("100", "2", "40", "1.25")}, MoneyBoxes{});
  ASSERT_TRUE(f.ok());
  EXPECT_EQ(f.subtotals, (std::vector<QString>{"59.7", "200"}));
  EXPECT_EQ(f.quantityText, "商品數量: 5    總重量: 4");
  EXPECT_EQ(f.costText, "110");
  EXPECT_EQ(f.TotalQty, 5);
}

TEST(OrderMoney, TickedBoxWithoutNumberComputesNothing) {
  const OrderLines lines{line("100", "1")};
  EXPECT_EQ(OrderMoney::compute(lines, {"abc", true, false, "", false, ""}).status, MoneyFigures::Status::Skipped);
  EXPECT_EQ(OrderMoney::compute(lines, {"0", false, true, "", false, ""}).status, MoneyFigures::Status::Skipped);
  EXPECT_EQ(OrderMoney::compute(lines, {"0", false, false, "", true, "x"}).status, MoneyFigures::Status::Skipped);
  // Unticked boxes are not looked at.
  EXPECT_TRUE(OrderMoney::compute(lines, {"abc", false, false, "zz", false, "x"}).ok());
}

TEST(OrderMoney, AbsurdNumbersAreAnError) {
  const QString huge = "9" + QString(300, '9');
  const MoneyFigures f = OrderMoney::compute({line(huge, huge)}, MoneyBoxes{});
  EXPECT_EQ(f.status, MoneyFigures::Status::Overflow);
}

TEST(OrderMoney, ProductPricesAndRates) {
  Table manuf(ManufCell::Count);
  auto add = [&](const char* name, const char* cat, const char* price, const char* cost) {
    const int r = manuf.append(name);
    manuf.setCell(r, ManufCell::ProductCategory, cat);
    manuf.setCell(r, ManufCell::ProductPrice, price);
    manuf.setCell(r, ManufCell::ProductCost, cost);
  };
  add("A", "x", "120", "70");
  add("A", "x", "999", "999");  // a duplicate further down is never used
  add("B", "y", "50", "20");
  OrderLines lines(3);
  lines[0].name = "A", lines[0].category = "x", lines[0].price = "1", lines[0].cost = "1";
  lines[1].name = "B", lines[1].category = "other", lines[1].price = "2", lines[1].cost = "2";
  lines[2].name = "B", lines[2].category = "y", lines[2].price = "3", lines[2].cost = "3";
  EXPECT_EQ(OrderMoney::applyProductPrices(lines, {true, true, false}, manuf), 1);
  EXPECT_EQ(lines[0].price, "120");
  EXPECT_EQ(lines[0].cost, "70");
  EXPECT_EQ(lines[1].price, "2");  // no product of that category
  EXPECT_EQ(lines[2].price, "3");  // not selected

  OrderLines r(2);
  r[0].price = "33.333", r[1].price = "100";
  r[0].cost = "10";
  OrderMoney::convertByRate(r, {true, false}, false, 1, 2);
  EXPECT_EQ(r[0].price, "33.33");
  EXPECT_EQ(r[1].price, "100");
  OrderMoney::convertByRate(r, {true, true}, false, 0.3, 0);
  EXPECT_EQ(r[0].price, "10");
  EXPECT_EQ(r[1].price, "30");
  OrderMoney::convertByRate(r, {true, false}, true, 1.5, 2);
  EXPECT_EQ(r[0].cost, "15");
}

}  // namespace
