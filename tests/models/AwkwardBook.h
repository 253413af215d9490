#pragma once
// A book full of awkward keys, for the tests that the customer found for an
// order is the one the order list finds: accounts that differ in case only,
// that are prefixes of each other, that are empty; keys stored several
// times; categories without any customer; orders of no customer and
// customers without orders.
#include <QStringList>
#include <random>

#include "store/Database.h"

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
