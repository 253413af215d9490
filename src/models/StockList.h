#pragma once
// The products-in-orders list without its window: one row per order line
// whose order passes the filters (StockShow) or the search (StockSearch),
// the per-line discount and net amount, the totals text, and the orders
// behind chosen lines ("列出選擇的訂單").
//
// A line belongs to the first Order row of its number (that passes the
// customer-category filter, for the list), whatever order the tables are
// in. The list and the search read every line's order, place and money
// from the figures kept between runs (LineFigures), and their totals are
// exact: the shares of an order's amount add up to the amount.
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "platform/ListRowSource.h"
#include "store/Decimal.h"

class Database;
class Table;

namespace StockList {

// Columns of StockForm.lineList: the key text and eight cells.
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
  Decimal lineShare;     // the share a line takes off, as its text shows it
  Decimal lastShare;     // what line `lines` takes off: the amount less the other lines' shares
  int lines = 0;         // the line count when it is a whole number above 0, else 0
  QString text;          // LineDiscountText
};
// An amount without a line count, or with a count of 0, is damaged: it is
// left out (the line shows the percent, or no discount). Without withText
// the text is left empty (for totals).
OrderDiscount orderDiscount(const Table& order, int row, bool withText = true);

// The share of the amount that the line at `place` among its order's lines
// (from 1) takes off: each line the share as shown, except that the last
// of the line count takes what is left of the amount, so the shares of an
// order add up to its amount exactly.
Decimal lineShare(const OrderDiscount& discount, int place);

// LineNetAmount: price times quantity; the percent applied to it and rounded
// half away from zero; the line's share of the amount taken off.
Decimal LineNetAmount(const Table& stock, int line, const OrderDiscount& discount, int place);

struct Totals {
  Decimal qty;    // LineQtyTotal
  Decimal price;  // LinePriceTotal: the net amounts
  Decimal cost;   // LineCostTotal: cost times quantity
  void addLine(const Table& stock, int line, const OrderDiscount& discount, int place);
};

// The status text: " 共 n 筆資料， q 件商品", then with viewMoney the price
// total and, when showCost, the cost total and the balance.
QString StockTotalsText(int rows, const Totals& totals, bool viewMoney, bool showCost);

// One list row of a line.
QStringList row(const Table& stock, int line, const OrderDiscount& discount);

// A listed line: Stock row `line`, whose order is Order row `order`.
struct ListedLine {
  int line;
  int order;
  bool operator==(const ListedLine&) const = default;
};

// The rows of a listing, made from the tables when read: a list of a
// million lines costs a bit a line until rows are read or painted. Reads
// like a vector of rows. The Stock and Order tables must stay as they are
// while the rows (or a list showing them) are used: the products-in-orders
// window is modal and builds its list afresh at every opening.
class ListedRows {
 public:
  ListedRows() = default;
  ListedRows(const Database& db, std::vector<ListedLine> lines);

  size_t size() const;
  bool empty() const { return size() == 0; }
  // Row i, all ColumnCount cells (as row() makes them), or one of its cells.
  QStringList operator[](size_t i) const;
  QString text(size_t i, int column) const;
  // The line and order of row i.
  ListedLine at(size_t i) const;

  // The rows for a list view (ListView::setRowSource).
  std::shared_ptr<const ListRowSource> source() const;
  // The rows of a list's source made by source(); nullptr for any other source.
  static const ListedRows* of(const ListRowSource* source);

  class const_iterator {
   public:
    using value_type = QStringList;
    using difference_type = std::ptrdiff_t;
    const_iterator(const ListedRows* rows, size_t i) : rows_(rows), i_(i) {}
    QStringList operator*() const { return (*rows_)[i_]; }
    const_iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator==(const const_iterator& o) const { return i_ == o.i_; }

   private:
    const ListedRows* rows_;
    size_t i_;
  };
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

  // The lines a listing marked (made by StockShow and StockSearch).
  struct Data;
  explicit ListedRows(std::shared_ptr<const Data> data) : data_(std::move(data)) {}

 private:
  std::shared_ptr<const Data> data_;
};

struct Listing {
  ListedRows rows;  // ColumnCount cells each, in Stock row order
  Totals totals;
};

// The window's filters as their controls read.
struct Filter {
  QString productCategory = QStringLiteral("全部");
  bool allCustomers = true;  // the customer-category filter on its first entry
  QString customerCategory;
  QString period = QStringLiteral("全部");
  QString year;
  bool unshipped = true;  // "未出貨"
  bool shipped = false;   // "已出貨"
};
Listing StockShow(const Database& db, const Filter& filter);

// The search dialog's boxes as typed.
struct SearchBoxes {
  QString orderNo;                            // part of an order number
  QString productName;                        // part of a product name
  QString lineNote;                           // part of a line note
  QString dateFrom;                           // order date from (yyyymmdd)
  QString dateTo;                             // order date to
  QString lineUrl;                            // part of a line URL
  QString category = QStringLiteral("全部");  // product category
  bool unshipped = false;                     // 未出貨
  bool shipped = false;                       // 已出貨
};
inline const QString DateMessage = QStringLiteral("不是正確的日期格式");
// Outer blanks off every box, then every box cut at its first CR LF.
void prepare(SearchBoxes& f);
// "" or DateMessage for the first malformed date box (dateFrom, then dateTo).
QString dateMessage(const SearchBoxes& f);
// The date range turned when typed the wrong way round.
void orderRange(SearchBoxes& f);
Listing StockSearch(const Database& db, const SearchBoxes& f);

// "列出選擇的訂單": the Order rows of the given order numbers (the selected
// rows' texts in list order), each order once, in the order its first
// number comes; numbers without an order are passed over.
std::vector<int> ordersOfLines(const Database& db, const QStringList& orderNos);

}  // namespace StockList
