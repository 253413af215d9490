#include "products/ProductOrders.h"

#include <QHash>
#include <QSet>
#include <algorithm>

#include "store/Database.h"
#include "store/Parallel.h"

namespace ProductOrders {

namespace {
const QString kUnshipped = QStringLiteral("未出貨");
const QString kShipped = QStringLiteral("已出貨");
constexpr size_t kSlice = 16384;  // rows a thread reads at a time

// A cheap fingerprint of a text (its length and last three characters), so
// the scans over every line and every order hash only the few texts that
// may be wanted.
quint64 fingerprint(const QString& s) {
  const qsizetype n = s.size();
  quint64 f = static_cast<quint64>(n & 0xFFFF) << 48;
  for (qsizetype i = std::max<qsizetype>(0, n - 3), k = 0; i < n; ++i, ++k)
    f |= static_cast<quint64>(s[i].unicode()) << (16 * k);
  return f;
}

class Fingerprints {
 public:
  void add(const QString& s) { prints_.push_back(fingerprint(s)); }
  void seal() {
    std::sort(prints_.begin(), prints_.end());
    prints_.erase(std::unique(prints_.begin(), prints_.end()), prints_.end());
  }
  bool mayHold(const QString& s) const { return std::binary_search(prints_.begin(), prints_.end(), fingerprint(s)); }

 private:
  std::vector<quint64> prints_;
};

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
  Fingerprints wantedNames;
  for (const auto& [name, category] : products) {
    QStringList& cats = wanted[name];
    if (!cats.contains(category)) cats << category;
    wantedNames.add(name);
  }
  wantedNames.seal();

  // The lines of the chosen products, read in slices on several threads.
  const Table& stock = db.Stock;
  const size_t lineCount = static_cast<size_t>(stock.count());
  std::vector<std::vector<int>> hitsBySlice((lineCount + kSlice - 1) / kSlice);
  forEachSlice(hitsBySlice.size(), 1, [&](size_t fromSlice, size_t toSlice) {
    for (size_t k = fromSlice; k < toSlice; ++k) {
      const int last = static_cast<int>(std::min(lineCount, (k + 1) * kSlice));
      for (int r = static_cast<int>(k * kSlice) + 1; r <= last; ++r) {
        const QString& name = stock.cell(r, StockCell::LineName);
        if (!wantedNames.mayHold(name)) continue;
        const auto it = wanted.constFind(name);
        if (it != wanted.constEnd() && it->contains(stock.cell(r, StockCell::LineCategory)))
          hitsBySlice[k].push_back(r);
      }
    }
  });
  // Their order numbers, each once. An empty number is no order and is left out.
  QSet<QString> numbers;
  for (const auto& hits : hitsBySlice)
    for (int r : hits)
      if (!stock.key(r).isEmpty()) numbers.insert(stock.key(r));
  if (numbers.isEmpty()) return {};

  // The first Order row of each number whose order passes the choice.
  Fingerprints wantedNumbers;
  for (const QString& no : numbers) wantedNumbers.add(no);
  wantedNumbers.seal();
  const Table& order = db.Order;
  const size_t orderCount = static_cast<size_t>(order.count());
  std::vector<std::vector<int>> candidates((orderCount + kSlice - 1) / kSlice);
  forEachSlice(candidates.size(), 1, [&](size_t fromSlice, size_t toSlice) {
    for (size_t k = fromSlice; k < toSlice; ++k) {
      const int last = static_cast<int>(std::min(orderCount, (k + 1) * kSlice));
      for (int r = static_cast<int>(k * kSlice) + 1; r <= last; ++r) {
        const QString& no = order.key(r);
        if (wantedNumbers.mayHold(no) && numbers.contains(no) && passes(order.cell(r, OrderCell::ShippingState), choice))
          candidates[k].push_back(r);
      }
    }
  });
  QHash<QString, int> found;
  found.reserve(numbers.size());
  for (const auto& rows : candidates)  // slices in row order: the first row of a number comes first
    for (int r : rows) found.insert(order.key(r), std::min(r, found.value(order.key(r), r)));

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
