#include "customers/GuestKeys.h"

#include <gtest/gtest.h>

#include "store/Table.h"

// A key is an account and its category; the first row of a key wins, and
// keys stay found while the table changes under them (texts replaced and
// dropped, rows added).
TEST(GuestKeys, FirstRowOfEachKeyAlsoWhileTheTableChanges) {
  Table guest(GuestCell::Count);
  const auto add = [&](const char* account, const char* category) {
    const int r = guest.append(QString::fromUtf8(account));
    guest.setCell(r, GuestCell::CustomerCategory, QString::fromUtf8(category));
    return r;
  };
  add("amy", "露天拍賣");
  add("amy", "蝦皮拍賣");
  add("amy", "露天拍賣");  // the same key again
  add("", "露天拍賣");
  GuestKeys keys(guest);
  EXPECT_EQ(keys.find("amy", "露天拍賣"), 1);
  EXPECT_EQ(keys.find("amy", "蝦皮拍賣"), 2);
  EXPECT_EQ(keys.find("", "露天拍賣"), 4);
  EXPECT_EQ(keys.find("amy", "Yahoo拍賣"), 0);
  EXPECT_EQ(keys.find("Amy", "露天拍賣"), 0);

  EXPECT_EQ(keys.findOrAdd("bob", "Yahoo拍賣", 5), 0);  // stored as row 5
  EXPECT_EQ(keys.findOrAdd("bob", "Yahoo拍賣", 6), 5);
  EXPECT_EQ(keys.findOrAdd("amy", "蝦皮拍賣", 7), 2);
  keys.added("amy", "露天拍賣", 8);  // has a row: ignored
  EXPECT_EQ(keys.find("amy", "露天拍賣"), 1);

  // Enough texts replaced that the table drops them when a row is added.
  for (int i = 0; i < 70000; ++i) guest.setCell(1 + i % 4, GuestCell::CustomerNote, QString::number(i));
  for (int i = 0; i < 4; ++i) guest.setKey(1 + i, QStringLiteral("x%1").arg(i));
  add("carol", "露天拍賣");
  EXPECT_EQ(keys.find("amy", "露天拍賣"), 1);
  EXPECT_EQ(keys.find("bob", "Yahoo拍賣"), 5);
}
