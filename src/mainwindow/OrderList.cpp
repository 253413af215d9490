#include "mainwindow/OrderList.h"

#include "store/Parallel.h"

#include <cmath>

#include "store/CellNumber.h"
#include "store/Database.h"
#include "store/Numbers.h"
#include "store/Parallel.h"

namespace OrderList {

namespace {

const QString kUnpaid = QStringLiteral("未匯款");
const QString kShipped = QStringLiteral("已出貨");

// Token n (0-based) of an encoded cell split at every blank; "" past the
// last. has is false when the cell has fewer tokens (an empty cell has none).
QString token(const QString& cell, int n, bool* has = nullptr) {
  if (has) *has = false;
  if (cell.isEmpty()) return {};
  qsizetype from = 0;
  for (int k = 0; k < n; ++k) {
    const qsizetype blank = cell.indexOf(u' ', from);
    if (blank < 0) return {};
    from = blank + 1;
  }
  if (has) *has = true;
  const qsizetype blank = cell.indexOf(u' ', from);
  if (from == 0 && blank < 0) return cell;  // shares the cell's text
  return cell.mid(from, blank < 0 ? -1 : blank - from);
}

// The first token of a cell (the whole cell when it holds no blank).
QString firstToken(const QString& cell) { return token(cell, 0); }

// Blanks (not other white space) off both ends, as the search box is cleaned.
QString trimBlanks(const QString& s) {
  qsizetype a = 0;
  qsizetype b = s.size();
  while (a < b && s[a] == u' ') ++a;
  while (b > a && s[b - 1] == u' ') --b;
  return s.mid(a, b - a);
}

// The text before the first CR LF; a lone CR or LF does not end the line.
QString firstLine(const QString& s) {
  const qsizetype p = s.indexOf(QStringLiteral("\r\n"));
  return p < 0 ? s : s.left(p);
}

bool validIndex(const Table& order, int index) { return index >= 1 && index <= order.count(); }

}  // namespace

bool sellerPaysShipping(const QString& cell) {
  if (cell.size() == 1) return cell[0] == u'1';
  return Num::isNumeric(cell) && Num::leading(cell) == 1;
}

QStringList orderListCaptions() {
  return {QStringLiteral("訂單編號"), QStringLiteral("日期"),   QStringLiteral("客戶帳號"),
          QStringLiteral("客戶分類"), QStringLiteral("運費"),   QStringLiteral("應收款項"),
          QStringLiteral("折扣"),     QStringLiteral("匯款日"), QStringLiteral("出貨日"),
          QStringLiteral("運送方式"), QStringLiteral("評價"),   QStringLiteral("備註"),
          QStringLiteral("Index")};
}

std::array<int, OrderListCol::Count> orderListWidths() {
  return {2646, 2117, 2646, 2646, 1323, 2117, 1323, 2117, 2117, 2117, 1455, 8467, 0};
}

QStringList customerCategoryEntries(const Database& db) {
  QStringList out;
  out.reserve(db.settings.CustomerCategories.size() + 3);
  out << AllText << db.settings.CustomerCategories << QStringLiteral("未分類") << EditCustomerCategoriesText;
  return out;
}

// ---- filters ----

bool OrderFilter::passesCategory(const QString& buyerCategory) const {
  return category == AllText || buyerCategory == category;
}

bool OrderFilter::passesShipping(const QString& state) const {
  if (state == UnshippedText) return unshipped;
  if (state == kShipped) return shipped;
  const qsizetype first = state.indexOf(u' ');
  if (first < 0) return false;  // empty, or one token alone
  const qsizetype second = state.indexOf(u' ', first + 1);
  const QStringView token2 =
      QStringView(state).mid(first + 1, (second < 0 ? state.size() : second) - first - 1);
  const bool token2Unshipped = token2 == UnshippedText;
  return (unshipped && token2Unshipped) || (shipped && !token2Unshipped);
}

bool OrderFilter::passesPeriod(const QString& date) const {
  if (period == AllText) return true;
  if (QStringView(date).left(4) != year) return false;
  if (period == WholeYearText) return true;
  return QStringView(date).mid(5, 2) == QStringView(period).left(2);
}

bool OrderFilter::passes(const Table& order, int row) const {
  return passesCategory(order.cell(row, OrderCell::BuyerCategory)) &&
         passesShipping(order.cell(row, OrderCell::ShippingState)) &&
         passesPeriod(order.cell(row, OrderCell::OrderDate));
}

// ---- totals ----

void OrderTotals::addOrder(const Table& order, int row) {
  const double fee = cellNumber(order.cell(row, OrderCell::ShippingFee));
  const double receivable = cellNumber(order.cell(row, OrderCell::Receivable));
  ShippingTotal += fee;
  if (firstToken(order.cell(row, OrderCell::PaymentState)) == kUnpaid) UnpaidTotal += receivable;
  ReceivableTotal += receivable;
  if (sellerPaysShipping(order.cell(row, OrderCell::SellerPaysShipping))) {
    GoodsTotal += receivable;
    SellerShippingTotal += fee;
  } else {
    GoodsTotal += receivable - fee;
  }
  CostTotal += cellNumber(order.cell(row, OrderCell::OrderCost));
}

// ---- rows ----

QColor RowColors::color(int column) const {
  switch (column) {
    case OrderListCol::Receivable: return ReceivableColor;
    case OrderListCol::PaymentDate: return unpaid ? DarkRedColor : QColor();
    case OrderListCol::ShipDate: return unshipped ? DarkRedColor : QColor();
    default: return {};
  }
}

QStringList orderListRow(const Table& order, int row, DiscountStyle style) {
  QStringList cells;
  cells.reserve(OrderListCol::Count);
  cells << order.key(row) << order.cell(row, OrderCell::OrderDate) << order.cell(row, OrderCell::BuyerAccount)
        << order.cell(row, OrderCell::BuyerCategory) << order.cell(row, OrderCell::ShippingFee)
        << order.cell(row, OrderCell::Receivable);

  QString discount;
  const QString& percent = order.cell(row, OrderCell::DiscountPercent);
  if (!percent.isEmpty()) discount = percent + u'%';
  const QString& amount = order.cell(row, OrderCell::DiscountAmount);
  if (!amount.isEmpty()) {
    const QString t = firstToken(amount);
    const double v = Num::leading(t);
    discount = (v < 0 && style == DiscountStyle::Signed) ? u'+' + Num::format(std::fabs(v)) : u'-' + t;
  }
  cells << discount;

  const QString& pay = order.cell(row, OrderCell::PaymentState);
  cells << token(pay, 0) << QString();  // PaymentDate, ShipDate (below)
  QString method;
  QString& shipDate = cells[OrderListCol::ShipDate];
  const QString& ship = order.cell(row, OrderCell::ShippingState);
  if (ship == UnshippedText || ship == kShipped) {
    shipDate = ship;
  } else {
    method = token(ship, 0);
    shipDate = token(ship, 1);
  }
  cells << method << token(pay, 1) << order.cell(row, OrderCell::OrderNote) << QString::number(row);
  return cells;
}

RowColors orderRowColors(const QStringList& cells) {
  RowColors c;
  c.unpaid = cells.value(OrderListCol::PaymentDate) == kUnpaid;
  c.unshipped = cells.value(OrderListCol::ShipDate) == UnshippedText;
  return c;
}

CustomerLookup::CustomerLookup(const Table& guest)
    : guest_(guest), next_(static_cast<size_t>(guest.count()) + 1, 0) {
  first_.reserve(guest.count());
  std::vector<int> last(static_cast<size_t>(guest.count()) + 1, 0);  // last row of a chain, by first row
  for (int r = 1; r <= guest.count(); ++r) {
    const auto it = first_.constFind(guest.key(r));
    if (it == first_.constEnd()) {
      first_.insert(guest.key(r), r);
      last[static_cast<size_t>(r)] = r;
    } else {
      int& tail = last[static_cast<size_t>(*it)];
      next_[static_cast<size_t>(tail)] = r;
      tail = r;
    }
  }
}

int CustomerLookup::row(const QString& account, const QString& category) const {
  for (int r = first_.value(account, 0); r; r = next_[static_cast<size_t>(r)])
    if (guest_.cell(r, GuestCell::CustomerCategory) == category) return r;
  return 0;
}

QString CustomerLookup::name(const QString& account, const QString& category) const {
  const int r = row(account, category);
  return r ? nameOf(guest_.cell(r, GuestCell::CustomerNameSex)) : QString();
}

QString CustomerLookup::nameOf(const QString& customerNameSex) {
  const qsizetype p = customerNameSex.indexOf(QChar(1));
  return p < 0 ? customerNameSex : customerNameSex.left(p);
}

OrderListResult listOrders(const Database& db, const std::vector<int>& orderRows, bool username, DiscountStyle style) {
  OrderListResult r;
  const Table& order = db.Order;
  // Money is summed in list order; the rows are built in slices in parallel.
  for (int i : orderRows) r.totals.addOrder(order, i);
  r.rows.resize(orderRows.size());
  r.colors.resize(orderRows.size());
  std::optional<CustomerLookup> customers;
  if (username && !orderRows.empty()) customers.emplace(db.Guest);
  forEachSlice(orderRows.size(), 8000, [&](size_t from, size_t to) {
    for (size_t k = from; k < to; ++k) {
      QStringList& cells = r.rows[k];
      cells = orderListRow(order, orderRows[k], style);
      r.colors[k] = orderRowColors(cells);
      if (customers) {
        const QString name = customers->name(cells[OrderListCol::BuyerAccount], cells[OrderListCol::BuyerCategory]);
        if (!name.isEmpty()) cells[OrderListCol::BuyerAccount] += QStringLiteral(" (") + name + u')';
      }
    }
  });
  r.panels = moneyPanels(r.totals, listCountPanel(static_cast<int>(r.rows.size())));
  return r;
}

double expenseTotal(const Database& db, const OrderFilter& filter, const OrderListView& view) {
  if (!view.expend || filter.unshipped) return 0;
  const Table& expend = db.Expend;
  double total = 0;
  for (int e = 1; e <= expend.count(); ++e) {
    if (filter.passesCategory(expend.cell(e, ExpendCell::ExpendCategory)) &&
        filter.passesPeriod(expend.key(e)))
      total += Num::leading(expend.cell(e, ExpendCell::ExpendAmount));
  }
  return total;
}

// ---- panels ----

QStringList moneyPanels(const OrderTotals& t, const QString& panel7) {
  const auto f = [](double v) { return Num::format(v); };
  const QString blank = QStringLiteral(" ");
  QString cost = QStringLiteral("成本: ") + f(t.CostTotal) + blank;
  if (t.SellerShippingTotal != 0 && t.ExpenseTotal == 0) {
    cost += QStringLiteral("+ ") + f(t.SellerShippingTotal) + QStringLiteral(" (運費) = ") +
            f(t.CostTotal + t.SellerShippingTotal) + blank;
  } else if (t.SellerShippingTotal == 0 && t.ExpenseTotal != 0) {
    cost += QStringLiteral("+ ") + f(t.ExpenseTotal) + QStringLiteral(" (雜支) = ") + f(t.CostTotal + t.ExpenseTotal) +
            blank;
  } else if (t.SellerShippingTotal != 0 && t.ExpenseTotal != 0) {
    cost += QStringLiteral("+ ") + f(t.SellerShippingTotal) + QStringLiteral(" (運費) + ") + f(t.ExpenseTotal) +
            QStringLiteral(" (雜支) = ") + f(t.CostTotal + t.SellerShippingTotal + t.ExpenseTotal) + blank;
  }
  return {QStringLiteral("應收帳款: ") + f(t.ReceivableTotal) + blank,
          QStringLiteral("商品: ") + f(t.GoodsTotal) + blank,
          cost,
          QStringLiteral("結餘: ") + f(t.GoodsTotal - t.CostTotal - t.SellerShippingTotal - t.ExpenseTotal) + blank,
          QStringLiteral("未匯款: ") + f(t.UnpaidTotal) + blank,
          QStringLiteral("運費: ") + f(t.SellerShippingTotal) + QStringLiteral(" (賣方) + ") +
              f(t.ShippingTotal - t.SellerShippingTotal) + QStringLiteral(" (買方) = ") + f(t.ShippingTotal) + blank,
          panel7};
}

QString listCountPanel(int rows) {
  if (rows == 0) return QStringLiteral("沒有找到符合的訂單");
  return QStringLiteral(" 共 ") + QString::number(rows) + QStringLiteral(" 筆資料");
}

QString selectionCountPanel(int selected) {
  return QStringLiteral(" 共選擇了 ") + QString::number(selected) + QStringLiteral(" 筆資料");
}

// ---- commands ----

void orderListClosingStep(const Database& db, const OrderFilter& filter, OrderListResult& result) {
  if (filter.unshipped)
    result.shortage = CheckStockShortage(db, result.rows);
  else
    result.shortage = ShortageResult{};
}

OrderListResult OrderShow(const Database& db, const OrderFilter& filter, const OrderListView& view) {
  std::vector<int> listed;
  for (int i = 1; i <= db.Order.count(); ++i)
    if (filter.passes(db.Order, i)) listed.push_back(i);
  OrderListResult r = listOrders(db, listed, view.username);
  r.totals.ExpenseTotal = expenseTotal(db, filter, view);
  r.panels = moneyPanels(r.totals, listCountPanel(static_cast<int>(r.rows.size())));
  orderListClosingStep(db, filter, r);
  return r;
}

CustomerSearchResult CustomerSearch(const Database& db, const OrderFilter& filter, const OrderListView& view,
                                    const QString& text1) {
  CustomerSearchResult s;
  if (text1.isEmpty()) {
    s.refused = true;
    return s;
  }
  s.searchText = firstLine(trimBlanks(text1));
  const QString wanted = s.searchText.toLower();

  const Table& order = db.Order;
  std::optional<CustomerLookup> customers;
  if (view.username) customers.emplace(db.Guest);
  std::vector<int> found;
  for (int i = 1; i <= order.count(); ++i) {
    if (!filter.passes(order, i)) continue;
    const QString& account = order.cell(i, OrderCell::BuyerAccount);
    bool hit = !account.isEmpty() && account.contains(wanted, Qt::CaseInsensitive);
    if (!hit && customers) {
      const QString name = customers->name(account, order.cell(i, OrderCell::BuyerCategory));
      hit = !name.isEmpty() && name.contains(wanted, Qt::CaseInsensitive);
    }
    if (hit) found.push_back(i);
  }
  s.list = listOrders(db, found, view.username);
  orderListClosingStep(db, filter, s.list);
  return s;
}

std::optional<QStringList> Recount(const Database& db, const OrderFilter& filter, const OrderListView& view,
                                   const std::vector<int>& liv1Indexes) {
  OrderTotals t;
  for (int index : liv1Indexes) {
    if (!validIndex(db.Order, index)) return std::nullopt;
    t.addOrder(db.Order, index);
  }
  t.ExpenseTotal = expenseTotal(db, filter, view);
  return moneyPanels(t, listCountPanel(static_cast<int>(liv1Indexes.size())));
}

std::optional<QStringList> SelectionTotals(const Database& db, const std::vector<int>& selectedIndexes) {
  OrderTotals t;
  for (int index : selectedIndexes) {
    if (!validIndex(db.Order, index)) return std::nullopt;
    t.addOrder(db.Order, index);
  }
  return moneyPanels(t, selectionCountPanel(static_cast<int>(selectedIndexes.size())));
}

MoneyPanelVisibility CheckViewMoney(bool viewMoney, bool hideCost) {
  MoneyPanelVisibility v;
  v.command3 = viewMoney;
  v.panel.fill(viewMoney);
  if (hideCost) v.panel[2] = v.panel[3] = false;
  return v;
}

}  // namespace OrderList
