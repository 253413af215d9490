#pragma once
// The purchase and return records (table ManufStock) without a window:
// writing one record, editing and deleting records with the optional
// recompute of the product's stock and cost, and the records list of the
// purchase records window with its filters, search and totals.
//
// A record names its product by name alone; where a record moves stock the
// product is the first Manuf row of that name, whatever its category.
#include <QString>
#include <QStringList>
#include <vector>

#include "store/Decimal.h"

class Database;

struct PurchaseRecord {
  QString date;
  QString product;
  QString kind;  // "進貨" or "退貨"
  QString qty;
  QString supplier;
  QString no;
  QString amount;  // unit amount
  QString note;
};

namespace PurchaseRecords {

inline const QString kPurchase = QStringLiteral("進貨");
inline const QString kReturn = QStringLiteral("退貨");
inline const QString kAll = QStringLiteral("全部");

PurchaseRecord read(const Database& db, int row);
// Appends a record (the two reserved cells empty); returns its row.
int append(Database& db, const PurchaseRecord& rec);
// Rewrites a record's cells; the reserved cells keep what they hold.
void rewrite(Database& db, int row, const PurchaseRecord& rec);

// The first Manuf row whose name is exactly name; 0 when none.
int firstProductNamed(const Database& db, const QString& name);

// Rewrites record row. With recompute, the movement the record held is
// first taken back from the product it named, and the rewritten movement
// is then applied to the product it names now (the same product unless the
// name changed). Costs of the apply step are rounded to digits.
void edit(Database& db, int row, const PurchaseRecord& rec, bool recompute, int digits);

// Removes the records of rows (1-based, any order) together. With
// recompute each one, in the order given, is first taken back from its
// product, each from the values the previous one left.
void remove(Database& db, const std::vector<int>& rows, bool recompute);

// Columns of the records list.
namespace Column {
enum : int { Date = 0, Product, Kind, Amount, Qty, Supplier, No, Note, Index, Count };
}

struct Filter {
  QString supplier = kAll;  // "全部" or a supplier name
  bool allProducts = false;
  QString product;          // the product name when !allProducts
  int period = 0;           // 0 all, 1 the whole year, 2..13 the months 1..12
  QString year;             // the year box as typed
};

struct Listing {
  std::vector<QStringList> rows;  // in list order: dates descending
  Decimal purchaseTotal;
  Decimal returnTotal;
  QString moneyText() const;  // status panel 1
  QString countText() const;  // status panel 2
};

// The records passing the filter, newest date first (records of equal date
// in table order).
Listing list(const Database& db, const Filter& filter);
// The records of the supplier whose purchase-order number holds text,
// letter case ignored, whatever their product and date.
Listing search(const Database& db, const QString& supplier, const QString& text);

}  // namespace PurchaseRecords
