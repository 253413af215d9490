#pragma once
// The sales ranking "銷售排行" without its window: the order lines of a
// period and product category, the ranking of products by quantity sold
// (one row per product, see ManufTopShow), the ranking of their
// categories with each one's share, a product's quantity (ManufCount), the
// CSV text of either ranking and the product rows the ranking shows in the
// product window. The ranking reads every line's order, product and money
// from the figures kept between runs (LineFigures).
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ListRowSource.h"
#include "store/Decimal.h"

class Database;
class Table;
namespace ProductList {
struct Options;
}

namespace SalesRanking {

// Columns of the product ranking and the category ranking.
enum ProductColumn : int { Name = 0, Category, Qty, Sales, Cost, ProductColumns };
enum CategoryColumn : int { CategoryName = 0, CategoryQty, Share, CategoryColumns };
QStringList productCaptions();
QStringList categoryCaptions();
// Designed column widths, in twips.
std::vector<int> productWidths();
std::vector<int> categoryWidths();

inline const QString TotalText = QStringLiteral("總計");
inline const QString NoDataText = QStringLiteral("目前尚無資料，無法統計");
inline const QString ExportDoneText = QStringLiteral("匯出CSV完成!");
inline const QString NoProductText = QStringLiteral("查無此商品。");

// The window's filters as their controls read: the year box, the period
// ("全部", "整年", "01月" … "12月") and the product category ("全部", a
// category, "未分類").
struct Filter {
  QString year;
  QString period = QStringLiteral("全部");
  QString category = QStringLiteral("全部");
};

// The Stock rows the filters select, in table order: lines whose order
// exists (its first Order row), of the category, dated in the period.
std::vector<int> selectLines(const Database& db, const Filter& filter);

// A ranked product: the name and category of its lines (shared with the
// cells, not copied), its whole quantity and its money sums: in millionths,
// or, when `decimal` is not -1, the sums of that number kept as decimals.
struct RankedProduct {
  QString name, category;
  long long whole = 0;
  int64_t sales = 0, cost = 0;
  int decimal = -1;
};

// The product ranking's rows (ProductColumns cells each, in rank order),
// their number texts made when read: a ranking of 80k products costs no
// text until the list paints it. They hold what they show, so orders may
// change while the ranking window shows them.
class RankedRows {
 public:
  RankedRows() = default;
  RankedRows(std::vector<RankedProduct> ranked, std::vector<std::pair<Decimal, Decimal>> decimals);
  size_t size() const;
  bool empty() const { return size() == 0; }
  QString text(size_t i, int column) const;
  QStringList operator[](size_t i) const;
  // Every row's texts.
  std::vector<QStringList> rows() const;
  // The rows for a list view (ListView::setRowSource).
  std::shared_ptr<const ListRowSource> source() const;

 private:
  struct Data;
  std::shared_ptr<const Data> data_;
};

struct Ranking {
  RankedRows products;
  std::vector<QStringList> categories;  // CategoryColumns cells each, in rank order, "總計" last (none when empty)
};

// Both rankings. Per product (name and category) the first selected line
// with a quantity above 0 takes every later line of the product; earlier
// lines with 0 or less stay rows of their own. Sums are kept as their text
// shows them (15 significant digits). Rows whose quantity is 0 go; the rest
// are ranked by their quantity rounded to a whole number, highest first.
Ranking ManufTopShow(const Database& db, const Filter& filter);

// The ranking key of a quantity: rounded half away from zero, ten digits
// with leading zeros, "-" in front of a negative one.
QString rankingKey(double qty);
// A category's share of the total as "0.0%".
QString shareText(long long qty, long long total);

// The quantity sold of one product under the filters, every selected line
// of it counted, rounded half to even; nullopt when it does not fit a
// 32-bit number.
std::optional<int> ManufCount(const Database& db, const Filter& filter, const QString& name, const QString& category);

// The proposed file name of an export: 2024年整年商品排行.
QString exportFileName(const QString& year, const QString& period, bool categories);
// One line per row, fields joined by "," with every CR LF removed, each line
// ended by CR LF; a field holding a comma or another line break is quoted.
QString csvText(const std::vector<QStringList>& rows);

// The Manuf rows of exactly this name and category, in table order.
std::vector<int> productRows(const Table& manuf, const QString& name, const QString& category);
// The product data box of a Manuf row: seven lines "名稱：…" to "安全存量：…".
QString productDataText(const Table& manuf, int row);

// Rows of the product window's list for these Manuf rows, its layout and
// its view switches; redRows: the rows drawn red (safety stock above the
// stock cell as shown, an empty cell counting 0) while safeRed is on.
struct ProductWindowRows {
  std::vector<QStringList> rows;
  std::vector<int> redRows;
};
ProductWindowRows productWindowRows(const Table& manuf, const std::vector<int>& rows, const ProductList::Options& view);

}  // namespace SalesRanking
