// The customer index finds the customer the order list finds, for every
// order of a book full of awkward keys.
#include <gtest/gtest.h>

#include "AwkwardBook.h"
#include "models/CustomerIndex.h"
#include "models/OrderList.h"

namespace {

TEST(CustomerIndex, FindsTheCustomerTheOrderListFinds) {
  AwkwardBook b;
  const Table& order = b.db.Order;
  const OrderList::CustomerLookup lookup(b.db.Guest);
  const CustomerIndex index(b.db.Guest);
  std::vector<int> batch(static_cast<size_t>(order.count()));
  CustomerIndex::Memo memo;
  index.rows(order, 1, order.count() + 1, OrderCell::BuyerAccount, OrderCell::BuyerCategory, memo, batch.data());
  int found = 0;
  for (int o = 1; o <= order.count(); ++o) {
    const QString& account = order.cell(o, OrderCell::BuyerAccount);
    const QString& category = order.cell(o, OrderCell::BuyerCategory);
    const int expected = lookup.row(account, category);
    EXPECT_EQ(index.row(account, category), expected) << o;
    EXPECT_EQ(index.row(order, o, OrderCell::BuyerAccount, OrderCell::BuyerCategory, memo), expected) << o;
    EXPECT_EQ(batch[static_cast<size_t>(o - 1)], expected) << o;
    found += expected != 0;
  }
  EXPECT_GT(found, 100);  // the book has both kinds of orders
  EXPECT_LT(found, order.count());
  // Each Guest row knows the first row of its key.
  for (int r = 1; r <= b.db.Guest.count(); ++r)
    EXPECT_EQ(index.firstOf(r), lookup.row(b.db.Guest.key(r), b.db.Guest.cell(r, GuestCell::CustomerCategory))) << r;
  EXPECT_EQ(CustomerIndex(Table(GuestCell::Count)).row(QStringLiteral("amy"), QStringLiteral("露天拍賣")), 0);
}

TEST(CustomerIndex, CustomersOfListedRowsFewOrMany) {
  // Few rows take their own keys and one pass over Guest; many build the
  // index. Both give what the order list's look-up gives, in list order.
  AwkwardBook b;
  const Table& order = b.db.Order;
  const OrderList::CustomerLookup lookup(b.db.Guest);
  std::vector<int> few;  // backwards, with a row listed twice
  for (int o = order.count(); o >= 1; o -= 47) few.push_back(o);
  few.push_back(few.front());
  std::vector<int> many;
  for (int o = 1; o <= order.count(); ++o) many.push_back(o);
  ASSERT_LE(few.size() * 4, static_cast<size_t>(b.db.Guest.count()));
  for (const std::vector<int>& rows : {few, many, std::vector<int>{}}) {
    const std::vector<int> found =
        customerRowsOf(b.db.Guest, order, rows, OrderCell::BuyerAccount, OrderCell::BuyerCategory);
    ASSERT_EQ(found.size(), rows.size());
    int hits = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(found[i], lookup.row(order.cell(rows[i], OrderCell::BuyerAccount),
                                     order.cell(rows[i], OrderCell::BuyerCategory)))
          << rows.size() << " " << rows[i];
      hits += found[i] != 0;
    }
    if (!rows.empty()) {
      EXPECT_GT(hits, 0);
      EXPECT_LT(hits, static_cast<int>(rows.size()));
    }
  }
  EXPECT_EQ(customerRowsOf(Table(GuestCell::Count), order, few, OrderCell::BuyerAccount, OrderCell::BuyerCategory),
            std::vector<int>(few.size(), 0));
}

}  // namespace
