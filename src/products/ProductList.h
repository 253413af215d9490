#pragma once
// The product window's list: which products it shows under the category
// filter and the stock filters, the cells each row shows, the red rows and
// the three totals.
#include <QString>
#include <QStringList>
#include <vector>

class Database;

namespace ProductList {

// Columns of the product list (0 is the row's text).
enum Column : int { Name = 0, Category, Price, Cost, Stock, Note, Safety, Weight, Index, ColumnCount };

enum class StockFilter { All, WithStock, WithoutStock, UnderSafety };

struct Options {
  QString category = QStringLiteral("全部");  // the filter's text
  bool showPrice = true;   // 檢視 "售價"
  bool showCost = true;    // 檢視 "成本"
  bool showStock = true;   // 檢視 "庫存"
  bool showNote = true;    // 檢視 "備註"
  bool safeRed = true;     // 檢視 "安全存量警示(顯示紅色)"
  StockFilter stock = StockFilter::All;
};

struct Listing {
  std::vector<QStringList> rows;  // ColumnCount cells each, Index = Manuf row
  std::vector<int> redRows;       // positions in rows (0-based), ascending
  double priceTotal = 0;          // sum of price x stock over the listed rows
  double costTotal = 0;           // sum of cost x stock
  double stockTotal = 0;          // sum of stock
  // The four status-bar texts.
  QStringList statusTexts() const;
};

Listing build(const Database& db, const Options& options);

// True when the safety stock is above the stock (both read as leading numbers).
bool underSafetyStock(const QString& safety, const QString& stock);

// Entries of the category filter: "全部", the product categories, "未分類", "編輯商品分類".
QStringList categoryFilterEntries(const Database& db);

}  // namespace ProductList
