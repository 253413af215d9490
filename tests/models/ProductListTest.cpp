#include <gtest/gtest.h>

#include "../products/ProductFixture.h"
#include "models/ProductList.h"

using ProductList::StockFilter;

namespace {

QStringList namesOf(const ProductList::Listing& l) {
  QStringList out;
  for (const auto& r : l.rows) out << r[ProductList::Name];
  return out;
}

QStringList redOf(const ProductList::Listing& l) {
  QStringList out;
  for (int i : l.redRows) out << l.rows[static_cast<size_t>(i)][ProductList::Name];
  return out;
}

struct Case {
  const char* category;
  StockFilter stock;
  bool safeRed;
  QStringList names;
  QStringList red;
  double price, cost, stockTotal;
};

}  // namespace

TEST(ProductList, RowsColoursAndTotalsForEachFilter) {
  Database db;
  fillProducts(db);
  const Case cases[] = {
      {"全部", StockFilter::All, true, {"戒指", "項鍊", "鉛筆", "橡皮", "雜物", "貼紙"}, {"項鍊", "鉛筆", "貼紙"}, 496, 299, 7},
      {"全部", StockFilter::WithStock, true, {"戒指", "橡皮", "雜物"}, {}, 516, 307, 9},
      {"全部", StockFilter::WithoutStock, true, {"項鍊", "鉛筆", "貼紙"}, {"項鍊", "鉛筆", "貼紙"}, -20, -8, -2},
      {"全部", StockFilter::UnderSafety, true, {"項鍊", "鉛筆", "貼紙"}, {"項鍊", "鉛筆", "貼紙"}, -20, -8, -2},
      {"文具", StockFilter::All, true, {"鉛筆", "橡皮"}, {"鉛筆"}, -5, -2, 1},
      {"文具", StockFilter::WithStock, true, {"橡皮"}, {}, 15, 6, 3},
      {"未分類", StockFilter::All, true, {"貼紙"}, {"貼紙"}, 0, 0, 0},
      {"飾品", StockFilter::All, false, {"戒指", "項鍊"}, {}, 500, 300, 5},
      {"不存在", StockFilter::All, true, {}, {}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    ProductList::Options o;
    o.category = QString::fromUtf8(c.category);
    o.stock = c.stock;
    o.safeRed = c.safeRed;
    const auto l = ProductList::build(db, o);
    SCOPED_TRACE(std::string(c.category) + " filter " + std::to_string(static_cast<int>(c.stock)));
    EXPECT_EQ(namesOf(l), c.names);
    EXPECT_EQ(redOf(l), c.red);
    EXPECT_DOUBLE_EQ(l.priceTotal.toDouble(), c.price);
    EXPECT_DOUBLE_EQ(l.costTotal.toDouble(), c.cost);
    EXPECT_DOUBLE_EQ(l.stockTotal.toDouble(), c.stockTotal);
  }
}

TEST(ProductList, CellsIndexAndStatusTexts) {
  Database db;
  fillProducts(db);
  ProductList::Options o;
  o.showPrice = o.showCost = o.showStock = o.showNote = false;
  const auto l = ProductList::build(db, o);
  ASSERT_EQ(l.rows.size(), 6u);
  // Switched-off columns stay empty; safety stock, weight and Index always show.
  EXPECT_EQ(l.rows[0], (QStringList{"戒指", "飾品", "", "", "", "", "2", "10", "1"}));
  EXPECT_EQ(l.rows[5][ProductList::Index], "6");
  // The totals and the red rows still come from the stored values.
  EXPECT_EQ(l.priceTotal, Decimal(496));
  EXPECT_EQ(redOf(l), (QStringList{"項鍊", "鉛筆", "貼紙"}));
  EXPECT_EQ(l.statusTexts(),
            (QStringList{"售價總計: 496 ", "成本總計: 299 ", "庫存總數: 7 ", "共 6 筆資料"}));

  o = {};
  EXPECT_EQ(ProductList::build(db, o).rows[0][ProductList::Note], "銀");

  Database empty;
  EXPECT_EQ(ProductList::build(empty, o).statusTexts(),
            (QStringList{"售價總計: 0 ", "成本總計: 0 ", "庫存總數: 0 ", "共 0 筆資料"}));
}

TEST(ProductList, CategoryFilterEntries) {
  Database db;
  fillProducts(db);
  EXPECT_EQ(ProductList::categoryFilterEntries(db),
            (QStringList{"全部", "飾品", "文具", "未分類", "編輯商品分類"}));
}

TEST(ProductList, TotalsAreExactDecimalSums) {
  // 37 products at 19.9: summed as doubles the panel would read 736.299999999999.
  Database db;
  for (int i = 0; i < 37; ++i) addProduct(db, {QString::number(i), "x", "19.9", "0.1", "1", "", "", ""});
  const auto l = ProductList::build(db, {});
  EXPECT_EQ(l.statusTexts()[0], "售價總計: 736.3 ");
  EXPECT_EQ(l.statusTexts()[1], "成本總計: 3.7 ");
}
