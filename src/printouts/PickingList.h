#pragma once
// The picking list "撿貨單" without its window: the lines of the selected
// orders merged into one row per product (and per note when notes are
// shown) with their quantities added, the category filter's entries, the
// filtered rows and the quantity total.
#include <QString>
#include <QStringList>
#include <vector>

class Database;

namespace PickingList {

struct Row {
  QString name;
  QString category;
  QString qty;   // the first line's quantity as stored; the plain sum once more lines merged
  QString note;  // only when notes are shown
  bool operator==(const Row&) const = default;
};

// Merges the lines of these orders (their numbers, in list order; each
// order's lines in table order). Lines merge when name and category, and
// with notes the note too, are equal.
std::vector<Row> merge(const Database& db, const std::vector<QString>& orderNumbers, bool withNotes);

// The filter's entries: "全部", each category once in order of first
// appearance, then "未分類" last.
QStringList categoryEntries(const std::vector<Row>& rows);

// The rows the filter lets through: every row for entry 0, else those of the
// entry's category.
std::vector<Row> filtered(const std::vector<Row>& rows, int entryIndex, const QString& entryText);

// The sum of the quantities' leading numbers, as plain decimal text.
QString totalQty(const std::vector<Row>& rows);
// "數量總計：" and the total.
QString statusText(const std::vector<Row>& rows);

inline const QString AllText = QStringLiteral("全部");
inline const QString Uncategorized = QStringLiteral("未分類");

}  // namespace PickingList
