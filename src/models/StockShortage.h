#pragma once
// Stock-shortage check. Products leave stock the moment a line is added to
// an order, so a negative ProductStock is the quantity the unshipped orders
// ask for beyond what there is. CheckStockShortage charges that missing
// quantity to the unshipped lines of the product (from the last line
// backwards) and builds the rows of the main window's hidden shortage list;
// the listed unshipped orders with a short line get "缺貨" in the ship-date
// column of the order list.
//
// No widgets here: the caller hands in a reader of the order list and
// writes the result into the shortage list and the order list.
//
// How OrderForm calls it (the closing step of every rebuild while
// the option "未出貨" is set, and wherever another window asks for it):
//
//   ShortageResult r = CheckStockShortage(db, orderList->rowCount(),
//       [&](int row, int column) { return orderList->text(row, column); });
//   shortageList->setRows(r.rows);               // always, also when empty
//   for (const auto& [row, text] : r.shipDates)  // in order
//     orderList->setText(row, ShortageOrderListCol::ShipDate, text);
//   if (r.failed) prompt.message(ShortageFailedText, Prompt::Icon::Exclamation);
//
// The text colour of the ship-date cell is left as it is: "缺貨" shows in the
// dark red the list gave "未出貨".
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class Database;

// Columns of the shortage list.
namespace ShortageCol {
enum : int { OrderNo = 0, Date, LineName, LineQty, ShortageQty, Count = 5 };
}

// The cells of the order list the check reads and writes (the layout
// of the main order list: key text, ship date, hidden Index).
namespace ShortageOrderListCol {
enum : int { OrderNo = 0, ShipDate = 8, OrderIndex = 12 };
}

inline const QString ShortageFailedText = QStringLiteral("庫存比對發生錯誤!");
inline const QString ShortageMark = QStringLiteral("缺貨");
inline const QString UnshippedText = QStringLiteral("未出貨");

// An order's ShippingState means "not shipped": the bare "未出貨", or a
// method, a blank and "未出貨" (token 2 of a split at every blank).
bool isUnshippedState(const QString& shippingState);

struct ShortageResult {
  // Rows of the shortage list (five cells each): every line of every unshipped order,
  // grouped by order number ascending, within an order in Stock row order;
  // the last cell is the part of the line's quantity stock cannot cover.
  // Empty when CheckLacks is off.
  std::vector<QStringList> rows;
  // New ship-date texts for rows of the order list (0-based row, text), to be applied
  // in this order: first the listed unshipped orders back to "未出貨", then
  // the "缺貨" marks.
  std::vector<std::pair<int, QString>> shipDates;
  // A row of the order list named an Order row that does not exist (a list not rebuilt
  // after orders were removed). What was done before stays in the result;
  // the caller shows ShortageFailedText with the exclamation icon.
  bool failed = false;
};

// Reads the tables and db.CheckLacks. listText(row, column) gives a cell of
// the visible order list (rows 0-based, in the order the list shows them).
ShortageResult CheckStockShortage(const Database& db, int listRows,
                                  const std::function<QString(int row, int column)>& listText);

// The same for a list whose rows are known Order rows (listOrderRows[row]
// is the row's Index, and its order number is that row's key): neither is
// read back as text. listText still gives the ship-date cell.
ShortageResult CheckStockShortage(const Database& db, const std::vector<int>& listOrderRows,
                                  const std::function<QString(int row, int column)>& listText);

// The same for an order list held in memory (rows of the main list layout);
// the ship-date changes are applied to the rows and also returned.
ShortageResult CheckStockShortage(const Database& db, std::vector<QStringList>& listRows);
