#include "models/StockList.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>

#include "models/LineFigures.h"
#include "models/OrderList.h"
#include "models/OrderRowIndex.h"
#include "models/SearchFields.h"
#include "platform/Numbers.h"
#include "store/CaselessSearch.h"
#include "store/Database.h"
#include "store/HashedRows.h"
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
      const QString total = SearchFields::token(amount, 0).toString();
      d.share = Num::leading(total) / lines;
      d.lineShare = Decimal::fromDouble(d.share);
      if (lines >= 1 && lines <= 1e9 && lines == std::floor(lines)) {
        d.lines = static_cast<int>(lines);
        d.lastShare = Decimal::leading(total) - d.lineShare * Decimal(d.lines - 1);
      }
      d.text = !withText       ? QString()
               : d.share < 0 ? u'+' + Num::format(std::fabs(d.share))
                             : u'-' + Num::format(d.share);
    }
  }
  return d;
}

Decimal lineShare(const OrderDiscount& d, int place) {
  return d.lines != 0 && place == d.lines ? d.lastShare : d.lineShare;
}

namespace {
// The net amount of price times quantity.
Decimal netAmount(Decimal net, const OrderDiscount& d, int place) {
  if (d.percent) {
    // The percent paid, rounded half away from zero line by line.
    const double amount = net.toDouble();
    const double v = amount * d.percentValue / 100 + (amount > 0 ? 0.5 : -0.5);
    net = Decimal::fromDouble(std::trunc(v));
  }
  if (d.amount) net -= lineShare(d, place);
  return net;
}
}  // namespace

Decimal LineNetAmount(const Table& stock, int line, const OrderDiscount& d, int place) {
  return netAmount(Decimal::leading(stock.cell(line, StockCell::LinePrice)) *
                       Decimal::leading(stock.cell(line, StockCell::LineQty)),
                   d, place);
}

void Totals::addLine(const Table& stock, int line, const OrderDiscount& d, int place) {
  const Decimal q = Decimal::leading(stock.cell(line, StockCell::LineQty));
  qty += q;
  price += netAmount(Decimal::leading(stock.cell(line, StockCell::LinePrice)) * q, d, place);
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

QStringList row(const Table& stock, int line, const OrderDiscount& d) {
  QStringList cells;
  cells.reserve(ColumnCount);
  cells << stock.key(line) << stock.cell(line, StockCell::LineName) << stock.cell(line, StockCell::LineCategory)
        << stock.cell(line, StockCell::LinePrice) << stock.cell(line, StockCell::LineCost)
        << stock.cell(line, StockCell::LineQty) << d.text << stock.cell(line, StockCell::LineNote)
        << stock.cell(line, StockCell::LineUrl);
  return cells;
}

// ---- listed rows ----

// The lines of a listing: given one by one, or marked in a bitmap over the
// Stock rows (bit k of word w: row 64w + k + 1), each joined to the first
// Order row of its number unless `joined` names another.
struct ListedRows::Data {
  const Table* stock = nullptr;
  const Table* order = nullptr;
  std::vector<ListedLine> lines;
  std::vector<uint64_t> marks;
  std::vector<uint32_t> before;  // the lines marked in the words before each word
  size_t marked = 0;
  std::shared_ptr<const LineFigures::Joins> joins;  // the first Order row of each line's number
  std::vector<ListedLine> joined;  // lines joined to another row of their number, by line

  mutable std::atomic<size_t> lastWord{0};  // where the last row was found: rows are mostly read in order

  size_t size() const { return marks.empty() ? lines.size() : marked; }
  // The word holding the i-th marked line.
  size_t wordOf(size_t i) const {
    const auto holds = [&](size_t w) {
      return before[w] <= i && i < before[w] + static_cast<size_t>(__builtin_popcountll(marks[w]));
    };
    size_t w = lastWord.load(std::memory_order_relaxed);
    if (w < marks.size() && holds(w)) return w;
    if (w + 1 < marks.size() && holds(w + 1)) {
      w = w + 1;
    } else {
      // The last word with no more than i lines marked before it.
      w = static_cast<size_t>(std::upper_bound(before.begin(), before.end(), static_cast<uint32_t>(i)) - before.begin()) - 1;
    }
    lastWord.store(w, std::memory_order_relaxed);
    return w;
  }
  ListedLine at(size_t i) const {
    if (marks.empty()) return lines[i];
    const size_t w = wordOf(i);
    // The k-th set bit: whole bytes skipped by their counts, then bit by bit.
    uint64_t bits = marks[w];
    size_t k = i - before[w];
    int shift = 0;
    for (int count; (count = __builtin_popcountll(bits & 0xFF)) <= static_cast<int>(k); bits >>= 8, shift += 8)
      k -= static_cast<size_t>(count);
    for (; k > 0; --k) bits &= bits - 1;
    const int line = static_cast<int>(w * 64) + shift + __builtin_ctzll(bits) + 1;
    if (!joined.empty()) {
      const auto it = std::lower_bound(joined.begin(), joined.end(), line,
                                       [](const ListedLine& l, int x) { return l.line < x; });
      if (it != joined.end() && it->line == line) return *it;
    }
    return {line, (*joins)[static_cast<size_t>(line - 1)]};
  }
};

namespace {

class ListedSource : public ListRowSource {
 public:
  explicit ListedSource(ListedRows rows) : rows_(std::move(rows)) {}
  int rowCount() const override { return static_cast<int>(rows_.size()); }
  QString text(int row, int column) const override {
    return row >= 0 && static_cast<size_t>(row) < rows_.size() ? rows_.text(static_cast<size_t>(row), column) : QString();
  }
  const ListedRows& rows() const { return rows_; }

 private:
  ListedRows rows_;
};

}  // namespace

ListedRows::ListedRows(const Database& db, std::vector<ListedLine> lines) {
  auto d = std::make_shared<Data>();
  d->stock = &db.Stock;
  d->order = &db.Order;
  d->lines = std::move(lines);
  data_ = std::move(d);
}

size_t ListedRows::size() const { return data_ ? data_->size() : 0; }

ListedLine ListedRows::at(size_t i) const { return data_->at(i); }

QStringList ListedRows::operator[](size_t i) const {
  const ListedLine l = data_->at(i);
  return row(*data_->stock, l.line, orderDiscount(*data_->order, l.order));
}

QString ListedRows::text(size_t i, int column) const {
  const ListedLine l = data_->at(i);
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

const ListedRows* ListedRows::of(const ListRowSource* source) {
  const auto* s = dynamic_cast<const ListedSource*>(source);
  return s ? &s->rows() : nullptr;
}

namespace {

// The totals of listed lines, added slice by slice: the kept figures of a
// line as whole millionths, and what they cannot hold (a line whose cells
// are no plain numbers, a percent's result out of range, the shares of an
// amount) as decimals. Exact either way, so slices add up in any order.
struct SliceTotals {
  __int128 qty = 0, price = 0, cost = 0;  // millionths
  Totals rest;
  int order = -1;  // the order whose discount is at hand: the lines of an order mostly follow each other
  OrderDiscount discount;
  bool discounted = false;

  void add(const Table& stock, const Table& orders, int line, const LineFigures::Line& f, int o) {
    if (o != order) {
      order = o;
      discounted = orders.valueId(o, OrderCell::DiscountPercent) != 0 || orders.valueId(o, OrderCell::DiscountAmount) != 0;
      discount = discounted ? orderDiscount(orders, o, false) : OrderDiscount{};
      discounted = discount.percent || discount.amount;
    }
    if (!f.exact) {
      rest.addLine(stock, line, discount, f.place);
      return;
    }
    qty += f.qty;
    cost += f.cost;
    if (!discounted) {
      price += f.sales;
      return;
    }
    if (discount.percent) {
      // As netAmount does it, on the same double.
      const double amount = static_cast<double>(f.sales) / LineFigures::kUnit;
      const double net = std::trunc(amount * discount.percentValue / 100 + (amount > 0 ? 0.5 : -0.5));
      if (std::fabs(net) < 1e12) price += static_cast<__int128>(static_cast<int64_t>(net)) * LineFigures::kUnit;
      else rest.price += Decimal::fromDouble(net);
    } else {
      price += f.sales;
    }
    if (discount.amount) rest.price -= lineShare(discount, f.place);
  }
  void add(const SliceTotals& o) {
    qty += o.qty;
    price += o.price;
    cost += o.cost;
    rest.qty += o.rest.qty;
    rest.price += o.rest.price;
    rest.cost += o.rest.cost;
  }
  Totals value() const {
    Totals t;
    t.qty = Decimal::scaled(qty, 6) + rest.qty;
    t.price = Decimal::scaled(price, 6) + rest.price;
    t.cost = Decimal::scaled(cost, 6) + rest.cost;
    return t;
  }
};

// The lines that pass: listed(line, its figures) gives the Order row a
// line is listed with, 0 when it is not listed. One pass over the kept
// figures on several threads, each slice of whole bitmap words marking its
// lines and adding them into totals of its own.
template <typename Listed>
Listing listLines(const Database& db, const LineFigures& lf, Listed&& listed) {
  auto d = std::make_shared<ListedRows::Data>();
  d->stock = &db.Stock;
  d->order = &db.Order;
  const size_t lines = static_cast<size_t>(lf.lineCount());
  const size_t words = (lines + 63) / 64;
  d->marks.assign(words, 0);
  d->before.assign(words, 0);
  std::mutex m;
  std::vector<std::pair<size_t, SliceTotals>> parts;
  std::vector<std::pair<size_t, std::vector<ListedLine>>> joinedParts;
  forEachSlice(words, 256, [&](size_t from, size_t to) {
    SliceTotals totals;
    std::vector<ListedLine> joined;
    uint32_t count = 0;
    for (size_t w = from; w < to; ++w) {
      uint64_t bits = 0;
      const size_t last = std::min(lines, (w + 1) * 64);
      for (size_t k = w * 64; k < last; ++k) {
        const int line = static_cast<int>(k) + 1;
        const LineFigures::Line& f = lf.line(line);
        const int o = listed(line, f);
        if (!o) continue;
        bits |= uint64_t{1} << (k - w * 64);
        if (o != f.order) joined.push_back({line, o});
        totals.add(db.Stock, db.Order, line, f, o);
      }
      d->marks[w] = bits;
      d->before[w] = count;  // within the slice for now
      count += static_cast<uint32_t>(__builtin_popcountll(bits));
    }
    const std::lock_guard<std::mutex> lock(m);
    parts.emplace_back(from, totals);
    if (!joined.empty()) joinedParts.emplace_back(from, std::move(joined));
  });
  std::sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::sort(joinedParts.begin(), joinedParts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  // The slices' counts follow each other.
  SliceTotals all;
  uint32_t base = 0;
  for (size_t p = 0; p < parts.size(); ++p) {
    const size_t from = parts[p].first;
    const size_t to = p + 1 < parts.size() ? parts[p + 1].first : words;
    all.add(parts[p].second);
    uint32_t end = base;
    for (size_t w = from; w < to; ++w) {
      d->before[w] += base;
      end = d->before[w] + static_cast<uint32_t>(__builtin_popcountll(d->marks[w]));
    }
    base = end;
  }
  d->marked = base;
  for (auto& [from, joined] : joinedParts) d->joined.insert(d->joined.end(), joined.begin(), joined.end());
  d->joins = lf.joins();
  Listing out;
  out.totals = all.value();
  out.rows = ListedRows(std::move(d));
  if (!out.totals.qty.isExact() || !out.totals.price.isExact() || !out.totals.cost.isExact()) {
    // Sums beyond what a decimal holds are rounded at every step: then they
    // are made in one pass in list order, the order money is summed in.
    out.totals = Totals{};
    for (size_t i = 0; i < out.rows.size(); ++i) {
      const ListedLine l = out.rows.at(i);
      out.totals.addLine(db.Stock, l.line, orderDiscount(db.Order, l.order, false), lf.line(l.line).place);
    }
  }
  return out;
}

}  // namespace

Listing StockShow(const Database& db, const Filter& f) {
  const Table& order = db.Order;
  std::shared_ptr<const LineFigures> figures = LineFigures::of(db);
  const OrderList::OrderFilter test = stateAndPeriod(f.unshipped, f.shipped, f.period, f.year);
  // The order's tests, once per order: its customer category decides which
  // row of a number a line joins; its state and date whether it is listed.
  const std::vector<char> orderOk = markRows(order.count(), [&](int r) {
    return test.passesShipping(order.cell(r, OrderCell::ShippingState)) &&
           test.passesPeriod(order.cell(r, OrderCell::OrderDate));
  });
  std::vector<char> customerOk;
  std::unique_ptr<OrderRowIndex> index;
  if (!f.allCustomers) {
    customerOk = markRows(order.count(),
                          [&](int r) { return order.cell(r, OrderCell::BuyerCategory) == f.customerCategory; });
    index = std::make_unique<OrderRowIndex>(order);
  }
  const bool allProducts = f.productCategory == kAll;
  const int category = allProducts ? -1 : figures->categoryNumber(f.productCategory);
  const LineFigures& lf = *figures;
  return listLines(db, lf, [&](int, const LineFigures::Line& line) {
    int o = line.order;
    if (!o) return 0;
    if (!f.allCustomers) {
      while (o && !customerOk[static_cast<size_t>(o)]) o = index->next(o);
      if (!o) return 0;
    }
    if (!orderOk[static_cast<size_t>(o)]) return 0;
    if (!allProducts && lf.product(line.product).categoryNumber != category) return 0;
    return o;
  });
}

void prepare(SearchBoxes& f) {
  QString* boxes[] = {&f.orderNo, &f.productName, &f.lineNote, &f.dateFrom, &f.dateTo, &f.lineUrl};
  for (QString* b : boxes) *b = SearchFields::trimBlanks(*b);
  for (QString* b : boxes) *b = FirstLine(*b);
}

QString dateMessage(const SearchBoxes& f) {
  return SearchFields::isDateBox(f.dateFrom) && SearchFields::isDateBox(f.dateTo) ? QString() : DateMessage;
}

void orderRange(SearchBoxes& f) { SearchFields::orderRange(f.dateFrom, f.dateTo); }

Listing StockSearch(const Database& db, const SearchBoxes& f) {
  const Table& stock = db.Stock;
  const Table& order = db.Order;
  std::shared_ptr<const LineFigures> figures = LineFigures::of(db);
  const OrderList::OrderFilter test = stateAndPeriod(f.unshipped, f.shipped, kAll, {});
  const bool anyDate = SearchFields::openRange(f.dateFrom, f.dateTo);
  const std::vector<char> orderOk = markRows(order.count(), [&](int r) {
    if (!test.passesShipping(order.cell(r, OrderCell::ShippingState))) return false;
    SearchFields::DateKeyBuffer key;
    return anyDate ||
           SearchFields::inRange(SearchFields::DateKey(order.cell(r, OrderCell::OrderDate), key), f.dateFrom, f.dateTo);
  });
  const bool allProducts = f.category == kAll;
  const int category = allProducts ? -1 : figures->categoryNumber(f.category);
  const CellSearch inNo(stock, f.orderNo), inName(stock, f.productName), inNote(stock, f.lineNote),
      inUrl(stock, f.lineUrl);
  const LineFigures& lf = *figures;
  return listLines(db, lf, [&](int line, const LineFigures::Line& l) {
    // The order and the line's category first: most lines stop there.
    if (!l.order || !orderOk[static_cast<size_t>(l.order)]) return 0;
    if (!allProducts && lf.product(l.product).categoryNumber != category) return 0;
    if (!inNo(line, StockCell::LineOrderNo) || !inName(line, StockCell::LineName) ||
        !inNote(line, StockCell::LineNote) || !inUrl(line, StockCell::LineUrl))
      return 0;
    return l.order;
  });
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
