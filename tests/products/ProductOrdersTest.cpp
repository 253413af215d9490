#include <gtest/gtest.h>

#include "products/ProductOrders.h"
#include "store/Database.h"

using ProductOrders::ShipChoice;

namespace {

void addOrder(Database& db, const QStringList& cells) {
  const int r = db.Order.append(cells.value(0));
  for (int c = 1; c < cells.size(); ++c) db.Order.setCell(r, c, cells[c]);
}

void addLine(Database& db, const char* no, const char* name, const char* category) {
  const int r = db.Stock.append(QString::fromUtf8(no));
  db.Stock.setCell(r, StockCell::LineName, QString::fromUtf8(name));
  db.Stock.setCell(r, StockCell::LineCategory, QString::fromUtf8(category));
  db.Stock.setCell(r, StockCell::LineQty, "1");
}

// Order rows out of number order, lines out of order too.
// no, date, account, category, fee, receivable, payment, shipping, note, cost, seller pays, percent, amount
struct ProductOrdersTest : ::testing::Test {
  Database db;
  const std::vector<std::pair<QString, QString>> chosen{{"戒指", "飾品"}, {"項鍊", "飾品"}};
  void SetUp() override {
    addOrder(db, {"2601000003", "2026/01/03", "c", "露天", "60", "300", "2026/01/04", "已出貨", "", "100", "1", "", "-30 2"});
    addOrder(db, {"2601000001", "2026/01/01", "a", "露天", "10", "110.1", "未匯款", "未出貨", "", "50", "", "95", ""});
    addOrder(db, {"2601000002", "2026/01/02", "b", "蝦皮", "0", "200.2", "2026/01/02 好評", "郵局 未出貨", "", "20", "x", "", ""});
    addOrder(db, {"2601000004", "2026/01/05", "d", "露天", "5", "50", "未匯款", "未出貨", "", "5", "0", "", ""});
    addLine(db, "2601000003", "戒指", "飾品");
    addLine(db, "2601000001", "戒指", "飾品");
    addLine(db, "2601000004", "戒指", "文具");  // same name, other category: not a chosen product
    addLine(db, "2601000002", "項鍊", "飾品");
    addLine(db, "2601000001", "項鍊", "飾品");  // two chosen products in one order
    addLine(db, "2601000001", "戒指", "飾品");  // one product in two lines
  }
};

}  // namespace

TEST_F(ProductOrdersTest, EveryHoldingOrderOnceInNumberOrder) {
  EXPECT_EQ(ProductOrders::orderRows(db, chosen, ShipChoice::All), (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(ProductOrders::orderRows(db, chosen, ShipChoice::Unshipped), (std::vector<int>{2, 3}));
  EXPECT_EQ(ProductOrders::orderRows(db, chosen, ShipChoice::Shipped), (std::vector<int>{1}));
  EXPECT_EQ(ProductOrders::orderRows(db, {{"戒指", "文具"}}, ShipChoice::All), (std::vector<int>{4}));
  EXPECT_TRUE(ProductOrders::orderRows(db, {}, ShipChoice::All).empty());
  // An order number without an Order row is left out.
  addLine(db, "2601000009", "戒指", "飾品");
  EXPECT_EQ(ProductOrders::orderRows(db, chosen, ShipChoice::All), (std::vector<int>{2, 3, 1}));
}

TEST_F(ProductOrdersTest, RowsAndPanels) {
  const auto r = ProductOrders::list(db, chosen, ShipChoice::All, false);
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.rows[0], (QStringList{"2601000001", "2026/01/01", "a", "露天", "10", "110.1", "95%", "未匯款", "未出貨", "",
                                    "", "", "2"}));
  EXPECT_EQ(r.rows[1][OrderListCol::ShipDate], "未出貨");
  EXPECT_EQ(r.rows[1][OrderListCol::ShippingMethod], "郵局");
  EXPECT_EQ(r.rows[1][OrderListCol::RatingGiven], "好評");
  EXPECT_EQ(r.rows[2][OrderListCol::DiscountText], "--30");  // a surcharge behind a second minus
  EXPECT_EQ(r.rows[2][OrderListCol::OrderIndex], "1");
  EXPECT_TRUE(r.colors[0].unpaid);
  EXPECT_TRUE(r.colors[1].unshipped);
  // "x" in the seller-pays cell reads as the buyer paying, as in the main list.
  EXPECT_EQ(r.panels, (QStringList{"應收帳款: 610.3 ", "商品: 600.3 ", "成本: 170 + 60 (運費) = 230 ", "結餘: 370.3 ",
                                   "未匯款: 110.1 ", "運費: 60 (賣方) + 10 (買方) = 70 ", " 共 3 筆資料"}));

  const auto unshipped = ProductOrders::list(db, chosen, ShipChoice::Unshipped, false);
  EXPECT_EQ(unshipped.panels[2], "成本: 70 ");

  const auto none = ProductOrders::list(db, {}, ShipChoice::All, false);
  EXPECT_TRUE(none.rows.empty());
  EXPECT_EQ(none.panels[0], "應收帳款: 0 ");
  EXPECT_EQ(none.panels[6], "沒有找到符合的訂單");
}

TEST(ProductOrders, ShipStatus) {
  const std::pair<const char*, const char*> cases[] = {
      {"未出貨", "未出貨"}, {"已出貨", "已出貨"},     {"郵局 未出貨", "未出貨"}, {"郵局 2026/01/02", "2026/01/02"},
      {"郵局", ""},         {"", ""},                 {" 未出貨", "未出貨"},    {"郵局  未出貨", ""},
  };
  for (const auto& [state, status] : cases) {
    SCOPED_TRACE(state);
    EXPECT_EQ(ProductOrders::shipStatus(QString::fromUtf8(state)), QString::fromUtf8(status));
    EXPECT_EQ(ProductOrders::passes(QString::fromUtf8(state), ShipChoice::Unshipped),
              QString::fromUtf8(status) == "未出貨");
  }
}
