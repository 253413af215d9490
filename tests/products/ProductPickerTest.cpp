#include <gtest/gtest.h>

#include "ProductFixture.h"
#include "ScriptedPrompt.h"
#include "products/ProductPicker.h"

using ProductPicker::Outcome;
using A = Prompt::Answer;

namespace {

QString stockOf(const Database& db, int r) { return db.Manuf.cell(r, ManufCell::ProductStock); }

}  // namespace

TEST(ProductPicker, TwoProductsBecomeLinesAndTakeTheirStock) {
  Database db;
  fillProducts(db);
  OrderEditorLineVector lines;
  lines.append({"舊商品", "飾品", "1", "1", "1", "", "", "", "", false});
  ScriptedPrompt prompt;
  const auto res = ProductPicker::addToOrder(db, prompt, {1, 4}, 6, {}, lines);
  EXPECT_EQ(res.outcome, Outcome::AddedClose);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(stockOf(db, 1), "4");
  EXPECT_EQ(stockOf(db, 4), "2");
  ASSERT_EQ(lines.count(), 3);
  const auto& l = lines.lines[1];
  EXPECT_EQ(l.name, "戒指");
  EXPECT_EQ(l.category, "飾品");
  EXPECT_EQ(l.price, "100");
  EXPECT_EQ(l.cost, "60");
  EXPECT_EQ(l.qty, "1");
  EXPECT_EQ(l.note, "銀");
  EXPECT_EQ(l.weight, "10");
  EXPECT_EQ(l.shortage, "");
  EXPECT_FALSE(l.ticked);
  EXPECT_EQ(lines.lines[2].name, "橡皮");
  EXPECT_EQ(res.newStocks, (std::vector<double>{4, 2}));
  EXPECT_FALSE(db.dirty());  // the order editor keeps or gives back the stock
}

TEST(ProductPicker, QuantityQuestionAndStockWarning) {
  Database db;
  fillProducts(db);
  ProductPicker::Options o;
  o.askQuantity = true;
  ScriptedPrompt prompt;
  OrderEditorLineVector lines;
  // 0, -2 and text without a number are asked again; 2.5 on stock 5 raises no warning.
  prompt.answerInput("0").answerInput("-2").answerInput("abc").answerInput("2.5");
  auto res = ProductPicker::addToOrder(db, prompt, {1}, 6, o, lines);
  EXPECT_EQ(res.outcome, Outcome::AddedClose);
  EXPECT_EQ(prompt.shown.size(), 4u);
  EXPECT_EQ(prompt.shown[0].text, "請輸入商品數量 (大於0的數字)");
  EXPECT_EQ(stockOf(db, 1), "2.5");
  EXPECT_EQ(lines.lines.at(0).qty, "2.5");

  // Stock 2 (row 4 after a change) and quantity 5: warning; Yes takes it to -3, 缺貨 shows 5.
  db.Manuf.setCell(4, ManufCell::ProductStock, "2");
  prompt.clear();
  prompt.answerInput("5abc").answer(A::Yes);
  res = ProductPicker::addToOrder(db, prompt, {4}, 6, o, lines);
  EXPECT_EQ(prompt.texts().last(), "選擇的商品已無庫存，確定要加入嗎?");
  EXPECT_EQ(prompt.shown.back().icon, Prompt::Icon::Exclamation);
  EXPECT_EQ(stockOf(db, 4), "-3");
  EXPECT_EQ(lines.lines.at(1).shortage, "5");

  // Cancelling the quantity adds nothing.
  prompt.clear();
  prompt.answerInput(std::nullopt);
  res = ProductPicker::addToOrder(db, prompt, {1}, 6, o, lines);
  EXPECT_EQ(res.outcome, Outcome::Nothing);
  EXPECT_EQ(lines.count(), 2);

  // Two rows selected: no question, quantity 1 each.
  prompt.clear();
  o.noStockAlert = true;
  res = ProductPicker::addToOrder(db, prompt, {1, 2}, 6, o, lines);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(stockOf(db, 2), "-1");
  EXPECT_EQ(lines.lines.at(3).shortage, "1");
}

TEST(ProductPicker, OneWarningForSeveralOutOfStockAndNoAddsNothing) {
  Database db;
  fillProducts(db);
  OrderEditorLineVector lines;
  ScriptedPrompt prompt;
  // 戒指 has stock, 項鍊 has 0, 鉛筆 has -2.
  prompt.answer(A::No);
  auto res = ProductPicker::addToOrder(db, prompt, {1, 2, 3}, 6, {}, lines);
  EXPECT_EQ(res.outcome, Outcome::Nothing);
  EXPECT_EQ(lines.count(), 0);
  EXPECT_EQ(stockOf(db, 1), "5");

  prompt.clear();
  prompt.answer(A::Yes);
  res = ProductPicker::addToOrder(db, prompt, {1, 2, 3}, 6, {}, lines);
  EXPECT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(lines.count(), 3);
  EXPECT_EQ(stockOf(db, 3), "-3");

  // Stock equal to the quantity: no warning, stock 0, no 缺貨.
  db.Manuf.setCell(4, ManufCell::ProductStock, "1");
  prompt.clear();
  res = ProductPicker::addToOrder(db, prompt, {4}, 6, {}, lines);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(stockOf(db, 4), "0");
  EXPECT_EQ(lines.lines.back().shortage, "");
}

TEST(ProductPicker, StayOpenCountsEveryLineAndRefusals) {
  Database db;
  fillProducts(db);
  OrderEditorLineVector lines;
  lines.append({});
  ScriptedPrompt prompt;
  ProductPicker::Options o;
  o.stayOpen = true;
  auto res = ProductPicker::addToOrder(db, prompt, {1}, 6, o, lines);
  res = ProductPicker::addToOrder(db, prompt, {1}, 6, o, lines);
  EXPECT_EQ(res.outcome, Outcome::Added);
  EXPECT_EQ(prompt.texts(), (QStringList{"所選商品已加入，目前訂單內有2項商品", "所選商品已加入，目前訂單內有3項商品"}));
  EXPECT_EQ(prompt.shown.back().icon, Prompt::Icon::None);
  EXPECT_EQ(stockOf(db, 1), "3");

  prompt.clear();
  res = ProductPicker::addToOrder(db, prompt, {}, 6, o, lines);
  EXPECT_EQ(prompt.texts(), QStringList{"未選擇商品"});
  prompt.clear();
  res = ProductPicker::addToOrder(db, prompt, {}, 0, o, lines);  // empty list: nothing at all
  EXPECT_TRUE(prompt.shown.empty());
  res = ProductPicker::addToOrder(db, prompt, {99}, 6, o, lines);  // a stale row
  EXPECT_EQ(res.outcome, Outcome::Failed);
  EXPECT_EQ(prompt.texts(), QStringList{"加入商品發生錯誤!"});
  EXPECT_EQ(lines.count(), 3);
}
