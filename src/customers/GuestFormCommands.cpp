// The customer window's commands that reach beyond its list: the customer
// CSV file, the auction sites' buyer lists, the advanced search, the
// customer's orders in the main window, the purchase history, customers
// without orders and e-mail. The work is done by the window-free pieces;
// these handlers read the window and write the result back.
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <exception>

#include "customers/CustomerCsv.h"
#include "customers/GuestForm.h"
#include "customers/GuestManuf.h"
#include "customers/GuestOrders.h"
#include "customers/GuestRowSource.h"
#include "customers/GuestSearch.h"
#include "customers/SiteImport.h"
#include "models/OrderListHost.h"
#include "platform/ListView.h"
#include "platform/Prompt.h"
#include "platform/Shell.h"
#include "store/Database.h"

void GuestForm::connectCustomerCommands() {
  connect(importCsvAction, &QAction::triggered, this, &GuestForm::onImportCsv);
  connect(exportAllAction, &QAction::triggered, this, &GuestForm::onExportAll);
  connect(exportSelectedAction, &QAction::triggered, this, &GuestForm::onExportSelected);
  connect(importRutenAction, &QAction::triggered, this, &GuestForm::onImportRuten);
  connect(importYahooAction, &QAction::triggered, this, &GuestForm::onImportYahoo);
  connect(importShopeeAction, &QAction::triggered, this, &GuestForm::onImportShopee);
  connect(listWithoutOrdersAction, &QAction::triggered, this, &GuestForm::onListCustomersWithoutOrders);
  connect(emailSelectedAction, &QAction::triggered, this, &GuestForm::onEmailSelected);
  connect(emailCustomerAction, &QAction::triggered, this, &GuestForm::onEmailSelected);
  connect(purchaseHistoryAction, &QAction::triggered, this, &GuestForm::onPurchaseHistory);
  connect(advancedSearchButton, &QPushButton::clicked, this, &GuestForm::onAdvancedSearch);
  connect(listOrdersButton, &QPushButton::clicked, this, &GuestForm::onListOrders);
  connect(historyButton, &QPushButton::clicked, this, &GuestForm::onPurchaseHistory);
}

void GuestForm::setOrderListHost(OrderListHost* host) {
  host_ = host;
  listOrdersButton->setEnabled(host_ != nullptr);
}

int GuestForm::customerRow() const {
  const int current = customerList->currentRow();
  if (current >= 0 && customerList->isSelected(current)) return current;
  const std::vector<int> selected = customerList->selectedRows();
  return selected.empty() ? -1 : selected.front();
}

std::vector<int> GuestForm::listedGuestRows(bool selectedOnly) const {
  std::vector<int> rows;
  if (selectedOnly) {
    for (int r : customerList->selectedRows()) rows.push_back(customerList->tableIndex(r));
  } else {
    const int n = customerList->rowCount();
    rows.reserve(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r) rows.push_back(customerList->tableIndex(r));
  }
  return rows;
}

// ---- CSV file and buyer lists ----

void GuestForm::onExportAll() { CustomerCsv::exportCommand(db_, prompt_, listedGuestRows(false)); }
void GuestForm::onExportSelected() { CustomerCsv::exportCommand(db_, prompt_, listedGuestRows(true)); }

void GuestForm::onImportCsv() {
  if (CustomerCsv::importCommand(db_, prompt_)) GuestShow();
}

void GuestForm::onImportRuten() {
  if (SiteImport::importCommand(db_, prompt_, SiteImport::Site::Ruten, categoryCombo->currentText())) GuestShow();
}

void GuestForm::onImportYahoo() {
  if (SiteImport::importCommand(db_, prompt_, SiteImport::Site::Yahoo, categoryCombo->currentText())) GuestShow();
}

void GuestForm::onImportShopee() {
  if (SiteImport::importCommand(db_, prompt_, SiteImport::Site::Shopee, categoryCombo->currentText())) GuestShow();
}

// ---- searches and views ----

void GuestForm::onAdvancedSearch() {
  try {
    GuestSearch dlg(db_, prompt_, *this, this);
    dlg.exec();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void GuestForm::onListOrders() {
  if (!host_ || customerList->rowCount() == 0) return;
  const int row = customerRow();
  if (row < 0) return;
  const QString account = customerList->text(row, GuestList::Account);
  const QString category = customerList->text(row, GuestList::Category);
  OrderListHost* host = host_;
  host->showOrderList(
      OrderList::listOrders(db_, GuestOrders::ordersOf(db_.Order, account, category), host->viewUsername()));
  close();
  // "未出貨" shows in the filter while the list keeps every order of the
  // customer; the shortage check then runs as after an unshipped listing.
  host->setShippingOptionsQuietly(true, false);
  host->CheckStockShortage();
  host->bringToFront();
}

void GuestForm::onPurchaseHistory() {
  if (customerList->rowCount() == 0) return;
  const int row = customerRow();
  if (row < 0) return;
  GuestManuf history(db_, prompt_, this);
  if (history.load(customerList->text(row, GuestList::Account), customerList->text(row, GuestList::Category))) history.exec();
}

void GuestForm::onListCustomersWithoutOrders() {
  try {
    if (db_.Guest.count() == 0) {
      prompt_.warn(QStringLiteral("還沒有任何客戶資料"));
      return;
    }
    setStatus(QStringLiteral("搜尋中請稍後...."));
    customerList->clear();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    customerList->setRowSource(GuestList::rowSource(db_.Guest, GuestOrders::withoutOrders(db_), view()));
    const int n = customerList->rowCount();
    setStatus(n == 0 ? QStringLiteral("沒有發現符合的資料")
                     : QStringLiteral("搜尋完成，共找到 %1 筆沒有訂單的客戶資料!").arg(n));
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void GuestForm::onEmailSelected() {
  const std::vector<int> rows = listedGuestRows(true);
  setStatus(QStringLiteral("正在列出Email名單，請稍候.."));
  bool bad = false;
  const QString list = GuestOrders::emailList(db_.Guest, rows, &bad);
  if (bad) {
    prompt_.error();
    return;
  }
  setStatus(QStringLiteral("Email名單列出完成!"));
  if (list.size() > GuestOrders::EmailListLimit) {
    prompt_.message(GuestOrders::EmailTooLongText, Prompt::Icon::Exclamation);
    return;
  }
  // No address among the selected (or nothing selected): a new message
  // without addressee.
  Shell::openMail({list}, prompt_);
}
