#include <gtest/gtest.h>

#include <cmath>

#include "store/CellNumber.h"

// The fast reader must give exactly what the leading-number rule gives.
TEST(CellNumber, SameAsLeadingNumber) {
  for (const char* t : {"", "0", "-0", "7", "007", "-3", "+4", "560", "1.5", "-2.25", ".5", "12 kg", "12kg", "abc",
                        " 12", "-", "+", "1.", "123456789012345", "1234567890123456789", "99999999999999999999",
                        "3e5", "--1", "1-2", "２"}) {
    const QString text = QString::fromUtf8(t);
    const double want = Num::leading(text);
    const double got = cellNumber(text);
    EXPECT_EQ(got, want) << t;
    EXPECT_EQ(std::signbit(got), std::signbit(want)) << t;
  }
}
