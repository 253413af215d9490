#include <gtest/gtest.h>

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "../products/ProductFixture.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "purchasing/ManufInput.h"

TEST(ManufInput, RemainingStockFollowsTheQuantity) {
  Database db;
  fillProducts(db);
  db.Manuf.setCell(1, ManufCell::ProductStock, "10");
  ScriptedPrompt prompt;
  OrderEditorLineVector lines;
  lines.append({"戒指", "飾品", "100", "60", "3", "", "", "", "10", false});
  lines.append({"不明", "飾品", "1", "1", "3", "", "", "", "", false});
  ManufInput dlg(db, prompt);
  dlg.prepareEditLine(&lines, 0);
  EXPECT_EQ(dlg.remainingLabel->text(), "10");
  dlg.qtyEdit->setText("5");
  EXPECT_EQ(dlg.remainingLabel->text(), "8");
  dlg.qtyEdit->setText("2.5");  // decimals keep the figure exact
  EXPECT_EQ(dlg.remainingLabel->text(), "10.5");
  dlg.qtyEdit->setText("3");
  EXPECT_EQ(dlg.remainingLabel->text(), "10");
  dlg.qtyEdit->setText("5");
  dlg.onSave();
  EXPECT_EQ(db.Manuf.cell(1, ManufCell::ProductStock), "8");
  EXPECT_EQ(lines.lines[0].qty, "5");

  ManufInput other(db, prompt);
  other.prepareEditLine(&lines, 1);
  EXPECT_EQ(other.remainingLabel->text(), "商品清單內無此項商品");
  other.qtyEdit->setText("7");
  EXPECT_EQ(other.remainingLabel->text(), "商品清單內無此項商品");
}

TEST(ManufInput, PictureFitsTheThumbnailAndIsStoredWithTheToken) {
  TestDir dir;
  QImage wide(200, 100, QImage::Format_RGB32), tall(100, 200, QImage::Format_RGB32), square(50, 50, QImage::Format_RGB32);
  wide.fill(Qt::red);
  tall.fill(Qt::blue);
  square.fill(Qt::green);
  ASSERT_TRUE(wide.save(dir.file("wide.bmp")));
  ASSERT_TRUE(tall.save(dir.file("tall.bmp")));
  ASSERT_TRUE(square.save(dir.file("sq.bmp")));
  Database db;
  db.DataBasePath = dir.path();
  ScriptedPrompt prompt;
  struct Case {
    const char* file;
    QSize picture, frame;
  } cases[] = {{"wide.bmp", {241, 121}, {257, 137}}, {"tall.bmp", {117, 233}, {133, 249}}, {"sq.bmp", {233, 233}, {249, 249}}};
  for (const Case& c : cases) {
    ManufInput dlg(db, prompt);
    dlg.prepareNewProduct("全部");
    prompt.answerPath(dir.file(c.file));
    dlg.onAddOrRemovePicture();
    EXPECT_EQ(dlg.pictureButton->text(), "移除圖片");
    EXPECT_EQ(dlg.thumbnailLabel->size(), c.picture) << c.file;
    EXPECT_EQ(dlg.pictureFrame->size(), c.frame) << c.file;
    dlg.onAddOrRemovePicture();  // removing restores the thumbnail
    EXPECT_EQ(dlg.thumbnailLabel->size(), QSize(241, 233));
    EXPECT_EQ(dlg.picturePathLabel->text(), "無");
  }
  ManufInput dlg(db, prompt);
  dlg.prepareNewProduct("全部");
  prompt.answerPath(dir.file("wide.bmp"));
  dlg.onAddOrRemovePicture();
  dlg.nameEdit->setText("旗子");
  dlg.onSave();
  ASSERT_EQ(db.Images.count(), 1);
  EXPECT_EQ(db.Images.cell(1, ImagesCell::ImagePath), "<DataBasePath>wide.bmp");
  // Opening the product again finds the picture through the token.
  ManufInput again(db, prompt);
  again.prepareEditProduct(1, false);
  EXPECT_EQ(again.picturePathLabel->text(), dir.file("wide.bmp"));
  EXPECT_EQ(again.pictureButton->text(), "移除圖片");
}

TEST(ManufInput, NoteKeepsItsLineBreaks) {
  Database db;
  fillProducts(db);
  db.Manuf.setCell(1, ManufCell::ProductNote, "銀\r\n925");
  ScriptedPrompt prompt;  // an unexpected question fails the test
  {
    ManufInput dlg(db, prompt);
    dlg.prepareEditProduct(1, false);
    dlg.confirmActions[6]->setChecked(true);  // 備註 asks when the note changed
    dlg.onSave();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
  }
  EXPECT_EQ(db.Manuf.cell(1, ManufCell::ProductNote), "銀\r\n925");

  OrderEditorLineVector lines;
  lines.append({"戒指", "飾品", "100", "60", "1", "", "急\r\n包裝", "", "10", false});
  ManufInput line(db, prompt);
  line.prepareEditLine(&lines, 0);
  line.qtyEdit->setText("2");
  line.onSave();
  EXPECT_EQ(lines.lines[0].note, "急\r\n包裝");
}
