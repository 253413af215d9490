#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

#include "PurchaseFixture.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "models/ProductList.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "products/ManufForm.h"
#include "products/PurchaseWindows.h"
#include "purchasing/ManufBatch.h"

namespace {

QStringList column(const ListView& l, int c) {
  QStringList out;
  for (int r = 0; r < l.rowCount(); ++r) out << l.text(r, c);
  return out;
}

struct ManufBatchTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  void SetUp() override {
    SettingsStore::remove("ManufForm", "Combo1");
    SettingsStore::remove("ManufBatch", "Check1");
    fillProducts(db);
    db.settings.SupplierNames = {"甲", "乙"};
    db.settings.SupplierDetails = {"", ""};
  }
  void TearDown() override { PurchaseWindows::closeSheets(); }
};

}  // namespace

TEST_F(ManufBatchTest, ProductWindowFeedsTheSheetUntilItCloses) {
  ManufForm pf(db, prompt);
  pf.setManagementUse();
  pf.productList->setSelected(0, true);  // 戒指, cost 60
  pf.productList->setSelected(2, true);  // 鉛筆, cost 4
  pf.addSelectedToSheetAction->trigger();
  ManufBatch* sheet = PurchaseWindows::openedSheet();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(pf.addButton->text(), "加入進貨單");
  EXPECT_TRUE(pf.addButton->isVisibleTo(&pf));
  EXPECT_EQ(column(*sheet->sheetList, 0), QStringList({"鉛筆", "戒指"}));  // greatest name first
  EXPECT_EQ(sheet->sheetList->rowTexts(1), QStringList({"戒指", "飾品", "60", "1", "", "", "1"}));
  EXPECT_EQ(sheet->totalLabel->text(), "金額總計: 64");
  EXPECT_FALSE(sheet->amountEdit->isVisibleTo(sheet));  // the edit row waits for a click

  // The add button does the same; a row of an existing product joins again.
  pf.productList->clearSelection();
  pf.productList->setSelected(1, true);
  pf.onAdd();
  EXPECT_EQ(column(*sheet->sheetList, 0), QStringList({"鉛筆", "項鍊", "戒指"}));
  EXPECT_EQ(PurchaseWindows::openedSheet(), sheet);

  sheet->close();
  EXPECT_FALSE(pf.addButton->isVisibleTo(&pf));
  EXPECT_EQ(pf.addButton->text(), "加入訂單");
}

TEST_F(ManufBatchTest, SheetReachesTheProductWindowOpenOrHasOneOpened) {
  // A booking fills the open product window's list again.
  ManufForm pf(db, prompt);
  pf.setManagementUse();
  pf.show();
  auto* sheet = new ManufBatch(db, prompt);
  sheet->setAttribute(Qt::WA_DeleteOnClose);
  sheet->show();
  sheet->addProducts({1});  // 戒指, stock 5
  ASSERT_EQ(pf.productList->text(0, ProductList::Name), "戒指");
  EXPECT_EQ(pf.productList->text(0, ProductList::Stock), "5");
  sheet->onBookSheet();
  EXPECT_EQ(prompt.texts(), QStringList({"進貨完成!"}));
  EXPECT_EQ(pf.productList->text(0, ProductList::Stock), "6");

  // "加入商品" with no product window open has one opened, which then feeds
  // the sheet until the sheet closes.
  pf.hide();
  ManufForm opened(db, prompt);
  opened.setManagementUse();
  sheet = new ManufBatch(db, prompt);
  sheet->setAttribute(Qt::WA_DeleteOnClose);
  sheet->show();
  sheet->openProductWindow = [&opened] { return &opened; };
  sheet->onAddProducts();
  EXPECT_TRUE(opened.isVisible());
  EXPECT_EQ(opened.addButton->text(), "加入進貨單");
  EXPECT_TRUE(opened.addButton->isVisibleTo(&opened));
  EXPECT_FALSE(pf.addButton->isVisibleTo(&pf));
  sheet->close();
  EXPECT_EQ(opened.addButton->text(), "加入訂單");
  EXPECT_FALSE(opened.addButton->isVisibleTo(&opened));
}

TEST_F(ManufBatchTest, EditBoxesChangeTheSelectedRows) {
  ManufBatch sheet(db, prompt);
  sheet.addProducts({1, 2, 3});  // 鉛筆 4, 項鍊 120, 戒指 60 once sorted
  sheet.sheetList->setSelected(1, true);
  EXPECT_TRUE(sheet.amountEdit->isVisibleTo(&sheet));
  EXPECT_EQ(sheet.amountEdit->text(), "120");
  sheet.sheetList->setSelected(1, false);
  sheet.sheetList->setSelected(0, true);
  sheet.sheetList->setSelected(2, true);
  EXPECT_TRUE(sheet.amountEdit->text().isEmpty());
  EXPECT_EQ(sheet.totalLabel->text(), "金額總計: 184，選擇的商品金額：64");
  sheet.qtyEdit->setText("3個");
  sheet.onChangeSelected();  // only the filled box changes the rows
  EXPECT_EQ(column(*sheet.sheetList, PurchaseSheet::Column::Qty), QStringList({"3", "1", "3"}));
  EXPECT_EQ(column(*sheet.sheetList, PurchaseSheet::Column::Amount), QStringList({"4", "120", "60"}));
  EXPECT_EQ(sheet.totalLabel->text(), "金額總計: 312");

  sheet.sheetNoEdit->setText("S-1");
  sheet.onApplyNoToAll();
  EXPECT_EQ(column(*sheet.sheetList, PurchaseSheet::Column::No), QStringList({"S-1", "S-1", "S-1"}));
  sheet.onRemoveProducts();  // removes the two selected rows
  EXPECT_EQ(column(*sheet.sheetList, 0), QStringList({"項鍊"}));
  EXPECT_EQ(sheet.rows().size(), 1u);
}

TEST_F(ManufBatchTest, BookingFailureKeepsTheRestAndSuccessCloses) {
  auto* sheet = new ManufBatch(db, prompt);
  sheet->setAttribute(Qt::WA_DeleteOnClose);
  sheet->show();
  sheet->addProducts({1, 3, 4});  // 橡皮, 鉛筆, 戒指 once sorted
  sheet->recomputeCostCheck->setChecked(true);
  sheet->beforeBookingRow = [](int position) {
    if (position == 1) throw std::runtime_error("failed");
  };
  sheet->onBookSheet();
  EXPECT_EQ(prompt.texts(), QStringList({"發生錯誤!"}));
  EXPECT_EQ(column(*sheet->sheetList, 0), QStringList({"鉛筆", "戒指"}));
  EXPECT_EQ(db.ManufStock.count(), 1);
  EXPECT_EQ(stockOf(db, 4), "4");
  EXPECT_TRUE(db.dirty());
  EXPECT_FALSE(SettingsStore::contains("ManufBatch", "Check1"));

  sheet->beforeBookingRow = nullptr;
  prompt.clear();
  sheet->onBookSheet();
  EXPECT_EQ(prompt.texts(), QStringList({"進貨完成!"}));
  EXPECT_EQ(db.ManufStock.count(), 3);
  EXPECT_EQ(stockOf(db, 4), "4");
  EXPECT_EQ(stockOf(db, 3), "-1");
  EXPECT_EQ(stockOf(db, 1), "6");
  EXPECT_EQ(SettingsStore::get("ManufBatch", "Check1"), "1");
  EXPECT_EQ(PurchaseWindows::openedSheet(), nullptr);
}

TEST_F(ManufBatchTest, SheetFileSavesLoadsAndKeepsTheSheetWhenItCannotBeRead) {
  TestDir dir;
  ManufBatch sheet(db, prompt);
  sheet.addProducts({1, 2});
  sheet.dateEdit->setText("2024/05/01");
  sheet.sheetNoEdit->setText("P,9");
  sheet.supplierCombo->setCurrentIndex(1);
  sheet.sheetList->setSelected(0, true);
  sheet.noteEdit->setText("紅色,大");
  sheet.onChangeSelected();
  prompt.answerPath(dir.file("sheet.csv"));
  sheet.onSaveSheet();
  EXPECT_EQ(prompt.shown.back().text, "進貨單儲存完成!");
  EXPECT_EQ(dir.get("sheet.csv"),
            big5("2024/05/01,\"P,9\",乙\r\n項鍊,飾品,120,1,,\"紅色,大\",2\r\n戒指,飾品,60,1,,,1\r\n"));

  prompt.answerPath(dir.file("no-such-folder/sheet.csv"));
  sheet.onSaveSheet();
  EXPECT_EQ(prompt.shown.back().text, "發生錯誤!");

  // Unreadable files leave the sheet as it was.
  dir.put("empty.csv", "");
  dir.put("utf8.csv", QByteArray("\xEF\xBB\xBF") + QString("x,y\r\n").toUtf8());
  for (const char* name : {"missing.csv", "empty.csv", "utf8.csv"}) {
    prompt.clear();
    prompt.answerPath(dir.file(name));
    sheet.onLoadSheet();
    ASSERT_EQ(prompt.shown.size(), 2u) << name;  // the file dialog, then the message
    EXPECT_EQ(prompt.shown[1].icon, Prompt::Icon::Exclamation) << name;
    EXPECT_EQ(sheet.rows().size(), 2u) << name;
  }

  ManufBatch other(db, prompt);
  prompt.clear();
  prompt.answerPath(dir.file("sheet.csv"));
  other.onLoadSheet();
  EXPECT_EQ(prompt.texts().last(), "讀入進貨單完成!");
  EXPECT_EQ(other.sheetNoEdit->text(), "P,9");
  EXPECT_EQ(other.supplierCombo->currentText(), "乙");
  EXPECT_EQ(other.sheetList->rowTexts(0), QStringList({"項鍊", "飾品", "120", "1", "", "紅色,大", "2"}));
  EXPECT_EQ(other.totalLabel->text(), "金額總計: 180");
}
