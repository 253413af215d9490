#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "PurchaseFixture.h"
#include "ScriptedPrompt.h"
#include "platform/SettingsStore.h"
#include "purchasing/ManufInput.h"
#include "purchasing/ManufStockInput.h"

namespace {

struct StockInputTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  QLineEdit cost, stock;
  void SetUp() override {
    SettingsStore::remove("ManufStockInput", "Check1");
    db.settings.SupplierNames = {"甲", "乙"};
    db.settings.SupplierDetails = {"", ""};
    cost.setText("100");
    stock.setText("10");
  }
};

}  // namespace

TEST_F(StockInputTest, NewPurchaseRecordsAndUpdatesTheProductDialogBoxes) {
  ManufStockInput dlg(db, prompt);
  dlg.prepareNew("杯子", &cost, &stock);
  EXPECT_EQ(dlg.windowTitle(), "進貨");
  EXPECT_EQ(dlg.amountEdit->text(), "100");  // the current cost is the default amount
  EXPECT_TRUE(dlg.productEdit->isReadOnly());
  EXPECT_EQ(dlg.supplierCombo->itemText(2), "編輯廠商資料");
  dlg.amountEdit->setText("130");
  dlg.qtyEdit->setText("10");
  dlg.supplierCombo->setCurrentIndex(1);
  dlg.purchaseNoEdit->setText("P\"01");
  dlg.noteEdit->setPlainText("第一行\n第二行");
  dlg.recomputeCostCheck->setChecked(true);
  EXPECT_EQ(dlg.costPreviewLabel->text(), "本次進貨後商品成本將變為: 115");
  dlg.onOk();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(cost.text(), "115");
  EXPECT_EQ(stock.text(), "20");
  ASSERT_EQ(db.ManufStock.count(), 1);
  const PurchaseRecord r = PurchaseRecords::read(db, 1);
  EXPECT_EQ(r.product, "杯子");
  EXPECT_EQ(r.kind, "進貨");
  EXPECT_EQ(r.qty, "10");
  EXPECT_EQ(r.supplier, "乙");
  EXPECT_EQ(r.no, "P01");
  EXPECT_EQ(r.amount, "130");
  EXPECT_EQ(r.note, "第一行\r\n第二行");
  EXPECT_TRUE(db.dirty());
  EXPECT_EQ(SettingsStore::get("ManufStockInput", "Check1"), "1");

  // A return at an exchange rate, unticked: only the stock moves.
  ManufStockInput back(db, prompt);
  EXPECT_TRUE(back.recomputeCostCheck->isChecked());  // remembered
  back.prepareNew("杯子", &cost, &stock);
  back.returnOption->setChecked(true);
  EXPECT_EQ(back.windowTitle(), "退貨");
  back.recomputeCostCheck->setChecked(false);
  EXPECT_TRUE(back.costPreviewLabel->text().isEmpty());
  back.amountEdit->setText("10");
  back.rateEdit->setText("4.3");
  back.qtyEdit->setText("-2");
  back.onOk();
  EXPECT_EQ(PurchaseRecords::read(db, 2).amount, "43");
  EXPECT_EQ(PurchaseRecords::read(db, 2).kind, "退貨");
  EXPECT_EQ(stock.text(), "22");
  EXPECT_EQ(cost.text(), "115");
  EXPECT_EQ(SettingsStore::get("ManufStockInput", "Check1"), "0");
}

TEST_F(StockInputTest, PreviewShowsWhatTheBookingStores) {
  // (0.01 + 2.32) / 2: the binary quotient lies just below 1.165.
  cost.setText("0.01");
  stock.setText("1");
  ManufStockInput dlg(db, prompt);
  dlg.prepareNew("杯子", &cost, &stock);
  dlg.recomputeCostCheck->setChecked(true);
  dlg.amountEdit->setText("2.32");  // the preview follows the boxes
  EXPECT_EQ(dlg.costPreviewLabel->text(), "本次進貨後商品成本將變為: 1.17");
  dlg.onOk();
  EXPECT_EQ(cost.text(), "1.17");
}

TEST_F(StockInputTest, OkChecksTheDateFirstThenTheQuantity) {
  struct Case {
    const char* date;
    const char* qty;
    const char* message;
  } cases[] = {{"", "0", "請輸入日期"},
               {"2024/01/01", "", "數量不可以為0"},
               {"2024/01/01", "abc", "數量不可以為0"},
               {"2024/13/40", "1", "不是正確的日期格式"}};
  for (const Case& c : cases) {
    ManufStockInput dlg(db, prompt);
    dlg.prepareNew("杯子", &cost, &stock);
    dlg.dateEdit->setText(c.date);
    dlg.qtyEdit->setText(c.qty);
    prompt.clear();
    dlg.onOk();
    ASSERT_EQ(prompt.shown.size(), 1u) << c.message;
    EXPECT_EQ(prompt.shown[0].text, c.message);
    EXPECT_EQ(prompt.shown[0].title, "注意");
  }
  // Text code page 950 cannot hold is refused before anything is written.
  ManufStockInput dlg(db, prompt);
  dlg.prepareNew("杯子", &cost, &stock);
  dlg.noteEdit->setPlainText("好😀");
  prompt.clear();
  dlg.onOk();
  EXPECT_EQ(prompt.texts().size(), 1);
  EXPECT_EQ(db.ManufStock.count(), 0);
  EXPECT_EQ(stock.text(), "10");
  // A date with dashes is stored as typed.
  dlg.noteEdit->setPlainText("");
  dlg.dateEdit->setText("2024-03-05");
  dlg.onOk();
  EXPECT_EQ(db.ManufStock.key(1), "2024-03-05");
}

TEST_F(StockInputTest, EditRecordKeepsItsKindAndFallsBackToTheFirstSupplier) {
  const int cup = addProduct(db, {"杯子", "廚房", "1", "60", "30"});
  addRecord(db, {"2024/01/02", "杯子", "進貨", "10", "已刪除的廠商", "P1", "50", "n"});
  ManufStockInput dlg(db, prompt);
  dlg.prepareEdit(1);
  EXPECT_FALSE(dlg.rateEdit->isVisibleTo(&dlg));
  EXPECT_FALSE(dlg.returnOption->isEnabled());
  EXPECT_TRUE(dlg.purchaseOption->isChecked());
  EXPECT_EQ(dlg.supplierCombo->currentText(), "甲");
  dlg.qtyEdit->setText("12");
  dlg.recomputeCostCheck->setChecked(true);
  EXPECT_TRUE(dlg.costPreviewLabel->text().isEmpty());  // no preview for an edit
  dlg.onOk();
  EXPECT_TRUE(dlg.recomputed());
  EXPECT_EQ(db.ManufStock.cell(1, ManufStockCell::PurchaseSupplier), "甲");
  EXPECT_EQ(stockOf(db, cup), "32");
  EXPECT_EQ(costOf(db, cup), "59.38");
}

TEST_F(StockInputTest, ProductDialogPurchaseButtonFillsItsBoxesButNotTheProduct) {
  fillProducts(db);  // 戒指: cost 60, stock 5
  ManufInput product(db, prompt);
  product.prepareEditProduct(1, false);
  ASSERT_TRUE(product.purchaseReturnButton->isEnabled());
  product.nameEdit->setText("改名中");  // the purchase names the stored product
  QTimer::singleShot(0, [] {
    auto* dlg = qobject_cast<ManufStockInput*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->productEdit->text(), "戒指");
    dlg->qtyEdit->setText("5");
    dlg->amountEdit->setText("80");
    dlg->recomputeCostCheck->setChecked(true);
    dlg->onOk();
  });
  product.purchaseReturnButton->click();
  EXPECT_EQ(product.stockEdit->text(), "10");
  EXPECT_EQ(product.costEdit->text(), "70");
  EXPECT_EQ(stockOf(db, 1), "5");
  EXPECT_EQ(db.ManufStock.cell(1, ManufStockCell::PurchaseProduct), "戒指");
}
