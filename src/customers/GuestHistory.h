#pragma once
// A customer's purchase history ("購物歷史清單"): every line of every order
// of the customer (account and category compared exactly), one row per line
// with the date of its order, and the totals of sale prices, costs, balance
// and quantities. Orders come in Order row order, the lines of an order in
// Stock row order, wherever they lie in Stock.
#include <QString>
#include <QStringList>
#include <QUrl>
#include <vector>

#include "store/Decimal.h"

class Database;

namespace GuestHistory {

// Columns of the history list: 0 the order's date (row text), 1 product
// name, 2 category, 3 price, 4 cost, 5 quantity, 6 note, 7 web address.
enum Column : int { Date = 0, Name, Category, Price, Cost, Qty, Note, Url, Count };
QStringList captions();

struct Result {
  std::vector<QStringList> rows;
  Decimal priceTotal;  // sum of quantity x price (the stored line prices)
  Decimal costTotal;   // sum of quantity x cost
  Decimal qtyTotal;
  QString status() const;  // the status-bar text
};

// The history of customer (account, category). With a search text, only
// lines whose product name holds it (lower case on both sides); an empty
// search text lists every line.
Result build(const Database& db, const QString& account, const QString& category, const QString& search = {});

// The price cell: the line's price, and when the order has a percent
// discount " x " and the share paid as a plain number ("x 0.95" for 95,
// "x 1" for 100, "x 0.05" for 5).
QString priceCell(const QString& linePrice, const QString& discountPercent);

// The address "連結" opens for a web-address cell: http, https and ftp
// (text starting "www." taken as http); an invalid QUrl for anything else.
QUrl webAddress(const QString& cell);

}  // namespace GuestHistory
