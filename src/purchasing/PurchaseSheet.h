#pragma once
// The purchase sheet without its window: its rows, kept sorted by product
// name (greatest first), their totals, the booking of the whole sheet into
// stock, cost and purchase records, and the sheet file.
//
// The sheet file (code page 950, CR LF): line 1 the date, the sheet's
// purchase-order number and the supplier; then one line per row: product,
// category, amount, quantity, purchase-order number, note, Manuf row. CR LF
// pairs inside a field are removed; a field holding a comma is quoted.
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "store/Decimal.h"

class Database;
class Prompt;

struct SheetRow {
  QString product;   // SheetProduct
  QString category;  // SheetCategory
  QString amount;    // SheetAmount: unit purchase amount
  QString qty;       // SheetQty
  QString no;        // SheetPurchaseNo
  QString note;      // SheetNote
  QString index;     // SheetIndex: the Manuf row it was taken from

  QStringList cells() const { return {product, category, amount, qty, no, note, index}; }
};

namespace PurchaseSheet {

// Columns of the sheet's list.
namespace Column {
enum : int { Product = 0, Category, Amount, Qty, No, Note, Index, Count };
}

// Where a row of this product name goes in the sorted rows: after every row
// whose name sorts before or equal to it in descending order.
int sortedPlace(const std::vector<SheetRow>& rows, const QString& product);
// Inserts at the sorted place; returns the position.
int insert(std::vector<SheetRow>& rows, const SheetRow& row);

// A row for product row r of Manuf: its name, category and cost, quantity 1.
SheetRow fromProduct(const Database& db, int manufRow);

// Sum of amount × quantity (leading numbers) over every row, or over the
// given positions.
Decimal total(const std::vector<SheetRow>& rows);
Decimal total(const std::vector<SheetRow>& rows, const std::vector<int>& positions);

struct Header {
  QString date;
  QString no;        // the sheet's purchase-order number
  QString supplier;
};

struct BookResult {
  bool ok = true;   // false: a failure stopped the booking
  int booked = 0;   // rows booked
};

// Books the rows in order, on the tables as the earlier rows left them: the
// product is the Manuf row in the row's index when it still holds that name
// and category, else the first row with them; a row whose product is gone
// is reported and skipped. Each booked row raises the stock, with recompute
// averages the cost, appends one purchase record, and leaves rows at once,
// so rows still in rows afterwards were not booked. beforeRow, when given,
// runs before each row (its position among the rows at the start).
// A failure shows nothing: the caller reports it.
BookResult book(Database& db, Prompt& prompt, const Header& header, std::vector<SheetRow>& rows, bool recompute,
                const std::function<void(int)>& beforeRow = {});

// The file's text.
QString fileText(const Header& header, const std::vector<SheetRow>& rows);

struct Loaded {
  QStringList header;         // line 1's fields (a missing field leaves its box)
  std::vector<SheetRow> rows; // sorted
};
// Reads a sheet file's text; false when it holds no line at all.
bool parseFile(const QString& text, Loaded* out);

}  // namespace PurchaseSheet
