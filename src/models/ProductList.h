#pragma once
// The product window's list: which products it shows under the category
// filter and the stock filters, the cells each row shows, the red rows and
// the three totals.
#include <QString>
#include <QStringList>
#include <vector>

#include "store/Decimal.h"

class Database;
class Table;

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
  Decimal priceTotal;             // sum of price x stock over the listed rows, exact
  Decimal costTotal;              // sum of cost x stock
  Decimal stockTotal;             // sum of stock
  // The four status-bar texts.
  QStringList statusTexts() const;
};

Listing build(const Database& db, const Options& options);

// Appends Manuf row i to a listing as the list shows it: the cells the view
// switches let through, the Index, the red mark and the three totals
// (whatever the switches). The filters are the caller's.
void appendRow(const Table& manuf, int i, const Options& options, Listing& listing);

// True when the safety stock is above the stock (both read as leading numbers).
bool underSafetyStock(const QString& safety, const QString& stock);

// Entries of the category filter: "全部", the product categories, "未分類", "編輯商品分類".
QStringList categoryFilterEntries(const Database& db);

}  // namespace ProductList
