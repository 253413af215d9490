#include "printouts/OrderLines.h"

#include <gtest/gtest.h>

#include "PrintoutFixture.h"

namespace {

TEST(PrintoutIndexes, FirstCustomerOfEachPairAndEveryLineOfEachOrder) {
  PrintoutFixture f;
  f.addGuest({QStringLiteral("amy"), QStringLiteral("露天拍賣"), QStringLiteral("later duplicate")});
  f.addGuest({QStringLiteral("cat"), QStringLiteral("露天拍賣")});
  using Key = std::pair<QString, QString>;
  const WantedCustomers c(f.db.Guest, {Key{QStringLiteral("amy"), QStringLiteral("露天拍賣")},
                                     Key{QStringLiteral("amy"), QStringLiteral("Yahoo拍賣")},
                                     Key{QStringLiteral("amy"), QStringLiteral("露天拍賣")},
                                     Key{QStringLiteral("bob"), QStringLiteral("蝦皮拍賣")}});
  EXPECT_EQ(c.row(QStringLiteral("amy"), QStringLiteral("露天拍賣")), 2);
  EXPECT_EQ(c.row(QStringLiteral("amy"), QStringLiteral("Yahoo拍賣")), 1);
  EXPECT_EQ(c.row(QStringLiteral("bob"), QStringLiteral("蝦皮拍賣")), 0);
  EXPECT_EQ(c.row(QStringLiteral("cat"), QStringLiteral("露天拍賣")), 0);  // not asked for

  const OrderLineIndex lines(f.db.Stock, {QStringLiteral("2403000001"), QStringLiteral("2403000009")});
  EXPECT_EQ(lines.rows(QStringLiteral("2403000001")), (std::vector<int>{1, 3}));
  EXPECT_TRUE(lines.rows(QStringLiteral("2403000009")).empty());
  EXPECT_TRUE(lines.rows(QStringLiteral("2403000002")).empty());  // not asked for

  EXPECT_EQ(orderRowOf(f.db.Order, QStringLiteral("2")), 2);
  for (const char* bad : {"0", "3", "", "x", "-1"}) EXPECT_EQ(orderRowOf(f.db.Order, QString::fromLatin1(bad)), 0) << bad;
}

}  // namespace
