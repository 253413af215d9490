#include "models/SalesRanking.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "models/LineFigures.h"
#include "models/OrderList.h"
#include "models/OrderRowIndex.h"
#include "models/ProductList.h"
#include "platform/Numbers.h"
#include "store/CsvFile.h"
#include "store/Database.h"
#include "store/Decimal.h"
#include "store/Parallel.h"
#include "store/TextEntry.h"

namespace SalesRanking {

namespace {

const QString kAll = QStringLiteral("全部");

struct Keyed {
  double rounded = 0;  // the quantity rounded half away from zero, as rankingKey rounds it
  long long whole = 0;
  size_t at = 0;  // position before sorting
};

// rankingKey(a) > rankingKey(b) in text order, without making the texts
// while both have ten digits or fewer: "-" stands below every digit, so a
// key of a negative quantity is below every other and the larger of two
// negative quantities the smaller key.
bool keyAbove(double a, double b) {
  const double limit = 1e10;
  if (std::fabs(a) >= limit || std::fabs(b) >= limit) return QString::compare(rankingKey(a), rankingKey(b)) > 0;
  const bool na = a < 0, nb = b < 0;
  if (na != nb) return nb;
  return na ? -a > -b : a > b;
}

// Sorts by key, highest first; equal keys keep their order.
void sortByKey(std::vector<Keyed>& v) {
  std::stable_sort(v.begin(), v.end(), [](const Keyed& a, const Keyed& b) { return keyAbove(a.rounded, b.rounded); });
}

// The quantity, sales and cost of one line, as a text cell would keep them.
struct LineSums {
  Decimal qty, sales, cost;
};
LineSums lineSums(const QString& qty, const QString& price, const QString& cost) {
  LineSums l;
  l.qty = Decimal::leading(qty).roundedToText();
  l.sales = (Decimal::leading(price) * l.qty).roundedToText();
  l.cost = (Decimal::leading(cost) * l.qty).roundedToText();
  return l;
}

// Element r is 1 when Order row r is dated in the filter's period.
std::vector<char> ordersInPeriod(const Table& order, const Filter& filter) {
  OrderList::OrderFilter period;
  period.period = filter.period;
  period.year = filter.year;
  return markRows(order.count(), [&](int r) { return period.passesPeriod(order.cell(r, OrderCell::OrderDate)); });
}

long long wholeOf(double rounded) {
  if (!(std::fabs(rounded) < 9e18))
    return rounded < 0 ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
  return static_cast<long long>(rounded);
}

}  // namespace

QStringList productCaptions() {
  return {QStringLiteral("商品名稱"), QStringLiteral("商品分類"), QStringLiteral("銷售量"), QStringLiteral("售價總額"),
          QStringLiteral("成本總額")};
}

QStringList categoryCaptions() { return {QStringLiteral("商品分類"), QStringLiteral("銷售量"), QStringLiteral("%")}; }

std::vector<int> productWidths() { return {4050, 1650, 1050, 1200, 1200}; }
std::vector<int> categoryWidths() { return {4050, 1650, 1050}; }

std::vector<int> selectLines(const Database& db, const Filter& filter) {
  const Table& stock = db.Stock;
  const Table& order = db.Order;
  if (stock.isEmpty() || order.isEmpty()) return {};
  const OrderRowIndex index(order);
  const std::vector<char> inPeriod = ordersInPeriod(order, filter);
  const bool allCategories = filter.category == kAll;
  return collectInSlices<int>(stock.count(), [&](int line, OrderRowIndex::Hint& hint, std::vector<int>& out) {
    const int o = index.first(stock.key(line), hint);
    if (o == 0 || !inPeriod[static_cast<size_t>(o)]) return;
    if (!allCategories && stock.cell(line, StockCell::LineCategory) != filter.category) return;
    out.push_back(line);
  });
}

QString rankingKey(double qty) {
  const double r = Num::roundHalfAwayFromZero(qty);
  const QString digits = QString::number(std::fabs(r), 'f', 0).rightJustified(10, u'0');
  return r < 0 ? u'-' + digits : digits;
}

QString shareText(long long qty, long long total) {
  const double pct = Num::roundHalfAwayFromZero(static_cast<double>(qty) * 100.0 / static_cast<double>(total), 1);
  return QString::number(pct, 'f', 1) + u'%';
}

// ---- the product ranking's rows ----

struct RankedRows::Data {
  std::vector<RankedProduct> ranked;
  std::vector<std::pair<Decimal, Decimal>> decimals;  // sales and cost of the rows not kept in millionths
};

namespace {
class RankedSource : public ListRowSource {
 public:
  explicit RankedSource(RankedRows rows) : rows_(std::move(rows)) {}
  int rowCount() const override { return static_cast<int>(rows_.size()); }
  QString text(int row, int column) const override {
    return row >= 0 && static_cast<size_t>(row) < rows_.size() ? rows_.text(static_cast<size_t>(row), column) : QString();
  }

 private:
  RankedRows rows_;
};
}  // namespace

RankedRows::RankedRows(std::vector<RankedProduct> ranked, std::vector<std::pair<Decimal, Decimal>> decimals) {
  auto d = std::make_shared<Data>();
  d->ranked = std::move(ranked);
  d->decimals = std::move(decimals);
  data_ = std::move(d);
}

size_t RankedRows::size() const { return data_ ? data_->ranked.size() : 0; }

QString RankedRows::text(size_t i, int column) const {
  const RankedProduct& p = data_->ranked[i];
  switch (column) {
    case Name: return p.name;
    case Category: return p.category;
    case Qty: return QString::number(p.whole);
    case Sales:
      return p.decimal < 0 ? LineFigures::text(p.sales) : data_->decimals[static_cast<size_t>(p.decimal)].first.toText();
    case Cost:
      return p.decimal < 0 ? LineFigures::text(p.cost) : data_->decimals[static_cast<size_t>(p.decimal)].second.toText();
    default: return {};
  }
}

QStringList RankedRows::operator[](size_t i) const {
  QStringList cells;
  cells.reserve(ProductColumns);
  for (int c = 0; c < ProductColumns; ++c) cells << text(i, c);
  return cells;
}

std::vector<QStringList> RankedRows::rows() const {
  std::vector<QStringList> out;
  out.reserve(size());
  for (size_t i = 0; i < size(); ++i) out.push_back((*this)[i]);
  return out;
}

std::shared_ptr<const ListRowSource> RankedRows::source() const { return std::make_shared<RankedSource>(*this); }

// ---- the rankings ----

namespace {

// A row of the product ranking while it is made: the line that opened it
// and its sums, in millionths while they stay below the bound, else (the
// product's rows are then all made from the cells) as decimals.
struct RankRow {
  int line = 0;
  int product = 0;
  int64_t qty = 0, sales = 0, cost = 0;
  int decimal = -1;  // its sums in the decimal rows
};

bool beyond(int64_t v) { return v >= LineFigures::kBound || v <= -LineFigures::kBound; }

}  // namespace

Ranking ManufTopShow(const Database& db, const Filter& filter) {
  Ranking out;
  const Table& stock = db.Stock;
  const Table& order = db.Order;
  if (stock.isEmpty() || order.isEmpty()) return out;
  const std::shared_ptr<const LineFigures> figures = LineFigures::of(db);
  const std::vector<char> inPeriod = ordersInPeriod(order, filter);
  const bool allCategories = filter.category == kAll;
  const int category = allCategories ? -1 : figures->categoryNumber(filter.category);
  if (!allCategories && category < 0) return out;  // no line has that category
  const auto selected = [&](const LineFigures::Line& f) {
    return f.order && inPeriod[static_cast<size_t>(f.order)] &&
           (allCategories || figures->product(f.product).categoryNumber == category);
  };

  // Merge: one row per line, except that the first line of a product with a
  // quantity above 0 takes in every later line of that product. The lines'
  // figures are added as whole millionths, which is exact while the sums
  // stay below the bound (a text cell would hold them unrounded); a product
  // with a line whose figures are not kept, or whose sums reach the bound,
  // is worked out again from its cells, as text cells would add it.
  const int lines = figures->lineCount();
  std::vector<int> taking(static_cast<size_t>(figures->productCount()) + 1, -1);
  std::vector<char> fromCells(taking.size(), 0);
  std::vector<RankRow> rows;
  rows.reserve(static_cast<size_t>(figures->productCount()) + 64);
  bool anyFromCells = false;
  for (int l = 1; l <= lines; ++l) {
    const LineFigures::Line& f = figures->line(l);
    if (!selected(f)) continue;
    const size_t p = static_cast<size_t>(f.product);
    if (fromCells[p]) continue;
    if (!f.exact) {
      fromCells[p] = 1;
      anyFromCells = true;
      continue;
    }
    const int t = taking[p];
    if (t >= 0) {
      RankRow& r = rows[static_cast<size_t>(t)];
      r.qty += f.qty;
      r.sales += f.sales;
      r.cost += f.cost;
      if (beyond(r.qty) || beyond(r.sales) || beyond(r.cost)) {
        fromCells[p] = 1;
        anyFromCells = true;
      }
      continue;
    }
    if (f.qty > 0) taking[p] = static_cast<int>(rows.size());
    rows.push_back({l, f.product, f.qty, f.sales, f.cost, -1});
  }
  std::vector<std::pair<Decimal, Decimal>> decimals;
  std::vector<Decimal> decimalQty;
  if (anyFromCells) {
    rows.erase(std::remove_if(rows.begin(), rows.end(), [&](const RankRow& r) { return fromCells[static_cast<size_t>(r.product)]; }),
               rows.end());
    std::vector<RankRow> again;
    std::vector<int> takingAgain(taking.size(), -1);
    for (int l = 1; l <= lines; ++l) {
      const LineFigures::Line& f = figures->line(l);
      if (!fromCells[static_cast<size_t>(f.product)] || !selected(f)) continue;
      const LineSums s = lineSums(stock.cell(l, StockCell::LineQty), stock.cell(l, StockCell::LinePrice),
                                  stock.cell(l, StockCell::LineCost));
      int& t = takingAgain[static_cast<size_t>(f.product)];
      if (t >= 0) {
        const size_t d = static_cast<size_t>(again[static_cast<size_t>(t)].decimal);
        decimalQty[d] = (decimalQty[d] + s.qty).roundedToText();
        decimals[d].first = (decimals[d].first + s.sales).roundedToText();
        decimals[d].second = (decimals[d].second + s.cost).roundedToText();
        continue;
      }
      if (!s.qty.isZero() && !s.qty.isNegative()) t = static_cast<int>(again.size());
      again.push_back({l, f.product, 0, 0, 0, static_cast<int>(decimals.size())});
      decimals.emplace_back(s.sales, s.cost);
      decimalQty.push_back(s.qty);
    }
    const size_t kept = rows.size();
    rows.insert(rows.end(), again.begin(), again.end());
    std::inplace_merge(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(kept), rows.end(),
                       [](const RankRow& a, const RankRow& b) { return a.line < b.line; });
  }

  // Drop the rows of 0, rank the rest by their whole quantity.
  std::vector<Keyed> ranked;
  ranked.reserve(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const RankRow& r = rows[i];
    const bool zero = r.decimal < 0 ? r.qty == 0 : decimalQty[static_cast<size_t>(r.decimal)].isZero();
    if (zero) continue;
    const double q = r.decimal < 0 ? static_cast<double>(r.qty) / LineFigures::kUnit
                                   : decimalQty[static_cast<size_t>(r.decimal)].toDouble();
    const double rounded = Num::roundHalfAwayFromZero(q);
    ranked.push_back({rounded, wholeOf(rounded), i});
  }
  sortByKey(ranked);
  std::vector<RankedProduct> products;
  products.reserve(ranked.size());
  std::vector<long long> categoryQty(static_cast<size_t>(figures->categoryCount()), 0);
  std::vector<int> categoryOrder;  // category numbers in the order their first product row stands
  std::vector<char> met(categoryQty.size(), 0);
  for (const Keyed& k : ranked) {
    const RankRow& r = rows[k.at];
    const LineFigures::Product& p = figures->product(r.product);
    products.push_back({p.name, p.category, k.whole, r.sales, r.cost, r.decimal});
    const size_t c = static_cast<size_t>(p.categoryNumber);
    if (!met[c]) {
      met[c] = 1;
      categoryOrder.push_back(p.categoryNumber);
    }
    categoryQty[c] += k.whole;
  }
  if (products.empty()) return out;
  out.products = RankedRows(std::move(products), std::move(decimals));

  // Categories in the order their first product row stands, then ranked.
  std::vector<Keyed> byQty;
  byQty.reserve(categoryOrder.size());
  for (size_t i = 0; i < categoryOrder.size(); ++i) {
    const long long q = categoryQty[static_cast<size_t>(categoryOrder[i])];
    byQty.push_back({static_cast<double>(q), q, i});
  }
  sortByKey(byQty);
  long long total = 0;
  for (const Keyed& k : byQty) {
    const int c = categoryOrder[k.at];
    out.categories.push_back({figures->categoryText(c), QString::number(k.whole), QString()});
    total += k.whole;
  }
  out.categories.push_back({TotalText, QString::number(total), QString()});
  if (total > 0)
    for (QStringList& c : out.categories)
      if (c[CategoryName] != TotalText) c[Share] = shareText(c[CategoryQty].toLongLong(), total);
  return out;
}

std::optional<int> ManufCount(const Database& db, const Filter& filter, const QString& name, const QString& category) {
  Decimal sum;
  const Table& stock = db.Stock;
  for (const int line : selectLines(db, filter))
    if (stock.cell(line, StockCell::LineName) == name && stock.cell(line, StockCell::LineCategory) == category)
      sum += Decimal::leading(stock.cell(line, StockCell::LineQty));
  const double r = Num::roundHalfEven(sum.toDouble());
  if (!(r >= std::numeric_limits<int>::min() && r <= std::numeric_limits<int>::max())) return std::nullopt;
  return static_cast<int>(r);
}

QString exportFileName(const QString& year, const QString& period, bool categories) {
  return year + QStringLiteral("年") + period + (categories ? QStringLiteral("分類排行") : QStringLiteral("商品排行"));
}

QString csvText(const std::vector<QStringList>& rows) {
  QString text;
  for (const QStringList& row : rows) {
    QStringList fields;
    fields.reserve(row.size());
    for (const QString& cell : row) fields << TextEntry::withoutCrLf(cell);
    text += Csv::record(fields);
    text += QStringLiteral("\r\n");
  }
  return text;
}

std::vector<int> productRows(const Table& manuf, const QString& name, const QString& category) {
  std::vector<int> out;
  for (int k = 1, n = manuf.count(); k <= n; ++k)
    if (manuf.key(k) == name && manuf.cell(k, ManufCell::ProductCategory) == category) out.push_back(k);
  return out;
}

QString productDataText(const Table& manuf, int k) {
  return QStringLiteral("名稱：") + manuf.key(k) + u'\n' + QStringLiteral("分類：") +
         manuf.cell(k, ManufCell::ProductCategory) + u'\n' + QStringLiteral("售價：") +
         manuf.cell(k, ManufCell::ProductPrice) + u'\n' + QStringLiteral("成本：") +
         manuf.cell(k, ManufCell::ProductCost) + u'\n' + QStringLiteral("庫存：") +
         manuf.cell(k, ManufCell::ProductStock) + u'\n' + QStringLiteral("備註：") +
         manuf.cell(k, ManufCell::ProductNote) + u'\n' + QStringLiteral("安全存量：") +
         manuf.cell(k, ManufCell::SafetyStock);
}

ProductWindowRows productWindowRows(const Table& manuf, const std::vector<int>& rows, const ProductList::Options& view) {
  ProductWindowRows out;
  for (const int k : rows) {
    QStringList cells;
    cells.reserve(ProductList::ColumnCount);
    cells << manuf.key(k) << manuf.cell(k, ManufCell::ProductCategory)
          << (view.showPrice ? manuf.cell(k, ManufCell::ProductPrice) : QString())
          << (view.showCost ? manuf.cell(k, ManufCell::ProductCost) : QString())
          << (view.showStock ? manuf.cell(k, ManufCell::ProductStock) : QString())
          << (view.showNote ? manuf.cell(k, ManufCell::ProductNote) : QString())
          << manuf.cell(k, ManufCell::SafetyStock) << manuf.cell(k, ManufCell::ProductWeight) << QString::number(k);
    if (view.safeRed && Num::leading(cells[ProductList::Safety]) > Num::leading(cells[ProductList::Stock]))
      out.redRows.push_back(static_cast<int>(out.rows.size()));
    out.rows.push_back(std::move(cells));
  }
  return out;
}

}  // namespace SalesRanking
