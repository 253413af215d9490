#pragma once
// The order lines and pictures a printout needs, found through indexes built
// once per command: the Stock rows of each wanted order number (in table
// order, wherever they stand) and the first Images row of each product.
#include <QHash>
#include <QString>
#include <utility>
#include <vector>

class Database;
class Table;

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
