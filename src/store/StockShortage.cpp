#include "store/StockShortage.h"

#include <QHash>
#include <algorithm>
#include <numeric>

#include "store/Database.h"
#include "store/Numbers.h"

bool isUnshippedState(const QString& shippingState) {
  if (shippingState == UnshippedText) return true;
  // Token 2 of a split at every blank: the text between the first and the
  // second blank (or the end).
  const qsizetype first = shippingState.indexOf(u' ');
  if (first < 0) return false;
  const qsizetype second = shippingState.indexOf(u' ', first + 1);
  const qsizetype len = (second < 0 ? shippingState.size() : second) - first - 1;
  return QStringView(shippingState).mid(first + 1, len) == UnshippedText;
}

namespace {

// Order numbers in the ascending text order of a sorted list box: letter
// case ignored, ties broken by the plain text order so the result is fixed.
bool numberBefore(const QString& a, const QString& b) {
  const int c = QString::compare(a, b, Qt::CaseInsensitive);
  if (c != 0) return c < 0;
  return QString::compare(a, b) < 0;
}

}  // namespace

ShortageResult CheckStockShortage(const Database& db, int liv1Rows,
                                  const std::function<QString(int row, int column)>& liv1Text) {
  ShortageResult r;
  if (!db.CheckLacks) return r;

  const Table& order = db.Order;
  const Table& stock = db.Stock;

  // The unshipped order numbers, each once (a number stored on two orders
  // would otherwise list and charge the same lines twice).
  QHash<QString, int> slotOf;
  std::vector<QString> numbers;
  for (int i = 1; i <= order.count(); ++i) {
    if (!isUnshippedState(order.cell(i, OrderCell::ShippingState))) continue;
    const QString& no = order.key(i);
    if (slotOf.contains(no)) continue;
    slotOf.insert(no, static_cast<int>(numbers.size()));
    numbers.push_back(no);
  }
  if (numbers.empty()) return r;

  // Their lines, in Stock row order, from one pass over Stock. The runs of
  // the orders lie in Stock in the order they were last saved, so nothing
  // here may rely on Order row order.
  std::vector<std::vector<int>> lines(numbers.size());
  for (int s = 1; s <= stock.count(); ++s) {
    const auto it = slotOf.constFind(stock.key(s));
    if (it != slotOf.constEnd()) lines[static_cast<size_t>(*it)].push_back(s);
  }

  std::vector<int> byNumber(numbers.size());
  std::iota(byNumber.begin(), byNumber.end(), 0);
  std::stable_sort(byNumber.begin(), byNumber.end(),
                   [&](int a, int b) { return numberBefore(numbers[static_cast<size_t>(a)], numbers[static_cast<size_t>(b)]); });

  const QString zero = QStringLiteral("0");
  for (int slot : byNumber) {
    const QString& no = numbers[static_cast<size_t>(slot)];
    for (int s : lines[static_cast<size_t>(slot)]) {
      r.liv2.push_back(QStringList{no, QString(), stock.cell(s, StockCell::LineName),
                                   stock.cell(s, StockCell::LineQty), zero});
    }
  }

  // Allocation: each product with negative stock walks the lines of its name
  // from the last row back, charging each line up to its quantity. Products
  // are matched by name alone; a later product of the same name charges the
  // same lines again.
  QHash<QString, std::vector<int>> rowsOfName;
  for (size_t k = 0; k < r.liv2.size(); ++k) rowsOfName[r.liv2[k][ShortageCol::LineName]].push_back(static_cast<int>(k));
  const Table& manuf = db.Manuf;
  for (int m = 1; m <= manuf.count(); ++m) {
    const double stockQty = Num::leading(manuf.cell(m, ManufCell::ProductStock));
    if (!(stockQty < 0)) continue;
    const auto it = rowsOfName.constFind(manuf.key(m));
    if (it == rowsOfName.constEnd()) continue;
    double d = 0 - stockQty;
    const std::vector<int>& rows = *it;
    for (auto p = rows.rbegin(); p != rows.rend(); ++p) {
      QStringList& row = r.liv2[static_cast<size_t>(*p)];
      const double q = Num::leading(row[ShortageCol::LineQty]);
      if (q > d) {
        row[ShortageCol::ShortageQty] = Num::format(d);
        break;
      }
      row[ShortageCol::ShortageQty] = Num::format(q);
      d -= q;
      if (d == 0) break;
    }
  }

  // Reset the marks of the listed unshipped orders, then mark the first
  // listed row of every order with a short line.
  std::vector<QString> shipText(static_cast<size_t>(std::max(liv1Rows, 0)));
  QHash<QString, int> firstRowOf;
  for (int row = 0; row < liv1Rows; ++row) {
    const double v = Num::leading(liv1Text(row, ShortageLiv1::OrderIndex));
    const int index = static_cast<int>(v);
    if (v != index || index < 1 || index > order.count()) {
      r.failed = true;
      return r;
    }
    if (isUnshippedState(order.cell(index, OrderCell::ShippingState))) {
      r.shipDates.emplace_back(row, UnshippedText);
      shipText[static_cast<size_t>(row)] = UnshippedText;
    } else {
      shipText[static_cast<size_t>(row)] = liv1Text(row, ShortageLiv1::ShipDate);
    }
  }
  // Walked backwards so a number listed twice keeps its first row.
  for (int row = liv1Rows - 1; row >= 0; --row) firstRowOf.insert(liv1Text(row, ShortageLiv1::OrderNo), row);

  for (const QStringList& line : r.liv2) {
    if (!(Num::leading(line[ShortageCol::ShortageQty]) > 0)) continue;
    const auto it = firstRowOf.constFind(line[ShortageCol::OrderNo]);
    if (it == firstRowOf.constEnd()) continue;
    QString& cur = shipText[static_cast<size_t>(*it)];
    if (cur == UnshippedText) {
      cur = ShortageMark;
      r.shipDates.emplace_back(*it, ShortageMark);
    }
  }
  return r;
}

ShortageResult CheckStockShortage(const Database& db, std::vector<QStringList>& liv1Rows) {
  ShortageResult r = CheckStockShortage(db, static_cast<int>(liv1Rows.size()), [&](int row, int column) {
    const QStringList& cells = liv1Rows[static_cast<size_t>(row)];
    return column < cells.size() ? cells[column] : QString();
  });
  for (const auto& [row, text] : r.shipDates) {
    QStringList& cells = liv1Rows[static_cast<size_t>(row)];
    if (ShortageLiv1::ShipDate < cells.size()) cells[ShortageLiv1::ShipDate] = text;
  }
  return r;
}
