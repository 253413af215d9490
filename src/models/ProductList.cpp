#include "models/ProductList.h"

#include "platform/Numbers.h"
#include "store/Database.h"

namespace ProductList {

QStringList Listing::statusTexts() const {
  return {QStringLiteral("售價總計: ") + priceTotal.toText() + QLatin1Char(' '),
          QStringLiteral("成本總計: ") + costTotal.toText() + QLatin1Char(' '),
          QStringLiteral("庫存總數: ") + stockTotal.toText() + QLatin1Char(' '),
          QStringLiteral("共 ") + QString::number(rows.size()) + QStringLiteral(" 筆資料")};
}

bool underSafetyStock(const QString& safety, const QString& stock) {
  return Num::leading(safety) > Num::leading(stock);
}

void appendRow(const Table& t, int i, const Options& o, Listing& out) {
  const QString& stock = t.cell(i, ManufCell::ProductStock);
  const Decimal s = Decimal::leading(stock);
  QStringList row;
  row.reserve(ColumnCount);
  row << t.cell(i, ManufCell::ProductName) << t.cell(i, ManufCell::ProductCategory)
      << (o.showPrice ? t.cell(i, ManufCell::ProductPrice) : QString())
      << (o.showCost ? t.cell(i, ManufCell::ProductCost) : QString()) << (o.showStock ? stock : QString())
      << (o.showNote ? t.cell(i, ManufCell::ProductNote) : QString()) << t.cell(i, ManufCell::SafetyStock)
      << t.cell(i, ManufCell::ProductWeight) << QString::number(i);
  out.priceTotal += Decimal::leading(t.cell(i, ManufCell::ProductPrice)) * s;
  out.costTotal += Decimal::leading(t.cell(i, ManufCell::ProductCost)) * s;
  out.stockTotal += s;
  if (o.safeRed && underSafetyStock(t.cell(i, ManufCell::SafetyStock), stock))
    out.redRows.push_back(static_cast<int>(out.rows.size()));
  out.rows.push_back(std::move(row));
}

Listing build(const Database& db, const Options& o) {
  Listing out;
  const Table& t = db.Manuf;
  const bool all = o.category == QStringLiteral("全部");
  for (int i = 1, n = t.count(); i <= n; ++i) {
    if (!all && t.cell(i, ManufCell::ProductCategory) != o.category) continue;
    if (o.stock != StockFilter::All) {
      const double s = Num::leading(t.cell(i, ManufCell::ProductStock));
      const double k = Num::leading(t.cell(i, ManufCell::SafetyStock));
      switch (o.stock) {
        case StockFilter::All: break;
        case StockFilter::WithStock: if (!(s > 0)) continue; break;
        case StockFilter::WithoutStock: if (!(s <= 0)) continue; break;
        case StockFilter::UnderSafety: if (!(k > s)) continue; break;
      }
    }
    appendRow(t, i, o, out);
  }
  return out;
}

QStringList categoryFilterEntries(const Database& db) {
  QStringList out;
  out.reserve(db.settings.ProductCategories.size() + 3);
  out << QStringLiteral("全部");
  out += db.settings.ProductCategories;
  out << QStringLiteral("未分類") << QStringLiteral("編輯商品分類");
  return out;
}

}  // namespace ProductList
