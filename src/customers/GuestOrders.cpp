#include "customers/GuestOrders.h"

#include <atomic>

#include "models/CustomerIndex.h"
#include "store/Database.h"
#include "store/Parallel.h"

namespace GuestOrders {

std::vector<int> ordersOf(const Table& order, const QString& account, const QString& category) {
  std::vector<int> rows;
  const int n = order.count();
  for (int r = 1; r <= n; ++r)
    if (order.cell(r, OrderCell::BuyerAccount) == account && order.cell(r, OrderCell::BuyerCategory) == category)
      rows.push_back(r);
  return rows;
}

std::vector<int> withoutOrders(const Database& db) {
  // Each order marks the first customer of its key; a customer stored twice
  // under one key shares that mark.
  const Table& guest = db.Guest;
  const Table& order = db.Order;
  const CustomerIndex customers(guest);
  std::vector<std::atomic<char>> hasOrder(static_cast<size_t>(guest.count()) + 1);
  forEachSlice(static_cast<size_t>(order.count()), 20000, [&](size_t from, size_t to) {
    CustomerIndex::Memo memo;
    std::vector<int> found(to - from);
    customers.rows(order, static_cast<int>(from) + 1, static_cast<int>(to) + 1, OrderCell::BuyerAccount,
                   OrderCell::BuyerCategory, memo, found.data());
    for (const int g : found)
      if (g) hasOrder[static_cast<size_t>(g)].store(1, std::memory_order_relaxed);
  });
  std::vector<int> without;
  for (int r = guest.count(); r >= 1; --r)
    if (!hasOrder[static_cast<size_t>(customers.firstOf(r))].load(std::memory_order_relaxed)) without.push_back(r);
  return without;
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
