#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "ScriptedPrompt.h"
#include "models/OrderCommands.h"
#include "ordereditor/OrderInput.h"
#include "ordereditor/OrderInputHost.h"
#include "ordereditor/OrderInputNote.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "store/Database.h"

namespace {

struct FakeHost : OrderInputHost {
  std::vector<int> indexes;  // Index cell of each list row
  int orderListIndex(int row) const override {
    return row >= 0 && row < static_cast<int>(indexes.size()) ? indexes[static_cast<size_t>(row)] : 0;
  }
  int orderListRowCount() const override { return static_cast<int>(indexes.size()); }
  void rewriteOrderListRow(int row, const OrderListRow& r) override { rewritten.emplace_back(row, r); }
  void selectOrderListRow(int row) override { selected.push_back(row); }
  void showNewOrder(const QString& category) override { shownCategories << category; }
  bool listsUnshippedOrders() const override { return unshipped; }
  void CheckStockShortage() override { ++shortageChecks; }
  bool viewUsername() const override { return false; }
  void openProductPicker(OrderInput&) override { ++pickerOpened; }

  std::vector<std::pair<int, OrderListRow>> rewritten;
  std::vector<int> selected;
  QStringList shownCategories;
  bool unshipped = true;
  int shortageChecks = 0;
  int pickerOpened = 0;
};

OrderLine line(const char* name, const char* qty, const char* price) {
  OrderLine l;
  l.name = name;
  l.category = "c";
  l.price = price;
  l.cost = "10";
  l.qty = qty;
  return l;
}

struct OrderInputTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  FakeHost host;
  void SetUp() override {
    for (const char* k : {"Set_1", "Set_2", "Set_3", "Set_4_Value", "LW4", "LW6", "Width", "Height"})
      SettingsStore::remove("OrderInput", k);
    const int p = db.Manuf.append("A");
    db.Manuf.setCell(p, ManufCell::ProductCategory, "c");
    db.Manuf.setCell(p, ManufCell::ProductStock, "5");
  }
  QString stock() const { return db.Manuf.cell(1, ManufCell::ProductStock); }
};

TEST_F(OrderInputTest, NeitherEscNorTheWindowManagerCloseIt) {
  OrderInput dlg(db, prompt, host);
  dlg.show();
  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&dlg, &esc);
  EXPECT_TRUE(dlg.isVisible());
  dlg.close();
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_FALSE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
  dlg.onCancel();
  EXPECT_FALSE(dlg.isVisible());
}

TEST_F(OrderInputTest, LoadFollowsTheSettings) {
  db.settings.CarryList = QStringList{"7-11", "郵局"};
  db.HideCost = true;
  db.CheckLacks = false;
  SettingsStore::set("OrderInput", "LW3", "0");  // a stored 0 is ignored
  OrderInput dlg(db, prompt, host);
  EXPECT_EQ(dlg.methodCombo->count(), 2);
  EXPECT_EQ(dlg.methodCombo->currentText(), "");
  EXPECT_EQ(dlg.lineList->columnWidthTwips(LineCol::Cost), 0);
  EXPECT_EQ(dlg.lineList->columnWidthTwips(LineCol::Shortage), 0);
  EXPECT_GT(dlg.lineList->columnWidthTwips(LineCol::Price), 0);
  EXPECT_FALSE(dlg.costRateAction->isEnabled());
  EXPECT_TRUE(dlg.dateMarksAction->isChecked());
  EXPECT_FALSE(dlg.rememberFeeAction->isChecked());
  dlg.addLine(line("A", "1", "100"));
  dlg.lineList->setSelected(0, true);
  ASSERT_TRUE(dlg.prepareLineMenu());
  EXPECT_FALSE(dlg.costRateAction->isEnabled());
  EXPECT_TRUE(dlg.editLineAction->isEnabled());
  dlg.onCancel();  // leaving stores the widths, 0 for the hidden columns
  EXPECT_EQ(SettingsStore::get("OrderInput", "LW4"), "0");
  SettingsStore::remove("OrderInput", "LW3");
}

TEST_F(OrderInputTest, DiscountBoxesAndTotals) {
  SettingsStore::set("OrderInput", "Set_4_Value", "90");
  OrderInput dlg(db, prompt, host);
  dlg.addLine(line("A", "2", "100"));
  dlg.feeEdit->setText("60");
  dlg.amountDiscountCheck->setChecked(true);
  EXPECT_EQ(dlg.amountDiscountEdit->text(), "0");
  dlg.percentDiscountCheck->setChecked(true);  // fills the remembered percent, unticks the amount
  EXPECT_EQ(dlg.percentDiscountEdit->text(), "90");
  EXPECT_FALSE(dlg.amountDiscountCheck->isChecked());
  EXPECT_EQ(dlg.amountDiscountEdit->text(), "");
  EXPECT_EQ(dlg.receivableLabel->text(), "應收款項: 240");
  EXPECT_EQ(dlg.lineList->text(0, LineCol::Subtotal), "200");
  EXPECT_EQ(dlg.ReceivableText(), "240");
  EXPECT_EQ(dlg.statusPanels[0]->text(), "金額小計: 200 - 20 (折扣) = 180 ");
  dlg.percentDiscountEdit->setText("");  // a ticked empty box: the figures stay
  dlg.onCompute();
  EXPECT_EQ(dlg.receivableLabel->text(), "應收款項: 240");
  dlg.onCancel();
}

TEST_F(OrderInputTest, NewOrderSavedThroughTheWindow) {
  OrderInput dlg(db, prompt, host);
  OrderCommands::NewOrder n;
  n.number = "2612000001";
  n.date = "2026/12/03";
  n.fee = "abc";
  n.note = "預設";
  dlg.setupNewOrder(n);
  EXPECT_EQ(dlg.saveAndCloseButton->text(), "儲存");
  EXPECT_TRUE(dlg.saveButton->isHidden());
  dlg.show();
  dlg.onSaveAndClose();  // no customer yet
  EXPECT_EQ(prompt.texts().value(0), "請輸入客戶帳號");
  EXPECT_EQ(dlg.feeEdit->text(), "abc");  // the fee is looked at after the account
  dlg.accountEdit->setText("buyer");
  dlg.dateEdit->setText("2026/13/03");
  dlg.onSaveAndClose();
  EXPECT_EQ(prompt.texts().value(1), "不是正確的日期格式");
  EXPECT_EQ(dlg.feeEdit->text(), "0");  // corrected although refused
  dlg.dateEdit->setText("2026/12/3");
  EXPECT_TRUE(dlg.isVisible());
  dlg.accountEdit->setText("buyer");
  dlg.customerCategoryEdit->setText("蝦皮拍賣");
  dlg.methodCombo->setEditText("寄 郵局");
  dlg.addLine(line("A", "2", "100"));
  dlg.rememberFeeAction->setChecked(true);
  dlg.onSaveAndClose();
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  ASSERT_EQ(db.Order.count(), 1);
  EXPECT_EQ(db.Order.cell(1, OrderCell::ShippingState), "寄郵局 未出貨");
  EXPECT_EQ(db.Order.cell(1, OrderCell::OrderNote), "預設");
  EXPECT_EQ(db.Order.cell(1, OrderCell::Receivable), "200");
  EXPECT_EQ(db.Order.cell(1, OrderCell::OrderDate), "2026/12/03");
  EXPECT_EQ(db.Order.cell(1, OrderCell::ShippingFee), "0");
  EXPECT_EQ(db.Stock.count(), 1);
  EXPECT_EQ(db.num, 2);
  EXPECT_EQ(host.shownCategories, QStringList{"蝦皮拍賣"});
  EXPECT_EQ(host.shortageChecks, 1);
  EXPECT_EQ(SettingsStore::get("OrderInput", "Set_1_Value"), "0");
  EXPECT_TRUE(db.dirty());
}

TEST_F(OrderInputTest, SaveAndStayRefreshesTheSnapshotAndCancelSettlesStock) {
  const int r = db.Order.append("O1");
  db.Order.setCell(r, OrderCell::OrderDate, "2026/12/01");
  host.indexes = {r};
  OrderInput dlg(db, prompt, host);
  dlg.headingLabel->setText("編輯訂單");
  dlg.SelEdit = 0;
  dlg.numberEdit->setText("O1");
  dlg.dateEdit->setText("2026/12/01");
  dlg.accountEdit->setText("buyer");
  // The editor showed one saved line of 2; the user added another of 1
  // (the picker took its stock: 5 - 1 = 4).
  dlg.setSnapshot({line("A", "2", "100")});
  dlg.setLines({line("A", "2", "100"), line("A", "1", "100")});
  db.Manuf.setCell(1, ManufCell::ProductStock, "4");
  dlg.onSave();
  ASSERT_EQ(host.rewritten.size(), 1u);
  EXPECT_EQ(host.rewritten[0].first, 0);
  EXPECT_TRUE(host.selected.empty());
  EXPECT_EQ(dlg.snapshot().size(), 2u);
  EXPECT_EQ(db.Stock.count(), 2);
  // Delete the first line (stock back), then cancel: the saved state stands.
  dlg.lineList->setSelected(0, true);
  dlg.onDeleteLines();
  EXPECT_EQ(stock(), "6");
  EXPECT_EQ(dlg.lineList->text(0, LineCol::Shortage), "..");
  dlg.onCancel();
  EXPECT_EQ(stock(), "4");
  EXPECT_EQ(host.selected, std::vector<int>{0});
}

TEST_F(OrderInputTest, TicksMarkTheNoteAndTravelWithTheirLines) {
  OrderInput dlg(db, prompt, host);
  dlg.setLines({line("A", "1", "1"), line("B", "1", "1")});
  dlg.lineList->setChecked(1, true);  // by code: no date mark
  EXPECT_EQ(dlg.lineList->text(1, LineCol::Note), "");
  dlg.onLineTicked(1, true);  // by the user
  EXPECT_TRUE(dlg.lineList->text(1, LineCol::Note).startsWith("*" + QDate::currentDate().toString("yyyy/MM/dd")));
  dlg.lineList->setSelected(1, true);
  dlg.onMoveUp();
  EXPECT_EQ(dlg.lineList->text(0, LineCol::Name), "B");
  EXPECT_TRUE(dlg.lineList->isChecked(0));
  EXPECT_FALSE(dlg.lineList->isChecked(1));
  EXPECT_TRUE(dlg.lineList->isSelected(0));
  prompt.answer(Prompt::Answer::No);
  dlg.onSortByName();
  EXPECT_EQ(dlg.lineList->text(0, LineCol::Name), "B");
  prompt.answer(Prompt::Answer::Yes);
  dlg.onSortByName();
  EXPECT_EQ(dlg.lineList->text(0, LineCol::Name), "A");
  EXPECT_TRUE(dlg.lineList->isChecked(1));
  dlg.onCancel();
}

TEST_F(OrderInputTest, RateToolAndOptionMenu) {
  OrderInput dlg(db, prompt, host);
  dlg.setLines({line("A", "1", "33.333")});
  dlg.lineList->setSelected(0, true);
  prompt.answerInput(QString("1"));
  dlg.onPriceRate();
  EXPECT_EQ(dlg.lineList->text(0, LineCol::Price), "33.33");
  EXPECT_EQ(SettingsStore::get("OrderInput", "Rate"), "1");
  prompt.answerInput(std::nullopt);
  dlg.onPriceRate();
  EXPECT_EQ(dlg.lineList->text(0, LineCol::Price), "33.33");

  prompt.answerInput(QString("120"));
  dlg.onSetPercentDefault();
  EXPECT_EQ(prompt.shown.back().text, "輸入數值錯誤");
  EXPECT_FALSE(SettingsStore::contains("OrderInput", "Set_4_Value"));
  prompt.answerInput(QString("abc"));
  dlg.onSetPercentDefault();
  EXPECT_EQ(SettingsStore::get("OrderInput", "Set_4_Value"), "0");
  prompt.answerInput(QString(""));
  dlg.onSetNoteDefault();
  EXPECT_EQ(SettingsStore::get("OrderInput", "Set_6_Value"), "");
  dlg.rememberMethodAction->trigger();
  EXPECT_EQ(SettingsStore::get("OrderInput", "Set_2"), "True");
  dlg.shipUntickedLinesAction->trigger();
  EXPECT_EQ(SettingsStore::get("OrderInput", "Shipped_1"), "False");
  EXPECT_EQ(SettingsStore::get("OrderInput", "Shipped_3"), "True");
  SettingsStore::remove("OrderInput", "Set_2");
  dlg.onCancel();
}

TEST_F(OrderInputTest, DoubleClickOnAnEmptyListOpensThePicker) {
  OrderInput dlg(db, prompt, host);
  dlg.onLineDoubleClicked();
  EXPECT_EQ(host.pickerOpened, 1);
  dlg.onCancel();
}

TEST_F(OrderInputTest, NoteWindowGivesItsTextBack) {
  OrderInput dlg(db, prompt, host);
  dlg.noteEdit->setPlainText("short");
  QTimer::singleShot(0, [] {
    auto* note = qobject_cast<OrderInputNote*>(QApplication::activeModalWidget());
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->noteEdit->toPlainText(), "short");
    note->noteEdit->setPlainText("a much\nlonger note");
    note->close();
  });
  dlg.onExpandNote();
  EXPECT_EQ(dlg.noteEdit->toPlainText(), "a much\nlonger note");
  dlg.onCancel();
}

TEST_F(OrderInputTest, NoteWindowRefusesACharacterTheFileCannotHold) {
  OrderInput dlg(db, prompt, host);
  dlg.noteEdit->setPlainText("short");
  bool stayedOpen = false;
  QTimer::singleShot(0, [&] {
    auto* note = qobject_cast<OrderInputNote*>(QApplication::activeModalWidget());
    ASSERT_NE(note, nullptr);
    note->noteEdit->setPlainText("好評😀");
    note->close();
    stayedOpen = note->isVisible();
    note->noteEdit->setPlainText("好評");
    note->close();
  });
  dlg.onExpandNote();
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(prompt.texts(), QStringList{"備註中的「😀」無法儲存在資料檔中，請改用其他字元"});
  EXPECT_EQ(dlg.noteEdit->toPlainText(), "好評");
  dlg.onCancel();
}

}  // namespace
