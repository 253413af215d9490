#include "printouts/PrintoutCommands.h"

#include <QCoreApplication>

#include "models/OrderList.h"
#include "platform/ListView.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "printouts/ExportForm.h"
#include "printouts/MailingLabels.h"
#include "printouts/OrderStock.h"
#include "printouts/PrintoutOutput.h"
#include "printouts/ShippingNote.h"
#include "store/Database.h"

namespace PrintoutCommands {

bool maskPhone() { return SettingsStore::getBool(QStringLiteral("Setting"), QStringLiteral("MaskPhone"), false); }

std::vector<QStringList> selectedRows(const ListView& list) {
  std::vector<QStringList> rows;
  for (int r : list.selectedRows()) rows.push_back(list.rowTexts(r));
  return rows;
}

void shippingNotes(Database& db, Prompt& prompt, QWidget* owner, const ListView& orderList) {
  PrintoutOutput::checkTempFolder(db, prompt, owner);
  const std::optional<QString> page = ShippingNote::selectedOrders(db, selectedRows(orderList), maskPhone());
  if (!page) {
    prompt.error();
    return;
  }
  if (PrintoutOutput::deliverHtml(db, prompt, *page))
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void orderLabels(Database& db, Prompt& prompt, QWidget* owner, const ListView& orderList) {
  PrintoutOutput::checkTempFolder(db, prompt, owner);
  const std::optional<QString> labels = MailingLabels::orderListLabels(db, selectedRows(orderList), maskPhone());
  if (!labels) {
    prompt.error();
    return;
  }
  PrintoutOutput::deliver(db, prompt, owner, MailingLabels::fileName(db.settings.AddrFileExt), *labels);
}

void pickingList(Database& db, Prompt& prompt, QWidget* owner, const ListView& orderList) {
  if (orderList.rowCount() == 0) return;
  std::vector<QString> numbers;
  for (int r : orderList.selectedRows()) numbers.push_back(orderList.text(r, OrderListCol::OrderNo));
  OrderStock::open(db, prompt, owner, numbers);
}

void exportOrders(Database& db, Prompt& prompt, QWidget* owner, const ListView& orderList) {
  ExportForm::run(db, prompt, owner, 1, QStringLiteral("OrderForm"), orderList, ExportForm::orderListOffers());
}

void customerLabels(Database& db, Prompt& prompt, QWidget* owner, const ListView& guestList) {
  PrintoutOutput::checkTempFolder(db, prompt, owner);
  const std::optional<QString> labels = MailingLabels::customerLabels(db, selectedRows(guestList));
  if (!labels) {
    prompt.error();
    return;
  }
  PrintoutOutput::deliverText(db, prompt, owner, *labels);
}

void exportCustomers(Database& db, Prompt& prompt, QWidget* owner, const ListView& guestList) {
  ExportForm::run(db, prompt, owner, 2, QStringLiteral("GuestForm"), guestList,
                  ExportForm::listOffers(guestList, {0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

void exportProducts(Database& db, Prompt& prompt, QWidget* owner, const ListView& productList) {
  ExportForm::run(db, prompt, owner, 3, QStringLiteral("ManufForm"), productList,
                  ExportForm::listOffers(productList, {0, 1, 2, 3, 4, 5, 6, 7}));
}

}  // namespace PrintoutCommands
