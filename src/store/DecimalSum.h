#pragma once
// Exact sums of many number cells, fast. The cells tables hold (a plain
// number of up to 18 whole digits and 6 decimals) are added as integers;
// any other text goes through Decimal::leading. The value equals the sum of
// Decimal::leading of every cell added, in any order, so sums of slices of a
// table made on several threads can be added together.
//
//   DecimalSum s;
//   for (int r : rows) s.add(order.cell(r, OrderCell::Receivable));
//   panel = s.value().toText();
#include <QStringView>
#include <cstdint>

#include "store/Decimal.h"

class DecimalSum {
 public:
  void add(QStringView cell);
  // A cell read ahead of adding: true with its value times 10^6 when it is
  // a plain number that fits in 64 bits (then addScaled adds exactly what
  // add would); false when add must read it.
  static bool readScaled(QStringView cell, int64_t* scaled);
  void addScaled(int64_t scaled) { fixed_ += scaled; }
  void add(const DecimalSum& o);
  void subtract(const DecimalSum& o);
  Decimal value() const;

 private:
  static constexpr int kScale = 6;
  __int128 fixed_ = 0;  // the sum of the plain cells, times 10^6
  Decimal rest_;        // the sum of the others
};
