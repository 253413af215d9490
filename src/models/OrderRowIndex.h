#pragma once
// Order rows by their order number, built once per command, for the joins
// of order lines to their orders. Rows of one number are kept in row order,
// so "the first row of that number (that passes a test)" is the row a
// forward search through a table sorted by number would find, and nothing
// depends on the table being sorted.
//
// A table whose numbers already stand in ascending order (the usual case:
// orders are appended with rising numbers) is searched in place, from the
// row found last and by halving; any other table gets a hash index.
//
// The index reads the table's key texts in place: the Order table must not
// change while it is used. Threads that share an index each pass a Hint of
// their own.
#include <QHash>
#include <QStringView>
#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "store/Parallel.h"

class Table;

class OrderRowIndex {
 public:
  explicit OrderRowIndex(const Table& order);

  // Where the last lookup of one thread ended (lines of one order follow
  // each other, so the next lookup mostly ends there or one row further).
  struct Hint {
    int row = 1;
  };

  // The first row with exactly this number; 0 when none.
  int first(QStringView orderNo, Hint& hint) const;
  int first(QStringView orderNo) const { return first(orderNo, hint_); }
  // The next row of the same number after row; 0 after the last.
  int next(int row) const;
  // The numbers stand in ascending order: no hash index was needed.
  bool searchesInPlace() const { return sorted_; }

  // The first row of that number for which test(row) holds; 0 when none.
  template <typename Test>
  int firstWhere(QStringView orderNo, Hint& hint, Test&& test) const {
    for (int r = first(orderNo, hint); r; r = next(r))
      if (test(r)) return r;
    return 0;
  }

 private:
  int firstSorted(QStringView orderNo, Hint& hint) const;

  const Table& order_;
  bool sorted_ = true;
  mutable Hint hint_;              // for callers on one thread
  QHash<QStringView, int> first_;  // other tables
  std::vector<int> next_;
};

// Calls visit(row, hint, out) for rows 1..count in slices on several
// threads, each slice with a hint and an output of its own, and returns the
// values the slices pushed into out, in row order.
template <typename T, typename Visit>
std::vector<T> collectInSlices(int count, Visit&& visit) {
  std::mutex m;
  std::vector<std::pair<int, std::vector<T>>> parts;
  forEachSlice(static_cast<size_t>(count), 20000, [&](size_t from, size_t to) {
    OrderRowIndex::Hint hint;
    std::vector<T> out;
    for (int row = static_cast<int>(from) + 1; row <= static_cast<int>(to); ++row) visit(row, hint, out);
    const std::lock_guard<std::mutex> lock(m);
    parts.emplace_back(static_cast<int>(from), std::move(out));
  });
  std::sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  if (parts.size() == 1) return std::move(parts.front().second);
  std::vector<T> all;
  size_t n = 0;
  for (const auto& p : parts) n += p.second.size();
  all.reserve(n);
  for (auto& p : parts) all.insert(all.end(), p.second.begin(), p.second.end());
  return all;
}

// test(row) for rows 1..count, worked out in slices on several threads:
// element row of the result (element 0 unused) is 1 where it holds.
template <typename Test>
std::vector<char> markRows(int count, Test&& test) {
  std::vector<char> marks(static_cast<size_t>(count) + 1, 0);
  forEachSlice(static_cast<size_t>(count), 20000, [&](size_t from, size_t to) {
    for (size_t r = from + 1; r <= to; ++r) marks[r] = test(static_cast<int>(r)) ? 1 : 0;
  });
  return marks;
}
