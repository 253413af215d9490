#include <gtest/gtest.h>

#include "admin/CategoryEdit.h"
#include "store/Database.h"

namespace {

using CategoryEdit::Kind;

struct CategoryEditTest : ::testing::Test {
  Database db;
  void SetUp() override {
    put(db.Manuf, "杯子", ManufCell::ProductCategory, "廚房");
    put(db.Manuf, "碗", ManufCell::ProductCategory, "廚房 ");  // differs by a blank
    put(db.Manuf, "杯子", ManufCell::ProductCategory, "餐具");
    put(db.Stock, "2401001", StockCell::LineCategory, "廚房");
    put(db.Stock, "2401002", StockCell::LineCategory, "廚房");
    put(db.Images, "杯子", ImagesCell::ImageCategory, "廚房");
    put(db.Guest, "amy", GuestCell::CustomerCategory, "露天");
    put(db.Guest, "amy", GuestCell::CustomerCategory, "未分類");
    put(db.Guest, "bob", GuestCell::CustomerCategory, "露天");
    put(db.Order, "2401001", OrderCell::BuyerCategory, "露天");
    put(db.Order, "2401002", OrderCell::BuyerCategory, "蝦皮");
    put(db.Expend, "2024/01/01", ExpendCell::ExpendCategory, "郵資");
  }
  static void put(Table& t, const QString& key, int column, const QString& value) {
    t.setCell(t.append(key), column, value);
  }
  static QStringList column(const Table& t, int c) {
    QStringList out;
    for (int r = 1; r <= t.count(); ++r) out << t.cell(r, c);
    return out;
  }
};

TEST_F(CategoryEditTest, CaptionChoosesTheList) {
  EXPECT_EQ(CategoryEdit::kindOf("編輯商品分類"), Kind::Product);
  EXPECT_EQ(CategoryEdit::kindOf("編輯客戶分類"), Kind::Customer);
  EXPECT_EQ(CategoryEdit::kindOf("編輯費用分類"), Kind::Expense);
  EXPECT_EQ(CategoryEdit::kindOf("編輯分類"), Kind::None);
  EXPECT_EQ(&CategoryEdit::list(db, Kind::Customer), &db.settings.CustomerCategories);
  EXPECT_EQ(CategoryEdit::capacity(Kind::Product), 2000);
  EXPECT_EQ(CategoryEdit::capacity(Kind::Customer), 200);
  EXPECT_EQ(CategoryEdit::capacity(Kind::Expense), 500);
}

TEST_F(CategoryEditTest, RenameReachesEveryTableOfItsKind) {
  EXPECT_EQ(CategoryEdit::rename(db, Kind::Product, "廚房", "廚具"), 4);
  EXPECT_EQ(column(db.Manuf, ManufCell::ProductCategory), (QStringList{"廚具", "廚房 ", "餐具"}));
  EXPECT_EQ(column(db.Stock, StockCell::LineCategory), (QStringList{"廚具", "廚具"}));
  EXPECT_EQ(column(db.Images, ImagesCell::ImageCategory), QStringList{"廚具"});
  EXPECT_FALSE(db.ExpendDirty);

  EXPECT_EQ(CategoryEdit::rename(db, Kind::Customer, "露天", "Ruten"), 3);
  EXPECT_EQ(column(db.Guest, GuestCell::CustomerCategory), (QStringList{"Ruten", "未分類", "Ruten"}));
  EXPECT_EQ(column(db.Order, OrderCell::BuyerCategory), (QStringList{"Ruten", "蝦皮"}));

  EXPECT_EQ(CategoryEdit::rename(db, Kind::Expense, "沒有", "x"), 0);
  EXPECT_TRUE(db.ExpendDirty);  // even when no row matched
  CategoryEdit::rename(db, Kind::Expense, "郵資", "運費");
  EXPECT_EQ(column(db.Expend, ExpendCell::ExpendCategory), QStringList{"運費"});
}

TEST_F(CategoryEditTest, DeleteMovesRowsToUncategorised) {
  CategoryEdit::remove(db, Kind::Customer, "蝦皮");
  EXPECT_EQ(column(db.Order, OrderCell::BuyerCategory), (QStringList{"露天", "未分類"}));
  CategoryEdit::remove(db, Kind::Product, "廚房");
  EXPECT_EQ(column(db.Manuf, ManufCell::ProductCategory), (QStringList{"未分類", "廚房 ", "餐具"}));
  EXPECT_EQ(column(db.Stock, StockCell::LineCategory), (QStringList{"未分類", "未分類"}));
  EXPECT_EQ(column(db.Images, ImagesCell::ImageCategory), QStringList{"未分類"});
  CategoryEdit::remove(db, Kind::Expense, "郵資");
  EXPECT_EQ(column(db.Expend, ExpendCell::ExpendCategory), QStringList{"未分類"});
  EXPECT_TRUE(db.ExpendDirty);
}

TEST_F(CategoryEditTest, ClashesNameTheIdentitiesARenameWouldMerge) {
  EXPECT_EQ(CategoryEdit::clashes(db, Kind::Product, "廚房", "餐具"), QStringList{"杯子"});
  EXPECT_TRUE(CategoryEdit::clashes(db, Kind::Product, "廚房 ", "餐具").isEmpty());
  EXPECT_TRUE(CategoryEdit::clashes(db, Kind::Product, "廚房", "廚房").isEmpty());
  EXPECT_EQ(CategoryEdit::clashes(db, Kind::Customer, "露天", "未分類"), QStringList{"amy"});
  EXPECT_TRUE(CategoryEdit::clashes(db, Kind::Customer, "露天", "蝦皮").isEmpty());
  EXPECT_TRUE(CategoryEdit::clashes(db, Kind::Expense, "郵資", "郵資2").isEmpty());
}

TEST_F(CategoryEditTest, NamesLoseQuotesAndBlanks) {
  EXPECT_EQ(CategoryEdit::cleanName(" 露\"天” "), "露天");
  EXPECT_EQ(CategoryEdit::cleanName("\"”"), "");
}

TEST_F(CategoryEditTest, MovesShiftRunsOfSelectedEntries) {
  struct Case { std::vector<bool> sel; bool up; QStringList entries; std::vector<bool> after; };
  const Case cases[] = {
      {{false, true, true, false}, true, {"b", "c", "a", "d"}, {true, true, false, false}},
      {{true, false, true, false}, true, {"a", "c", "b", "d"}, {true, true, false, false}},
      {{true, true, false, false}, true, {"a", "b", "c", "d"}, {true, true, false, false}},
      {{false, true, false, true}, false, {"a", "c", "b", "d"}, {false, false, true, true}},
      {{true, false, true, false}, false, {"b", "a", "d", "c"}, {false, true, false, true}},
  };
  for (const auto& c : cases) {
    QStringList e{"a", "b", "c", "d"};
    auto sel = c.sel;
    c.up ? CategoryEdit::moveUp(e, sel) : CategoryEdit::moveDown(e, sel);
    EXPECT_EQ(e, c.entries);
    EXPECT_EQ(sel, c.after);
  }
}

}  // namespace
