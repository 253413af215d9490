#include <gtest/gtest.h>

#include "ProductFixture.h"
#include "ScriptedPrompt.h"
#include "products/ProductBulk.h"

using ProductBulk::Field;

namespace {

void addLine(Database& db, const char* no, const char* name, const char* category) {
  const int r = db.Stock.append(QString::fromUtf8(no));
  db.Stock.setCell(r, StockCell::LineName, QString::fromUtf8(name));
  db.Stock.setCell(r, StockCell::LineCategory, QString::fromUtf8(category));
}

void addImage(Database& db, const char* name, const char* category) {
  const int r = db.Images.append(QString::fromUtf8(name));
  db.Images.setCell(r, ImagesCell::ImageCategory, QString::fromUtf8(category));
}

}  // namespace

TEST(ProductBulk, StockPriceAndCost) {
  struct Case {
    Field field;
    std::optional<QString> answer;
    bool changed;
    const char* stored;  // in both chosen products
  };
  const Case cases[] = {
      {Field::Price, QString("12.50"), true, "12.5"},
      {Field::Stock, QString("-3"), true, "-3"},
      {Field::Cost, QString(" 7 元"), true, "7"},
      {Field::Price, QString("abc"), false, nullptr},  // no leading number: nothing changes
      {Field::Price, QString(""), false, nullptr},
      {Field::Stock, std::nullopt, false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer.value_or("cancel").toStdString());
    Database db;
    fillProducts(db);
    const Table before = db.Manuf;
    ScriptedPrompt prompt;
    prompt.answerInput(c.answer);
    EXPECT_EQ(ProductBulk::setValue(db, prompt, c.field, {4, 1}), c.changed);
    EXPECT_EQ(prompt.shown[0].title, "變更");
    EXPECT_EQ(db.dirty(), c.changed);
    if (!c.changed) {
      EXPECT_EQ(db.Manuf, before);
      continue;
    }
    const int cell = c.field == Field::Stock ? ManufCell::ProductStock
                     : c.field == Field::Price ? ManufCell::ProductPrice
                                               : ManufCell::ProductCost;
    EXPECT_EQ(db.Manuf.cell(1, cell), c.stored);
    EXPECT_EQ(db.Manuf.cell(4, cell), c.stored);
    EXPECT_EQ(db.Manuf.cell(2, cell), before.cell(2, cell));
    EXPECT_EQ(db.ManufStock.count(), 0);
  }
  // No product chosen: the flag is still set and the list rebuilt.
  Database db;
  ScriptedPrompt prompt;
  prompt.answerInput(QString("5"));
  EXPECT_TRUE(ProductBulk::setValue(db, prompt, Field::Stock, {}));
  EXPECT_TRUE(db.dirty());
}

TEST(ProductBulk, CategoryMovesLinesAndFirstPicture) {
  Database db;
  fillProducts(db);
  addLine(db, "1", "戒指", "飾品");
  addLine(db, "2", "戒指", "飾品");
  addLine(db, "2", "戒指", "文具");  // another product's line
  addImage(db, "戒指", "飾品");
  addImage(db, "戒指", "飾品");      // only the first picture row follows
  ScriptedPrompt prompt;
  prompt.answerInput(QString(" 禮\"品” ")).answer(Prompt::Answer::Yes);
  const auto r = ProductBulk::setCategory(db, prompt, {1, 3});
  EXPECT_TRUE(r.changed);
  EXPECT_TRUE(r.categoryAdded);
  EXPECT_EQ(r.category, "禮品");  // quotes dropped, trimmed
  EXPECT_EQ(db.settings.ProductCategories.last(), "禮品");
  EXPECT_EQ(prompt.shown[1].text, "訂單內的商品分類將會一併變更，繼續嗎?");
  EXPECT_EQ(prompt.shown[1].icon, Prompt::Icon::Question);
  EXPECT_EQ(db.Manuf.cell(1, ManufCell::ProductCategory), "禮品");
  EXPECT_EQ(db.Manuf.cell(3, ManufCell::ProductCategory), "禮品");
  EXPECT_EQ(db.Stock.cell(1, StockCell::LineCategory), "禮品");
  EXPECT_EQ(db.Stock.cell(2, StockCell::LineCategory), "禮品");
  EXPECT_EQ(db.Stock.cell(3, StockCell::LineCategory), "文具");
  EXPECT_EQ(db.Images.cell(1, ImagesCell::ImageCategory), "禮品");
  EXPECT_EQ(db.Images.cell(2, ImagesCell::ImageCategory), "飾品");
  EXPECT_TRUE(db.dirty());

  // "未分類" is never stored in the list; No keeps a new name but moves nothing.
  Database d2;
  fillProducts(d2);
  prompt.clear();
  prompt.answerInput(QString("未分類")).answer(Prompt::Answer::No);
  EXPECT_FALSE(ProductBulk::setCategory(d2, prompt, {1}).categoryAdded);
  prompt.answerInput(QString("新類")).answer(Prompt::Answer::No);
  const auto no = ProductBulk::setCategory(d2, prompt, {1});
  EXPECT_TRUE(no.categoryAdded);
  EXPECT_FALSE(no.changed);
  EXPECT_EQ(d2.Manuf.cell(1, ManufCell::ProductCategory), "飾品");
  EXPECT_FALSE(d2.dirty());
}

TEST(ProductBulk, CategoryRefusals) {
  Database db;
  fillProducts(db);
  addProduct(db, {"戒指", "文具"});  // row 7
  const Table before = db.Manuf;
  const QStringList categories = db.settings.ProductCategories;
  ScriptedPrompt prompt;
  struct Case {
    std::vector<int> rows;
    QString answer;
    const char* message;  // nullptr: nothing shown after the input box
  };
  const Case cases[] = {
      {{1}, "文具", "該分類已經有相同名稱的商品，無法新增"},           // 戒指 already stands in 文具
      {{1, 7}, "新類", "該分類已經有相同名稱的商品，無法新增"},        // two 戒指 would end in one category
      {{2}, "表情😀", "商品分類中的「😀」無法儲存在資料檔中，請改用其他字元"},
      {{2}, "\"” ", nullptr},                                        // nothing left after cleaning
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer.toStdString());
    prompt.clear();
    prompt.answerInput(c.answer);
    const auto r = ProductBulk::setCategory(db, prompt, c.rows);
    EXPECT_FALSE(r.changed);
    EXPECT_FALSE(r.categoryAdded);
    ASSERT_EQ(prompt.shown.size(), c.message ? 2u : 1u);
    if (c.message) {
      EXPECT_EQ(prompt.shown[1].text, c.message);
    }
  }
  EXPECT_EQ(db.Manuf, before);
  EXPECT_EQ(db.settings.ProductCategories, categories);
  EXPECT_FALSE(db.dirty());

  // A chosen product already in the category moves nothing and clashes with nothing.
  prompt.clear();
  prompt.answerInput(QString("文具")).answer(Prompt::Answer::Yes);
  EXPECT_TRUE(ProductBulk::setCategory(db, prompt, {7, 3}).changed);
}
