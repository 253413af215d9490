#pragma once
// The order lines, customers and pictures a printout needs, found through
// indexes built once per command: the Stock rows of each wanted order number
// (in table order, wherever they stand), the first Guest row of each wanted
// customer and the first Images row of each product.
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

class Database;
class Table;

// The Order row an order list's Index text names; 0 when it names none.
int orderRowOf(const Table& order, const QString& indexText);
// The (account, category) of each of these Order rows.
std::vector<std::pair<QString, QString>> customersOf(const Table& order, const std::vector<int>& orderRows);

class OrderLineIndex {
 public:
  // One pass over Stock, keeping the rows of the given order numbers.
  OrderLineIndex(const Table& stock, const std::vector<QString>& orderNumbers);
  // The Stock rows of that order number, in table order; empty when none
  // (or when the number was not asked for).
  const std::vector<int>& rows(const QString& orderNo) const;

 private:
  QHash<QString, int> slot_;
  std::vector<std::vector<int>> rows_;
};

// The customers of a set of orders: the first Guest row of each wanted
// account and category (exact comparison), found in one pass over Guest.
class WantedCustomers {
 public:
  WantedCustomers(const Table& guest, const std::vector<std::pair<QString, QString>>& customers);
  // The first Guest row of that account and category; 0 when there is none
  // (or it was not asked for).
  int row(const QString& account, const QString& category) const;

 private:
  QHash<std::pair<QString, QString>, int> first_;
};

class PictureIndex {
 public:
  explicit PictureIndex(const Database& db);
  // The picture path of the first Images row of that name and category with
  // the database folder put back; "" when there is none (or it is empty).
  QString path(const QString& name, const QString& category) const;

 private:
  const Database& db_;
  QHash<std::pair<QString, QString>, int> first_;
};

// The orders of rows of the order list (their Order rows, in list order),
// with the lines and the customer of each; nullopt when a row names no order.
struct PrintedOrders {
  static std::optional<PrintedOrders> of(const Database& db, const std::vector<QStringList>& listRows);
  std::vector<int> orderRows;
  OrderLineIndex lines;
  WantedCustomers customers;
};
