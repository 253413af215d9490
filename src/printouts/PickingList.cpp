#include "printouts/PickingList.h"

#include <QHash>
#include <QSet>

#include "printouts/OrderLines.h"
#include "store/Database.h"
#include "store/Decimal.h"

namespace PickingList {

std::vector<Row> merge(const Database& db, const std::vector<QString>& orderNumbers, bool withNotes) {
  const Table& stock = db.Stock;
  const OrderLineIndex lines(stock, orderNumbers);
  std::vector<Row> rows;
  std::vector<Decimal> sums;
  QHash<QString, int> at;  // name, category and note joined by character 0
  for (const QString& no : orderNumbers) {
    for (int s : lines.rows(no)) {
      const QString& name = stock.cell(s, StockCell::LineName);
      const QString& category = stock.cell(s, StockCell::LineCategory);
      const QString note = withNotes ? stock.cell(s, StockCell::LineNote) : QString();
      const QString& qty = stock.cell(s, StockCell::LineQty);
      const QString key = name + QChar(0) + category + QChar(0) + note;
      const auto it = at.constFind(key);
      if (it == at.constEnd()) {
        at.insert(key, static_cast<int>(rows.size()));
        rows.push_back({name, category, qty, note});
        sums.push_back(Decimal::leading(qty));
      } else {
        Decimal& sum = sums[static_cast<size_t>(*it)];
        sum += Decimal::leading(qty);
        rows[static_cast<size_t>(*it)].qty = sum.toText();
      }
    }
  }
  return rows;
}

QStringList categoryEntries(const std::vector<Row>& rows) {
  QStringList out{AllText};
  QSet<QString> seen;
  for (const Row& r : rows) {
    if (r.category == Uncategorized || seen.contains(r.category)) continue;
    seen.insert(r.category);
    out << r.category;
  }
  out << Uncategorized;
  return out;
}

std::vector<Row> filtered(const std::vector<Row>& rows, int entryIndex, const QString& entryText) {
  if (entryIndex <= 0) return rows;
  std::vector<Row> out;
  for (const Row& r : rows)
    if (r.category == entryText) out.push_back(r);
  return out;
}

QString totalQty(const std::vector<Row>& rows) {
  Decimal total;
  for (const Row& r : rows) total += Decimal::leading(r.qty);
  return total.toText();
}

QString statusText(const std::vector<Row>& rows) { return QStringLiteral("數量總計：") + totalQty(rows); }

}  // namespace PickingList
