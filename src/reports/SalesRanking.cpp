#include "reports/SalesRanking.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <limits>

#include "mainwindow/OrderList.h"
#include "products/ProductList.h"
#include "reports/OrderRowIndex.h"
#include "store/CsvFile.h"
#include "store/Database.h"
#include "store/Decimal.h"
#include "store/Numbers.h"

namespace SalesRanking {

namespace {

const QString kAll = QStringLiteral("全部");

struct ProductSum {
  int line = 0;  // the line that opened the row (its name and category)
  Decimal qty, sales, cost;
};

struct Keyed {
  QString key;
  long long whole = 0;
  size_t at = 0;  // position before sorting
};

// Sorts by key text, highest first; equal keys keep their order.
void sortByKey(std::vector<Keyed>& v) {
  std::stable_sort(v.begin(), v.end(), [](const Keyed& a, const Keyed& b) { return QString::compare(a.key, b.key) > 0; });
}

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

Ranking ManufTopShow(const Database& db, const Filter& filter) {
  Ranking out;
  const Table& stock = db.Stock;
  const std::vector<int> lines = selectLines(db, filter);

  // Merge: one row per line, except that the first line of a product with a
  // quantity above 0 takes in every later line of that product.
  std::vector<ProductSum> rows;
  rows.reserve(lines.size());
  QHash<std::pair<QStringView, QStringView>, size_t> taking;  // product -> its row that takes in later lines
  taking.reserve(static_cast<qsizetype>(lines.size()));
  for (const int line : lines) {
    const Decimal qty = Decimal::leading(stock.cell(line, StockCell::LineQty)).roundedToText();
    const Decimal sales = (Decimal::leading(stock.cell(line, StockCell::LinePrice)) * qty).roundedToText();
    const Decimal cost = (Decimal::leading(stock.cell(line, StockCell::LineCost)) * qty).roundedToText();
    const std::pair<QStringView, QStringView> product(stock.cell(line, StockCell::LineName),
                                                      stock.cell(line, StockCell::LineCategory));
    const auto it = taking.constFind(product);
    if (it != taking.constEnd()) {
      ProductSum& s = rows[*it];
      s.qty = (s.qty + qty).roundedToText();
      s.sales = (s.sales + sales).roundedToText();
      s.cost = (s.cost + cost).roundedToText();
      continue;
    }
    if (!qty.isZero() && !qty.isNegative()) taking.insert(product, rows.size());
    rows.push_back({line, qty, sales, cost});
  }

  // Drop the rows of 0, rank the rest by their whole quantity.
  std::vector<Keyed> ranked;
  ranked.reserve(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].qty.isZero()) continue;
    const double q = rows[i].qty.toDouble();
    ranked.push_back({rankingKey(q), wholeQty(rows[i].qty), i});
  }
  sortByKey(ranked);
  out.products.reserve(ranked.size());
  for (const Keyed& k : ranked) {
    const ProductSum& s = rows[k.at];
    out.products.push_back({stock.cell(s.line, StockCell::LineName), stock.cell(s.line, StockCell::LineCategory),
                            QString::number(k.whole), s.sales.toText(), s.cost.toText()});
  }
  if (out.products.empty()) return out;

  // Categories in the order their first product row stands, then ranked.
  std::vector<std::pair<QString, long long>> categories;
  QHash<QString, size_t> categoryAt;
  for (size_t i = 0; i < ranked.size(); ++i) {
    const QString& c = out.products[i][Category];
    const auto it = categoryAt.constFind(c);
    if (it == categoryAt.constEnd()) {
      categoryAt.insert(c, categories.size());
      categories.emplace_back(c, ranked[i].whole);
    } else {
      categories[*it].second += ranked[i].whole;
    }
  }
  std::vector<Keyed> byQty;
  byQty.reserve(categories.size());
  for (size_t i = 0; i < categories.size(); ++i)
    byQty.push_back({rankingKey(static_cast<double>(categories[i].second)), categories[i].second, i});
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
    for (const QString& cell : row) fields << QString(cell).remove(QStringLiteral("\r\n"));
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
