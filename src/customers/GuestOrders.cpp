#include "customers/GuestOrders.h"

#include "mainwindow/OrderList.h"
#include "store/Database.h"

namespace GuestOrders {

std::vector<int> ordersOf(const Table& order, const QString& account, const QString& category) {
  std::vector<int> rows;
  const int n = order.count();
  for (int r = 1; r <= n; ++r)
    if (order.cell(r, OrderCell::BuyerAccount) == account && order.cell(r, OrderCell::BuyerCategory) == category)
      rows.push_back(r);
  return rows;
}

std::vector<QStringList> withoutOrders(const Database& db, const GuestList::View& view) {
  // Each order marks the first customer of its key; a customer stored twice
  // under one key shares that mark.
  const OrderList::CustomerLookup customers(db.Guest);
  std::vector<char> hasOrder(static_cast<size_t>(db.Guest.count()) + 1, 0);
  const int nOrders = db.Order.count();
  for (int o = 1; o <= nOrders; ++o)
    hasOrder[static_cast<size_t>(
        customers.row(db.Order.cell(o, OrderCell::BuyerAccount), db.Order.cell(o, OrderCell::BuyerCategory)))] = 1;
  std::vector<QStringList> rows;
  for (int r = db.Guest.count(); r >= 1; --r) {
    const int first = customers.row(db.Guest.key(r), db.Guest.cell(r, GuestCell::CustomerCategory));
    if (!hasOrder[static_cast<size_t>(first)]) rows.push_back(GuestList::row(db.Guest, r, view));
  }
  return rows;
}

QString emailList(const Table& guest, const std::vector<int>& rows, bool* bad) {
  QString list;
  for (int r : rows) {
    if (r < 1 || r > guest.count()) {
      if (bad) *bad = true;
      continue;
    }
    const QString& mail = guest.cell(r, GuestCell::CustomerEmail);
    if (mail.isEmpty()) continue;
    if (!list.isEmpty()) list += u';';
    list += mail;
  }
  return list;
}

}  // namespace GuestOrders
