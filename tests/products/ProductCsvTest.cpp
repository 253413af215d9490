#include <gtest/gtest.h>

#include "ProductFixture.h"
#include "models/ProductLookup.h"
#include "platform/Numbers.h"
#include "products/ProductCsv.h"

namespace {

std::vector<int> allRows(const Database& db) {
  std::vector<int> out;
  for (int r = 1; r <= db.Manuf.count(); ++r) out.push_back(r);
  return out;
}

}  // namespace

TEST(ProductCsv, ExportWritesPlainLinesAndQuotesOnlyACommaOrLineBreak) {
  Database db;
  addProduct(db, {"許功蓋", "文具", "12.5", "3", "4", "", "1", "0.2"});
  addProduct(db, {"筆記本", "文具", "", "", "", "第一行\r\n第二行", "", ""});
  addProduct(db, {"A,B", "飾品", "1", "1", "1", "lone\nLF", "", ""});
  EXPECT_EQ(ProductCsv::productText(db, {1, 2, 3, 99}),
            "許功蓋,文具,12.5,3,4,,1,0.2\r\n"
            "筆記本,文具,,,,第一行第二行,,\r\n"
            "\"A,B\",飾品,1,1,1,\"lone\nLF\",,\r\n");
}

TEST(ProductCsv, ImportNewAndExistingProducts) {
  Database db;
  fillProducts(db);
  const QString file =
      "戒指,飾品,150,70,9,金,3,11\r\n"       // existing: replaced only with Yes
      "\"新品\",文具,20,8\r\n"               // four fields: stock, note, safety and weight stay empty
      "新品,文具,99,1,1,,,\r\n"              // the same pair again: now an existing product
      "單欄\r\n"                              // passed over
      ",文具,1\r\n"                           // no name: passed over
      "\r\n"
      "零庫存,文具,5,2,,,,,多的,欄位\r\n"    // empty stock still gets its record; fields after the 8th ignored
      "引”號\"品,文具,1,1,1,\"a,b\",0,0\r\n";  // quotes and "”" dropped, a quoted comma kept
  Database no = db;
  const auto c = ProductCsv::importProducts(no, file, false);
  EXPECT_EQ(c.added, 3);
  EXPECT_EQ(c.replaced, 0);
  EXPECT_EQ(no.Manuf.cell(1, ManufCell::ProductPrice), "100");  // No: the existing product stays
  ASSERT_EQ(no.Manuf.count(), 9);
  EXPECT_EQ(no.Manuf.key(7), "新品");
  EXPECT_EQ(no.Manuf.cell(7, ManufCell::ProductPrice), "20");
  EXPECT_EQ(no.Manuf.cell(7, ManufCell::ProductStock), "");
  EXPECT_EQ(no.Manuf.key(9), "引號品");
  EXPECT_EQ(no.Manuf.cell(9, ManufCell::ProductNote), "a,b");
  EXPECT_TRUE(no.dirty());
  ASSERT_EQ(no.ManufStock.count(), 3);
  EXPECT_EQ(no.ManufStock.key(1), DateText::today());
  EXPECT_EQ(no.ManufStock.cell(1, ManufStockCell::PurchaseProduct), "新品");
  EXPECT_EQ(no.ManufStock.cell(1, ManufStockCell::PurchaseKind), "進貨");
  EXPECT_EQ(no.ManufStock.cell(1, ManufStockCell::PurchaseAmount), "8");
  EXPECT_EQ(no.ManufStock.cell(1, ManufStockCell::PurchaseQty), "");
  EXPECT_EQ(no.ManufStock.cell(2, ManufStockCell::PurchaseProduct), "零庫存");
  EXPECT_TRUE(no.settings.ProductCategories == db.settings.ProductCategories);  // no category added

  Database yes = db;
  const auto y = ProductCsv::importProducts(yes, file, true);
  EXPECT_EQ(y.replaced, 2);
  EXPECT_EQ(yes.Manuf.cell(1, ManufCell::ProductPrice), "150");
  EXPECT_EQ(yes.Manuf.cell(1, ManufCell::ProductWeight), "11");
  EXPECT_EQ(yes.Manuf.cell(7, ManufCell::ProductPrice), "99");  // the second line rewrote the first
  EXPECT_EQ(yes.Manuf.cell(7, ManufCell::ProductNote), "");     // an empty field empties the cell
  EXPECT_EQ(yes.ManufStock.count(), 3);                          // no record for a replaced product
}

TEST(ProductCsv, RoundTripKeepsEveryValue) {
  Database db;
  addProduct(db, {"許功蓋", "文具", "12.5", "3", "-4", "備註,有逗號", "1", "0.2"});
  addProduct(db, {"A,B", "飾品", "", "", "", "", "", ""});
  addProduct(db, {"尺", "未分類", "0", "0", "3.75", "lone\nLF", "", "1"});
  Database back;
  ProductCsv::importProducts(back, ProductCsv::productText(db, allRows(db)), false);
  EXPECT_EQ(back.Manuf, db.Manuf);
}

TEST(ProductCsv, PicturePaths) {
  Database db;
  fillProducts(db);
  db.DataBasePath = "/home/seller/shop/";
  const auto addImage = [&](const char* name, const char* category, const char* path) {
    const int r = db.Images.append(QString::fromUtf8(name));
    db.Images.setCell(r, ImagesCell::ImageCategory, QString::fromUtf8(category));
    db.Images.setCell(r, ImagesCell::ImagePath, QString::fromUtf8(path));
  };
  addImage("橡皮", "文具", "old.jpg");
  addImage("舊的", "飾品", "gone.jpg");  // its product is gone: swept too
  EXPECT_EQ(ProductCsv::picturePathText(db, {4, 2}), "橡皮,文具,old.jpg\r\n項鍊,飾品,\r\n");

  const int taken = ProductCsv::importPicturePaths(db,
                                                   "戒指,飾品,<DataBasePath>img\\a.jpg\r\n"
                                                   "項鍊,飾品,/home/seller/shop/img/b.jpg\r\n"
                                                   "橡皮,文具,/HOME/seller/shop/new.jpg\r\n"
                                                   "沒有,飾品,x.jpg\r\n"
                                                   "鉛筆,文具,\r\n"
                                                   "貼紙,未分類\r\n");
  EXPECT_EQ(taken, 4);
  ASSERT_EQ(db.Images.count(), 3);
  EXPECT_EQ(db.Images.key(1), "橡皮");
  EXPECT_EQ(db.Images.cell(1, ImagesCell::ImagePath), "/HOME/seller/shop/new.jpg");  // other letter case: as written
  EXPECT_EQ(db.Images.cell(2, ImagesCell::ImagePath), "<DataBasePath>img\\a.jpg");
  EXPECT_EQ(db.Images.cell(3, ImagesCell::ImagePath), "<DataBasePath>img/b.jpg");
  EXPECT_EQ(ProductLookup::picturePathOf(db, "戒指", "飾品"), "/home/seller/shop/img/a.jpg");
  EXPECT_TRUE(db.dirty());
}
