#include "reports/SalesRanking.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "mainwindow/OrderList.h"
#include "products/ProductList.h"
#include "reports/OrderRowIndex.h"
#include "store/CsvFile.h"
#include "store/Database.h"
#include "store/Decimal.h"
#include "store/HashedRows.h"
#include "store/Numbers.h"
#include "store/Parallel.h"
#include "store/TextEntry.h"

namespace SalesRanking {

namespace {

const QString kAll = QStringLiteral("全部");

struct ProductSum {
  int line = 0;   // the line that opened the row (its name and category)
  size_t at = 0;  // its place among the selected lines
  Decimal qty, sales, cost;
};

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

// Numbers for the category texts of lines (equal texts, equal numbers),
// looked up once per value number of the cell.
class CategoryNumbers {
 public:
  CategoryNumbers() { ids_.fill(UINT32_MAX); }
  // The number of the text of value number id.
  int of(const Table& stock, uint32_t id) {
    const size_t k = id & (kMemo - 1);
    if (ids_[k] != id) {
      ids_[k] = id;
      const QString& text = stock.valueText(id);
      auto it = numbers_.constFind(text);
      if (it == numbers_.constEnd()) it = numbers_.insert(text, static_cast<int>(numbers_.size()));
      memo_[k] = *it;
    }
    return memo_[k];
  }

 private:
  static constexpr size_t kMemo = 256;
  std::array<uint32_t, kMemo> ids_;
  std::array<int, kMemo> memo_{};
  QHash<QStringView, int> numbers_;
};

long long wholeQty(const Decimal& qty) {
  const double r = Num::roundHalfAwayFromZero(qty.toDouble());
  if (!(std::fabs(r) < 9e18)) return r < 0 ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
  return static_cast<long long>(r);
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
  OrderList::OrderFilter period;
  period.period = filter.period;
  period.year = filter.year;
  const std::vector<char> inPeriod =
      markRows(order.count(), [&](int r) { return period.passesPeriod(order.cell(r, OrderCell::OrderDate)); });
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

RankedRows::RankedRows(std::vector<RankedProduct> ranked) {
  auto d = std::make_shared<Data>();
  d->ranked = std::move(ranked);
  data_ = std::move(d);
}

size_t RankedRows::size() const { return data_ ? data_->ranked.size() : 0; }

QString RankedRows::text(size_t i, int column) const {
  const RankedProduct& p = data_->ranked[i];
  switch (column) {
    case Name: return p.name;
    case Category: return p.category;
    case Qty: return QString::number(p.whole);
    case Sales: return p.sales.toText();
    case Cost: return p.cost.toText();
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

Ranking ManufTopShow(const Database& db, const Filter& filter) {
  Ranking out;
  const Table& stock = db.Stock;
  const std::vector<int> lines = selectLines(db, filter);
  const size_t n = lines.size();

  // Merge: one row per line, except that the first line of a product with a
  // quantity above 0 takes in every later line of that product. Products
  // fall into parts by their hash; each part walks its lines in their order
  // on a thread of its own, so the sums of a product are made in line order.
  // The lines go in blocks: what a part needs of a line is gathered for the
  // whole block first, reading Stock in row order.
  constexpr size_t kParts = 16;
  constexpr size_t kBlock = 1 << 17;
  struct LineInfo {
    uint64_t hash;
    const QChar* name;
    uint32_t nameLength;
    uint32_t categoryId, qtyId, priceId, costId;
  };
  std::vector<LineInfo> info(std::min(n, kBlock));
  std::vector<std::vector<uint32_t>> partLines(kParts);
  struct Part {
    TextKeyTable products{64};  // (name, category number) -> product number, from 1
    std::vector<long> taking;   // of each product: its row that takes in later lines, -1 none
    CategoryNumbers categories;
    std::vector<ProductSum> rows;
  };
  std::vector<Part> parts(kParts);
  for (size_t block = 0; block < n; block += kBlock) {
    const size_t blockSize = std::min(kBlock, n - block);
    forEachSlice(blockSize, 16384, [&](size_t from, size_t to) {
      for (size_t k = from; k < to; ++k) {
        const int line = lines[block + k];
        const QString& name = stock.cell(line, StockCell::LineName);
        LineInfo& li = info[k];
        li.hash = keyHash(name, stock.cell(line, StockCell::LineCategory));
        li.name = name.constData();
        li.nameLength = static_cast<uint32_t>(name.size());
        li.categoryId = stock.valueId(line, StockCell::LineCategory);
        li.qtyId = stock.valueId(line, StockCell::LineQty);
        li.priceId = stock.valueId(line, StockCell::LinePrice);
        li.costId = stock.valueId(line, StockCell::LineCost);
      }
    });
    for (auto& p : partLines) p.clear();
    for (size_t k = 0; k < blockSize; ++k) partLines[info[k].hash & (kParts - 1)].push_back(static_cast<uint32_t>(k));

    forEachSlice(kParts, 1, [&](size_t fromPart, size_t toPart) {
      for (size_t p = fromPart; p < toPart; ++p) {
        const std::vector<uint32_t>& mine = partLines[p];
        Part& part = parts[p];
        // Lines go in groups: the memory reads of a group are started
        // together, then its lines are merged one after another.
        constexpr size_t kGroup = 16;
        struct Ask {
          QStringView name;
          int category;
          size_t at;
        } ask[kGroup];
        auto prefetchGroup = [&](size_t g) {
          for (size_t k = g; k < std::min(mine.size(), g + kGroup); ++k) __builtin_prefetch(&info[mine[k]]);
        };
        prefetchGroup(0);
        prefetchGroup(kGroup);
        for (size_t g = 0; g < mine.size(); g += kGroup) {
          const size_t count = std::min(kGroup, mine.size() - g);
          prefetchGroup(g + 2 * kGroup);
          for (size_t k = 0; k < count; ++k) {
            const LineInfo& li = info[mine[g + k]];
            ask[k].name = QStringView(li.name, li.nameLength);
            __builtin_prefetch(li.name);
            ask[k].category = part.categories.of(stock, li.categoryId);
            part.products.prefetch(li.hash);
            for (const uint32_t id : {li.qtyId, li.priceId, li.costId}) __builtin_prefetch(&stock.valueText(id));
          }
          const size_t capacity = part.products.capacity();
          for (size_t k = 0; k < count; ++k) {
            ask[k].at = part.products.candidate(info[mine[g + k]].hash, ask[k].name, ask[k].category);
            // The row the line most likely adds to.
            if (const int product = part.products.valueAt(ask[k].at)) {
              const long t = part.taking[static_cast<size_t>(product - 1)];
              if (t >= 0) {
                const char* row = reinterpret_cast<const char*>(&part.rows[static_cast<size_t>(t)]);
                for (size_t b = 0; b < sizeof(ProductSum); b += 64) __builtin_prefetch(row + b, 1);
              }
            }
          }
          for (size_t k = 0; k < count; ++k) {
            const size_t i = block + mine[g + k];
            const LineInfo& li = info[mine[g + k]];
            const Ask& a = ask[k];
            int product = part.products.capacity() == capacity
                              ? part.products.find(li.hash, a.name, a.category, a.at)
                              : part.products.find(li.hash, a.name, a.category);
            if (product == 0) {
              product = static_cast<int>(part.taking.size()) + 1;
              part.products.insert(li.hash, a.name, a.category, product);
              part.taking.push_back(-1);
            }
            const LineSums l = lineSums(stock.valueText(li.qtyId), stock.valueText(li.priceId), stock.valueText(li.costId));
            long& t = part.taking[static_cast<size_t>(product - 1)];
            if (t >= 0) {
              ProductSum& s = part.rows[static_cast<size_t>(t)];
              s.qty = (s.qty + l.qty).roundedToText();
              s.sales = (s.sales + l.sales).roundedToText();
              s.cost = (s.cost + l.cost).roundedToText();
              continue;
            }
            if (!l.qty.isZero() && !l.qty.isNegative()) t = static_cast<long>(part.rows.size());
            part.rows.push_back({lines[i], i, l.qty, l.sales, l.cost});
          }
        }
      }
    });
  }
  std::vector<std::vector<ProductSum>> partRows(kParts);
  for (size_t p = 0; p < kParts; ++p) partRows[p] = std::move(parts[p].rows);
  std::vector<ProductSum> rows;
  {
    size_t total = 0;
    for (const auto& r : partRows) total += r.size();
    rows.reserve(total);
    for (auto& r : partRows) rows.insert(rows.end(), r.begin(), r.end());
    std::sort(rows.begin(), rows.end(), [](const ProductSum& a, const ProductSum& b) { return a.at < b.at; });
  }

  // Drop the rows of 0, rank the rest by their whole quantity.
  std::vector<Keyed> ranked;
  ranked.reserve(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].qty.isZero()) continue;
    const double q = rows[i].qty.toDouble();
    ranked.push_back({Num::roundHalfAwayFromZero(q), wholeQty(rows[i].qty), i});
  }
  sortByKey(ranked);
  std::vector<RankedProduct> products;
  products.reserve(ranked.size());
  for (const Keyed& k : ranked) {
    const ProductSum& s = rows[k.at];
    products.push_back({stock.cell(s.line, StockCell::LineName), stock.cell(s.line, StockCell::LineCategory), k.whole,
                        s.sales, s.cost});
  }
  if (products.empty()) return out;

  // Categories in the order their first product row stands, then ranked.
  std::vector<std::pair<QString, long long>> categories;
  QHash<QStringView, size_t> categoryAt;
  for (const RankedProduct& p : products) {
    const QString& c = p.category;
    const auto it = categoryAt.constFind(c);
    if (it == categoryAt.constEnd()) {
      categoryAt.insert(c, categories.size());
      categories.emplace_back(c, p.whole);
    } else {
      categories[*it].second += p.whole;
    }
  }
  out.products = RankedRows(std::move(products));
  std::vector<Keyed> byQty;
  byQty.reserve(categories.size());
  for (size_t i = 0; i < categories.size(); ++i)
    byQty.push_back({static_cast<double>(categories[i].second), categories[i].second, i});
  sortByKey(byQty);
  long long total = 0;
  for (const Keyed& k : byQty) {
    out.categories.push_back({categories[k.at].first, QString::number(k.whole), QString()});
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
