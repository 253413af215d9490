#include "products/ProductList.h"

#include "store/Database.h"
#include "store/Numbers.h"

namespace ProductList {

QStringList Listing::statusTexts() const {
  return {QStringLiteral("售價總計: ") + Num::format(priceTotal) + QLatin1Char(' '),
          QStringLiteral("成本總計: ") + Num::format(costTotal) + QLatin1Char(' '),
          QStringLiteral("庫存總數: ") + Num::format(stockTotal) + QLatin1Char(' '),
          QStringLiteral("共 ") + QString::number(rows.size()) + QStringLiteral(" 筆資料")};
}

bool underSafetyStock(const QString& safety, const QString& stock) {
  return Num::leading(safety) > Num::leading(stock);
}

Listing build(const Database& db, const Options& o) {
  Listing out;
  const Table& t = db.Manuf;
  const bool all = o.category == QStringLiteral("全部");
  for (int i = 1, n = t.count(); i <= n; ++i) {
    if (!all && t.cell(i, ManufCell::ProductCategory) != o.category) continue;
    const double s = Num::leading(t.cell(i, ManufCell::ProductStock));
    const double k = Num::leading(t.cell(i, ManufCell::SafetyStock));
    switch (o.stock) {
      case StockFilter::All: break;
      case StockFilter::WithStock: if (!(s > 0)) continue; break;
      case StockFilter::WithoutStock: if (!(s <= 0)) continue; break;
      case StockFilter::UnderSafety: if (!(k > s)) continue; break;
    }
    QStringList row;
    row.reserve(ColumnCount);
    row << t.cell(i, ManufCell::ProductName) << t.cell(i, ManufCell::ProductCategory)
        << (o.showPrice ? t.cell(i, ManufCell::ProductPrice) : QString())
        << (o.showCost ? t.cell(i, ManufCell::ProductCost) : QString())
        << (o.showStock ? t.cell(i, ManufCell::ProductStock) : QString())
        << (o.showNote ? t.cell(i, ManufCell::ProductNote) : QString()) << t.cell(i, ManufCell::SafetyStock)
        << t.cell(i, ManufCell::ProductWeight) << QString::number(i);
    out.priceTotal += Num::leading(t.cell(i, ManufCell::ProductPrice)) * s;
    out.costTotal += Num::leading(t.cell(i, ManufCell::ProductCost)) * s;
    out.stockTotal += s;
    if (o.safeRed && k > s) out.redRows.push_back(static_cast<int>(out.rows.size()));
    out.rows.push_back(std::move(row));
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
