// The customer window's commands on its list: a customer's orders in the
// main list, purchase history, advanced search, customers without orders,
// e-mail and the CSV and buyer-list menu entries.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "CustomerViewsFixture.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "customers/GuestForm.h"
#include "customers/GuestManuf.h"
#include "customers/GuestSearch.h"
#include "models/OrderListHost.h"
#include "platform/ListView.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "printouts/ExportForm.h"

namespace {

template <class W>
void whenModal(std::function<void(W*)> f) {
  QTimer::singleShot(0, [f] {
    auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
    ASSERT_NE(w, nullptr);
    f(w);
  });
}

// The main window's side, recorded.
struct FakeHost : OrderListHost {
  std::vector<OrderList::OrderListResult> shown;
  QStringList calls;
  bool username = false;
  void showOrderList(const OrderList::OrderListResult& r) override {
    shown.push_back(r);
    calls << "show";
  }
  bool viewUsername() const override { return username; }
  bool unshippedOptionSelected() const override { return false; }
  void setShippingOptionsQuietly(bool unshipped, bool shipped) override {
    calls << QStringLiteral("options %1 %2").arg(unshipped).arg(shipped);
  }
  int categoryFilterIndex() const override { return 0; }
  void setCategoryFilterQuietly(int) override { calls << "category"; }
  void CheckStockShortage() override { calls << "shortage"; }
  void clearShortageList() override { calls << "clear"; }
  void bringToFront() override { calls << "front"; }
};

struct Opened {
  std::vector<QUrl> urls;
  bool taken = true;  // false: no program takes the address
  Opened() {
    Shell::openHook = [this](const QUrl& u) {
      urls.push_back(u);
      return taken;
    };
  }
  ~Opened() { Shell::openHook = nullptr; }
};

struct GuestFormCommandsTest : ::testing::Test {
  CustomerViewsFixture f;
  Database& db = f.db;
  ScriptedPrompt prompt;

  void SetUp() override {
    for (int i = 2; i <= 8; ++i) SettingsStore::remove("GuestForm", QStringLiteral("no%1").arg(i));
    SettingsStore::remove("GuestForm", "Set1");
    db.settings.CustomerCategories = QStringList{"露天", "蝦皮"};
  }
  GuestForm* open() {
    auto* form = new GuestForm(db, prompt);
    EXPECT_TRUE(form->openAsManager());
    return form;
  }
  static int rowOf(const ListView* list, const QString& account, const QString& category) {
    for (int r = 0; r < list->rowCount(); ++r)
      if (list->text(r, 0) == account && list->text(r, 1) == category) return r;
    return -1;
  }
  static QStringList listed(const ListView* list) {
    QStringList out;
    for (int r = 0; r < list->rowCount(); ++r) out << list->text(r, 0) + "/" + list->text(r, 1);
    return out;
  }
};

TEST_F(GuestFormCommandsTest, CustomersOrdersGoToTheMainListAndTheWindowCloses) {
  FakeHost host;
  QPointer<GuestForm> form = open();
  EXPECT_FALSE(form->listOrdersButton->isEnabled());  // no main window to list into
  form->setOrderListHost(&host);
  EXPECT_TRUE(form->listOrdersButton->isEnabled());

  form->customerList->clearSelection();
  form->onListOrders();  // no current row: nothing happens
  EXPECT_TRUE(host.calls.isEmpty());

  form->customerList->setCurrentRow(rowOf(form->customerList, "amy", "露天"));
  form->onListOrders();
  EXPECT_EQ(host.calls, (QStringList{"show", "options 1 0", "shortage", "front"}));
  ASSERT_EQ(host.shown.size(), 1u);
  const auto& r = host.shown[0];
  // Shipped and unshipped orders of this customer only, in Order row order.
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_EQ(r.rows[0][OrderListCol::OrderNo], "A1");
  EXPECT_EQ(r.rows[0][OrderListCol::DiscountText], "95%");
  EXPECT_EQ(r.rows[1][OrderListCol::OrderNo], "A3");
  EXPECT_EQ(r.rows[1][OrderListCol::DiscountText], "+30");
  EXPECT_EQ(r.rows[1][OrderListCol::OrderIndex], "3");
  EXPECT_EQ(r.panels, (QStringList{"應收帳款: 550 ", "商品: 490 ", "成本: 320 ", "結餘: 170 ", "未匯款: 250 ",
                                   "運費: 0 (賣方) + 60 (買方) = 60 ", " 共 2 筆資料"}));
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form.isNull());  // closed
}

TEST_F(GuestFormCommandsTest, CustomerWithoutOrdersListsNothingWithNames) {
  FakeHost host;
  host.username = true;
  QPointer<GuestForm> form = open();
  form->setOrderListHost(&host);
  form->customerList->setCurrentRow(rowOf(form->customerList, "cal", "未分類"));
  form->onListOrders();
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_TRUE(host.shown[0].rows.empty());
  EXPECT_EQ(host.shown[0].panels.last(), "沒有找到符合的訂單");
  EXPECT_EQ(host.shown[0].panels[2], "成本: 0 ");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(GuestFormCommandsTest, PurchaseHistoryOpensForTheCurrentCustomer) {
  Opened opened;
  GuestForm* form = open();
  form->customerList->setCurrentRow(rowOf(form->customerList, "amy", "露天"));
  bool seen = false;
  whenModal<GuestManuf>([&](GuestManuf* h) {
    seen = true;
    EXPECT_EQ(h->windowTitle(), "購物歷史清單 - amy");
    EXPECT_EQ(h->historyList->rowCount(), 3);
    EXPECT_EQ(h->statusBar->currentMessage(),
              " 共 3 筆資料，售價總計 525.5元 ，成本總計 330.25 元，結餘 195.25 元，數量總計 5");
    h->productNameEdit->setText("收納");
    h->onSearch();
    EXPECT_EQ(h->historyList->rowCount(), 1);
    EXPECT_EQ(h->windowTitle(), "購物歷史清單 - amy");
    h->historyList->setCurrentRow(0);
    h->onOpenLink();  // "www." taken as http
    EXPECT_TRUE(prompt.shown.empty());
    opened.taken = false;  // no browser: the seller is told
    h->onOpenLink();
    opened.taken = true;
    EXPECT_EQ(prompt.texts(), QStringList{Shell::addressNotOpenedText(QUrl("http://www.example.com/box"))});
    h->productNameEdit->clear();
    h->onSearch();
    h->historyList->setCurrentRow(2);
    h->onOpenLink();  // "javascript:" is no web address
    // The export chooser is offered the seven columns before the address.
    QStringList offered;
    int ex = 0;
    ExportForm::showHook = [&](ExportForm& chooser) {
      ex = chooser.ex;
      for (const auto& field : chooser.fields()) offered << field.caption;
    };
    h->onExport();
    ExportForm::showHook = nullptr;
    EXPECT_EQ(ex, 6);
    EXPECT_EQ(offered, (QStringList{"日期", "商品名稱", "商品分類", "售價", "成本", "數量", "備註"}));
    h->closeButton->click();
  });
  form->onPurchaseHistory();
  EXPECT_TRUE(seen);
  ASSERT_EQ(opened.urls.size(), 2u);
  EXPECT_EQ(opened.urls[0].toString(), "http://www.example.com/box");
  form->customerList->clearSelection();
  form->onPurchaseHistory();  // no current row: nothing opens
  form->close();
}

TEST_F(GuestFormCommandsTest, AdvancedSearchFillsTheCustomerList) {
  GuestForm* form = open();
  // The field search: blanks trimmed, the dialog's category carried back.
  whenModal<GuestSearch>([&](GuestSearch* s) {
    EXPECT_EQ(s->categoryCombo->count(), 4);  // 全部, 露天, 蝦皮, 未分類
    EXPECT_EQ(s->categoryCombo->currentText(), "全部");
    s->categoryCombo->setCurrentIndex(1);
    s->accountEdit->setText("  AM\r\nx");
    s->onFieldSearch();
    EXPECT_EQ(s->accountEdit->text(), "AM");
  });
  form->onAdvancedSearch();
  EXPECT_EQ(listed(form->customerList), QStringList{"amy/露天"});
  EXPECT_EQ(form->statusBar->currentMessage(), " 共 1 筆資料");
  EXPECT_EQ(form->categoryCombo->currentText(), "露天");

  // Nothing found: the message, the dialog stays until closed.
  whenModal<GuestSearch>([&](GuestSearch* s) {
    prompt.clear();
    s->nameEdit->setText("沒有這個人");
    s->onFieldSearch();
    EXPECT_EQ(prompt.texts(), QStringList{"沒有找到符合的客戶資料"});
    EXPECT_TRUE(s->isVisible());
    // The product-name search: the filter back on "全部".
    s->productNameEdit->setText(" 杯 ");
    s->onProductSearch();
  });
  form->onAdvancedSearch();
  EXPECT_EQ(listed(form->customerList), QStringList{"amy/露天"});
  EXPECT_EQ(form->categoryCombo->currentText(), "全部");
  form->close();
}

TEST_F(GuestFormCommandsTest, CustomersWithoutOrders) {
  GuestForm* form = open();
  form->columnActions[3]->setChecked(false);
  form->listWithoutOrdersAction->trigger();
  EXPECT_EQ(listed(form->customerList), (QStringList{"cal/未分類", "Bob/露天"}));
  EXPECT_EQ(form->statusBar->currentMessage(), "搜尋完成，共找到 2 筆沒有訂單的客戶資料!");
  form->close();

  Database empty;
  GuestForm none(empty, prompt);
  none.statusBar->showMessage("before");
  none.onListCustomersWithoutOrders();
  EXPECT_EQ(prompt.texts(), QStringList{"還沒有任何客戶資料"});
  EXPECT_EQ(prompt.shown[0].title, "注意");
  EXPECT_EQ(none.statusBar->currentMessage(), "before");
}

TEST_F(GuestFormCommandsTest, EmailToTheSelectedCustomers) {
  Opened opened;
  GuestForm* form = open();
  form->customerList->clearSelection();
  form->onEmailSelected();  // nothing selected: a message without addressee
  ASSERT_EQ(opened.urls.size(), 1u);
  EXPECT_EQ(opened.urls[0].toString(QUrl::FullyEncoded), "mailto:");
  EXPECT_EQ(form->statusBar->currentMessage(), "Email名單列出完成!");
  opened.urls.clear();
  form->statusBar->clearMessage();

  // Two customers sharing an address, one without any: the address twice,
  // taken from the table even with the Email column switched off.
  form->columnActions[5]->setChecked(false);
  form->GuestShow();
  for (const auto& [a, c] : {std::pair{"amy", "露天"}, {"amy", "蝦皮"}, {"Bob", "露天"}})
    form->customerList->setSelected(rowOf(form->customerList, a, c), true);
  form->emailCustomerAction->trigger();
  ASSERT_EQ(opened.urls.size(), 1u);
  EXPECT_EQ(opened.urls[0].toString(QUrl::FullyEncoded), "mailto:amy@x.tw,amy@x.tw");
  EXPECT_EQ(form->statusBar->currentMessage(), "Email名單列出完成!");

  // Only Bob: no address, a message without addressee all the same.
  form->customerList->clearSelection();
  form->customerList->setSelected(rowOf(form->customerList, "Bob", "露天"), true);
  form->statusBar->clearMessage();
  form->onEmailSelected();
  ASSERT_EQ(opened.urls.size(), 2u);
  EXPECT_EQ(opened.urls[1].toString(QUrl::FullyEncoded), "mailto:");
  EXPECT_EQ(form->statusBar->currentMessage(), "Email名單列出完成!");

  // Over 2048 characters: the message, nothing opens.
  db.Guest.setCell(3, GuestCell::CustomerEmail, QString(2049, u'a'));
  form->onEmailSelected();
  EXPECT_EQ(prompt.texts().last(), "Email名單超出容納範圍，請減少名單數量並分多次寄送");
  EXPECT_EQ(opened.urls.size(), 2u);
  db.Guest.setCell(3, GuestCell::CustomerEmail, QString(2048, u'a'));
  form->onEmailSelected();
  EXPECT_EQ(opened.urls.size(), 3u);

  // No mail program: one message naming the list, cut to a readable length.
  prompt.clear();
  opened.taken = false;
  form->onEmailSelected();
  EXPECT_EQ(opened.urls.size(), 4u);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, QStringLiteral("無法用郵件程式寫信（找不到可以寫信的郵件程式）：\nmailto:") +
                                      QString(Shell::ShownAddressLength - 8, u'a') + QStringLiteral("…"));
  EXPECT_EQ(prompt.shown[0].title, "注意");
  form->close();
}

TEST_F(GuestFormCommandsTest, MenuEntriesOfThisWindow) {
  GuestForm* form = open();
  for (QAction* a : {form->importCsvAction, form->exportAllAction, form->exportSelectedAction, form->importRutenAction, form->listWithoutOrdersAction,
                     form->emailSelectedAction, form->emailCustomerAction, form->purchaseHistoryAction})
    EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
  for (QAction* a : {form->importYahooAction, form->importShopeeAction}) {
    EXPECT_FALSE(a->isVisible());
    EXPECT_FALSE(a->isEnabled());
  }
  EXPECT_TRUE(form->advancedSearchButton->isEnabled());
  EXPECT_TRUE(form->historyButton->isEnabled());

  // Export of the selection: the header and the selected customers.
  TestDir dir;
  form->categoryCombo->setCurrentIndex(1);  // 露天
  form->onCategoryChosen();
  form->customerList->clearSelection();
  form->customerList->setSelected(rowOf(form->customerList, "dan", "露天"), true);
  prompt.answerPath(dir.file("sel.csv"));
  form->exportSelectedAction->trigger();
  EXPECT_EQ(dir.get("sel.csv"), big5(QStringLiteral("客戶帳號,客戶分類,姓名,性別,電話,手機,Email,地址,帳號後5碼,備註\r\n"
                                                    "dan,露天,丁,,,,dan@x.tw,,,\r\n")));

  // A buyer-list import goes into the filter's category and rebuilds the list.
  dir.put("r.csv", big5(QStringLiteral("h\r\n1,2,3,4,5,6,7,8,9,eve,11,伊芙,=\"02\",=\"09\",花蓮市\r\n")));
  prompt.clear();
  prompt.answerPath(dir.file("r.csv")).answer(Prompt::Answer::Yes);
  form->importRutenAction->trigger();
  EXPECT_EQ(prompt.texts().last(), "匯入露天CSV完成!");
  EXPECT_EQ(listed(form->customerList), (QStringList{"amy/露天", "Bob/露天", "dan/露天", "eve/露天"}));
  EXPECT_EQ(form->statusBar->currentMessage(), " 共 4 筆客戶資料");
  EXPECT_TRUE(db.dirty());
  form->close();
}

}  // namespace
