#include "mainwindow/OrderList.h"

#include <cmath>

#include "customers/CustomerIndex.h"
#include "store/Database.h"
#include "store/DecimalSum.h"
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

// The same as a view into the cell.
QStringView tokenView(QStringView cell, int n) {
  qsizetype from = 0;
  for (int k = 0; k < n; ++k) {
    const qsizetype blank = cell.indexOf(u' ', from);
    if (blank < 0) return {};
    from = blank + 1;
  }
  const qsizetype blank = cell.indexOf(u' ', from);
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

namespace {

bool startsWithToken(const QString& cell, const QString& token) {
  return cell.startsWith(token) && (cell.size() == token.size() || cell[token.size()] == u' ');
}

// The sums behind OrderTotals, added cell by cell exactly.
struct OrderSums {
  DecimalSum receivable, fee, sellerFee, unpaid, cost;

  void add(const Table& order, int row) {
    const QString& fee1 = order.cell(row, OrderCell::ShippingFee);
    const QString& receivable1 = order.cell(row, OrderCell::Receivable);
    fee.add(fee1);
    receivable.add(receivable1);
    if (startsWithToken(order.cell(row, OrderCell::PaymentState), kUnpaid)) unpaid.add(receivable1);
    if (sellerPaysShipping(order.cell(row, OrderCell::SellerPaysShipping))) sellerFee.add(fee1);
    cost.add(order.cell(row, OrderCell::OrderCost));
  }
  void add(const OrderSums& o) {
    receivable.add(o.receivable);
    fee.add(o.fee);
    sellerFee.add(o.sellerFee);
    unpaid.add(o.unpaid);
    cost.add(o.cost);
  }
  OrderTotals totals() const {
    OrderTotals t;
    t.ReceivableTotal = receivable.value();
    t.ShippingTotal = fee.value();
    t.SellerShippingTotal = sellerFee.value();
    // The goods: receivable, less the fee of orders whose buyer pays it.
    t.GoodsTotal = t.ReceivableTotal - (t.ShippingTotal - t.SellerShippingTotal);
    t.UnpaidTotal = unpaid.value();
    t.CostTotal = cost.value();
    return t;
  }
};

}  // namespace

void OrderTotals::addOrder(const Table& order, int row) {
  const Decimal fee = Decimal::leading(order.cell(row, OrderCell::ShippingFee));
  const Decimal receivable = Decimal::leading(order.cell(row, OrderCell::Receivable));
  ShippingTotal += fee;
  if (startsWithToken(order.cell(row, OrderCell::PaymentState), kUnpaid)) UnpaidTotal += receivable;
  ReceivableTotal += receivable;
  if (sellerPaysShipping(order.cell(row, OrderCell::SellerPaysShipping))) {
    GoodsTotal += receivable;
    SellerShippingTotal += fee;
  } else {
    GoodsTotal += receivable - fee;
  }
  CostTotal += Decimal::leading(order.cell(row, OrderCell::OrderCost));
}

OrderTotals ordersTotals(const Table& order, const std::vector<int>& rows) {
  // Exact sums do not depend on the order of adding, so slices are summed
  // on their own threads and then added together.
  const size_t slice = 20000;
  std::vector<OrderSums> part((rows.size() + slice - 1) / slice);
  forEachSlice(part.size(), 1, [&](size_t from, size_t to) {
    for (size_t p = from; p < to; ++p) {
      const size_t end = std::min(rows.size(), (p + 1) * slice);
      for (size_t k = p * slice; k < end; ++k) part[p].add(order, rows[k]);
    }
  });
  OrderSums all;
  for (const OrderSums& p : part) all.add(p);
  return all.totals();
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

namespace {

QString discountText(const Table& order, int row, DiscountStyle style) {
  QString discount;
  const QString& percent = order.cell(row, OrderCell::DiscountPercent);
  if (!percent.isEmpty()) discount = percent + u'%';
  const QString& amount = order.cell(row, OrderCell::DiscountAmount);
  if (!amount.isEmpty()) {
    const QString t = firstToken(amount);
    const double v = Num::leading(t);
    discount = (v < 0 && style == DiscountStyle::Signed) ? u'+' + Num::format(std::fabs(v)) : u'-' + t;
  }
  return discount;
}

QString shipDateOf(const QString& ship) {
  if (ship == UnshippedText || ship == kShipped) return ship;
  return token(ship, 1);
}

QString methodOf(const QString& ship) {
  if (ship == UnshippedText || ship == kShipped) return {};
  return token(ship, 0);
}

bool unshippedShipDate(const QString& ship) {
  if (ship == UnshippedText) return true;
  if (ship == kShipped) return false;
  const qsizetype first = ship.indexOf(u' ');
  if (first < 0) return false;
  const qsizetype second = ship.indexOf(u' ', first + 1);
  return QStringView(ship).mid(first + 1, (second < 0 ? ship.size() : second) - first - 1) == UnshippedText;
}

}  // namespace

QStringList orderListRow(const Table& order, int row, DiscountStyle style) {
  const QString& pay = order.cell(row, OrderCell::PaymentState);
  const QString& ship = order.cell(row, OrderCell::ShippingState);
  QStringList cells;
  cells.reserve(OrderListCol::Count);
  cells << order.key(row) << order.cell(row, OrderCell::OrderDate) << order.cell(row, OrderCell::BuyerAccount)
        << order.cell(row, OrderCell::BuyerCategory) << order.cell(row, OrderCell::ShippingFee)
        << order.cell(row, OrderCell::Receivable) << discountText(order, row, style) << token(pay, 0)
        << shipDateOf(ship) << methodOf(ship) << token(pay, 1) << order.cell(row, OrderCell::OrderNote)
        << QString::number(row);
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

// ---- listed orders -------------------------------------------------------

struct ListedOrders {
  const Table* order = nullptr;
  std::vector<int> rows;         // Order rows, in list order
  bool username = false;
  std::vector<QString> nameSex;  // with names shown: CustomerNameSex of each row's customer
  DiscountStyle style = DiscountStyle::Signed;
  std::vector<QString> shipDate;  // ship-date texts set by the shortage check (null: none), empty when none is set

  QString cell(size_t i, int column) const {
    const Table& t = *order;
    const int r = rows[i];
    switch (column) {
      case OrderListCol::OrderNo: return t.key(r);
      case OrderListCol::OrderDate: return t.cell(r, OrderCell::OrderDate);
      case OrderListCol::BuyerAccount: return accountWithName(t.cell(r, OrderCell::BuyerAccount), i);
      case OrderListCol::BuyerCategory: return t.cell(r, OrderCell::BuyerCategory);
      case OrderListCol::ShippingFee: return t.cell(r, OrderCell::ShippingFee);
      case OrderListCol::Receivable: return t.cell(r, OrderCell::Receivable);
      case OrderListCol::DiscountText: return discountText(t, r, style);
      case OrderListCol::PaymentDate: return token(t.cell(r, OrderCell::PaymentState), 0);
      case OrderListCol::ShipDate: {
        if (!shipDate.empty() && !shipDate[i].isNull()) return shipDate[i];
        return shipDateOf(t.cell(r, OrderCell::ShippingState));
      }
      case OrderListCol::ShippingMethod: return methodOf(t.cell(r, OrderCell::ShippingState));
      case OrderListCol::RatingGiven: return token(t.cell(r, OrderCell::PaymentState), 1);
      case OrderListCol::OrderNote: return t.cell(r, OrderCell::OrderNote);
      case OrderListCol::OrderIndex: return QString::number(r);
      default: return {};
    }
  }
  // The account, and with names shown " (" name ")" after it (one allocation).
  QString accountWithName(const QString& account, size_t i) const {
    if (!username) return account;
    const QString& ns = nameSex[i];
    const qsizetype cut = ns.indexOf(QChar(1));
    const QStringView name = QStringView(ns).left(cut < 0 ? ns.size() : cut);
    if (name.isEmpty()) return account;
    QString out;
    out.reserve(account.size() + name.size() + 3);
    out.append(account).append(QLatin1String(" (")).append(name).append(u')');
    return out;
  }
  QStringList row(size_t i) const {
    QStringList cells;
    cells.reserve(OrderListCol::Count);
    for (int c = 0; c < OrderListCol::Count; ++c) cells << cell(i, c);
    return cells;
  }
  RowColors colors(size_t i) const {
    const Table& t = *order;
    const int r = rows[i];
    RowColors c;
    c.unpaid = startsWithToken(t.cell(r, OrderCell::PaymentState), kUnpaid);
    c.unshipped = unshippedShipDate(t.cell(r, OrderCell::ShippingState));
    return c;
  }
};

size_t OrderListRows::size() const { return listed_ ? listed_->rows.size() : held_.size(); }

QStringList OrderListRows::operator[](size_t i) const { return listed_ ? listed_->row(i) : held_[i]; }

QString OrderListRows::cell(size_t i, int column) const {
  if (listed_) return listed_->cell(i, column);
  const QStringList& cells = held_[i];
  return column >= 0 && column < cells.size() ? cells[column] : QString();
}

int OrderListRows::orderRow(size_t i) const {
  return listed_ ? listed_->rows[i] : static_cast<int>(Num::leading(cell(i, OrderListCol::OrderIndex)));
}

const std::vector<int>* OrderListRows::orderRows() const { return listed_ ? &listed_->rows : nullptr; }

void OrderListRows::push_back(QStringList row) { held_.push_back(std::move(row)); }

void OrderListRows::reserve(size_t n) { held_.reserve(n); }

size_t OrderListColors::size() const { return listed_ ? listed_->rows.size() : held_.size(); }

RowColors OrderListColors::operator[](size_t i) const { return listed_ ? listed_->colors(i) : held_[i]; }

namespace {

// The list view's side of a built list.
class ListedSource : public ListRowSource {
 public:
  explicit ListedSource(std::shared_ptr<const ListedOrders> listed) : listed_(std::move(listed)) {}
  int rowCount() const override { return static_cast<int>(listed_->rows.size()); }
  QString text(int row, int column) const override { return listed_->cell(static_cast<size_t>(row), column); }
  QColor foreground(int row, int column) const override {
    if (column != OrderListCol::Receivable && column != OrderListCol::PaymentDate && column != OrderListCol::ShipDate)
      return {};
    return listed_->colors(static_cast<size_t>(row)).color(column);
  }
  int tableIndex(int row) const override { return listed_->rows[static_cast<size_t>(row)]; }

  // Columns that show an Order cell, or a part of one, are sorted by the
  // cell's distinct texts (dates, categories, states repeat all through).
  bool sortTexts(int column, std::vector<int>& textOfRow, std::vector<QStringView>& texts) const override {
    const ListedOrders& l = *listed_;
    int cell = -1;
    QStringView (*part)(QStringView) = nullptr;
    switch (column) {
      case OrderListCol::OrderNo: cell = OrderCell::OrderNo; break;
      case OrderListCol::OrderDate: cell = OrderCell::OrderDate; break;
      case OrderListCol::BuyerAccount:
        if (l.username) return accountsWithNames(textOfRow, texts);
        cell = OrderCell::BuyerAccount;
        break;
      case OrderListCol::BuyerCategory: cell = OrderCell::BuyerCategory; break;
      case OrderListCol::ShippingFee: cell = OrderCell::ShippingFee; break;
      case OrderListCol::Receivable: cell = OrderCell::Receivable; break;
      case OrderListCol::OrderNote: cell = OrderCell::OrderNote; break;
      case OrderListCol::PaymentDate:
        cell = OrderCell::PaymentState;
        part = [](QStringView v) { return tokenView(v, 0); };
        break;
      case OrderListCol::RatingGiven:
        cell = OrderCell::PaymentState;
        part = [](QStringView v) { return tokenView(v, 1); };
        break;
      case OrderListCol::ShipDate:
        if (!l.shipDate.empty()) return false;  // shortage marks
        cell = OrderCell::ShippingState;
        part = [](QStringView v) { return (v == UnshippedText || v == kShipped) ? v : tokenView(v, 1); };
        break;
      case OrderListCol::ShippingMethod:
        cell = OrderCell::ShippingState;
        part = [](QStringView v) { return (v == UnshippedText || v == kShipped) ? QStringView() : tokenView(v, 0); };
        break;
      default:
        return false;
    }
    const Table& t = *l.order;
    std::vector<int> slot(t.valueIdCount(), -1);
    textOfRow.resize(l.rows.size());
    texts.reserve(l.rows.size());
    for (size_t i = 0; i < l.rows.size(); ++i) {
      const uint32_t id = t.valueId(l.rows[i], cell);
      int& k = slot[id];
      if (k < 0) {
        k = static_cast<int>(texts.size());
        texts.push_back(part ? part(t.valueText(id)) : QStringView(t.valueText(id)));
      }
      textOfRow[i] = k;
    }
    return true;
  }

 private:
  // Accounts with the customers' names: each pair of account and name made
  // into a text once.
  bool accountsWithNames(std::vector<int>& textOfRow, std::vector<QStringView>& texts) const {
    const ListedOrders& l = *listed_;
    const Table& t = *l.order;
    // By account first (almost always one name an account); an account met
    // with another name too gets its pairs looked up.
    struct First {
      int text = -1;
      const void* name = nullptr;
    };
    std::vector<First> byAccount(t.valueIdCount());
    QHash<std::pair<uint32_t, const void*>, int> other;
    made_.clear();
    textOfRow.resize(l.rows.size());
    for (size_t i = 0; i < l.rows.size(); ++i) {
      const uint32_t id = t.valueId(l.rows[i], OrderCell::BuyerAccount);
      const void* name = l.nameSex[i].constData();
      First& f = byAccount[id];
      if (f.text < 0) {
        f = {static_cast<int>(made_.size()), name};
        made_.push_back(l.accountWithName(t.valueText(id), i));
      } else if (f.name != name) {
        auto it = other.constFind({id, name});
        if (it == other.constEnd()) {
          it = other.insert({id, name}, static_cast<int>(made_.size()));
          made_.push_back(l.accountWithName(t.valueText(id), i));
        }
        textOfRow[i] = *it;
        continue;
      }
      textOfRow[i] = f.text;
    }
    texts.assign(made_.begin(), made_.end());
    return true;
  }

  std::shared_ptr<const ListedOrders> listed_;
  mutable std::vector<QString> made_;  // texts made for the last sort
};

// Rows a window built itself.
class HeldSource : public ListRowSource {
 public:
  HeldSource(const OrderListRows& rows, const OrderListColors& colors) : rows_(rows), colors_(colors) {}
  int rowCount() const override { return static_cast<int>(rows_.size()); }
  QString text(int row, int column) const override { return rows_.cell(static_cast<size_t>(row), column); }
  QColor foreground(int row, int column) const override {
    return static_cast<size_t>(row) < colors_.size() ? colors_[static_cast<size_t>(row)].color(column) : QColor();
  }

 private:
  OrderListRows rows_;
  OrderListColors colors_;
};

}  // namespace

std::shared_ptr<const ListRowSource> OrderListResult::source() const {
  if (rows.listed_) return std::make_shared<ListedSource>(rows.listed_);
  return std::make_shared<HeldSource>(rows, colors);
}

void OrderListResult::setShipDates(const std::vector<std::pair<int, QString>>& shipDates) {
  for (const auto& [row, text] : shipDates) {
    if (row < 0 || static_cast<size_t>(row) >= rows.size()) continue;
    if (rows.listed_) {
      std::vector<QString>& shipDate = rows.listed_->shipDate;
      if (shipDate.empty()) shipDate.resize(rows.listed_->rows.size());
      shipDate[static_cast<size_t>(row)] = text.isNull() ? QStringLiteral("") : text;
    } else {
      QStringList& cells = rows.held_[static_cast<size_t>(row)];
      while (cells.size() <= OrderListCol::ShipDate) cells.append(QString());
      cells[OrderListCol::ShipDate] = text;
    }
  }
}

OrderListResult listOrders(const Database& db, const std::vector<int>& orderRows, bool username, DiscountStyle style) {
  OrderListResult r;
  auto listed = std::make_shared<ListedOrders>();
  listed->order = &db.Order;
  listed->rows = orderRows;
  listed->style = style;
  listed->username = username;
  if (username && !orderRows.empty()) {
    // The customers are found now, once; their names are read when shown.
    const std::vector<int> customers =
        customerRowsOf(db.Guest, db.Order, orderRows, OrderCell::BuyerAccount, OrderCell::BuyerCategory);
    listed->nameSex.resize(orderRows.size());
    forEachSlice(orderRows.size(), 20000, [&](size_t from, size_t to) {
      for (size_t k = from; k < to; ++k)
        if (const int g = customers[k]) listed->nameSex[k] = db.Guest.cell(g, GuestCell::CustomerNameSex);
    });
  }
  r.totals = ordersTotals(db.Order, orderRows);
  r.rows.attach(listed);
  r.colors.attach(listed);
  r.panels = moneyPanels(r.totals, listCountPanel(static_cast<int>(orderRows.size())));
  return r;
}

Decimal expenseTotal(const Database& db, const OrderFilter& filter, const OrderListView& view) {
  if (!view.expend || filter.unshipped) return {};
  const Table& expend = db.Expend;
  DecimalSum total;
  for (int e = 1; e <= expend.count(); ++e) {
    if (filter.passesCategory(expend.cell(e, ExpendCell::ExpendCategory)) &&
        filter.passesPeriod(expend.key(e)))
      total.add(expend.cell(e, ExpendCell::ExpendAmount));
  }
  return total.value();
}

// ---- panels ----

QStringList moneyPanels(const OrderTotals& t, const QString& panel7) {
  const auto f = [](const Decimal& v) { return v.toText(); };
  const QString blank = QStringLiteral(" ");
  const bool seller = !t.SellerShippingTotal.isZero();
  const bool expenses = !t.ExpenseTotal.isZero();
  QString cost = QStringLiteral("成本: ") + f(t.CostTotal) + blank;
  if (seller && !expenses) {
    cost += QStringLiteral("+ ") + f(t.SellerShippingTotal) + QStringLiteral(" (運費) = ") +
            f(t.CostTotal + t.SellerShippingTotal) + blank;
  } else if (!seller && expenses) {
    cost += QStringLiteral("+ ") + f(t.ExpenseTotal) + QStringLiteral(" (雜支) = ") + f(t.CostTotal + t.ExpenseTotal) +
            blank;
  } else if (seller && expenses) {
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
  if (!filter.unshipped) {
    result.shortage = ShortageResult{};
    return;
  }
  const OrderListRows& rows = result.rows;
  const auto text = [&rows](int row, int column) { return rows.cell(static_cast<size_t>(row), column); };
  if (const std::vector<int>* listed = rows.orderRows())
    result.shortage = CheckStockShortage(db, *listed, text);  // Index and number known from the rows
  else
    result.shortage = CheckStockShortage(db, static_cast<int>(rows.size()), text);
  result.setShipDates(result.shortage.shipDates);
}

OrderListResult OrderShow(const Database& db, const OrderFilter& filter, const OrderListView& view) {
  const std::vector<int> listed = rowsWhere(db.Order.count(), [&](int i) { return filter.passes(db.Order, i); });
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
  std::optional<CustomerIndex> customers;
  if (view.username) customers.emplace(db.Guest);
  const std::vector<int> found = rowsWhere(order.count(), [&](int i) {
    if (!filter.passes(order, i)) return false;
    const QString& account = order.cell(i, OrderCell::BuyerAccount);
    if (!account.isEmpty() && account.contains(wanted, Qt::CaseInsensitive)) return true;
    if (!customers) return false;
    const int g = customers->row(account, order.cell(i, OrderCell::BuyerCategory));
    if (!g) return false;
    const QString name = CustomerLookup::nameOf(db.Guest.cell(g, GuestCell::CustomerNameSex));
    return !name.isEmpty() && name.contains(wanted, Qt::CaseInsensitive);
  });
  s.list = listOrders(db, found, view.username);
  orderListClosingStep(db, filter, s.list);
  return s;
}

std::optional<QStringList> Recount(const Database& db, const OrderFilter& filter, const OrderListView& view,
                                   const std::vector<int>& liv1Indexes) {
  for (int index : liv1Indexes)
    if (!validIndex(db.Order, index)) return std::nullopt;
  OrderTotals t = ordersTotals(db.Order, liv1Indexes);
  t.ExpenseTotal = expenseTotal(db, filter, view);
  return moneyPanels(t, listCountPanel(static_cast<int>(liv1Indexes.size())));
}

std::optional<QStringList> SelectionTotals(const Database& db, const std::vector<int>& selectedIndexes) {
  for (int index : selectedIndexes)
    if (!validIndex(db.Order, index)) return std::nullopt;
  const OrderTotals t = ordersTotals(db.Order, selectedIndexes);
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
