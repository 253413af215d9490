#include "reports/OrderRowIndex.h"

#include "store/Table.h"

OrderRowIndex::OrderRowIndex(const Table& order) : next_(static_cast<size_t>(order.count()) + 1, 0) {
  const int n = order.count();
  first_.reserve(n);
  std::vector<int> tail;  // last row of a repeated number, by its first row
  for (int r = 1; r <= n; ++r) {
    const QStringView no(order.key(r));
    const auto it = first_.constFind(no);
    if (it == first_.constEnd()) {
      first_.insert(no, r);
      continue;
    }
    if (tail.empty()) tail.assign(static_cast<size_t>(n) + 1, 0);
    int& t = tail[static_cast<size_t>(*it)];
    next_[static_cast<size_t>(t ? t : *it)] = r;
    t = r;
  }
}
