#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "ScriptedPrompt.h"
#include "customers/GuestForm.h"
#include "customers/GuestInput.h"
#include "models/GuestList.h"
#include "models/ProductList.h"
#include "ordereditor/EditorPickers.h"
#include "ordereditor/OrderInput.h"
#include "ordereditor/OrderInputHost.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "products/ManufForm.h"
#include "purchasing/ManufInput.h"
#include "store/Database.h"

namespace {

// Runs f on the modal window the next exec() shows.
template <class W>
void whenModal(std::function<void(W*)> f) {
  QTimer::singleShot(0, [f] {
    auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
    ASSERT_NE(w, nullptr);
    f(w);
  });
}

int rowWithText(const ListView& list, int column, const QString& text) {
  for (int r = 0; r < list.rowCount(); ++r)
    if (list.text(r, column) == text) return r;
  return -1;
}

// A main window that forwards the editor's picker hooks, as OrderForm does.
struct ForwardingHost : OrderInputHost {
  EditorPickers& pickers;
  explicit ForwardingHost(EditorPickers& p) : pickers(p) {}
  int orderListIndex(int row) const override { return row == 0 ? 1 : 0; }
  int orderListRowCount() const override { return 1; }
  void rewriteOrderListRow(int, const OrderListRow&) override {}
  void selectOrderListRow(int) override {}
  void showNewOrder(const QString&) override {}
  bool listsUnshippedOrders() const override { return false; }
  void CheckStockShortage() override {}
  bool viewUsername() const override { return false; }
  void openProductPicker(OrderInput& e) override { pickers.openProductPicker(e); }
  void addLineThroughDialog(OrderInput& e) override { pickers.addLineThroughDialog(e); }
  bool editLine(OrderInput& e, int line) override { return pickers.editLine(e, line); }
  void openCustomerPicker(OrderInput& e) override { pickers.openCustomerPicker(e); }
  void openCustomerDialog(OrderInput& e) override { pickers.openCustomerDialog(e); }
};

struct EditorPickersTest : ::testing::Test {
  Database db;
  ScriptedPrompt prompt;
  EditorPickers pickers{db, prompt};
  ForwardingHost host{pickers};

  void SetUp() override {
    SettingsStore::remove("ManufForm", "Combo1");
    for (const char* k : {"Set_AddManuf", "Set_AddManuf2", "Set_ManufAlert"}) SettingsStore::remove("ManufForm", k);
    for (const char* k : {"Set1", "Set2", "Set_2_Value"}) SettingsStore::remove("GuestForm", k);
    db.settings.ProductCategories = QStringList{"飾品"};
    db.settings.CustomerCategories = QStringList{"露天", "蝦皮"};
    product("戒指", "5");
    product("項鍊", "2");
    guest("amy", "露天", QString("王小美") + QChar(1) + "女", "0911000111");
    guest("bob", "蝦皮", "Bob", "0922000222");
    const int o = db.Order.append("O1");
    db.Order.setCell(o, OrderCell::OrderDate, "2026/12/01");
    db.Order.setCell(o, OrderCell::BuyerAccount, "amy");
    db.Order.setCell(o, OrderCell::BuyerCategory, "露天");
    db.Order.setCell(o, OrderCell::ShippingState, "未出貨");
    db.setDirty(false);
  }
  void product(const char* name, const char* stock) {
    const int r = db.Manuf.append(QString::fromUtf8(name));
    db.Manuf.setCell(r, ManufCell::ProductCategory, "飾品");
    db.Manuf.setCell(r, ManufCell::ProductPrice, "300");
    db.Manuf.setCell(r, ManufCell::ProductCost, "100");
    db.Manuf.setCell(r, ManufCell::ProductStock, QString::fromUtf8(stock));
  }
  void guest(const char* acc, const char* cat, const QString& nameSex, const char* mobile) {
    const int r = db.Guest.append(QString::fromUtf8(acc));
    db.Guest.setCell(r, GuestCell::CustomerCategory, QString::fromUtf8(cat));
    db.Guest.setCell(r, GuestCell::CustomerNameSex, nameSex);
    db.Guest.setCell(r, GuestCell::CustomerMobile, QString::fromUtf8(mobile));
  }
  QString stock(int row) const { return db.Manuf.cell(row, ManufCell::ProductStock); }
};

TEST_F(EditorPickersTest, ProductPickerReplacesAnOpenProductWindowAndFillsTheLines) {
  // The product window open beside the main window.
  QPointer<ManufForm> beside = new ManufForm(db, prompt);
  beside->setManagementUse();
  beside->show();
  bool closingSteps = false;
  beside->onManagementClosed = [&] { closingSteps = true; };

  OrderInput dlg(db, prompt, host);
  ASSERT_TRUE(dlg.setupEditOrder(0));
  whenModal<ManufForm>([&](ManufForm* f) {
    EXPECT_NE(f, beside.data());
    EXPECT_TRUE(f->addButton->isVisible());
    EXPECT_FALSE(f->listOrdersButton->isVisible());
    EXPECT_FALSE(f->purchaseRecordsButton->isVisible());
    EXPECT_FALSE(f->addToSheetAction->isEnabled());
    EXPECT_FALSE(f->purchaseSheetAction->isEnabled());
    const int r = rowWithText(*f->productList, ProductList::Name, "項鍊");
    ASSERT_GE(r, 0);
    f->productList->setCurrentRow(r);
    f->onAdd();  // "加入訂單": one line, then the window closes
  });
  dlg.onPickProducts();
  EXPECT_TRUE(closingSteps);
  ASSERT_FALSE(beside.isNull());
  EXPECT_FALSE(beside->isVisible());
  ASSERT_EQ(dlg.lineList->rowCount(), 1);
  EXPECT_EQ(dlg.lineList->text(0, LineCol::Name), "項鍊");
  EXPECT_EQ(dlg.lineList->text(0, LineCol::Qty), "1");
  EXPECT_EQ(stock(2), "1");
  EXPECT_TRUE(dlg.lineList->isSelected(0));
  EXPECT_EQ(dlg.lineList->text(0, LineCol::Subtotal), "300");
  EXPECT_EQ(dlg.receivableLabel->text(), "應收款項: 300");
  EXPECT_FALSE(db.dirty());
  dlg.onCancel();
  EXPECT_EQ(stock(2), "2");
  delete beside.data();
}

TEST_F(EditorPickersTest, DirectLineAndLineEditThroughTheProductDialog) {
  OrderInput dlg(db, prompt, host);
  ASSERT_TRUE(dlg.setupEditOrder(0));
  whenModal<ManufInput>([](ManufInput* m) {
    EXPECT_EQ(m->headingLabel->text(), "直接新增商品");
    EXPECT_EQ(m->SelState, 3);
    EXPECT_EQ(m->categoryCombo->currentText(), "飾品");
    EXPECT_EQ(m->qtyEdit->text(), "1");
    m->nameEdit->setText("戒指");  // a listed product: its price and cost come along
    m->qtyEdit->setText("2");
    m->onSave();
  });
  dlg.onNewLine();
  ASSERT_EQ(dlg.lineList->rowCount(), 1);
  EXPECT_EQ(dlg.lineList->text(0, LineCol::Price), "300");
  EXPECT_EQ(dlg.lineList->text(0, LineCol::Qty), "2");
  EXPECT_TRUE(dlg.lineList->isSelected(0));
  EXPECT_EQ(stock(1), "3");
  EXPECT_EQ(dlg.netGoodsEdit->text(), "600");

  // Editing the line: the difference of the quantity moves the stock.
  whenModal<ManufInput>([](ManufInput* m) {
    EXPECT_EQ(m->SelState, 4);
    EXPECT_EQ(m->nameEdit->text(), "戒指");
    m->qtyEdit->setText("5");
    m->onSave();
  });
  dlg.lineList->setCurrentRow(0);
  dlg.onEditLine();
  EXPECT_EQ(dlg.lineList->text(0, LineCol::Qty), "5");
  EXPECT_EQ(stock(1), "0");
  EXPECT_EQ(dlg.netGoodsEdit->text(), "1500");
  EXPECT_FALSE(pickers.editLine(dlg, 3));  // no such line: nothing shown
  dlg.onCancel();
  EXPECT_EQ(stock(1), "5");
}

TEST_F(EditorPickersTest, CustomerPickerReplacesAnOpenCustomerWindowAndFillsTheCustomer) {
  QPointer<GuestForm> beside = new GuestForm(db, prompt);
  ASSERT_TRUE(beside->openAsManager());
  ASSERT_TRUE(beside->isVisible());

  OrderInput dlg(db, prompt, host);
  ASSERT_TRUE(dlg.setupEditOrder(0));  // amy of 露天
  whenModal<GuestForm>([&](GuestForm* g) {
    EXPECT_NE(g, beside.data());
    EXPECT_TRUE(g->isPicker());
    EXPECT_TRUE(g->pickButton->isVisible());
    EXPECT_FALSE(g->listOrdersButton->isVisible());
    QStringList entries;
    for (int i = 0; i < g->categoryCombo->count(); ++i) entries << g->categoryCombo->itemText(i);
    EXPECT_EQ(entries, (QStringList{"全部", "露天", "蝦皮", "未分類", "編輯客戶分類"}));
    // The editor's customer is preselected.
    const int amy = g->customerList->currentRow();
    ASSERT_GE(amy, 0);
    EXPECT_EQ(g->customerList->text(amy, GuestList::Account), "amy");
    g->customerList->setCurrentRow(rowWithText(*g->customerList, GuestList::Account, "bob"));
    g->onPick();  // "加入客戶"
  });
  dlg.onPickCustomer();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(beside.isNull() || !beside->isVisible());
  EXPECT_EQ(dlg.accountEdit->text(), "bob");
  EXPECT_EQ(dlg.customerCategoryEdit->text(), "蝦皮");
  EXPECT_EQ(dlg.nameEdit->text(), "Bob");
  EXPECT_EQ(dlg.sexEdit->text(), "");
  EXPECT_EQ(dlg.mobileEdit->text(), "0922000222");
  EXPECT_EQ(dlg.customerButton->text(), "編輯客戶");
  dlg.onCancel();
  delete beside.data();
}

TEST_F(EditorPickersTest, CustomerDialogAddsOrEditsTheEditorsCustomer) {
  OrderInput dlg(db, prompt, host);
  EXPECT_EQ(dlg.customerButton->text(), "新增客戶");
  whenModal<GuestInput>([](GuestInput* g) {
    EXPECT_EQ(g->SelState, 3);
    EXPECT_EQ(g->headingLabel->text(), "直接新增客戶");
    EXPECT_EQ(g->accountEdit->text(), "");
    g->accountEdit->setText("cat");
    g->categoryCombo->setEditText("蝦皮");
    g->nameEdit->setText("陳貓");
    g->sexCombo->setEditText("男");
    g->mobileEdit->setText("0933000333");
    g->onSave();
  });
  dlg.onAddOrEditCustomer();
  ASSERT_EQ(db.Guest.count(), 3);
  EXPECT_EQ(dlg.accountEdit->text(), "cat");
  EXPECT_EQ(dlg.customerCategoryEdit->text(), "蝦皮");
  EXPECT_EQ(dlg.nameEdit->text(), "陳貓");
  EXPECT_EQ(dlg.sexEdit->text(), "男");
  EXPECT_EQ(dlg.customerButton->text(), "編輯客戶");

  // "編輯客戶" edits that customer; a change comes back into the editor.
  whenModal<GuestInput>([](GuestInput* g) {
    EXPECT_EQ(g->SelState, 4);
    EXPECT_EQ(g->headingLabel->text(), "編輯客戶資料");
    EXPECT_EQ(g->accountEdit->text(), "cat");
    EXPECT_EQ(g->sexCombo->currentText(), "男");
    g->phoneEdit->setText("02-7777");
    g->onSave();
  });
  dlg.onAddOrEditCustomer();
  EXPECT_EQ(dlg.phoneEdit->text(), "02-7777");
  EXPECT_EQ(db.Guest.cell(3, GuestCell::CustomerPhone), "02-7777");

  // A customer changed elsewhere since it was picked is not found.
  db.Guest.setCell(3, GuestCell::CustomerCategory, "露天");
  dlg.onAddOrEditCustomer();
  EXPECT_EQ(prompt.texts().last(), "找不到這筆客戶資料，請重新選擇!");
  dlg.onCancel();
}

}  // namespace
