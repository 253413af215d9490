#include "products/ProductOrders.h"

#include <QHash>
#include <QSet>
#include <algorithm>

#include "store/Database.h"

namespace ProductOrders {

namespace {
const QString kUnshipped = QStringLiteral("未出貨");
const QString kShipped = QStringLiteral("已出貨");
}  // namespace

QString shipStatus(const QString& state) {
  if (state == kUnshipped || state == kShipped) return state;
  const qsizetype first = state.indexOf(u' ');
  if (first < 0) return {};
  const qsizetype second = state.indexOf(u' ', first + 1);
  return state.mid(first + 1, second < 0 ? -1 : second - first - 1);
}

bool passes(const QString& state, ShipChoice choice) {
  switch (choice) {
    case ShipChoice::All: return true;
    case ShipChoice::Unshipped: return shipStatus(state) == kUnshipped;
    case ShipChoice::Shipped: return shipStatus(state) != kUnshipped;
  }
  return true;
}

std::vector<int> orderRows(const Database& db, const std::vector<std::pair<QString, QString>>& products,
                           ShipChoice choice) {
  if (products.empty()) return {};
  // Categories wanted per product name.
  QHash<QString, QStringList> wanted;
  for (const auto& [name, category] : products) {
    QStringList& cats = wanted[name];
    if (!cats.contains(category)) cats << category;
  }
  // Order numbers of the matching lines, each once. An empty number is no
  // order and is left out.
  QSet<QString> numbers;
  const Table& stock = db.Stock;
  for (int r = 1, n = stock.count(); r <= n; ++r) {
    const auto it = wanted.constFind(stock.cell(r, StockCell::LineName));
    if (it == wanted.constEnd() || !it->contains(stock.cell(r, StockCell::LineCategory))) continue;
    const QString& no = stock.key(r);
    if (!no.isEmpty()) numbers.insert(no);
  }
  if (numbers.isEmpty()) return {};
  // The first Order row of each number that passes the choice.
  QHash<QString, int> found;
  found.reserve(numbers.size());
  const Table& order = db.Order;
  for (int r = 1, n = order.count(); r <= n; ++r) {
    const QString& no = order.key(r);
    if (!numbers.contains(no) || found.contains(no)) continue;
    if (passes(order.cell(r, OrderCell::ShippingState), choice)) found.insert(no, r);
  }
  std::vector<std::pair<QString, int>> sorted;
  sorted.reserve(static_cast<size_t>(found.size()));
  for (auto it = found.constBegin(); it != found.constEnd(); ++it) sorted.emplace_back(it.key(), it.value());
  std::sort(sorted.begin(), sorted.end(),
            [](const auto& a, const auto& b) { return QString::compare(a.first, b.first) < 0; });
  std::vector<int> rows;
  rows.reserve(sorted.size());
  for (const auto& p : sorted) rows.push_back(p.second);
  return rows;
}

OrderList::OrderListResult list(const Database& db, const std::vector<std::pair<QString, QString>>& products,
                                ShipChoice choice, bool username) {
  return OrderList::listOrders(db, orderRows(db, products, choice), username, OrderList::DiscountStyle::MinusOnly);
}

}  // namespace ProductOrders
