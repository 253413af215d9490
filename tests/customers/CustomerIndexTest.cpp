// The customer index finds the customer the order list finds, for every
// order of a book full of awkward keys, and the rows of the customer lists
// made when shown read as GuestList::row writes them.
#include <gtest/gtest.h>

#include <random>

#include "customers/CustomerIndex.h"
#include "customers/GuestOrders.h"
#include "customers/GuestRowSource.h"
#include "mainwindow/OrderList.h"
#include "store/Database.h"

namespace {

// Accounts that differ in case only, that are prefixes of each other, that
// are empty; keys stored several times; categories without any customer;
// orders of no customer and customers without orders.
struct AwkwardBook {
  Database db;
  AwkwardBook() {
    std::mt19937 rng(7);
    const QStringList accounts = {"amy", "Amy", "amy ", "am", "", "王小明", "buyer1", "buyer10", "buyer100", "ｂｏｂ"};
    const QStringList guestCategories = {"露天拍賣", "蝦皮拍賣", "", "未分類"};
    const QStringList orderCategories = {"露天拍賣", "蝦皮拍賣", "", "未分類", "Yahoo拍賣"};
    for (int i = 0; i < 60; ++i) {
      const int r = db.Guest.append(accounts[static_cast<int>(rng() % accounts.size())]);
      db.Guest.setCell(r, GuestCell::CustomerCategory, guestCategories[static_cast<int>(rng() % guestCategories.size())]);
      db.Guest.setCell(r, GuestCell::CustomerNameSex, QStringLiteral("客%1").arg(r) + QChar(1) + "女");
      db.Guest.setCell(r, GuestCell::CustomerPhone, QStringLiteral("02-%1").arg(r));
    }
    for (const char* lonely : {"nobody", "nobody", "nobody1"}) {  // customers no order refers to
      const int r = db.Guest.append(lonely);
      db.Guest.setCell(r, GuestCell::CustomerCategory, "露天拍賣");
    }
    for (int i = 0; i < 500; ++i) {
      const int r = db.Order.append(QStringLiteral("A%1").arg(i));
      db.Order.setCell(r, OrderCell::BuyerAccount, accounts[static_cast<int>(rng() % accounts.size())] +
                                                       (i % 50 == 0 ? QStringLiteral("x") : QString()));
      db.Order.setCell(r, OrderCell::BuyerCategory, orderCategories[static_cast<int>(rng() % orderCategories.size())]);
    }
  }
};

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

TEST(GuestOrders, CustomersWithoutOrdersShareTheirKeysMark) {
  AwkwardBook b;
  // Rows whose key no order uses, last row first: a key stored twice is
  // listed with all its rows or with none.
  const OrderList::CustomerLookup lookup(b.db.Guest);
  std::vector<char> used(static_cast<size_t>(b.db.Guest.count()) + 1, 0);
  for (int o = 1; o <= b.db.Order.count(); ++o)
    used[static_cast<size_t>(
        lookup.row(b.db.Order.cell(o, OrderCell::BuyerAccount), b.db.Order.cell(o, OrderCell::BuyerCategory)))] = 1;
  std::vector<int> expected;
  for (int r = b.db.Guest.count(); r >= 1; --r)
    if (!used[static_cast<size_t>(lookup.row(b.db.Guest.key(r), b.db.Guest.cell(r, GuestCell::CustomerCategory)))])
      expected.push_back(r);
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(GuestOrders::withoutOrders(b.db), expected);

  // A second "amy/露天拍賣" behind one that has an order is not listed.
  Database db;
  for (const auto& [account, category] : {std::pair{"amy", "露天拍賣"}, {"bob", "露天拍賣"}, {"amy", "露天拍賣"}}) {
    const int r = db.Guest.append(account);
    db.Guest.setCell(r, GuestCell::CustomerCategory, category);
  }
  const int o = db.Order.append("A1");
  db.Order.setCell(o, OrderCell::BuyerAccount, "amy");
  db.Order.setCell(o, OrderCell::BuyerCategory, "露天拍賣");
  EXPECT_EQ(GuestOrders::withoutOrders(db), std::vector<int>{2});
}

TEST(GuestRowSource, ReadsAsTheListRows) {
  AwkwardBook b;
  const Table& guest = b.db.Guest;
  GuestList::View someHidden = GuestList::allShown();
  someHidden[GuestList::Name] = false;
  someHidden[GuestList::Phone] = false;
  for (const GuestList::View& view : {GuestList::allShown(), someHidden}) {
    std::vector<int> rows;
    for (int r = guest.count(); r >= 1; r -= 3) rows.push_back(r);
    const auto source = GuestList::rowSource(guest, rows, view);
    ASSERT_EQ(source->rowCount(), static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
      const QStringList cells = GuestList::row(guest, rows[i], view);
      for (int c = 0; c < GuestList::Count; ++c) EXPECT_EQ(source->text(static_cast<int>(i), c), cells[c]) << i << c;
      EXPECT_EQ(source->tableIndex(static_cast<int>(i)), rows[i]);
    }
  }
}

}  // namespace
