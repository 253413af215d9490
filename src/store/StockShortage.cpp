#include "store/StockShortage.h"

#include <QHash>
#include <algorithm>
#include <numeric>

#include "store/Database.h"
#include "store/CellNumber.h"
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
  QHash<QStringView, int> slotOf;
  slotOf.reserve(order.count());
  std::vector<QString> numbers;
  for (int i = 1; i <= order.count(); ++i) {
    if (!isUnshippedState(order.cell(i, OrderCell::ShippingState))) continue;
    const QString& no = order.key(i);
    if (slotOf.contains(no)) continue;
    slotOf.insert(no, static_cast<int>(numbers.size()));
    numbers.push_back(no);
  }
  if (numbers.empty()) return r;
  const int orders = static_cast<int>(numbers.size());

  // Their lines, in Stock row order, from one pass over Stock (one look-up
  // per run of equal numbers), then laid out per order. The runs lie in
  // Stock in the order the orders were last saved, so nothing here relies
  // on Order row order.
  std::vector<int> slotOfLine(static_cast<size_t>(stock.count()) + 1, -1);
  std::vector<int> start(static_cast<size_t>(orders) + 1, 0);
  int slot = -1;
  for (int s = 1; s <= stock.count(); ++s) {
    const QString& no = stock.key(s);
    if (s == 1 || no != stock.key(s - 1)) slot = slotOf.value(no, -1);
    if (slot < 0) continue;
    slotOfLine[static_cast<size_t>(s)] = slot;
    ++start[static_cast<size_t>(slot) + 1];
  }
  for (int k = 0; k < orders; ++k) start[static_cast<size_t>(k) + 1] += start[static_cast<size_t>(k)];
  std::vector<int> lines(static_cast<size_t>(start[static_cast<size_t>(orders)]));
  {
    std::vector<int> next(start.begin(), start.end() - 1);
    for (int s = 1; s <= stock.count(); ++s) {
      const int k = slotOfLine[static_cast<size_t>(s)];
      if (k >= 0) lines[static_cast<size_t>(next[static_cast<size_t>(k)]++)] = s;
    }
  }

  // Ascending order numbers; the orders are usually in that order already.
  std::vector<int> byNumber(static_cast<size_t>(orders));
  std::iota(byNumber.begin(), byNumber.end(), 0);
  const auto before = [&](int a, int b) {
    return numberBefore(numbers[static_cast<size_t>(a)], numbers[static_cast<size_t>(b)]);
  };
  if (!std::is_sorted(byNumber.begin(), byNumber.end(), before))
    std::stable_sort(byNumber.begin(), byNumber.end(), before);

  const QString zero = QStringLiteral("0");
  std::vector<int> stockRowOf;  // Stock row of each Liv2 row
  stockRowOf.reserve(lines.size());
  r.liv2.reserve(lines.size());
  for (int k : byNumber) {
    const QString& no = numbers[static_cast<size_t>(k)];
    for (int p = start[static_cast<size_t>(k)]; p < start[static_cast<size_t>(k) + 1]; ++p) {
      const int s = lines[static_cast<size_t>(p)];
      stockRowOf.push_back(s);
      r.liv2.push_back(QStringList{no, QString(), stock.cell(s, StockCell::LineName),
                                   stock.cell(s, StockCell::LineQty), zero});
    }
  }

  // Allocation: each product with negative stock walks the lines of its name
  // from the last row back, charging each line up to its quantity. Products
  // are matched by name alone; a later product of the same name charges the
  // same lines again.
  const Table& manuf = db.Manuf;
  QHash<QStringView, std::vector<int>> rowsOfName;  // only the names of products short of stock
  for (int m = 1; m <= manuf.count(); ++m)
    if (cellNumber(manuf.cell(m, ManufCell::ProductStock)) < 0) rowsOfName[manuf.key(m)];
  std::vector<double> shortage(r.liv2.size(), 0.0);
  if (!rowsOfName.isEmpty()) {
    for (size_t k = 0; k < r.liv2.size(); ++k) {
      const auto it = rowsOfName.find(stock.cell(stockRowOf[k], StockCell::LineName));
      if (it != rowsOfName.end()) it->push_back(static_cast<int>(k));
    }
    for (int m = 1; m <= manuf.count(); ++m) {
      const double stockQty = cellNumber(manuf.cell(m, ManufCell::ProductStock));
      if (!(stockQty < 0)) continue;
      const std::vector<int>& rows = rowsOfName.value(manuf.key(m));
      double d = 0 - stockQty;
      for (auto p = rows.rbegin(); p != rows.rend(); ++p) {
        const size_t k = static_cast<size_t>(*p);
        const double q = cellNumber(stock.cell(stockRowOf[k], StockCell::LineQty));
        if (q > d) {
          shortage[k] = d;
          r.liv2[k][ShortageCol::ShortageQty] = Num::format(d);
          break;
        }
        shortage[k] = q;
        r.liv2[k][ShortageCol::ShortageQty] = Num::format(q);
        d -= q;
        if (d == 0) break;
      }
    }
  }

  // Reset the marks of the listed unshipped orders, then mark the first
  // listed row of every order with a short line.
  QHash<QString, int> firstRowOf;  // only numbers of orders with a short line
  for (size_t k = 0; k < r.liv2.size(); ++k)
    if (shortage[k] > 0) firstRowOf.insert(r.liv2[k][ShortageCol::OrderNo], -1);
  std::vector<char> unshippedRow(static_cast<size_t>(std::max(liv1Rows, 0)), 0);
  for (int row = 0; row < liv1Rows; ++row) {
    const QString indexText = liv1Text(row, ShortageLiv1::OrderIndex);
    bool plain = false;
    int index = indexText.toInt(&plain);
    if (!plain) {
      const double v = Num::leading(indexText);
      index = static_cast<int>(v);
      if (v != index) index = 0;
    }
    if (index < 1 || index > order.count()) {
      r.failed = true;
      return r;
    }
    if (isUnshippedState(order.cell(index, OrderCell::ShippingState))) {
      r.shipDates.emplace_back(row, UnshippedText);
      unshippedRow[static_cast<size_t>(row)] = 1;
    }
  }
  if (firstRowOf.isEmpty()) return r;
  for (int row = liv1Rows - 1; row >= 0; --row) {  // backwards: the first row of a number wins
    const auto it = firstRowOf.find(liv1Text(row, ShortageLiv1::OrderNo));
    if (it != firstRowOf.end()) *it = row;
  }
  for (size_t k = 0; k < r.liv2.size(); ++k) {
    if (!(shortage[k] > 0)) continue;
    const int row = firstRowOf.value(r.liv2[k][ShortageCol::OrderNo], -1);
    if (row < 0) continue;
    // 1: reads "未出貨" (the reset wrote it); 2: marked already; 3: reads
    // something else; 0: not reset, read the cell once.
    char& state = unshippedRow[static_cast<size_t>(row)];
    if (state == 0) state = liv1Text(row, ShortageLiv1::ShipDate) == UnshippedText ? 1 : 3;
    if (state == 1) {
      state = 2;
      r.shipDates.emplace_back(row, ShortageMark);
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
