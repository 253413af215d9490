#include "models/OrderList.h"

#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <numeric>

#include "models/CustomerIndex.h"
#include "models/SearchFields.h"
#include "platform/Numbers.h"
#include "platform/TextOrder.h"
#include "store/Database.h"
#include "store/DecimalSum.h"
#include "store/Parallel.h"
#include "store/SharedRoutines.h"

namespace OrderList {

namespace {

const QString kUnpaid = QStringLiteral("未匯款");
const QString kShipped = QStringLiteral("已出貨");

// Token n (0-based) of an encoded cell split at every blank; "" past the
// last. has is false when the cell has fewer tokens (an empty cell has none).
// A cell of one token alone is shared, not copied.
QString token(const QString& cell, int n, bool* has = nullptr) {
  const QStringView t = SearchFields::token(cell, n, has);
  return t.size() == cell.size() ? cell : t.toString();
}

// The first token of a cell (the whole cell when it holds no blank).
QString firstToken(const QString& cell) { return token(cell, 0); }

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
  // The same from the row's numbers read ahead.
  void add(const Table& order, int row, const struct OrderNumbers& n);
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

// Each order's numbers for the totals, read once while the cells they come
// from stay as they are: totals of long lists then read no cell text.
struct OrderNumbers {
  enum : uint8_t { Unpaid = 1, SellerPays = 2, FeeRead = 4, ReceivableRead = 8, CostRead = 16 };
  struct Row {
    int64_t fee = 0, receivable = 0, cost = 0;  // times 10^6, where read
    uint8_t flags = 0;
  };
  const Table* table = nullptr;
  std::array<uint64_t, 5> versions{};  // of the columns read
  uint64_t version = 0;                // of the table when read
  std::vector<Row> rows;               // by Order row (0 unused)

  void read(const Table& order, int r) {
    Row& x = rows[static_cast<size_t>(r)];
    x = Row{};
    if (DecimalSum::readScaled(order.cell(r, OrderCell::ShippingFee), &x.fee)) x.flags |= FeeRead;
    if (DecimalSum::readScaled(order.cell(r, OrderCell::Receivable), &x.receivable)) x.flags |= ReceivableRead;
    if (DecimalSum::readScaled(order.cell(r, OrderCell::OrderCost), &x.cost)) x.flags |= CostRead;
    if (startsWithToken(order.cell(r, OrderCell::PaymentState), kUnpaid)) x.flags |= Unpaid;
    if (sellerPaysShipping(order.cell(r, OrderCell::SellerPaysShipping))) x.flags |= SellerPays;
  }

  static std::array<uint64_t, 5> versionsOf(const Table& order) {
    return {order.columnVersion(OrderCell::ShippingFee), order.columnVersion(OrderCell::Receivable),
            order.columnVersion(OrderCell::OrderCost), order.columnVersion(OrderCell::PaymentState),
            order.columnVersion(OrderCell::SellerPaysShipping)};
  }
};

void OrderSums::add(const Table& order, int row, const OrderNumbers& n) {
  const OrderNumbers::Row& x = n.rows[static_cast<size_t>(row)];
  if (x.flags & OrderNumbers::FeeRead) {
    fee.addScaled(x.fee);
    if (x.flags & OrderNumbers::SellerPays) sellerFee.addScaled(x.fee);
  } else {
    const QString& fee1 = order.cell(row, OrderCell::ShippingFee);
    fee.add(fee1);
    if (x.flags & OrderNumbers::SellerPays) sellerFee.add(fee1);
  }
  if (x.flags & OrderNumbers::ReceivableRead) {
    receivable.addScaled(x.receivable);
    if (x.flags & OrderNumbers::Unpaid) unpaid.addScaled(x.receivable);
  } else {
    const QString& receivable1 = order.cell(row, OrderCell::Receivable);
    receivable.add(receivable1);
    if (x.flags & OrderNumbers::Unpaid) unpaid.add(receivable1);
  }
  if (x.flags & OrderNumbers::CostRead) cost.addScaled(x.cost);
  else cost.add(order.cell(row, OrderCell::OrderCost));
}

// The numbers of Order as it is, made now when they are not kept and
// `make` is true (null otherwise). After a few orders were added or
// changed, only their rows are read again.
std::shared_ptr<const OrderNumbers> keptNumbers(const Table& order, bool make) {
  static std::mutex lock;
  static std::shared_ptr<OrderNumbers> kept;
  const std::lock_guard<std::mutex> hold(lock);
  const auto versions = OrderNumbers::versionsOf(order);
  if (kept && kept->table == &order && kept->versions == versions) return kept;
  if (!make) return nullptr;
  std::vector<int> changed;
  const size_t before = kept ? kept->rows.size() - 1 : 0;
  if (kept && kept->table == &order && before <= static_cast<size_t>(order.count()) &&
      order.rowsSetSince(kept->version, changed)) {
    // Brought up to date in place, unless a sum under way still reads them.
    if (kept.use_count() > 1) kept = std::make_shared<OrderNumbers>(*kept);
    kept->rows.resize(static_cast<size_t>(order.count()) + 1);
    for (const int r : changed)
      if (static_cast<size_t>(r) <= before) kept->read(order, r);
    for (int r = static_cast<int>(before) + 1; r <= order.count(); ++r) kept->read(order, r);
  } else {
    auto n = std::make_shared<OrderNumbers>();
    n->table = &order;
    n->rows.resize(static_cast<size_t>(order.count()) + 1);
    forEachSlice(static_cast<size_t>(order.count()), 20000, [&](size_t from, size_t to) {
      for (size_t k = from; k < to; ++k) n->read(order, static_cast<int>(k) + 1);
    });
    kept = n;
  }
  kept->versions = versions;
  kept->version = order.version();
  return kept;
}

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
  // on their own threads and then added together. A list of half the
  // orders or more reads the numbers kept for Order as it is (read now if
  // need be).
  const std::shared_ptr<const OrderNumbers> numbers = keptNumbers(order, rows.size() * 2 >= static_cast<size_t>(order.count()));
  const size_t slice = 20000;
  std::vector<OrderSums> part((rows.size() + slice - 1) / slice);
  forEachSlice(part.size(), 1, [&](size_t from, size_t to) {
    for (size_t p = from; p < to; ++p) {
      const size_t end = std::min(rows.size(), (p + 1) * slice);
      if (numbers) {
        for (size_t k = p * slice; k < end; ++k)
          if (validIndex(order, rows[k])) part[p].add(order, rows[k], *numbers);
      } else {
        for (size_t k = p * slice; k < end; ++k) part[p].add(order, rows[k]);
      }
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

namespace {

// The name in a CustomerNameSex cell (the part before the sex).
QStringView nameView(const QString& nameSex) {
  const qsizetype cut = nameSex.indexOf(QChar(1));
  return QStringView(nameSex).left(cut < 0 ? nameSex.size() : cut);
}

// What the list shows in the account column with names shown:
// "account (name)", or the account alone when there is no name.
void appendShown(QString& out, QStringView account, QStringView name) {
  out.append(account);
  if (!name.isEmpty()) out.append(QLatin1String(" (")).append(name).append(u')');
}

}  // namespace

struct ListedOrders {
  const Table* order = nullptr;
  std::vector<int> rows;         // Order rows, in list order
  bool username = false;
  std::vector<QString> nameSex;  // with names shown: CustomerNameSex of each row's customer
  std::vector<int> customer;     // with names shown: each row's customer (Guest row, 0: none)
  int customerCount = 0;         // with names shown: rows of Guest when listed
  const Table* guest = nullptr;  // with names shown: Guest, and its version when listed
  uint64_t guestVersion = 0;
  uint64_t orderVersion = 0;     // Order's version when listed
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
  // The customer's name of row i (empty when not shown or none).
  QStringView nameOf(size_t i) const { return username ? nameView(nameSex[i]) : QStringView(); }
  // The account, and with names shown " (" name ")" after it (one allocation).
  QString accountWithName(const QString& account, size_t i) const {
    const QStringView name = nameOf(i);
    if (name.isEmpty()) return account;
    QString out;
    out.reserve(account.size() + name.size() + 3);
    appendShown(out, account, name);
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

// The text the list shows for a customer.
void appendCustomerText(QString& out, const Table& guest, int g) {
  appendShown(out, guest.cell(g, GuestCell::CustomerAccount), nameView(guest.cell(g, GuestCell::CustomerNameSex)));
}

// The sort order of every row's text of one kind (one cell, or the
// customer's shown text), kept while the columns it comes from stay:
// sorting a list of its rows again then ranks no text. The last few are
// kept.
struct KeptOrder {
  const Table* table = nullptr;        // the table it was made from
  std::array<uint64_t, 2> versions{};  // of the columns the texts come from
  int kind = 0;
  uint64_t version = 0;                // of the table when made
  std::vector<int> rank;    // by table row (0 unused)
  std::vector<int> sorted;  // the table rows in the order of their texts
  int levels = 0;
};

constexpr int kCustomerTexts = -1;  // the kind of the customers' shown texts

// The text of row r of a kind (into scratch when it has to be made).
QStringView keptText(const Table& t, int kind, int r, QString& scratch) {
  if (kind != kCustomerTexts) return t.cell(r, kind);
  scratch.clear();
  appendCustomerText(scratch, t, r);
  return scratch;
}

// The first place among rows in text order whose text does not come
// before `text` (found by halving).
size_t placeAmong(const Table& t, int kind, const std::vector<int>& sorted, QStringView text, QString& scratch) {
  size_t lo = 0, hi = sorted.size();
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (TextOrder::compare(keptText(t, kind, sorted[mid], scratch), text) < 0) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

// An order of the rows as they are now, from one made before a few rows
// were set or added: those rows are taken out and put back in their places
// (found by halving), the others keep their order and their equalities.
// Null when too many rows changed or the table cannot tell which.
std::shared_ptr<KeptOrder> keptOrderUpdated(const KeptOrder& old, const Table& t) {
  std::vector<int> changed;
  const int before = static_cast<int>(old.rank.size()) - 1;
  if (before > t.count() || !t.rowsSetSince(old.version, changed)) return nullptr;
  for (int r = before + 1; r <= t.count(); ++r) changed.push_back(r);
  std::sort(changed.begin(), changed.end());
  changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
  if (changed.size() > 4096 || changed.size() * 16 > static_cast<size_t>(t.count())) return nullptr;
  const int kind = old.kind;
  // The rows that stay, in their order.
  std::vector<char> moved(static_cast<size_t>(t.count()) + 1, 0);
  for (const int r : changed) moved[static_cast<size_t>(r)] = 1;
  std::vector<int> stay;
  stay.reserve(old.sorted.size());
  for (const int r : old.sorted)
    if (!moved[static_cast<size_t>(r)]) stay.push_back(r);
  // The moved rows in their own order, each with its place among those that stay.
  std::vector<QString> held(changed.size());
  std::vector<QStringView> texts(changed.size());
  QString scratch;
  for (size_t k = 0; k < changed.size(); ++k) {
    held[k] = keptText(t, kind, changed[k], scratch).toString();
    texts[k] = held[k];
  }
  int ownLevels = 0;
  const std::vector<int> own = TextOrder::ranks(texts, &ownLevels);
  std::vector<size_t> place(changed.size());
  for (size_t k = 0; k < changed.size(); ++k) place[k] = placeAmong(t, kind, stay, texts[k], scratch);
  std::vector<size_t> byPlace(changed.size());
  std::iota(byPlace.begin(), byPlace.end(), 0);
  std::stable_sort(byPlace.begin(), byPlace.end(), [&](size_t a, size_t b) {
    return place[a] != place[b] ? place[a] < place[b] : own[a] < own[b];
  });
  // Merged, then ranked: two rows that stay are equal as they were; a moved
  // row is compared with its neighbours.
  auto order = std::make_shared<KeptOrder>();
  order->table = &t;
  order->kind = kind;
  order->sorted.reserve(stay.size() + changed.size());
  std::vector<int> ownOf(static_cast<size_t>(t.count()) + 1, -1);
  for (size_t k = 0; k < changed.size(); ++k) ownOf[static_cast<size_t>(changed[k])] = static_cast<int>(k);
  size_t j = 0;
  for (size_t i = 0; i <= stay.size(); ++i) {
    for (; j < byPlace.size() && place[byPlace[j]] == i; ++j) order->sorted.push_back(changed[byPlace[j]]);
    if (i < stay.size()) order->sorted.push_back(stay[i]);
  }
  order->rank.assign(static_cast<size_t>(t.count()) + 1, 0);
  QString other;
  int r = 0;
  for (size_t i = 0; i < order->sorted.size(); ++i) {
    const int row = order->sorted[i];
    if (i > 0) {
      const int prev = order->sorted[i - 1];
      const int a = ownOf[static_cast<size_t>(prev)], b = ownOf[static_cast<size_t>(row)];
      bool same;
      if (a < 0 && b < 0) same = old.rank[static_cast<size_t>(prev)] == old.rank[static_cast<size_t>(row)];
      else if (a >= 0 && b >= 0) same = own[static_cast<size_t>(a)] == own[static_cast<size_t>(b)];
      else same = TextOrder::compare(a >= 0 ? texts[static_cast<size_t>(a)] : keptText(t, kind, prev, scratch),
                                     b >= 0 ? texts[static_cast<size_t>(b)] : keptText(t, kind, row, other)) == 0;
      if (!same) ++r;
    }
    order->rank[static_cast<size_t>(row)] = r;
  }
  order->levels = order->sorted.empty() ? 0 : r + 1;
  return order;
}

// The kept order, made now when none is kept and `make` is true (null
// otherwise); after a few rows were set or added it is brought up to date.
std::shared_ptr<const KeptOrder> keptOrder(const Table& t, int kind, bool make) {
  static std::mutex lock;
  static std::vector<std::shared_ptr<const KeptOrder>> kept;  // the most recently used last
  constexpr size_t kKept = 4;
  const std::array<uint64_t, 2> versions =
      kind == kCustomerTexts
          ? std::array<uint64_t, 2>{t.columnVersion(GuestCell::CustomerAccount), t.columnVersion(GuestCell::CustomerNameSex)}
          : std::array<uint64_t, 2>{t.columnVersion(kind), 0};
  const std::lock_guard<std::mutex> hold(lock);
  std::shared_ptr<const KeptOrder> older;
  for (auto it = kept.begin(); it != kept.end(); ++it) {
    if ((*it)->table != &t || (*it)->kind != kind) continue;
    if ((*it)->versions == versions) {
      std::rotate(it, it + 1, kept.end());
      return kept.back();
    }
    older = *it;
  }
  if (!make) return nullptr;
  std::shared_ptr<KeptOrder> order = older ? keptOrderUpdated(*older, t) : nullptr;
  if (!order) {
    order = std::make_shared<KeptOrder>();
    order->table = &t;
    order->kind = kind;
    const int count = t.count();
    std::vector<QStringView> texts(static_cast<size_t>(count));
    QString all;
    if (kind == kCustomerTexts) {
      std::vector<qsizetype> start(static_cast<size_t>(count) + 2, 0);
      for (int g = 1; g <= count; ++g) {
        start[static_cast<size_t>(g)] = all.size();
        appendCustomerText(all, t, g);
      }
      start[static_cast<size_t>(count) + 1] = all.size();
      const QStringView view(all);
      for (size_t g = 1; g <= static_cast<size_t>(count); ++g) texts[g - 1] = view.mid(start[g], start[g + 1] - start[g]);
    } else {
      for (int r = 1; r <= count; ++r) texts[static_cast<size_t>(r - 1)] = t.cell(r, kind);
    }
    const std::vector<int> rank = TextOrder::ranks(texts, &order->levels);
    order->rank.assign(static_cast<size_t>(count) + 1, 0);
    std::copy(rank.begin(), rank.end(), order->rank.begin() + 1);
    order->sorted = TextOrder::byRank(rank, order->levels, false);
    for (int& g : order->sorted) ++g;
  }
  order->versions = versions;
  order->version = t.version();
  // Kept orders of older versions of the same table are of no more use.
  kept.erase(std::remove_if(kept.begin(), kept.end(), [&](const auto& k) { return k->table == &t && k->kind == kind; }),
             kept.end());
  if (kept.size() == kKept) kept.erase(kept.begin());
  kept.push_back(order);
  return order;
}

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

  // Columns of many distinct texts (order numbers, accounts) are sorted by
  // an order of the whole table kept while it stays as it was listed (see
  // keptOrder): made by the first sort of a long list, used by every list.
  bool sortRanks(int column, std::vector<int>& rankOfRow, int& levels) const override {
    const ListedOrders& l = *listed_;
    const Table& t = *l.order;
    if (t.version() != l.orderVersion) return false;
    if (column == OrderListCol::BuyerAccount && l.username) return customerRanks(rankOfRow, levels);
    if (column != OrderListCol::OrderNo && column != OrderListCol::BuyerAccount) return false;
    const size_t n = l.rows.size();
    const auto order = keptOrder(t, column == OrderListCol::OrderNo ? OrderCell::OrderNo : OrderCell::BuyerAccount,
                                 n * 2 >= static_cast<size_t>(t.count()));
    if (!order) return false;
    rankOfRow.resize(n);
    for (size_t i = 0; i < n; ++i) rankOfRow[i] = order->rank[static_cast<size_t>(l.rows[i])];
    levels = order->levels;
    return true;
  }

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
        part = [](QStringView v) { return SearchFields::token(v, 0); };
        break;
      case OrderListCol::RatingGiven:
        cell = OrderCell::PaymentState;
        part = [](QStringView v) { return SearchFields::token(v, 1); };
        break;
      case OrderListCol::ShipDate:
        if (!l.shipDate.empty()) return false;  // shortage marks
        cell = OrderCell::ShippingState;
        part = [](QStringView v) { return (v == UnshippedText || v == kShipped) ? v : SearchFields::token(v, 1); };
        break;
      case OrderListCol::ShippingMethod:
        cell = OrderCell::ShippingState;
        part = [](QStringView v) { return (v == UnshippedText || v == kShipped) ? QStringView() : SearchFields::token(v, 0); };
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
  // The customer column with names shown: the customers' shown texts in
  // order are kept; accounts without a customer, when few, are placed
  // among them one by one.
  bool customerRanks(std::vector<int>& rankOfRow, int& levels) const {
    const ListedOrders& l = *listed_;
    const size_t n = l.rows.size();
    if (!l.guest || l.customer.size() != n || l.guest->version() != l.guestVersion) return false;
    const Table& t = *l.order;
    const Table& guest = *l.guest;
    // The accounts without a customer, each value once.
    constexpr size_t kFewAccounts = 4096;
    std::vector<int> slotOfValue;
    std::vector<size_t> firstRow;
    for (size_t i = 0; i < n; ++i) {
      if (l.customer[i] > 0) continue;
      if (slotOfValue.empty()) slotOfValue.assign(t.valueIdCount(), -1);
      int& slot = slotOfValue[t.valueId(l.rows[i], OrderCell::BuyerAccount)];
      if (slot >= 0) continue;
      if (firstRow.size() == kFewAccounts) return false;
      slot = static_cast<int>(firstRow.size());
      firstRow.push_back(i);
    }
    const auto order = keptOrder(guest, kCustomerTexts, n * 2 >= static_cast<size_t>(guest.count()));
    if (!order) return false;
    // Each account's place: before the customers' rank `gap`, or equal to
    // the customer rank `same` (-1 when none).
    const size_t u = firstRow.size();
    std::vector<QStringView> accounts(u);
    for (size_t k = 0; k < u; ++k) accounts[k] = t.cell(l.rows[firstRow[k]], OrderCell::BuyerAccount);
    int accountLevels = 0;
    const std::vector<int> accountRank = TextOrder::ranks(accounts, &accountLevels);
    std::vector<int> gap(u), same(u, -1);
    QString text;
    for (size_t k = 0; k < u; ++k) {
      const size_t at = placeAmong(guest, kCustomerTexts, order->sorted, accounts[k], text);
      if (at == order->sorted.size()) {
        gap[k] = order->levels;
        continue;
      }
      const int g = order->sorted[at];
      gap[k] = order->rank[static_cast<size_t>(g)];
      if (TextOrder::compare(keptText(guest, kCustomerTexts, g, text), accounts[k]) == 0) same[k] = gap[k];
    }
    // Accounts between customers take ranks of their own: (gap, their own
    // rank) in order, each distinct pair once.
    std::vector<uint64_t> between;
    for (size_t k = 0; k < u; ++k)
      if (same[k] < 0) between.push_back((static_cast<uint64_t>(gap[k]) << 32) | static_cast<uint32_t>(accountRank[k]));
    std::sort(between.begin(), between.end());
    between.erase(std::unique(between.begin(), between.end()), between.end());
    // A customer of rank r is preceded by r customers' ranks and by every
    // pair whose gap is r or lower.
    std::vector<int> customerLevel(static_cast<size_t>(order->levels));
    size_t j = 0;
    for (int r = 0; r < order->levels; ++r) {
      while (j < between.size() && static_cast<int>(between[j] >> 32) <= r) ++j;
      customerLevel[static_cast<size_t>(r)] = r + static_cast<int>(j);
    }
    std::vector<int> accountLevel(u);
    for (size_t k = 0; k < u; ++k) {
      if (same[k] >= 0) {
        accountLevel[k] = customerLevel[static_cast<size_t>(same[k])];
      } else {
        const uint64_t key = (static_cast<uint64_t>(gap[k]) << 32) | static_cast<uint32_t>(accountRank[k]);
        const auto at = std::lower_bound(between.begin(), between.end(), key) - between.begin();
        accountLevel[k] = static_cast<int>(at) + gap[k];
      }
    }
    rankOfRow.resize(n);
    for (size_t i = 0; i < n; ++i) {
      const int g = l.customer[i];
      rankOfRow[i] = g > 0 ? customerLevel[static_cast<size_t>(order->rank[static_cast<size_t>(g)])]
                           : accountLevel[static_cast<size_t>(slotOfValue[t.valueId(l.rows[i], OrderCell::BuyerAccount)])];
    }
    levels = order->levels + static_cast<int>(between.size());
    return true;
  }

  // Accounts with the customers' names: the text of each customer, or of
  // each account without one, made once. A customer is found by its
  // account's exact text, so one customer is one text. The texts lie side
  // by side in one buffer (no allocation a text).
  bool accountsWithNames(std::vector<int>& textOfRow, std::vector<QStringView>& texts) const {
    const ListedOrders& l = *listed_;
    const Table& t = *l.order;
    const size_t n = l.rows.size();
    if (l.customer.size() != n) return false;
    std::vector<int> byGuest(static_cast<size_t>(l.customerCount) + 1, -1);
    std::vector<int> byAccount;
    std::vector<size_t> firstRow;
    textOfRow.resize(n);
    qsizetype length = 0;
    for (size_t i = 0; i < n; ++i) {
      const int g = l.customer[i];
      int* slot;
      if (g > 0 && g <= l.customerCount) {
        slot = &byGuest[static_cast<size_t>(g)];
      } else {
        if (byAccount.empty()) byAccount.assign(t.valueIdCount(), -1);
        slot = &byAccount[t.valueId(l.rows[i], OrderCell::BuyerAccount)];
      }
      if (*slot < 0) {
        *slot = static_cast<int>(firstRow.size());
        firstRow.push_back(i);
        length += t.cell(l.rows[i], OrderCell::BuyerAccount).size() + l.nameOf(i).size() + 3;
      }
      textOfRow[i] = *slot;
    }
    made_.clear();
    made_.reserve(length);
    std::vector<qsizetype> start(firstRow.size() + 1);
    for (size_t k = 0; k < firstRow.size(); ++k) {
      const size_t i = firstRow[k];
      start[k] = made_.size();
      appendShown(made_, t.cell(l.rows[i], OrderCell::BuyerAccount), l.nameOf(i));
    }
    start.back() = made_.size();
    texts.resize(firstRow.size());
    const QStringView all(made_);
    for (size_t k = 0; k < firstRow.size(); ++k) texts[k] = all.mid(start[k], start[k + 1] - start[k]);
    return true;
  }

  std::shared_ptr<const ListedOrders> listed_;
  mutable QString made_;  // the texts made for the last sort, side by side
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

namespace {

// The customer of each listed order (Guest row, 0: none). A list of half
// the orders or more reads them from the customers of every order, kept
// while the key columns of Order and Guest stay as they are (orders added
// or changed and customers added since are looked up alone).
std::vector<int> customersOf(const Database& db, const std::vector<int>& orderRows) {
  const Table& order = db.Order;
  const Table& guest = db.Guest;
  if (orderRows.size() * 2 < static_cast<size_t>(order.count()))
    return customerRowsOf(guest, order, orderRows, OrderCell::BuyerAccount, OrderCell::BuyerCategory);
  struct Kept {
    const Table* order = nullptr;
    const Table* guest = nullptr;
    std::array<uint64_t, 4> versions{};  // of the key columns of Order and Guest
    uint64_t orderVersion = 0;           // of Order when found
    uint64_t guestVersion = 0;           // of Guest when found
    int guests = 0;                      // rows of Guest then
    std::vector<int> customer;           // by Order row (0 unused)
  };
  const std::array<uint64_t, 4> versions = {
      order.columnVersion(OrderCell::BuyerAccount), order.columnVersion(OrderCell::BuyerCategory),
      guest.columnVersion(GuestCell::CustomerAccount), guest.columnVersion(GuestCell::CustomerCategory)};
  static std::mutex lock;
  static std::shared_ptr<Kept> kept;
  const std::lock_guard<std::mutex> hold(lock);
  if (!kept || kept->versions != versions) {
    // Orders only added or changed since: their customers are found again,
    // the others stay. Customers only added since: an order that had none
    // may have one of them now (one that had a customer keeps it, the first
    // of its key).
    std::vector<int> changed, changedGuests;
    const size_t before = kept ? kept->customer.size() - 1 : 0;
    const bool ordersKnown = kept && kept->order == &order && before <= static_cast<size_t>(order.count()) &&
                             order.rowsSetSince(kept->orderVersion, changed);
    const bool sameGuests = ordersKnown && kept->guest == &guest && kept->versions[2] == versions[2] &&
                            kept->versions[3] == versions[3];
    const bool guestsAdded =
        ordersKnown && !sameGuests && kept->guest == &guest && kept->guests <= guest.count() &&
        guest.rowsSetSince(kept->guestVersion, changedGuests) &&
        std::all_of(changedGuests.begin(), changedGuests.end(), [&](int g) { return g > kept->guests; });
    if (sameGuests || guestsAdded) {
      std::vector<int> rows;
      for (const int r : changed)
        if (static_cast<size_t>(r) <= before) rows.push_back(r);
      for (int r = static_cast<int>(before) + 1; r <= order.count(); ++r) rows.push_back(r);
      const std::vector<int> found = customerRowsOf(guest, order, rows, OrderCell::BuyerAccount, OrderCell::BuyerCategory);
      if (guestsAdded) {
        QHash<std::pair<QStringView, QStringView>, int> added;
        for (int g = kept->guests + 1; g <= guest.count(); ++g) {
          const std::pair<QStringView, QStringView> key{guest.key(g), guest.cell(g, GuestCell::CustomerCategory)};
          if (!added.contains(key)) added.insert(key, g);
        }
        for (size_t r = 1; r <= before; ++r) {
          if (kept->customer[r] != 0) continue;
          const int o = static_cast<int>(r);
          const auto it = added.constFind({order.cell(o, OrderCell::BuyerAccount), order.cell(o, OrderCell::BuyerCategory)});
          if (it != added.constEnd()) kept->customer[r] = *it;
        }
      }
      kept->customer.resize(static_cast<size_t>(order.count()) + 1);
      for (size_t k = 0; k < rows.size(); ++k) kept->customer[static_cast<size_t>(rows[k])] = found[k];
    } else {
      auto made = std::make_shared<Kept>();
      made->order = &order;
      made->guest = &guest;
      std::vector<int> all(static_cast<size_t>(order.count()));
      std::iota(all.begin(), all.end(), 1);
      made->customer = customerRowsOf(guest, order, all, OrderCell::BuyerAccount, OrderCell::BuyerCategory);
      made->customer.insert(made->customer.begin(), 0);
      kept = made;
    }
    kept->versions = versions;
    kept->orderVersion = order.version();
    kept->guestVersion = guest.version();
    kept->guests = guest.count();
  }
  std::vector<int> out(orderRows.size());
  for (size_t i = 0; i < orderRows.size(); ++i)
    out[i] = validIndex(order, orderRows[i]) ? kept->customer[static_cast<size_t>(orderRows[i])] : 0;
  return out;
}

}  // namespace

OrderListResult listOrders(const Database& db, const std::vector<int>& orderRows, bool username, DiscountStyle style) {
  OrderListResult r;
  auto listed = std::make_shared<ListedOrders>();
  listed->order = &db.Order;
  listed->orderVersion = db.Order.version();
  listed->rows = orderRows;
  listed->style = style;
  listed->username = username;
  if (username && !orderRows.empty()) {
    // The customers are found now, once; their names are read when shown.
    listed->customer = customersOf(db, orderRows);
    listed->customerCount = db.Guest.count();
    listed->guest = &db.Guest;
    listed->guestVersion = db.Guest.version();
    listed->nameSex.resize(orderRows.size());
    forEachSlice(orderRows.size(), 20000, [&](size_t from, size_t to) {
      for (size_t k = from; k < to; ++k)
        if (const int g = listed->customer[k]) listed->nameSex[k] = db.Guest.cell(g, GuestCell::CustomerNameSex);
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
                                    const QString& searchBoxText) {
  CustomerSearchResult s;
  if (searchBoxText.isEmpty()) {
    s.refused = true;
    return s;
  }
  s.searchText = FirstLine(SearchFields::trimBlanks(searchBoxText));
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
                                   const std::vector<int>& listIndexes) {
  for (int index : listIndexes)
    if (!validIndex(db.Order, index)) return std::nullopt;
  OrderTotals t = ordersTotals(db.Order, listIndexes);
  t.ExpenseTotal = expenseTotal(db, filter, view);
  return moneyPanels(t, listCountPanel(static_cast<int>(listIndexes.size())));
}

std::optional<QStringList> SelectionTotals(const Database& db, const std::vector<int>& selectedIndexes) {
  for (int index : selectedIndexes)
    if (!validIndex(db.Order, index)) return std::nullopt;
  const OrderTotals t = ordersTotals(db.Order, selectedIndexes);
  return moneyPanels(t, selectionCountPanel(static_cast<int>(selectedIndexes.size())));
}

MoneyPanelVisibility CheckViewMoney(bool viewMoney, bool hideCost) {
  MoneyPanelVisibility v;
  v.recount = viewMoney;
  v.panel.fill(viewMoney);
  if (hideCost) v.panel[2] = v.panel[3] = false;
  return v;
}

}  // namespace OrderList
