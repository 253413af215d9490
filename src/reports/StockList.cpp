#include "reports/StockList.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>

#include "mainwindow/OrderList.h"
#include "reports/OrderRowIndex.h"
#include "reports/SearchFields.h"
#include "store/CaselessSearch.h"
#include "store/Database.h"
#include "store/HashedRows.h"
#include "store/Numbers.h"
#include "store/Parallel.h"
#include "store/SharedRoutines.h"

namespace StockList {

namespace {

const QString kAll = QStringLiteral("全部");

OrderList::OrderFilter stateAndPeriod(bool unshipped, bool shipped, const QString& period, const QString& year) {
  OrderList::OrderFilter f;
  f.unshipped = unshipped;
  f.shipped = shipped;
  f.period = period;
  f.year = year;
  return f;
}

}  // namespace

QStringList captions() {
  return {QStringLiteral("訂單編號"), QStringLiteral("商品名稱"), QStringLiteral("商品分類"),
          QStringLiteral("售價"),     QStringLiteral("成本"),     QStringLiteral("數量"),
          QStringLiteral("折扣"),     QStringLiteral("備註"),     QStringLiteral("網址")};
}

std::vector<int> widths() { return {100, 200, 100, 90, 65, 40, 65, 250, 250}; }

OrderDiscount orderDiscount(const Table& order, int row, bool withText) {
  OrderDiscount d;
  const QString& percent = order.cell(row, OrderCell::DiscountPercent);
  if (!percent.isEmpty()) {
    d.percent = true;
    d.percentValue = Num::leading(percent);
    if (withText) d.text = percent + u'%';
  }
  const QString& amount = order.cell(row, OrderCell::DiscountAmount);
  if (!amount.isEmpty()) {
    bool two = false;
    const QStringView count = SearchFields::token(amount, 1, &two);
    const double lines = two ? Num::leading(count.toString()) : 0;
    if (lines != 0) {
      d.amount = true;
      d.share = Num::leading(SearchFields::token(amount, 0).toString()) / lines;
      d.text = !withText       ? QString()
               : d.share < 0 ? u'+' + Num::format(std::fabs(d.share))
                             : u'-' + Num::format(d.share);
    }
  }
  return d;
}

namespace {
// The net amount of price times quantity.
Decimal netAmount(Decimal net, const OrderDiscount& d) {
  if (d.percent) {
    // The percent paid, rounded half away from zero line by line.
    const double amount = net.toDouble();
    const double v = amount * d.percentValue / 100 + (amount > 0 ? 0.5 : -0.5);
    net = Decimal::fromDouble(std::trunc(v));
  }
  if (d.amount) net -= Decimal::fromDouble(d.share);
  return net;
}
}  // namespace

Decimal LineNetAmount(const Table& stock, int line, const OrderDiscount& d) {
  return netAmount(Decimal::leading(stock.cell(line, StockCell::LinePrice)) *
                       Decimal::leading(stock.cell(line, StockCell::LineQty)),
                   d);
}

void Totals::addLine(const Table& stock, int line, const OrderDiscount& d) {
  const Decimal q = Decimal::leading(stock.cell(line, StockCell::LineQty));
  qty += q;
  price += netAmount(Decimal::leading(stock.cell(line, StockCell::LinePrice)) * q, d);
  cost += Decimal::leading(stock.cell(line, StockCell::LineCost)) * q;
}

QString StockTotalsText(int rows, const Totals& t, bool viewMoney, bool showCost) {
  QString s = QStringLiteral(" 共 ") + QString::number(rows) + QStringLiteral(" 筆資料， ") + t.qty.toText() +
              QStringLiteral(" 件商品");
  if (viewMoney) {
    s += QStringLiteral("，售價總計 ") + t.price.toText();
    if (showCost)
      s += QStringLiteral(" ，成本總計 ") + t.cost.toText() + QStringLiteral(" ，結餘 ") + (t.price - t.cost).toText();
  }
  return s;
}

// ---- listed rows ----

struct ListedRows::Data {
  const Table* stock = nullptr;
  const Table* order = nullptr;
  std::vector<ListedLine> lines;
};

namespace {

class ListedSource : public ListRowSource {
 public:
  explicit ListedSource(ListedRows rows) : rows_(std::move(rows)) {}
  int rowCount() const override { return static_cast<int>(rows_.size()); }
  QString text(int row, int column) const override {
    return row >= 0 && static_cast<size_t>(row) < rows_.size() ? rows_.text(static_cast<size_t>(row), column) : QString();
  }
  const std::vector<ListedLine>& lines() const { return rows_.lines(); }

 private:
  ListedRows rows_;
};

const std::vector<ListedLine> kNoLines;

}  // namespace

ListedRows::ListedRows(const Database& db, std::vector<ListedLine> lines) {
  auto d = std::make_shared<Data>();
  d->stock = &db.Stock;
  d->order = &db.Order;
  d->lines = std::move(lines);
  data_ = std::move(d);
}

const std::vector<ListedLine>& ListedRows::lines() const { return data_ ? data_->lines : kNoLines; }

QStringList ListedRows::operator[](size_t i) const {
  const ListedLine& l = data_->lines[i];
  return row(*data_->stock, l.line, orderDiscount(*data_->order, l.order));
}

QString ListedRows::text(size_t i, int column) const {
  const ListedLine& l = data_->lines[i];
  const Table& stock = *data_->stock;
  switch (column) {
    case OrderNo: return stock.key(l.line);
    case Name: return stock.cell(l.line, StockCell::LineName);
    case Category: return stock.cell(l.line, StockCell::LineCategory);
    case Price: return stock.cell(l.line, StockCell::LinePrice);
    case Cost: return stock.cell(l.line, StockCell::LineCost);
    case Qty: return stock.cell(l.line, StockCell::LineQty);
    case Discount: return orderDiscount(*data_->order, l.order).text;
    case Note: return stock.cell(l.line, StockCell::LineNote);
    case Url: return stock.cell(l.line, StockCell::LineUrl);
    default: return {};
  }
}

std::shared_ptr<const ListRowSource> ListedRows::source() const { return std::make_shared<ListedSource>(*this); }

const std::vector<ListedLine>* ListedRows::linesOf(const ListRowSource* source) {
  const auto* s = dynamic_cast<const ListedSource*>(source);
  return s ? &s->lines() : nullptr;
}

namespace {

// A plain number ([-]digits[.digits], at most 9 whole digits and 6
// decimals, followed by the end or a character that is no digit or point)
// times 10^6. False for anything else, which Decimal::leading then reads.
bool plainMillionths(QStringView t, long long* out) {
  const qsizetype n = t.size();
  if (n == 0) {
    *out = 0;
    return true;
  }
  qsizetype i = 0;
  const bool negative = t[0] == u'-';
  if (negative) ++i;
  const qsizetype first = i;
  long long v = 0;
  while (i < n && t[i] >= u'0' && t[i] <= u'9') {
    if (i - first >= 9) return false;
    v = v * 10 + (t[i++].unicode() - u'0');
  }
  if (i == first) return false;
  int digits = 0;
  if (i < n && t[i] == u'.') {
    ++i;
    while (i < n && t[i] >= u'0' && t[i] <= u'9') {
      if (++digits > 6) return false;
      v = v * 10 + (t[i++].unicode() - u'0');
    }
    if (digits == 0) return false;
  }
  if (i < n && t[i] == u'.') return false;
  for (int d = digits; d < 6; ++d) v *= 10;
  *out = negative ? -v : v;
  return true;
}

// v / 10^scale, exactly.
Decimal scaledDecimal(__int128 v, int scale) {
  unsigned __int128 u = v < 0 ? static_cast<unsigned __int128>(-(v + 1)) + 1 : static_cast<unsigned __int128>(v);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(u % 10)));
    u /= 10;
  } while (u != 0);
  while (digits.size() <= static_cast<size_t>(scale)) digits.insert(digits.begin(), '0');
  digits.insert(digits.size() - static_cast<size_t>(scale), 1, '.');
  if (v < 0) digits.insert(digits.begin(), '-');
  return Decimal::leading(QString::fromLatin1(digits));
}

// Totals::addLine for many lines: lines whose cells are plain numbers are
// summed as whole numbers (quantities in millionths, amounts in 10^-12);
// the others, and amounts under a discount, go through Decimal.
struct LineTotals {
  __int128 qty = 0, price = 0, cost = 0;
  Totals rest;

  void addLine(const Table& stock, int line, const OrderDiscount& d) {
    long long q, c, p;
    const QString& qtyCell = stock.cell(line, StockCell::LineQty);
    const QString& priceCell = stock.cell(line, StockCell::LinePrice);
    if (!plainMillionths(qtyCell, &q) || !plainMillionths(stock.cell(line, StockCell::LineCost), &c)) {
      rest.addLine(stock, line, d);
      return;
    }
    qty += q;
    cost += static_cast<__int128>(c) * q;
    if (!d.percent && !d.amount && plainMillionths(priceCell, &p))
      price += static_cast<__int128>(p) * q;
    else
      rest.price += netAmount(Decimal::leading(priceCell) * Decimal::leading(qtyCell), d);
  }
  void add(const LineTotals& o) {
    qty += o.qty;
    price += o.price;
    cost += o.cost;
    rest.qty += o.rest.qty;
    rest.price += o.rest.price;
    rest.cost += o.rest.cost;
  }
  Totals value() const {
    Totals t;
    t.qty = scaledDecimal(qty, 6) + rest.qty;
    t.price = scaledDecimal(price, 12) + rest.price;
    t.cost = scaledDecimal(cost, 12) + rest.cost;
    return t;
  }
};

}  // namespace

Totals totalsOf(const Database& db, const std::vector<ListedLine>& lines) {
  std::mutex m;
  std::vector<std::pair<size_t, LineTotals>> parts;
  forEachSlice(lines.size(), 8000, [&](size_t from, size_t to) {
    LineTotals part;
    int order = -1;  // the lines of an order mostly follow each other: its discount is read once
    OrderDiscount d;
    for (size_t k = from; k < to; ++k) {
      if (lines[k].order != order) {
        order = lines[k].order;
        d = orderDiscount(db.Order, order, false);
      }
      part.addLine(db.Stock, lines[k].line, d);
    }
    const std::lock_guard<std::mutex> lock(m);
    parts.emplace_back(from, part);
  });
  std::sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  LineTotals all;
  for (const auto& [from, part] : parts) all.add(part);
  return all.value();
}

namespace {
Listing listingOf(const Database& db, std::vector<ListedLine> lines) {
  Listing out;
  out.totals = totalsOf(db, lines);
  out.rows = ListedRows(db, std::move(lines));
  return out;
}
}  // namespace

QStringList row(const Table& stock, int line, const OrderDiscount& d) {
  QStringList cells;
  cells.reserve(ColumnCount);
  cells << stock.key(line) << stock.cell(line, StockCell::LineName) << stock.cell(line, StockCell::LineCategory)
        << stock.cell(line, StockCell::LinePrice) << stock.cell(line, StockCell::LineCost)
        << stock.cell(line, StockCell::LineQty) << d.text << stock.cell(line, StockCell::LineNote)
        << stock.cell(line, StockCell::LineUrl);
  return cells;
}

Listing StockShow(const Database& db, const Filter& f) {
  const Table& stock = db.Stock;
  const Table& order = db.Order;
  const OrderRowIndex index(order);
  const OrderList::OrderFilter test = stateAndPeriod(f.unshipped, f.shipped, f.period, f.year);
  // The order's tests, once per order: its customer category decides which
  // row of a number a line joins; its state and date whether it is listed.
  const std::vector<char> customerOk = markRows(order.count(), [&](int r) {
    return f.allCustomers || order.cell(r, OrderCell::BuyerCategory) == f.customerCategory;
  });
  const std::vector<char> orderOk = markRows(order.count(), [&](int r) {
    return test.passesShipping(order.cell(r, OrderCell::ShippingState)) &&
           test.passesPeriod(order.cell(r, OrderCell::OrderDate));
  });
  const bool allProducts = f.productCategory == kAll;
  auto hits = collectInSlices<ListedLine>(stock.count(), [&](int line, OrderRowIndex::Hint& hint, std::vector<ListedLine>& out) {
    const int o = index.firstWhere(stock.key(line), hint, [&](int r) { return customerOk[static_cast<size_t>(r)] != 0; });
    if (o == 0 || !orderOk[static_cast<size_t>(o)]) return;
    if (!allProducts && stock.cell(line, StockCell::LineCategory) != f.productCategory) return;
    out.push_back({line, o});
  });
  return listingOf(db, std::move(hits));
}

void prepare(SearchBoxes& f) {
  QString* boxes[] = {&f.Text1, &f.Text2, &f.Text3, &f.Text4, &f.Text5, &f.Text6};
  for (QString* b : boxes) *b = SearchFields::trimBlanks(*b);
  for (QString* b : boxes) *b = FirstLine(*b);
}

QString dateMessage(const SearchBoxes& f) {
  return SearchFields::isDateBox(f.Text4) && SearchFields::isDateBox(f.Text5) ? QString() : DateMessage;
}

void orderRange(SearchBoxes& f) { SearchFields::orderRange(f.Text4, f.Text5); }

Listing StockSearch(const Database& db, const SearchBoxes& f) {
  const Table& stock = db.Stock;
  const Table& order = db.Order;
  const OrderRowIndex index(order);
  const OrderList::OrderFilter test = stateAndPeriod(f.Option1, f.Option2, kAll, {});
  const bool anyDate = SearchFields::openRange(f.Text4, f.Text5);
  const std::vector<char> orderOk = markRows(order.count(), [&](int r) {
    if (!test.passesShipping(order.cell(r, OrderCell::ShippingState))) return false;
    SearchFields::DateKeyBuffer key;
    return anyDate ||
           SearchFields::inRange(SearchFields::DateKey(order.cell(r, OrderCell::OrderDate), key), f.Text4, f.Text5);
  });
  const bool allProducts = f.category == kAll;
  const CellSearch inNo(stock, f.Text1), inName(stock, f.Text2), inNote(stock, f.Text3), inUrl(stock, f.Text6);
  auto hits = collectInSlices<ListedLine>(stock.count(), [&](int line, OrderRowIndex::Hint& hint, std::vector<ListedLine>& out) {
    // The line's own cells first: most lines stop there.
    if (!allProducts && stock.cell(line, StockCell::LineCategory) != f.category) return;
    if (!inNo(line, StockCell::LineOrderNo)) return;
    if (!inName(line, StockCell::LineName)) return;
    if (!inNote(line, StockCell::LineNote)) return;
    if (!inUrl(line, StockCell::LineUrl)) return;
    const int o = index.first(stock.key(line), hint);
    if (o == 0 || !orderOk[static_cast<size_t>(o)]) return;
    out.push_back({line, o});
  });
  return listingOf(db, std::move(hits));
}

std::vector<int> ordersOfLines(const Database& db, const QStringList& orderNos) {
  if (orderNos.isEmpty()) return {};
  // Each number once, in the order it first comes (k: its place in orderNos, from 1).
  HashedRows wanted(static_cast<size_t>(orderNos.size()));
  std::vector<int> distinct;
  for (qsizetype i = 0; i < orderNos.size(); ++i) {
    const QString& no = orderNos[i];
    if (!wanted.insert(keyHash(no), static_cast<int>(i) + 1, [&](int k) { return orderNos[k - 1] == no; }))
      distinct.push_back(static_cast<int>(i) + 1);
  }
  // The first Order row of each, in one pass over Order.
  const Table& order = db.Order;
  const auto found = collectInSlices<std::pair<int, int>>(
      order.count(), [&](int r, OrderRowIndex::Hint&, std::vector<std::pair<int, int>>& out) {
        const QString& no = order.key(r);
        if (const int k = wanted.find(keyHash(no), [&](int w) { return orderNos[w - 1] == no; })) out.emplace_back(k, r);
      });
  std::vector<int> first(static_cast<size_t>(orderNos.size()) + 1, 0);
  for (const auto& [k, r] : found)  // in row order: the first row of a number comes first
    if (!first[static_cast<size_t>(k)]) first[static_cast<size_t>(k)] = r;
  std::vector<int> out;
  for (const int k : distinct)
    if (first[static_cast<size_t>(k)]) out.push_back(first[static_cast<size_t>(k)]);
  return out;
}

}  // namespace StockList
