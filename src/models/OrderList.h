#pragma once
// The main window's order list without the window: which orders the
// filters let through, how a listed order reads as a row and is coloured,
// the money totals and the seven status-bar panels, the customer search, the
// recount and the selection totals. OrderForm reads its controls into an
// OrderFilter and an OrderListView, calls one of the functions below and
// writes the result into its order list, shortage list and status bar. The
// same row builder serves every other window that fills the order list with
// its own search.
//
// ---------------------------------------------------------------------------
// How OrderForm uses it
//
//   using namespace OrderList;             // or qualify the names below
//   OrderFilter filter() const {           // read at the moment of the rebuild
//     OrderFilter f;
//     f.category  = categoryCombo->currentText();  // "全部", a category, "未分類"
//     f.period    = periodCombo->currentText();    // "全部", "整年", "01月" … "12月"
//     f.year      = yearEdit->text();
//     f.unshipped = unshippedOption->isChecked();
//     f.shipped   = shippedOption->isChecked();
//     return f;
//   }
//   OrderListView view() const { return {showNamesAction->isChecked(), countExpensesAction->isChecked()}; }
//
//   void apply(const OrderListResult& r) {   // write a result into the window
//     orderList->setRowSource(r.source());   // rows, texts and colours, read when painted
//     orderList->sortRows(<the list's sort column and order>);
//     for (int p = 0; p < 7; ++p) <panel p + 1 of the status bar>->setText(r.panels[p]);
//   }
//
//   OrderShow():          auto r = OrderList::OrderShow(db, filter(), view());
//                         apply(r);
//                         shortageList->setRows(r.shortage.rows);   // emptied when 未出貨 is not set
//                         if (r.shortage.failed) prompt.message(ShortageFailedText, Prompt::Icon::Exclamation);
//   onCategoryChosen:     text "編輯客戶分類" -> the category editor; afterwards refill categoryCombo with
//                         OrderList::customerCategoryEntries(db) and select entry 0. Otherwise OrderShow() unless se.
//   onPeriodChosen, onUnshippedChosen, onShippedChosen: unless se, OrderShow() (the options then enable or
//                         disable markSelectedShippedAction, pickingListAction, popupMarkShippedAction).
//   onShowNames:          invert, OrderShow(), store OrderForm/Username.
//   onShowMoney:          invert, CheckViewMoney(), store OrderForm/Money.
//   onCountExpenses:      invert, onRecount(), store Setting/Expend.
//   CheckViewMoney():     auto v = OrderList::CheckViewMoney(showMoneyAction->isChecked(), db.HideCost);
//                         recountButton->setVisible(v.recount);
//                         for (int p = 0; p < 6; ++p) <panel p + 1>->setVisible(v.panel[p]);  // panel 7 untouched
//
//   onCustomerSearch (客戶搜尋; also Enter in customerSearchEdit):
//                         auto s = OrderList::CustomerSearch(db, filter(), view(), customerSearchEdit->text());
//                         if (s.refused) { prompt.warn(CustomerSearchEmptyText); return; }
//                         customerSearchEdit->setText(s.searchText);
//                         apply(s.list); shortageList->setRows(s.list.shortage.rows); (failure message as above)
//   onRecount (重新統計; the rows stay as they are):
//                         std::vector<int> idx; for each row r of orderList: idx.push_back(orderList->tableIndex(r));
//                         if (auto p = OrderList::Recount(db, filter(), view(), idx)) <write the seven panels from *p>;
//                         else prompt.message(RecountFailedText, Prompt::Icon::Exclamation);
//   onSelectedTotals (menu entry and popup twin alike):
//                         if (orderList->rowCount() == 0) return;
//                         idx = the tableIndex of every selected row, first to last;
//                         if (auto p = OrderList::SelectionTotals(db, idx)) <write the seven panels from *p>;
//                         else prompt.error();
// ---------------------------------------------------------------------------
#include <QColor>
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "models/StockShortage.h"
#include "platform/ListRowSource.h"
#include "store/Decimal.h"

class Database;
class Table;

// Columns of the order list: the key text, eleven display columns and the hidden
// Index (the 1-based Order row).
namespace OrderListCol {
enum : int { OrderNo = 0, OrderDate, BuyerAccount, BuyerCategory, ShippingFee, Receivable, DiscountText,
             PaymentDate, ShipDate, ShippingMethod, RatingGiven, OrderNote, OrderIndex, Count = 13 };
}
static_assert(int(OrderListCol::ShipDate) == int(ShortageOrderListCol::ShipDate) &&
              int(OrderListCol::OrderIndex) == int(ShortageOrderListCol::OrderIndex));

namespace OrderList {

// Column captions of the order list and their default widths in twips (Index hidden).
// SellerPaysShipping read as a whole: only the number 1 means the seller
// pays; empty or not a number means the buyer does.
bool sellerPaysShipping(const QString& cell);

QStringList orderListCaptions();
std::array<int, OrderListCol::Count> orderListWidths();

// Entries of the customer-category filter: "全部", the customer
// categories in list order, "未分類", "編輯客戶分類".
QStringList customerCategoryEntries(const Database& db);

inline const QString AllText = QStringLiteral("全部");
inline const QString WholeYearText = QStringLiteral("整年");
inline const QString EditCustomerCategoriesText = QStringLiteral("編輯客戶分類");
inline const QString CustomerSearchEmptyText = QStringLiteral("請先輸入客戶帳號");
inline const QString RecountFailedText = QStringLiteral("金額統計發生錯誤!");

// The filters of the main window, as their controls read.
struct OrderFilter {
  QString category = AllText;  // customer category
  QString period = AllText;
  QString year;           // compared with the first four characters of a date
  bool unshipped = true;  // "未出貨"
  bool shipped = false;   // "已出貨"

  bool passesCategory(const QString& category) const;
  bool passesShipping(const QString& shippingState) const;
  bool passesPeriod(const QString& date) const;
  // All three tests on one Order row.
  bool passes(const Table& order, int row) const;
};

// The view switches that change the list.
struct OrderListView {
  bool username = false;  // "顯示客戶姓名"
  bool expend = false;    // "雜支費用列入成本統計"
};

// The money totals of a set of orders, exact (cells summed as decimals, not
// binary doubles), shown by the number rule with Decimal::toText.
struct OrderTotals {
  Decimal ReceivableTotal;
  Decimal GoodsTotal;
  Decimal CostTotal;
  Decimal SellerShippingTotal;
  Decimal UnpaidTotal;
  Decimal ShippingTotal;
  Decimal ExpenseTotal;

  // Adds one order (row of Order) by the list's rules. Every window that
  // totals orders uses this (or ordersTotals for many). An empty
  // PaymentState is simply not unpaid; a SellerPaysShipping that is not
  // exactly the number 1 means the buyer pays.
  void addOrder(const Table& order, int row);
};

// The totals of many orders at once (same result as addOrder on each, in
// any order), on several threads for long lists.
OrderTotals ordersTotals(const Table& order, const std::vector<int>& rows);

// Text colours of a row's single cells; other cells keep the list's colour.
struct RowColors {
  bool unpaid = false;     // PaymentDate read "未匯款" when the row was coloured
  bool unshipped = false;  // ShipDate read "未出貨" (stays so when the mark "缺貨" replaces it)
  // The colour of a cell of this row; invalid = the list's default.
  QColor color(int column) const;
};
inline const QColor ReceivableColor = QColor(0, 0, 255);
inline const QColor DarkRedColor = QColor(206, 0, 0);

// How the discount cell shows a negative DiscountAmount t (a surcharge):
// Signed writes "+" and its absolute value, as the order list does;
// MinusOnly writes "-" & t as stored, as the product window's listing does.
enum class DiscountStyle { Signed, MinusOnly };

struct ListedOrders;  // the orders of a built list, shared by its rows, colours and list source

// Iterates c[0] .. c[size - 1] of a container whose [] gives values.
template <typename C, typename V>
class IndexIterator {
 public:
  using value_type = V;
  using difference_type = std::ptrdiff_t;
  IndexIterator(const C* c, size_t i) : c_(c), i_(i) {}
  V operator*() const { return (*c_)[i_]; }
  IndexIterator& operator++() {
    ++i_;
    return *this;
  }
  bool operator==(const IndexIterator& o) const { return i_ == o.i_; }
  bool operator!=(const IndexIterator& o) const { return i_ != o.i_; }

 private:
  const C* c_;
  size_t i_;
};

// The rows of a built list: each listed order's 13 cells (OrderListCol),
// made from its Order row when asked for, so a list of 100k orders costs a
// row number each until rows are read or painted. Reads like a vector of
// rows (size, [i], iteration). A window may instead push rows of the same
// layout it built itself.
class OrderListRows {
 public:
  size_t size() const;
  bool empty() const { return size() == 0; }
  // Row i, all 13 cells.
  QStringList operator[](size_t i) const;
  QStringList at(size_t i) const { return (*this)[i]; }
  // One cell of row i, without the rest of the row.
  QString cell(size_t i, int column) const;
  // The Order row of row i (its Index).
  int orderRow(size_t i) const;
  // The Order rows of every row when the rows are listed orders, else null.
  const std::vector<int>* orderRows() const;

  // Rows built by the caller (13 cells each, Index last).
  void push_back(QStringList row);
  void reserve(size_t n);
  // Rows of listed orders (set by listOrders).
  void attach(std::shared_ptr<ListedOrders> listed) { listed_ = std::move(listed); }

  using const_iterator = IndexIterator<OrderListRows, QStringList>;
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

 private:
  friend struct OrderListResult;
  std::shared_ptr<ListedOrders> listed_;
  std::vector<QStringList> held_;
};

// The colours of a built list's rows, one per row ([i], size), or pushed
// by the caller with its own rows.
class OrderListColors {
 public:
  size_t size() const;
  bool empty() const { return size() == 0; }
  RowColors operator[](size_t i) const;
  using const_iterator = IndexIterator<OrderListColors, RowColors>;
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }
  void push_back(const RowColors& c) { held_.push_back(c); }
  void reserve(size_t n) { held_.reserve(n); }
  void attach(std::shared_ptr<ListedOrders> listed) { listed_ = std::move(listed); }

 private:
  friend struct OrderListResult;
  std::shared_ptr<ListedOrders> listed_;
  std::vector<RowColors> held_;
};

struct OrderListResult {
  OrderListRows rows;      // order-list rows in Order row order (or the given order), OrderListCol::Count cells each
  OrderListColors colors;  // one per row
  OrderTotals totals;
  QStringList panels;      // the seven panel texts, panel 1 first
  ShortageResult shortage;  // the closing step: shortage-list rows (empty unless unshipped), marks already in rows

  // The rows for a list view (ListView::setRowSource): texts and colours
  // read when painted. The Order table must stay as it is while the list
  // shows them (every command that removes orders rebuilds the list).
  std::shared_ptr<const ListRowSource> source() const;
  // Sets the ship-date text of rows (shortage marks), as the list shows them.
  void setShipDates(const std::vector<std::pair<int, QString>>& shipDates);
};

// The cells of one listed order, account without the customer's name.
QStringList orderListRow(const Table& order, int row, DiscountStyle style = DiscountStyle::Signed);
RowColors orderRowColors(const QStringList& cells);

// Finds customers as every order-list command does: the first Guest row
// whose account and category equal the order's. Built once per command;
// the Guest table must not change while it is used.
class CustomerLookup {
 public:
  explicit CustomerLookup(const Table& guest);
  // First Guest row of that account and category; 0 when none.
  int row(const QString& account, const QString& category) const;
  // The name of that customer (CustomerNameSex before character 1); "" when none.
  QString name(const QString& account, const QString& category) const;
  static QString nameOf(const QString& customerNameSex);

 private:
  const Table& guest_;
  QHash<QStringView, int> first_;  // account -> its first Guest row (views into the table)
  std::vector<int> next_;          // Guest row -> next row of the same account, 0 at the end
};


// Rows, colours and the six order totals of an arbitrary set of Order rows
// (in the given order), with the customers' names while `username` is set;
// panels written as a search writes them (no expenses, " 共 n 筆資料").
// No closing step: the caller decides about the shortage list.
OrderListResult listOrders(const Database& db, const std::vector<int>& orderRows, bool username,
                           DiscountStyle style = DiscountStyle::Signed);

// The period's expenses counted into cost: with "雜支費用列入成本統計" ticked,
// the Expend rows of the chosen category and period; 0 while "未出貨" is set.
Decimal expenseTotal(const Database& db, const OrderFilter& filter, const OrderListView& view);

// The seven panel texts. panel7 is the count panel's text.
QStringList moneyPanels(const OrderTotals& totals, const QString& panel7);
// " 共 n 筆資料", or "沒有找到符合的訂單" for n = 0.
QString listCountPanel(int rows);
// " 共選擇了 n 筆資料".
QString selectionCountPanel(int selected);

// The closing step of every rebuild: with "未出貨" set the shortage check
// over the rows just built (marks applied to them), else an empty shortage list.
void orderListClosingStep(const Database& db, const OrderFilter& filter, OrderListResult& result);

// OrderShow: every Order row that passes the filters, the totals with the
// period's expenses, the panels, and the closing step.
OrderListResult OrderShow(const Database& db, const OrderFilter& filter, const OrderListView& view);

// The customer search "客戶搜尋" on the text of its box.
struct CustomerSearchResult {
  bool refused = false;  // the box was empty: show CustomerSearchEmptyText (warn) and change nothing
  QString searchText;    // put back into the search box
  OrderListResult list;  // with the closing step done
};
CustomerSearchResult CustomerSearch(const Database& db, const OrderFilter& filter, const OrderListView& view,
                                    const QString& searchBoxText);

// Recount of the orders the order list lists now (their Index values, first to last):
// the seven panels, expenses from the main window's own filters. nullopt
// when an Index names no Order row (show RecountFailedText; panels stay).
std::optional<QStringList> Recount(const Database& db, const OrderFilter& filter, const OrderListView& view,
                                   const std::vector<int>& listIndexes);

// Totals of the selected rows (their Index values, first to last); no
// expenses, panel 7 " 共選擇了 n 筆資料". nullopt when an Index names no
// Order row (show "發生錯誤!"). The caller does nothing on an empty list.
std::optional<QStringList> SelectionTotals(const Database& db, const std::vector<int>& selectedIndexes);

// Which money controls show: the recount button and panels 1 to 6 (panel 7 is never touched).
struct MoneyPanelVisibility {
  bool recount = false;
  std::array<bool, 6> panel{};
};
MoneyPanelVisibility CheckViewMoney(bool viewMoney, bool hideCost);

}  // namespace OrderList
