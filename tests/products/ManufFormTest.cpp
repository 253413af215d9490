#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ProductFixture.h"
#include "ScriptedPrompt.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "products/ManufForm.h"
#include "products/ProductList.h"
#include "purchasing/ManufInput.h"

namespace {

QStringList column(const ListView& l, int c) {
  QStringList out;
  for (int r = 0; r < l.rowCount(); ++r) out << l.text(r, c);
  return out;
}

struct ManufFormTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  void SetUp() override {
    SettingsStore::remove("ManufForm", "Combo1");
    for (const char* k : {"show1", "show2", "show3", "no4", "AddManuf", "AddManuf2", "ManufAlert"})
      SettingsStore::remove("ManufForm", k);
    fillProducts(db);
  }
};

}  // namespace

TEST_F(ManufFormTest, ListColoursTotalsAndFilters) {
  ManufForm f(db, prompt);
  f.setManagementUse();
  EXPECT_EQ(column(*f.Liv1, ProductList::Name), (QStringList{"戒指", "項鍊", "鉛筆", "橡皮", "雜物", "貼紙"}));
  EXPECT_EQ(f.Liv1->rowColor(1), QColor(255, 0, 0));
  EXPECT_FALSE(f.Liv1->rowColor(0).isValid());
  EXPECT_EQ(f.Panel[0]->text(), "售價總計: 496 ");
  EXPECT_EQ(f.Panel[3]->text(), "共 6 筆資料");
  EXPECT_TRUE(f.Liv1->selectedRows().empty());

  f.Combo1->setCurrentText("文具");  // choosing an entry rebuilds at once
  EXPECT_EQ(column(*f.Liv1, ProductList::Name), (QStringList{"鉛筆", "橡皮"}));
  EXPECT_EQ(f.Panel[2]->text(), "庫存總數: 1 ");

  f.Combo1->setCurrentIndex(0);
  f.View_show2->trigger();
  EXPECT_EQ(column(*f.Liv1, ProductList::Name), (QStringList{"項鍊", "鉛筆", "貼紙"}));
  f.View_show1->trigger();  // switches the other filters off
  EXPECT_FALSE(f.View_show2->isChecked());
  EXPECT_EQ(column(*f.Liv1, ProductList::Name), (QStringList{"戒指", "橡皮", "雜物"}));
  EXPECT_EQ(f.Panel[0]->text(), "售價總計: 516 ");

  // The category button and the filter's last entry run the category editor once one is set.
  EXPECT_FALSE(f.Command13->isEnabled());
  int edits = 0;
  f.setCategoryEditor([&] { ++edits; });
  EXPECT_TRUE(f.Command13->isEnabled());
  f.Command13->click();
  f.Combo1->setCurrentIndex(f.Combo1->count() - 1);  // choosing an entry runs its handler
  EXPECT_EQ(edits, 2);
}

TEST_F(ManufFormTest, StockColumnSortsByValueAndKeepsTheShownStock) {
  db.Manuf.setCell(1, ManufCell::ProductStock, "3.7");
  db.Manuf.setCell(4, ManufCell::ProductStock, "-10");
  ManufForm f(db, prompt);
  f.Liv1_ColumnClick(ProductList::Stock);  // keeps the direction: ascending
  EXPECT_EQ(column(*f.Liv1, ProductList::Stock), (QStringList{"-10", "-2", "0", "", "1", "3.7"}));
  f.Liv1_ColumnClick(ProductList::Stock);
  EXPECT_EQ(column(*f.Liv1, ProductList::Stock).first(), "3.7");
  // The first click on the name column of a fresh window sorts descending.
  ManufForm g(db, prompt);
  g.Liv1_ColumnClick(ProductList::Name);
  EXPECT_EQ(g.Liv1->sortOrder(), Qt::DescendingOrder);
  // The table keeps its order.
  EXPECT_EQ(db.Manuf.key(1), "戒指");
}

TEST_F(ManufFormTest, SettingsAreRememberedAtClosing) {
  {
    ManufForm f(db, prompt);
    f.setManagementUse();
    bool checked = false;
    f.onManagementClosed = [&] { checked = true; };
    f.Combo1->setCurrentIndex(2);
    f.View_show3->trigger();
    f.Set_AddManuf->setChecked(true);
    f.View_no4->setChecked(false);
    f.close();
    EXPECT_TRUE(checked);
  }
  ManufForm g(db, prompt);
  EXPECT_EQ(g.Combo1->currentText(), "文具");
  EXPECT_TRUE(g.View_show3->isChecked());
  EXPECT_TRUE(g.Set_AddManuf->isChecked());
  EXPECT_EQ(column(*g.Liv1, ProductList::Name), QStringList{"鉛筆"});
  EXPECT_EQ(g.Liv1->text(0, ProductList::Stock), "");
  // A stored position beyond the entries gives "全部".
  SettingsStore::set("ManufForm", "Combo1", "40");
  ManufForm h(db, prompt);
  EXPECT_EQ(h.Combo1->currentText(), "全部");
}

TEST_F(ManufFormTest, PickerAddsTheSelectionToTheOpenOrder) {
  OrderEditorLineVector lines;
  ManufForm f(db, prompt);
  f.setOrderPickerUse(&lines);
  f.show();
  EXPECT_TRUE(f.Command0->isVisible());
  EXPECT_FALSE(f.Command8->isVisible());
  f.Liv1->setSelected(0, true);
  f.Liv1->setSelected(3, true);
  f.Command0_Click();
  ASSERT_EQ(lines.count(), 2);
  EXPECT_EQ(lines.lines[0].name, "戒指");
  EXPECT_EQ(lines.lines[1].name, "橡皮");
  EXPECT_EQ(db.Manuf.cell(1, ManufCell::ProductStock), "4");
  EXPECT_EQ(db.Manuf.cell(4, ManufCell::ProductStock), "2");
  EXPECT_EQ(f.Liv1->text(0, ProductList::Stock), "4");
  EXPECT_FALSE(f.isVisible());  // closes after one pick
}

TEST_F(ManufFormTest, ProductDialogKeepsTheWindowInStep) {
  ManufForm f(db, prompt);
  f.setManagementUse();
  f.Combo1->setCurrentText("文具");
  {
    ManufInput dlg(db, prompt, &f);
    f.prepareNew(dlg);
    EXPECT_EQ(dlg.Combo1->currentText(), "文具");
    dlg.Text2->setText("尺");
    dlg.Combo1->setCurrentText("量具");
    dlg.Command1_Click();
  }
  EXPECT_EQ(db.settings.ProductCategories.last(), "量具");
  EXPECT_EQ(f.Combo1->currentText(), "量具");  // a single-category filter follows the new product
  EXPECT_EQ(f.Combo1->itemText(f.Combo1->count() - 2), "未分類");
  EXPECT_EQ(column(*f.Liv1, ProductList::Name), QStringList{"尺"});

  f.Combo1->setCurrentIndex(0);
  f.Liv1->setCurrentRow(1);  // 項鍊: stock 0, safety 1
  ManufInput dlg(db, prompt, &f);
  ASSERT_TRUE(f.prepareEdit(dlg));
  EXPECT_EQ(dlg.Text2->text(), "項鍊");
  EXPECT_TRUE(dlg.Command3->isVisibleTo(&dlg));
  dlg.Text7->setText("5");
  dlg.Command1_Click();
  EXPECT_EQ(db.Manuf.cell(2, ManufCell::ProductStock), "5");
  EXPECT_EQ(f.Liv1->text(1, ProductList::Stock), "5");
  EXPECT_FALSE(f.Liv1->rowColor(1).isValid());
  EXPECT_EQ(f.Liv1->cellColor(1, ProductList::Stock), QColor(0, 0, 0));
  EXPECT_TRUE(db.dirty());

  // With the highlighting off the edited row's stock still tells a product
  // under its safety stock (戒指: safety 2, stock 5 -> 1); the row stays plain.
  f.View_Safe->setChecked(false);
  f.Liv1->setCurrentRow(0);
  ManufInput edit(db, prompt, &f);
  ASSERT_TRUE(f.prepareEdit(edit));
  edit.Text7->setText("1");
  edit.Command1_Click();
  EXPECT_EQ(f.Liv1->cellColor(0, ProductList::Stock), QColor(255, 0, 0));
  EXPECT_FALSE(f.Liv1->rowColor(0).isValid());
}

TEST_F(ManufFormTest, HiddenCostAndDelete) {
  db.HideCost = true;
  const int img = db.Images.append("戒指");
  db.Images.setCell(img, ImagesCell::ImageCategory, "文具");  // another product's picture
  addProduct(db, {"戒指", "文具", "1", "1", "1", "", "0", "0"});
  const int own = db.Images.append("戒指");
  db.Images.setCell(own, ImagesCell::ImageCategory, "飾品");
  ManufForm f(db, prompt);
  f.setManagementUse();
  EXPECT_TRUE(f.Liv1->isColumnHidden(ProductList::Cost));
  EXPECT_TRUE(f.Panel[1]->isHidden());
  EXPECT_EQ(f.Liv1->text(0, ProductList::Cost), "60");

  f.Liv1->setSelected(0, true);  // 戒指 / 飾品
  prompt.answer(Prompt::Answer::No);
  f.Command3_Click();
  EXPECT_EQ(db.Manuf.count(), 7);
  prompt.answer(Prompt::Answer::Yes);
  f.Liv1->setSelected(0, true);
  f.Liv1->setSelected(2, true);  // 鉛筆
  f.Command3_Click();
  EXPECT_EQ(prompt.shown.back().title, "刪除");
  EXPECT_EQ(column(*f.Liv1, ProductList::Name), (QStringList{"項鍊", "橡皮", "雜物", "貼紙", "戒指"}));
  ASSERT_EQ(db.Images.count(), 1);
  EXPECT_EQ(db.Images.cell(1, ImagesCell::ImageCategory), "文具");
  EXPECT_TRUE(db.dirty());
}
