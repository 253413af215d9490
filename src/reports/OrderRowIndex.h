#pragma once
// Order rows by their order number, built once per command, for the joins
// of order lines to their orders. Rows of one number are kept in row order,
// so "the first row of that number (that passes a test)" is the row a
// forward search through a table sorted by number would find, and nothing
// depends on the table being sorted.
//
// The index holds views into the table's key texts: the Order table must
// not change while it is used.
#include <QHash>
#include <QStringView>
#include <vector>

class Table;

class OrderRowIndex {
 public:
  explicit OrderRowIndex(const Table& order);

  // The first row with exactly this number; 0 when none.
  int first(QStringView orderNo) const { return first_.value(orderNo, 0); }
  // The next row of the same number after row; 0 after the last.
  int next(int row) const { return next_[static_cast<size_t>(row)]; }

  // The first row of that number for which test(row) holds; 0 when none.
  template <typename Test>
  int firstWhere(QStringView orderNo, Test&& test) const {
    for (int r = first(orderNo); r; r = next(r))
      if (test(r)) return r;
    return 0;
  }

 private:
  QHash<QStringView, int> first_;
  std::vector<int> next_;
};
