#include "reports/OrderRowIndex.h"

#include "store/Table.h"

namespace {
int compare(QStringView a, QStringView b) { return a.compare(b); }
}  // namespace

OrderRowIndex::OrderRowIndex(const Table& order) : order_(order) {
  const int n = order.count();
  for (int r = 2; r <= n && sorted_; ++r)
    if (compare(order.key(r - 1), order.key(r)) > 0) sorted_ = false;
  if (sorted_) return;

  next_.assign(static_cast<size_t>(n) + 1, 0);
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

int OrderRowIndex::first(QStringView orderNo, Hint& hint) const {
  return sorted_ ? firstSorted(orderNo, hint) : first_.value(orderNo, 0);
}

int OrderRowIndex::next(int row) const {
  if (!sorted_) return next_[static_cast<size_t>(row)];
  return row < order_.count() && order_.key(row + 1) == order_.key(row) ? row + 1 : 0;
}

int OrderRowIndex::firstSorted(QStringView no, Hint& hint) const {
  const int n = order_.count();
  if (n == 0) return 0;
  // Lines come in runs of one order, and the runs mostly follow the orders:
  // the row found last (always the first row of its number) and the row
  // after it answer most lookups.
  int& at = hint.row;
  if (at < 1 || at > n) at = 1;
  if (order_.key(at) == no) return at;
  if (at < n && order_.key(at + 1) == no) return ++at;
  // The first row not below the number.
  int lo = 1, hi = n + 1;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (compare(order_.key(mid), no) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  if (lo > n || order_.key(lo) != no) return 0;
  return at = lo;
}
