#include <gtest/gtest.h>

#include "ProductFixture.h"
#include "products/ProductSearch.h"

namespace {

QStringList namesOf(const ProductList::Listing& l) {
  QStringList out;
  for (const auto& r : l.rows) out << r[ProductList::Name];
  return out;
}

struct SearchCase {
  const char* box;
  const char* category;  // the filter's text
  bool all;              // 全區搜尋
  const char* searched;  // what the box shows afterwards
  QStringList names;
};

}  // namespace

TEST(ProductSearch, KeywordsNormalisingAndCategories) {
  Database db;
  fillProducts(db);
  addProduct(db, {"Apple Pen", "文具", "30", "10", "2", "red INK", "0", "1"});
  addProduct(db, {"Box", "飾品", "8", "2", "1", "for apple", "0", "1"});

  const SearchCase cases[] = {
      // Upper case finds lower case; a keyword may sit in the note.
      {"APPLE", "全部", false, "APPLE", {"Apple Pen", "Box"}},
      // Each keyword in either field; two blanks give an empty keyword that narrows nothing.
      {"pen  ink", "全部", false, "pen  ink", {"Apple Pen"}},
      // The full-width blank is part of the keyword.
      {"apple\u3000pen", "全部", false, "apple\u3000pen", {}},
      // Blanks only: trimmed to nothing, every product of the category.
      {"   ", "文具", false, "", {"鉛筆", "橡皮", "Apple Pen"}},
      // Only the first line; the blank before the line break stays and adds an empty keyword.
      {"銀 \r\n項鍊", "全部", false, "銀 ", {"戒指"}},
      // A lone LF does not end the line.
      {"銀\n項鍊", "全部", false, "銀\n項鍊", {}},
      // 搜尋 keeps to the chosen category, 全區搜尋 does not.
      {"apple", "文具", false, "apple", {"Apple Pen"}},
      {"apple", "文具", true, "apple", {"Apple Pen", "Box"}},
      // "未分類" is compared like any category: the product with no category is not in it.
      {" ", "未分類", false, "", {"貼紙"}},
      {"沒有這個", "全部", true, "沒有這個", {}},
  };
  for (const SearchCase& c : cases) {
    SCOPED_TRACE(c.box);
    ProductList::Options o;
    o.category = QString::fromUtf8(c.category);
    o.stock = ProductList::StockFilter::WithStock;  // the stock filters are not read
    const auto r = ProductSearch::run(db, QString::fromUtf8(c.box), o, c.all);
    EXPECT_FALSE(r.refused);
    EXPECT_EQ(r.searchText, QString::fromUtf8(c.searched));
    EXPECT_EQ(namesOf(r.listing), c.names);
  }

  const auto empty = ProductSearch::run(db, QString(), {}, false);
  EXPECT_TRUE(empty.refused);
}

TEST(ProductSearch, EmptyKeywordNeedsAText) {
  // The empty keyword occurs only in a text that is not empty: a product
  // without name and note fails it.
  EXPECT_TRUE(ProductSearch::matches({"", "a"}, "A", ""));
  EXPECT_FALSE(ProductSearch::matches({""}, "", ""));
  EXPECT_TRUE(ProductSearch::matches({"b"}, "", "xB"));
  EXPECT_EQ(ProductSearch::keywords(""), QStringList());
  EXPECT_EQ(ProductSearch::keywords("a "), (QStringList{"a", ""}));
}

TEST(ProductSearch, ListsAsTheProductListWithExactTotals) {
  Database db;
  fillProducts(db);
  ProductList::Options o;
  o.showPrice = false;
  const auto r = ProductSearch::run(db, "文具 x", o, true);  // no match
  EXPECT_EQ(r.listing.statusTexts(), (QStringList{"售價總計: 0 ", "成本總計: 0 ", "庫存總數: 0 ", "共 0 筆資料"}));

  const auto all = ProductSearch::run(db, " ", o, true);
  ASSERT_EQ(all.listing.rows.size(), 6u);
  EXPECT_EQ(all.listing.rows[0], (QStringList{"戒指", "飾品", "", "60", "5", "銀", "2", "10", "1"}));
  EXPECT_EQ(all.listing.statusTexts()[0], "售價總計: 496 ");  // the hidden price still counts
  ASSERT_EQ(all.listing.redRows, (std::vector<int>{1, 2, 5}));
}
