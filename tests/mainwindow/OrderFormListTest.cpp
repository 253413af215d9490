// The main window's order list as the user drives it: filters, the customer
// search, the money panels and the selection tools, on a small database.
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "customers/GuestForm.h"
#include "mainwindow/OrderForm.h"
#include "models/OrderList.h"
#include "ordereditor/OrderInput.h"
#include "platform/AppPaths.h"
#include "platform/ListView.h"
#include "platform/Numbers.h"
#include "platform/SettingsStore.h"
#include "products/ManufForm.h"
#include "store/DatabaseList.h"

namespace {

struct ListWindow : ::testing::Test {
  ScriptedPrompt prompt;
  TestDir db;
  std::unique_ptr<OrderForm> f;

  void SetUp() override {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
    s.clear();
    s.sync();
    const QString app = AppPaths::appPath();
    QDir(app).removeRecursively();
    QDir().mkpath(app);
    const QDir golden(QStringLiteral(KESTRIN_TEST_DATA "/golden-db"));
    for (const QString& n : golden.entryList(QDir::Files)) QFile::copy(golden.filePath(n), db.file(n));
    ASSERT_TRUE(DatabaseList::write(app, {DatabaseList::entry(QStringLiteral("店"), db.path())}));
    SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("DataBaseName"), QStringLiteral("店"));
    SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("DataBasePath"), db.path());
    f = std::make_unique<OrderForm>(prompt);
    f->endProgram = [] {};
    f->quitProgram = [] {};
    f->AutoBackup = [] {};
    f->Form_Load();
    ASSERT_EQ(f->db().Order.count(), 2);
  }
  QStringList keys() const {
    QStringList out;
    for (int r = 0; r < f->orderList->rowCount(); ++r) out << f->orderList->text(r, 0);
    return out;
  }
};

TEST_F(ListWindow, FiltersChooseTheListedOrdersAndTheMenuFollowsTheShippedOption) {
  EXPECT_EQ(keys(), QStringList{QStringLiteral("2403000002")});  // unshipped at start
  EXPECT_EQ(f->orderList->tableIndex(0), 2);
  EXPECT_EQ(f->orderList->cellColor(0, OrderListCol::PaymentDate), OrderList::DarkRedColor);
  EXPECT_EQ(f->panel(7)->text(), OrderList::listCountPanel(1));

  f->shippedOption->setChecked(true);
  f->onShippedChosen();
  EXPECT_EQ(keys(), QStringList{QStringLiteral("2403000001")});
  EXPECT_FALSE(f->markSelectedShippedAction->isEnabled());
  f->unshippedOption->setChecked(true);
  f->onUnshippedChosen();
  EXPECT_TRUE(f->markSelectedShippedAction->isEnabled());

  // A category with no unshipped order lists nothing.
  f->categoryCombo->setCurrentIndex(f->categoryCombo->findText(QStringLiteral("露天拍賣")));
  f->onCategoryChosen();
  EXPECT_TRUE(keys().isEmpty());
  EXPECT_EQ(f->panel(7)->text(), OrderList::listCountPanel(0));
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ListWindow, FiltersSetUnderSeRebuildNothingAndBothOptionsMayBeCleared) {
  // While se is set the filter handlers leave the list as it is.
  f->se = true;
  f->setShippingOptions(false, true);
  f->onShippedChosen();
  f->periodCombo->setCurrentIndex(1);
  f->onPeriodChosen();
  f->categoryCombo->setCurrentIndex(f->categoryCombo->findText(QStringLiteral("露天拍賣")));
  f->onCategoryChosen();
  f->se = false;
  EXPECT_EQ(keys(), QStringList{QStringLiteral("2403000002")});
  EXPECT_TRUE(f->markSelectedShippedAction->isEnabled());
  EXPECT_TRUE(f->shippedOption->isChecked());
  EXPECT_FALSE(f->unshippedOption->isChecked());

  // Another window may hand back neither option: no order is listed.
  f->categoryCombo->setCurrentIndex(0);
  f->periodCombo->setCurrentIndex(0);
  f->se = true;
  f->setShippingOptions(false, false);
  f->se = false;
  EXPECT_FALSE(f->unshippedOption->isChecked());
  EXPECT_FALSE(f->shippedOption->isChecked());
  f->OrderShow();
  EXPECT_TRUE(keys().isEmpty());
  EXPECT_EQ(f->panel(7)->text(), OrderList::listCountPanel(0));
  EXPECT_EQ(f->shortageList->rowCount(), 0);

  // The user's clicks make the two exclusive again.
  f->unshippedOption->click();
  EXPECT_EQ(keys(), QStringList{QStringLiteral("2403000002")});
  f->shippedOption->click();
  EXPECT_FALSE(f->unshippedOption->isChecked());
  EXPECT_EQ(keys(), QStringList{QStringLiteral("2403000001")});
  EXPECT_FALSE(f->markSelectedShippedAction->isEnabled());
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ListWindow, CustomerSearchAndSelectionTools) {
  // An empty search box is refused with the search's own message.
  f->customerSearchEdit->clear();
  f->onCustomerSearch();
  EXPECT_EQ(prompt.texts(), QStringList{OrderList::CustomerSearchEmptyText});
  prompt.clear();

  f->customerSearchEdit->setText(QStringLiteral("許功蓋"));
  f->onCustomerSearch();
  EXPECT_EQ(keys(), QStringList{QStringLiteral("2403000002")});

  // Mark the listed order paid: the date asked for lands in the table.
  f->orderList->setCurrentRow(0);
  prompt.answerInput(QStringLiteral("2024/03/20"));
  f->onMarkSelectedPaid();
  EXPECT_TRUE(f->db().Order.cell(2, OrderCell::PaymentState).startsWith(QStringLiteral("2024/03/20")));
  EXPECT_TRUE(f->db().dirty());
  EXPECT_FALSE(prompt.pending());
}

TEST_F(ListWindow, OrdersAreCreatedEditedAndDeletedFromTheList) {
  // A new order: the editor opens with the next number; saved with one line
  // of a product, whose stock goes down.
  const int cupStock = static_cast<int>(Num::leading(f->db().Manuf.cell(1, ManufCell::ProductStock)));
  QString number;
  f->runOrderInput = [&](OrderInput& e) {
    number = e.numberEdit->text();
    e.accountEdit->setText(QStringLiteral("buyer,1"));
    e.customerCategoryEdit->setText(QStringLiteral("露天拍賣"));
    OrderLine l;
    l.name = QStringLiteral("茶杯");
    l.category = QStringLiteral("餐具");
    l.price = QStringLiteral("500");
    l.cost = QStringLiteral("250");
    l.qty = QStringLiteral("1");
    e.addLine(l);
    // The product picker takes the stock of the line it adds.
    f->db().Manuf.setCell(1, ManufCell::ProductStock, QString::number(cupStock - 1));
    e.onSaveAndClose();
  };
  f->onNewOrder();
  ASSERT_EQ(f->db().Order.count(), 3);
  EXPECT_EQ(f->db().Order.key(3), number);
  EXPECT_TRUE(keys().contains(number));
  EXPECT_TRUE(f->db().dirty());

  // Opening it from the list shows its customer; cancel changes nothing.
  const int row = static_cast<int>(keys().indexOf(number));
  f->orderList->setCurrentRow(row);
  QString shownAccount;
  f->runOrderInput = [&](OrderInput& e) {
    shownAccount = e.accountEdit->text();
    e.onCancel();
  };
  f->onEditOrder();
  EXPECT_EQ(shownAccount, QStringLiteral("buyer,1"));

  // Deleting it with the stock given back.
  f->orderList->setCurrentRow(static_cast<int>(keys().indexOf(number)));
  prompt.answer(Prompt::Answer::Yes).answer(Prompt::Answer::Yes);
  f->onDeleteOrders();
  EXPECT_EQ(f->db().Order.count(), 2);
  EXPECT_FALSE(keys().contains(number));
  EXPECT_EQ(static_cast<int>(Num::leading(f->db().Manuf.cell(1, ManufCell::ProductStock))), cupStock);
  EXPECT_FALSE(prompt.pending());
}

TEST_F(ListWindow, TheListIsNotRebuiltUnderAnOpenEditor) {
  // Closing the product window while an order is open in the editor asks for
  // a rebuild; it waits until the editor is closed, since the editor's row
  // number names a row of the list.
  f->onProducts();
  ASSERT_NE(f->manufWindow(), nullptr);
  f->orderList->setCurrentRow(0);
  f->orderList->setText(0, OrderListCol::OrderNote, QStringLiteral("marker"));
  QString seenWhileOpen;
  f->runOrderInput = [&](OrderInput& e) {
    f->manufWindow()->close();
    seenWhileOpen = f->orderList->text(0, OrderListCol::OrderNote);
    e.onCancel();
  };
  f->onEditOrder();
  EXPECT_EQ(seenWhileOpen, QStringLiteral("marker"));
  EXPECT_NE(f->orderList->text(0, OrderListCol::OrderNote), QStringLiteral("marker"));
}

TEST_F(ListWindow, CustomerWindowListsACustomersOrdersInTheList) {
  EXPECT_TRUE(f->importFormatsAction->isEnabled());
  f->shippedOption->setChecked(true);
  f->onShippedChosen();
  f->onCustomers();
  QPointer<GuestForm> guests = f->guestWindow();
  ASSERT_TRUE(guests);
  ASSERT_TRUE(guests->listOrdersButton->isEnabled());
  guests->customerList->setCurrentRow(0);  // "buyer,1" of 露天拍賣: one shipped order
  guests->onListOrders();
  EXPECT_EQ(keys(), QStringList{QStringLiteral("2403000001")});
  EXPECT_EQ(f->panel(7)->text(), OrderList::listCountPanel(1));
  // "未出貨" shows while the list keeps the shipped order.
  EXPECT_TRUE(f->unshippedOption->isChecked());
  EXPECT_FALSE(f->shippedOption->isChecked());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(guests.isNull());
  EXPECT_TRUE(prompt.shown.empty());
}

}  // namespace
