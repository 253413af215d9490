#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "PurchaseFixture.h"
#include "ScriptedPrompt.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "purchasing/ManufStock.h"
#include "purchasing/ManufStockInput.h"

using A = Prompt::Answer;

namespace {

struct ManufStockTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  int cup = 0;
  void SetUp() override {
    db.settings.SupplierNames = {"甲", "乙"};
    db.settings.SupplierDetails = {"", ""};
    cup = addProduct(db, {"杯子", "廚房", "1", "30", "15"});
    addRecord(db, {"2024/03/05", "杯子", "進貨", "5", "甲", "AB-1", "20", ""});
    addRecord(db, {"2024/12/01", "杯子", "退貨", "1", "乙", "x", "5", ""});
    addRecord(db, {"2023/01/01", "盤子", "進貨", "1", "甲", "ab", "1", ""});
  }
};

}  // namespace

TEST_F(ManufStockTest, OpensOnTheProductAndFollowsTheFilters) {
  ManufStock w(db, prompt);
  w.openFor("杯子");
  EXPECT_TRUE(w.productOption->isChecked());
  EXPECT_EQ(w.productOption->text(), "杯子");
  EXPECT_EQ(w.supplierCombo->currentText(), "全部");
  ASSERT_EQ(w.recordList->rowCount(), 2);
  EXPECT_EQ(w.recordList->text(0, 0), "2024/12/01");
  EXPECT_EQ(w.moneyLabel->text(), "進貨總金額: 100，退貨總金額: 5");
  EXPECT_EQ(w.countLabel->text(), " 共 2 筆記錄");

  w.supplierCombo->setCurrentText("乙");
  EXPECT_EQ(w.recordList->rowCount(), 1);
  w.allProductsOption->click();
  w.supplierCombo->setCurrentText("甲");
  EXPECT_EQ(w.recordList->rowCount(), 2);

  w.onSearch();
  EXPECT_EQ(prompt.texts(), QStringList({"請先輸入進貨單號"}));
  w.purchaseNoEdit->setText("AB");
  w.onSearch();
  EXPECT_EQ(w.recordList->rowCount(), 2);
  EXPECT_EQ(w.recordList->text(0, 6), "AB-1");

  // A name with "&" is listed by its own text.
  addRecord(db, {"2024/01/01", "A&B", "進貨", "1", "甲", "", "1", ""});
  ManufStock other(db, prompt);
  other.openFor("A&B");
  EXPECT_EQ(other.recordList->rowCount(), 1);
}

TEST_F(ManufStockTest, DeleteWithRecomputeChangesTheProductAndRebuildsTheProductWindowOnClosing) {
  int rebuilt = 0;
  {
    ManufStock w(db, prompt);
    w.onProductsChanged = [&] { ++rebuilt; };
    w.openFor("杯子");
    w.recordList->setSelected(1, true);  // the purchase of 5 at 20
    prompt.answer(A::Yes).answer(A::Yes);
    w.onDeleteRecords();
    EXPECT_EQ(prompt.shown[0].title, "刪除");
    EXPECT_EQ(prompt.shown[1].text, "刪除後要重新計算商品成本嗎？");
    EXPECT_EQ(stockOf(db, cup), "10");
    EXPECT_EQ(costOf(db, cup), "35");
    EXPECT_EQ(db.ManufStock.count(), 2);
    EXPECT_EQ(w.recordList->rowCount(), 1);
    EXPECT_TRUE(db.dirty());
    EXPECT_TRUE(w.isEdit);
    w.recordList->setColumnWidthTwips(1, 4500);
    w.reject();  // as the close box does
  }
  EXPECT_EQ(rebuilt, 1);
  EXPECT_EQ(SettingsStore::get("ManufStock", "LW2"), "4500");
  EXPECT_FALSE(SettingsStore::contains("ManufStock", "LW9"));

  // No to the second question deletes without touching the product; with
  // nothing selected nothing is removed.
  ManufStock w(db, prompt);
  w.openFor("杯子");
  prompt.answer(A::Yes).answer(A::No);
  w.onDeleteRecords();
  EXPECT_EQ(db.ManufStock.count(), 2);
  w.recordList->setSelected(0, true);
  prompt.answer(A::Yes).answer(A::No);
  w.onDeleteRecords();
  EXPECT_EQ(db.ManufStock.count(), 1);
  EXPECT_EQ(stockOf(db, cup), "10");
  EXPECT_FALSE(w.isEdit);
}

// Side by side controls keep a gap: no label runs into its box, no button
// into the next one.
TEST_F(ManufStockTest, ControlsStandClearOfTheirNeighbours) {
  ManufStock w(db, prompt);
  w.openFor("杯子");
  w.show();
  ManufStockInput d(db, prompt);
  d.prepareEdit(1);
  d.show();
  QApplication::processEvents();
  const std::pair<QWidget*, QWidget*> pairs[] = {{w.yearEdit, w.periodCombo},
                                                 {w.periodCombo, w.allProductsOption},
                                                 {w.purchaseNoLabel, w.purchaseNoEdit},
                                                 {w.editRecordButton, w.deleteRecordsButton},
                                                 {d.dateLabel, d.dateEdit},
                                                 {d.purchaseNoLabel, d.purchaseNoEdit},
                                                 {d.amountLabel, d.amountEdit}};
  for (const auto& [left, right] : pairs)
    EXPECT_LT(left->geometry().right() + 1, right->x()) << left->metaObject()->className();
}

// A date and an amount of ten digits show whole at the designed widths; a
// width the seller stored still wins.
TEST_F(ManufStockTest, DatesAndAmountsShowWholeAndStoredWidthsWin) {
  namespace Col = PurchaseRecords::Column;
  for (const char* key : {"LW1", "LW4"}) SettingsStore::remove("ManufStock", key);
  addRecord(db, {"2026/12/31", "杯子", "進貨", "1", "甲", "", "1023456789", ""});
  {
    ManufStock w(db, prompt);
    w.openFor("杯子");
    w.show();
    QApplication::processEvents();
    ASSERT_EQ(w.recordList->text(0, Col::Amount), "1023456789");
    const QAbstractItemView* view = w.recordList;  // the width Qt finds for the texts shown
    for (int c : {int(Col::Date), int(Col::Amount)})
      EXPECT_GE(w.recordList->columnWidth(c), view->sizeHintForColumn(c)) << c;
  }
  SettingsStore::set("ManufStock", "LW1", "600");
  SettingsStore::set("ManufStock", "LW4", "450");
  ManufStock w(db, prompt);
  EXPECT_EQ(w.recordList->columnWidthTwips(Col::Date), 600);
  EXPECT_EQ(w.recordList->columnWidthTwips(Col::Amount), 450);
}
