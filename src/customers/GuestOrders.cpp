#include "customers/GuestOrders.h"

#include <QSet>

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
  QSet<std::pair<QString, QString>> buyers;
  const int nOrders = db.Order.count();
  buyers.reserve(nOrders);
  for (int o = 1; o <= nOrders; ++o)
    buyers.insert({db.Order.cell(o, OrderCell::BuyerAccount), db.Order.cell(o, OrderCell::BuyerCategory)});
  std::vector<QStringList> rows;
  for (int r = db.Guest.count(); r >= 1; --r)
    if (!buyers.contains({db.Guest.key(r), db.Guest.cell(r, GuestCell::CustomerCategory)}))
      rows.push_back(GuestList::row(db.Guest, r, view));
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
