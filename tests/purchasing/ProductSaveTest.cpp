#include <gtest/gtest.h>

#include "../products/ProductFixture.h"
#include "ScriptedPrompt.h"
#include "purchasing/ProductSave.h"

using A = Prompt::Answer;
using ProductSave::Fields;

namespace {

Fields fieldsOf(const Database& db, int r) {
  Fields f;
  f.name = db.Manuf.cell(r, ManufCell::ProductName);
  f.category = db.Manuf.cell(r, ManufCell::ProductCategory);
  f.price = db.Manuf.cell(r, ManufCell::ProductPrice);
  f.cost = db.Manuf.cell(r, ManufCell::ProductCost);
  f.stock = db.Manuf.cell(r, ManufCell::ProductStock);
  f.note = db.Manuf.cell(r, ManufCell::ProductNote);
  f.safety = db.Manuf.cell(r, ManufCell::SafetyStock);
  f.weight = db.Manuf.cell(r, ManufCell::ProductWeight);
  return f;
}

void addLine(Database& db, const QString& order, const QString& name, const QString& category) {
  const int r = db.Stock.append(order);
  db.Stock.setCell(r, StockCell::LineName, name);
  db.Stock.setCell(r, StockCell::LineCategory, category);
  db.Stock.setCell(r, StockCell::LineQty, "1");
}

void addRecord(Database& db, const QString& name) {
  const int r = db.ManufStock.append("2026/01/02");
  db.ManufStock.setCell(r, ManufStockCell::PurchaseProduct, name);
}

QString stockOf(const Database& db, int r) { return db.Manuf.cell(r, ManufCell::ProductStock); }

struct SaveTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  void SetUp() override {
    fillProducts(db);
    db.DataBasePath = "/data/店/";
  }
};

}  // namespace

TEST_F(SaveTest, NewProductRefusesADuplicateInItsCategory) {
  Fields f = fieldsOf(db, 1);  // 戒指 / 飾品, as a copy would bring it
  auto res = ProductSave::save(db, prompt, ProductSave::NewProduct, 0, f, nullptr);
  EXPECT_FALSE(res.saved);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "該分類已經有相同名稱的商品，無法新增");
  EXPECT_EQ(prompt.shown[0].title, "注意");
  EXPECT_EQ(prompt.shown[0].icon, Prompt::Icon::Exclamation);
  EXPECT_EQ(db.Manuf.count(), 6);
  EXPECT_FALSE(db.dirty());

  // Same name under a new category: added, the category joins the list, the picture keeps the token.
  f.category = "新分類";
  f.picture = "/data/店/圖/a.jpg";
  f.price = "12abc";   // not a number: 0
  f.weight = "3kg";    // begins with a number: 3
  f.note = "好\"貨”";
  res = ProductSave::save(db, prompt, ProductSave::NewProduct, 0, f, nullptr);
  EXPECT_TRUE(res.saved);
  EXPECT_TRUE(res.categoryAdded);
  EXPECT_TRUE(db.dirty());
  EXPECT_EQ(db.settings.ProductCategories, (QStringList{"飾品", "文具", "新分類"}));
  EXPECT_EQ(db.Manuf.count(), 7);
  EXPECT_EQ(db.Manuf.cell(7, ManufCell::ProductPrice), "0");
  EXPECT_EQ(db.Manuf.cell(7, ManufCell::ProductWeight), "3");
  EXPECT_EQ(db.Manuf.cell(7, ManufCell::ProductNote), "好貨");
  ASSERT_EQ(db.Images.count(), 1);
  EXPECT_EQ(db.Images.cell(1, ImagesCell::ImagePath), "<DataBasePath>圖/a.jpg");

  // "未分類" never joins the list; an empty name is refused first.
  Fields g;
  g.name = "新品";
  g.category = "未分類";
  EXPECT_TRUE(ProductSave::save(db, prompt, ProductSave::NewProduct, 0, g, nullptr).saved);
  EXPECT_EQ(db.settings.ProductCategories.size(), 3);
  // A category typed with blanks around it is the listed one.
  Fields h;
  h.name = "新品";
  h.category = " 飾品 ";
  ASSERT_TRUE(ProductSave::save(db, prompt, ProductSave::NewProduct, 0, h, nullptr).saved);
  EXPECT_EQ(db.Manuf.cell(db.Manuf.count(), ManufCell::ProductCategory), "飾品");
  EXPECT_EQ(db.settings.ProductCategories.size(), 3);
  Fields empty;
  empty.name = "\"”";
  EXPECT_FALSE(ProductSave::save(db, prompt, ProductSave::NewProduct, 0, empty, nullptr).saved);
  EXPECT_EQ(prompt.texts().last(), "請輸入商品名稱");
}

TEST_F(SaveTest, RenameReachesOrderLinesPurchaseRecordsAndPicture) {
  addLine(db, "2601000001", "戒指", "飾品");
  addLine(db, "2601000002", "戒指", "文具");  // another product's lines stay
  addLine(db, "2601000002", "項鍊", "飾品");
  addRecord(db, "戒指");
  addRecord(db, "項鍊");
  const int img = db.Images.append("戒指");
  db.Images.setCell(img, ImagesCell::ImageCategory, "飾品");
  db.Images.setCell(img, ImagesCell::ImagePath, "<DataBasePath>a.jpg");

  Fields f = fieldsOf(db, 1);
  f.name = "銀戒指";
  f.picture = "/data/店/a.jpg";
  prompt.answer(A::Yes);
  const auto res = ProductSave::save(db, prompt, ProductSave::EditProduct, 1, f, nullptr);
  EXPECT_TRUE(res.saved);
  EXPECT_EQ(prompt.shown.at(0).text,
            "商品名稱或分類已變更，訂單內的商品名稱及進貨記錄將會一併變更，確定修改嗎?");
  EXPECT_EQ(prompt.shown.at(0).icon, Prompt::Icon::Question);
  EXPECT_EQ(db.Manuf.key(1), "銀戒指");
  EXPECT_EQ(db.Stock.cell(1, StockCell::LineName), "銀戒指");
  EXPECT_EQ(db.Stock.cell(2, StockCell::LineName), "戒指");
  EXPECT_EQ(db.Stock.cell(3, StockCell::LineName), "項鍊");
  EXPECT_EQ(db.ManufStock.cell(1, ManufStockCell::PurchaseProduct), "銀戒指");
  EXPECT_EQ(db.ManufStock.cell(2, ManufStockCell::PurchaseProduct), "項鍊");
  EXPECT_EQ(db.Images.key(1), "銀戒指");
  EXPECT_EQ(db.Images.cell(1, ImagesCell::ImagePath), "<DataBasePath>a.jpg");

  // A change of category alone moves the lines and leaves the records; dropping the picture removes its row.
  f = fieldsOf(db, 1);
  f.category = "文具";
  prompt.answer(A::Yes);
  ASSERT_TRUE(ProductSave::save(db, prompt, ProductSave::EditProduct, 1, f, nullptr).saved);
  EXPECT_EQ(db.Stock.cell(1, StockCell::LineCategory), "文具");
  EXPECT_EQ(db.ManufStock.cell(1, ManufStockCell::PurchaseProduct), "銀戒指");
  EXPECT_EQ(db.Images.count(), 0);
}

TEST_F(SaveTest, RenameLeavesPurchaseRecordsWhileAnotherProductKeepsTheName) {
  addProduct(db, {"戒指", "文具", "1", "1", "1"});
  addRecord(db, "戒指");
  Fields f = fieldsOf(db, 1);
  f.name = "銀戒指";
  prompt.answer(A::Yes);
  ASSERT_TRUE(ProductSave::save(db, prompt, ProductSave::EditProduct, 1, f, nullptr).saved);
  EXPECT_EQ(db.ManufStock.cell(1, ManufStockCell::PurchaseProduct), "戒指");
  // Once the name is the last product's, its rename takes the records along.
  f = fieldsOf(db, 7);
  f.name = "金戒指";
  prompt.answer(A::Yes);
  ASSERT_TRUE(ProductSave::save(db, prompt, ProductSave::EditProduct, 7, f, nullptr).saved);
  EXPECT_EQ(db.ManufStock.cell(1, ManufStockCell::PurchaseProduct), "金戒指");
}

TEST_F(SaveTest, EditProductAsksEveryQuestionBeforeWriting) {
  addLine(db, "2601000001", "戒指", "飾品");
  addRecord(db, "戒指");
  const Database before = db;
  Fields f = fieldsOf(db, 1);
  f.name = "金戒指";
  f.price = "150";
  f.stock = "9";
  f.confirm = {false, true, true, false, true, false, false};
  // Yes to the rename, No to the fields: nothing at all is written.
  prompt.answer(A::Yes).answer(A::No);
  EXPECT_FALSE(ProductSave::save(db, prompt, ProductSave::EditProduct, 1, f, nullptr).saved);
  EXPECT_EQ(prompt.shown.at(1).text, "售價 庫存 已變更，確定修改嗎?");
  EXPECT_EQ(db.Stock.cell(1, StockCell::LineName), "戒指");
  EXPECT_EQ(db.ManufStock.cell(1, ManufStockCell::PurchaseProduct), "戒指");
  EXPECT_TRUE(db.Manuf == before.Manuf);
  EXPECT_FALSE(db.dirty());

  // A duplicate of another product in the category is refused.
  prompt.clear();
  f.name = "項鍊";
  EXPECT_FALSE(ProductSave::save(db, prompt, ProductSave::EditProduct, 1, f, nullptr).saved);
  EXPECT_EQ(prompt.shown.at(0).text, "該分類已經有相同名稱的商品，無法修改");
  EXPECT_EQ(prompt.shown.at(0).icon, Prompt::Icon::Information);

  // Switches off: no question, and the rename still reaches the lines.
  prompt.clear();
  f.name = "金戒指";
  f.confirm = {};
  EXPECT_TRUE(ProductSave::save(db, prompt, ProductSave::EditProduct, 1, f, nullptr).saved);
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(db.Stock.cell(1, StockCell::LineName), "金戒指");
  EXPECT_EQ(stockOf(db, 1), "9");
}

TEST_F(SaveTest, NewOrderLineTakesStock) {
  OrderEditorLineVector lines;
  // An existing product with stock 0 and quantity 3: stock -3, 缺貨 3, its own price.
  Fields f;
  f.name = "項鍊";
  f.category = "飾品";
  f.qty = "3";
  f.price = "1";
  f.cost = "1";
  ASSERT_TRUE(ProductSave::save(db, prompt, ProductSave::NewLine, 0, f, &lines).saved);
  EXPECT_EQ(stockOf(db, 2), "-3");
  ASSERT_EQ(lines.count(), 1);
  EXPECT_EQ(lines.lines[0].shortage, "3");
  EXPECT_EQ(lines.lines[0].price, "200");
  EXPECT_EQ(lines.lines[0].cost, "120");

  // A new product added to the list takes its own quantity at once.
  Fields g;
  g.name = "新品";
  g.category = "飾品";
  g.qty = "2";
  g.price = "50";
  g.addToList = true;
  ASSERT_TRUE(ProductSave::save(db, prompt, ProductSave::NewLine, 0, g, &lines).saved);
  ASSERT_EQ(db.Manuf.count(), 7);
  EXPECT_EQ(stockOf(db, 7), "0");
  EXPECT_EQ(db.Manuf.cell(7, ManufCell::SafetyStock), "0");
  EXPECT_EQ(lines.lines[1].price, "50");

  // Not listed and not added: the line only.
  g.name = "外來品";
  g.addToList = false;
  ASSERT_TRUE(ProductSave::save(db, prompt, ProductSave::NewLine, 0, g, &lines).saved);
  EXPECT_EQ(db.Manuf.count(), 7);
  EXPECT_EQ(lines.count(), 3);
  EXPECT_TRUE(prompt.shown.empty());

  // A line's note and address lose their quotes where they enter, so the
  // line shown in the editor is the line the table file holds.
  g.note = "送\"禮\"用”";
  g.url = "https://shop.tw/?q=\"杯\"";
  ASSERT_TRUE(ProductSave::save(db, prompt, ProductSave::NewLine, 0, g, &lines).saved);
  EXPECT_EQ(lines.lines[3].note, "送禮用");
  EXPECT_EQ(lines.lines[3].url, "https://shop.tw/?q=杯");
}

TEST_F(SaveTest, EditedOrderLineMovesStock) {
  OrderEditorLineVector lines;
  // A line of 3 戒指 whose stock was taken already (5 -> 2 shown as 2).
  db.Manuf.setCell(1, ManufCell::ProductStock, "10");
  lines.append({"戒指", "飾品", "100", "60", "3", "", "", "", "10", false});
  lines.append({"橡皮", "文具", "5", "2", "1", "", "", "", "1", false});

  // Same product, 3 -> 5: stock 10 -> 8; lines of that name show "...".
  Fields f;
  f.name = "戒指";
  f.category = "飾品";
  f.qty = "5";
  f.price = "100";
  f.note = "*急";
  f.remaining = "10";
  ASSERT_TRUE(ProductSave::save(db, prompt, ProductSave::EditLine, 0, f, &lines, 0).saved);
  EXPECT_EQ(stockOf(db, 1), "8");
  EXPECT_EQ(lines.lines[0].qty, "5");
  EXPECT_EQ(lines.lines[0].shortage, "...");
  EXPECT_TRUE(lines.lines[0].ticked);
  EXPECT_EQ(lines.lines[1].shortage, "");
  EXPECT_TRUE(db.dirty());

  // To another product: the old one gets 5 back, the new one gives 2.
  f.name = "橡皮";
  f.category = "文具";
  f.qty = "2";
  f.remaining = "8";
  ASSERT_TRUE(ProductSave::save(db, prompt, ProductSave::EditLine, 0, f, &lines, 0).saved);
  EXPECT_EQ(stockOf(db, 1), "13");
  EXPECT_EQ(stockOf(db, 4), "1");
  EXPECT_EQ(lines.lines[0].shortage, "...");
  EXPECT_EQ(lines.lines[1].shortage, "...");  // same name as the new one
  EXPECT_TRUE(prompt.shown.empty());

  // To a product not listed: told so, the old one gets its quantity back.
  f.name = "外來品";
  f.remaining = "1";
  ASSERT_TRUE(ProductSave::save(db, prompt, ProductSave::EditLine, 0, f, &lines, 0).saved);
  EXPECT_EQ(prompt.texts(), QStringList{"商品名稱或分類已變更成商品清單內沒有的商品，此筆商品將無法從庫存中扣除!"});
  EXPECT_EQ(stockOf(db, 4), "3");

  // A line whose product was not listed when opened: only the new product gives.
  f.name = "戒指";
  f.category = "飾品";
  f.qty = "1";
  f.remaining = ProductSave::kNotListed;
  ASSERT_TRUE(ProductSave::save(db, prompt, ProductSave::EditLine, 0, f, &lines, 0).saved);
  EXPECT_EQ(stockOf(db, 1), "12");
}

// Text the file cannot hold is refused before any table changes, also for
// an order line; the picture path is a box too.
TEST_F(SaveTest, CharactersTheFileCannotHoldAreRefused) {
  const Table manuf = db.Manuf;
  struct Case {
    int mode;
    void (*change)(Fields&);
    const char* message;
  };
  const Case cases[] = {
      {ProductSave::NewProduct, [](Fields& f) { f.name = "杯😀"; }, "商品名稱中的「😀」無法儲存在資料檔中，請改用其他字元"},
      {ProductSave::NewProduct, [](Fields& f) { f.picture = "/圖/〠.jpg"; }, "圖片中的「〠」無法儲存在資料檔中，請改用其他字元"},
      {ProductSave::NewLine, [](Fields& f) { f.url = "https://x.tw/😺"; }, "網址中的「😺」無法儲存在資料檔中，請改用其他字元"},
      {ProductSave::NewLine, [](Fields& f) { f.note = "简"; }, "備註中的「简」無法儲存在資料檔中，請改用其他字元"},
  };
  for (const Case& c : cases) {
    prompt.clear();
    Fields f;
    f.name = "新杯";
    f.category = "廚房";
    f.qty = "1";
    c.change(f);
    OrderEditorLineVector lines;
    EXPECT_FALSE(ProductSave::save(db, prompt, c.mode, 0, f, &lines).saved) << c.message;
    EXPECT_EQ(prompt.texts(), QStringList{QString::fromUtf8(c.message)});
    EXPECT_EQ(lines.count(), 0);
  }
  EXPECT_EQ(db.Manuf, manuf);
  EXPECT_FALSE(db.dirty());
}
