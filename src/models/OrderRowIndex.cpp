#include "models/OrderRowIndex.h"

#include <atomic>

#include "store/Table.h"

namespace {
int compare(QStringView a, QStringView b) { return a.compare(b); }
}  // namespace

OrderRowIndex::OrderRowIndex(const Table& order) : order_(order) {
  const int n = order.count();
  // Sorted when every slice is (each slice also compares its first row with
  // the row before it).
  std::atomic<bool> sorted{true};
  forEachSlice(static_cast<size_t>(std::max(0, n - 1)), 50000, [&](size_t from, size_t to) {
    for (int r = static_cast<int>(from) + 2; r <= static_cast<int>(to) + 1; ++r) {
      if (compare(order.key(r - 1), order.key(r)) > 0) {
        sorted = false;
        return;
      }
      if ((r & 4095) == 0 && !sorted.load(std::memory_order_relaxed)) return;
    }
  });
  sorted_ = sorted;
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
  const int c = compare(order_.key(at), no);
  if (c == 0) return at;
  if (at < n && order_.key(at + 1) == no) return ++at;
  // The first row not below the number lies in [lo, hi): found by steps
  // that double away from the last row (a search that skips lines asks a
  // little further on), then by halving.
  int lo = 1, hi = n + 1;
  if (c < 0) {
    lo = at + 1;
    for (long step = 1;; step *= 2) {
      const long probe = at + step;
      if (probe > n) break;
      if (compare(order_.key(static_cast<int>(probe)), no) >= 0) {
        hi = static_cast<int>(probe);
        break;
      }
      lo = static_cast<int>(probe) + 1;
    }
  } else {
    hi = at;
    for (long step = 1;; step *= 2) {
      const long probe = at - step;
      if (probe < 1) break;
      if (compare(order_.key(static_cast<int>(probe)), no) < 0) {
        lo = static_cast<int>(probe) + 1;
        break;
      }
      hi = static_cast<int>(probe);
    }
  }
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
