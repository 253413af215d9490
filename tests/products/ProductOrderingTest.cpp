#include <gtest/gtest.h>

#include "ProductFixture.h"
#include "ScriptedPrompt.h"
#include "products/ProductOrdering.h"

namespace {

QStringList names(const Database& db) {
  QStringList out;
  for (int r = 1; r <= db.Manuf.count(); ++r) out << db.Manuf.key(r);
  return out;
}

}  // namespace

TEST(ProductOrdering, MovesExchangeWholeRowsOfTheDisplayedNeighbours) {
  Database db;
  fillProducts(db);  // 戒指 項鍊 鉛筆 橡皮 雜物 貼紙
  // A list filtered to rows 1, 3 and 6: moving 貼紙 up exchanges it with 鉛筆
  // only; the products stored between them keep their rows.
  std::vector<bool> sel{false, false, true};
  auto made = ProductOrdering::moveSelected(db, {1, 3, 6}, sel, true);
  ASSERT_TRUE(made);
  EXPECT_EQ(*made, (std::vector<std::pair<int, int>>{{2, 1}}));
  EXPECT_EQ(names(db), (QStringList{"戒指", "項鍊", "貼紙", "橡皮", "雜物", "鉛筆"}));
  EXPECT_EQ(db.Manuf.cell(3, ManufCell::ProductCategory), "未分類");  // every cell travels
  EXPECT_EQ(db.Manuf.cell(6, ManufCell::ProductStock), "-2");
  EXPECT_EQ(sel, (std::vector<bool>{false, true, false}));
  EXPECT_TRUE(db.dirty());

  // A block at the top does not move up; down it moves as a whole.
  sel = {true, true, false};
  made = ProductOrdering::moveSelected(db, {1, 3, 6}, sel, true);
  EXPECT_TRUE(made->empty());
  made = ProductOrdering::moveSelected(db, {1, 3, 6}, sel, false);
  EXPECT_EQ(names(db), (QStringList{"鉛筆", "項鍊", "戒指", "橡皮", "雜物", "貼紙"}));
  EXPECT_EQ(sel, (std::vector<bool>{false, true, true}));
}

TEST(ProductOrdering, FewRowsOrBadIndexes) {
  Database db;
  fillProducts(db);
  std::vector<bool> sel{true};
  EXPECT_TRUE(ProductOrdering::moveSelected(db, {2}, sel, true)->empty());
  EXPECT_FALSE(db.dirty());  // a single row: not even the flag
  sel = {false, false};
  EXPECT_TRUE(ProductOrdering::moveSelected(db, {1, 2}, sel, true)->empty());
  EXPECT_TRUE(db.dirty());  // two rows, none chosen: the flag all the same
  sel = {false, true};
  EXPECT_FALSE(ProductOrdering::moveSelected(db, {1, 99}, sel, true));
  EXPECT_EQ(db.Manuf.key(1), "戒指");
}

TEST(ProductOrdering, SortByNameAsksFirst) {
  Database db;
  fillProducts(db);
  addProduct(db, {"10號", "文具"});
  addProduct(db, {"9號", "文具"});
  addProduct(db, {"戒指", "文具"});
  const Table before = db.Manuf;
  ScriptedPrompt prompt;
  prompt.answer(Prompt::Answer::No);
  EXPECT_FALSE(ProductOrdering::sortByName(db, prompt));
  EXPECT_EQ(db.Manuf, before);
  EXPECT_FALSE(db.dirty());
  EXPECT_EQ(prompt.shown.back().text, "排序後將無法恢復之前的順序，確定繼續嗎?");
  EXPECT_EQ(prompt.shown.back().icon, Prompt::Icon::None);

  prompt.answer(Prompt::Answer::Yes);
  EXPECT_TRUE(ProductOrdering::sortByName(db, prompt));
  const QStringList sorted = names(db);
  EXPECT_EQ(sorted.mid(0, 2), (QStringList{"10號", "9號"}));  // compared as text
  const qsizetype ring = sorted.indexOf("戒指");
  EXPECT_EQ(sorted[ring + 1], "戒指");  // one name in two categories ends side by side
  EXPECT_EQ(db.Manuf.cell(ring + 1, ManufCell::ProductCategory), "飾品");
  EXPECT_EQ(db.Manuf.cell(ring + 2, ManufCell::ProductCategory), "文具");  // equal names keep their order
  EXPECT_TRUE(db.dirty());
}
