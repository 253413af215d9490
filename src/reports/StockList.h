#pragma once
// The products-in-orders list without its window: one row per order line
// whose order passes the filters (StockShow) or the search (StockSearch),
// the per-line discount and net amount, the totals text, and the orders
// behind chosen lines ("列出選擇的訂單").
//
// Lines are joined to their orders through an OrderRowIndex: a line
// belongs to the first Order row of its number (that passes the customer-
// category filter, for the list), whatever order the tables are in.
#include <QString>
#include <QStringList>
#include <vector>

#include "store/Decimal.h"

class Database;
class Table;

namespace StockList {

// Columns of StockForm.Liv1: the key text and eight cells.
enum Column : int { OrderNo = 0, Name, Category, Price, Cost, Qty, Discount, Note, Url, ColumnCount };
QStringList captions();
// The columns' own widths, in pixels.
std::vector<int> widths();

// The discount of an order as its lines show and apply it.
struct OrderDiscount {
  bool percent = false;  // DiscountPercent is set: the buyer pays that percent
  double percentValue = 0;
  bool amount = false;   // DiscountAmount holds an amount spread over the order's lines
  double share = 0;      // LineDiscountShare: the amount over the line count
  QString text;          // LineDiscountText
};
// An amount without a line count, or with a count of 0, is damaged: it is
// left out (the line shows the percent, or no discount).
OrderDiscount orderDiscount(const Table& order, int row);

// LineNetAmount: price times quantity; the percent applied to it and rounded
// half away from zero; the share taken off.
Decimal LineNetAmount(const Table& stock, int line, const OrderDiscount& discount);

struct Totals {
  Decimal qty;    // LineQtyTotal
  Decimal price;  // LinePriceTotal: the net amounts
  Decimal cost;   // LineCostTotal: cost times quantity
  void addLine(const Table& stock, int line, const OrderDiscount& discount);
};

// The status text: " 共 n 筆資料， q 件商品", then with viewMoney the price
// total and, when showCost, the cost total and the balance.
QString StockTotalsText(int rows, const Totals& totals, bool viewMoney, bool showCost);

// One list row of a line.
QStringList row(const Table& stock, int line, const OrderDiscount& discount);

struct Listing {
  std::vector<QStringList> rows;  // ColumnCount cells each, in Stock row order
  Totals totals;
};

// The window's filters as their controls read.
struct Filter {
  QString productCategory = QStringLiteral("全部");  // Combo1 text
  bool allCustomers = true;                         // Combo3 on its first entry
  QString customerCategory;                         // Combo3 text
  QString period = QStringLiteral("全部");           // Combo2 text
  QString year;                                     // Text5 text
  bool unshipped = true;                            // Option1
  bool shipped = false;                             // Option2
};
Listing StockShow(const Database& db, const Filter& filter);

// The search dialog's boxes as typed.
struct SearchBoxes {
  QString Text1;  // part of an order number
  QString Text2;  // part of a product name
  QString Text3;  // part of a line note
  QString Text4;  // order date from (yyyymmdd)
  QString Text5;  // order date to
  QString Text6;  // part of a line URL
  QString category = QStringLiteral("全部");  // Combo1 text
  bool Option1 = false;  // 未出貨
  bool Option2 = false;  // 已出貨
};
inline const QString DateMessage = QStringLiteral("不是正確的日期格式");
// Outer blanks off every box, then every box cut at its first CR LF.
void prepare(SearchBoxes& f);
// "" or DateMessage for the first malformed date box (Text4, then Text5).
QString dateMessage(const SearchBoxes& f);
// The date range turned when typed the wrong way round.
void orderRange(SearchBoxes& f);
Listing StockSearch(const Database& db, const SearchBoxes& f);

// "列出選擇的訂單": the Order rows of the given order numbers (the selected
// rows' texts in list order), each order once, in the order its first
// number comes; numbers without an order are passed over.
std::vector<int> ordersOfLines(const Database& db, const QStringList& orderNos);

}  // namespace StockList
