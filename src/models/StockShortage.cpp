#include "models/StockShortage.h"

#include <QHash>
#include <algorithm>
#include <cstdint>
#include <numeric>

#include "platform/Numbers.h"
#include "store/CellNumber.h"
#include "store/Database.h"
#include "store/Parallel.h"

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

// Memo of one thread: a test's answer for the value numbers of a cell.
struct Memo {
  static constexpr size_t kSize = 1024;
  struct Entry {
    uint32_t id = UINT32_MAX;
    bool yes = false;
  };
  std::vector<Entry> entry = std::vector<Entry>(kSize);
};

// Rows 1..count that pass keep(memo, row), in row order, tested in slices
// on several threads.
template <typename Keep>
std::vector<int> rowsWhere(int count, Keep keep) {
  const size_t n = static_cast<size_t>(std::max(count, 0));
  const size_t slice = 32768;
  std::vector<std::vector<int>> part((n + slice - 1) / slice);
  forEachSlice(part.size(), 1, [&](size_t from, size_t to) {
    Memo memo;
    for (size_t p = from; p < to; ++p) {
      const int last = static_cast<int>(std::min(n, (p + 1) * slice));
      for (int i = static_cast<int>(p * slice) + 1; i <= last; ++i)
        if (keep(memo, i)) part[p].push_back(i);
    }
  });
  std::vector<int> out;
  for (const auto& p : part) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// The check, reading the list through indexOf(row) (its Index as a number,
// 0 when it is none), numberOf(row) (its order-number text) and listText.
template <typename IndexOf, typename NumberOf>
ShortageResult checkShortage(const Database& db, int listRows, IndexOf indexOf, NumberOf numberOf,
                             const std::function<QString(int row, int column)>& listText) {
  ShortageResult r;
  if (!db.CheckLacks) return r;

  const Table& order = db.Order;
  const Table& stock = db.Stock;

  // The unshipped order numbers, each once (a number stored on two orders
  // would otherwise list and charge the same lines twice). The states are
  // tested on several threads, each distinct state text once per thread
  // where it can.
  QHash<QStringView, int> slotOf;
  std::vector<QString> numbers;
  {
    const std::vector<int> unshipped = rowsWhere(order.count(), [&](Memo& memo, int i) {
      const uint32_t id = order.valueId(i, OrderCell::ShippingState);
      Memo::Entry& e = memo.entry[id & (Memo::kSize - 1)];
      if (e.id != id) e = {id, isUnshippedState(order.cell(i, OrderCell::ShippingState))};
      return e.yes;
    });
    slotOf.reserve(static_cast<qsizetype>(unshipped.size()));
    numbers.reserve(unshipped.size());
    for (const int i : unshipped) {
      const QString& no = order.key(i);
      if (slotOf.contains(no)) continue;
      slotOf.insert(no, static_cast<int>(numbers.size()));
      numbers.push_back(no);
    }
  }
  if (numbers.empty()) return r;
  const int orders = static_cast<int>(numbers.size());
  const QHash<QStringView, int>& slotOfNumber = slotOf;  // only read from here on, also by several threads

  // Their lines, in Stock row order, from one pass over Stock on several
  // threads (one look-up per run of equal numbers), then laid out per order.
  // The runs lie in Stock in the order the orders were last saved, so
  // nothing here relies on Order row order.
  const size_t stockRows = static_cast<size_t>(stock.count());
  std::vector<int> slotOfLine(stockRows + 1, -1);
  forEachSlice(stockRows, 65536, [&](size_t from, size_t to) {
    uint32_t lastId = UINT32_MAX;
    QStringView lastNo;
    int slot = -1;
    for (size_t line = from + 1; line <= to; ++line) {
      const int s = static_cast<int>(line);
      const uint32_t id = stock.valueId(s, 0);
      if (id != lastId) {
        const QString& no = stock.key(s);
        if (lastId == UINT32_MAX || QStringView(no) != lastNo) slot = slotOfNumber.value(no, -1);
        lastId = id;
        lastNo = no;
      }
      slotOfLine[line] = slot;
    }
  });
  std::vector<int> start(static_cast<size_t>(orders) + 1, 0);
  for (size_t s = 1; s <= stockRows; ++s)
    if (slotOfLine[s] >= 0) ++start[static_cast<size_t>(slotOfLine[s]) + 1];
  for (int k = 0; k < orders; ++k) start[static_cast<size_t>(k) + 1] += start[static_cast<size_t>(k)];
  std::vector<int> lines(static_cast<size_t>(start[static_cast<size_t>(orders)]));
  {
    std::vector<int> next(start.begin(), start.end() - 1);
    for (size_t s = 1; s <= stockRows; ++s) {
      const int k = slotOfLine[s];
      if (k >= 0) lines[static_cast<size_t>(next[static_cast<size_t>(k)]++)] = static_cast<int>(s);
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

  // The names of the products short of stock (matched by name alone).
  const Table& manuf = db.Manuf;
  QHash<QStringView, int> nameSlot;
  std::vector<std::pair<int, double>> shortProducts;  // Manuf row and its stock, in row order
  for (int m = 1; m <= manuf.count(); ++m) {
    const double stockQty = cellNumber(manuf.cell(m, ManufCell::ProductStock));
    if (!(stockQty < 0)) continue;
    shortProducts.emplace_back(m, stockQty);
    if (!nameSlot.contains(manuf.key(m))) nameSlot.insert(manuf.key(m), static_cast<int>(nameSlot.size()));
  }
  const QHash<QStringView, int>& names = nameSlot;  // only read from here on

  // The shortage list's rows, made on several threads: each order's rows at their
  // place. Quantity texts repeat all through; each thread copies the ones
  // it meets so the threads do not share their counts.
  std::vector<size_t> at(static_cast<size_t>(orders) + 1, 0);
  for (size_t j = 0; j < byNumber.size(); ++j) {
    const size_t k = static_cast<size_t>(byNumber[j]);
    at[j + 1] = at[j] + static_cast<size_t>(start[k + 1] - start[k]);
  }
  std::vector<int> stockRowOf(lines.size());     // Stock row of each shortage-list row
  std::vector<int> slotOfRow(lines.size(), -1);  // its short product's name, -1 for none
  r.rows.resize(lines.size());
  forEachSlice(byNumber.size(), 1024, [&](size_t from, size_t to) {
    const QString zero = QStringLiteral("0");
    struct Held {
      uint32_t id = UINT32_MAX;
      QString text;
    };
    std::vector<Held> qtyTexts(64);
    for (size_t j = from; j < to; ++j) {
      const size_t k = static_cast<size_t>(byNumber[j]);
      const QString& no = numbers[k];
      size_t out = at[j];
      for (int p = start[k]; p < start[k + 1]; ++p, ++out) {
        const int s = lines[static_cast<size_t>(p)];
        const uint32_t qtyId = stock.valueId(s, StockCell::LineQty);
        Held& q = qtyTexts[qtyId & 63];
        if (q.id != qtyId) {
          const QString& text = stock.cell(s, StockCell::LineQty);
          q = {qtyId, QString(text.constData(), text.size())};
        }
        const QString& name = stock.cell(s, StockCell::LineName);
        stockRowOf[out] = s;
        if (!names.isEmpty()) slotOfRow[out] = names.value(name, -1);
        r.rows[out] = QStringList{no, QString(), name, q.text, zero};
      }
    }
  });

  // Allocation: each product with negative stock walks the lines of its name
  // from the last row back, charging each line up to its quantity. A later
  // product of the same name charges the same lines again.
  std::vector<double> shortage(r.rows.size(), 0.0);
  if (!names.isEmpty()) {
    // The lines of each short product's name, in the shortage list's order.
    std::vector<std::vector<int>> rowsOfName(static_cast<size_t>(names.size()));
    for (size_t k = 0; k < slotOfRow.size(); ++k)
      if (slotOfRow[k] >= 0) rowsOfName[static_cast<size_t>(slotOfRow[k])].push_back(static_cast<int>(k));
    for (const auto& [m, stockQty] : shortProducts) {
      const std::vector<int>& rows = rowsOfName[static_cast<size_t>(names.value(manuf.key(m)))];
      double d = 0 - stockQty;
      for (auto p = rows.rbegin(); p != rows.rend(); ++p) {
        const size_t k = static_cast<size_t>(*p);
        const double q = cellNumber(stock.cell(stockRowOf[k], StockCell::LineQty));
        if (q > d) {
          shortage[k] = d;
          r.rows[k][ShortageCol::ShortageQty] = Num::format(d);
          break;
        }
        shortage[k] = q;
        r.rows[k][ShortageCol::ShortageQty] = Num::format(q);
        d -= q;
        if (d == 0) break;
      }
    }
  }

  // Reset the marks of the listed unshipped orders, then mark the first
  // listed row of every order with a short line.
  QHash<QStringView, int> firstRowOf;  // only numbers of orders with a short line (views into rows)
  for (size_t k = 0; k < r.rows.size(); ++k)
    if (shortage[k] > 0) firstRowOf.insert(r.rows[k][ShortageCol::OrderNo], -1);
  std::vector<char> unshippedRow(static_cast<size_t>(std::max(listRows, 0)), 0);
  for (int row = 0; row < listRows; ++row) {
    const int index = indexOf(row);
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
  for (int row = listRows - 1; row >= 0; --row) {  // backwards: the first row of a number wins
    const auto it = firstRowOf.find(numberOf(row));
    if (it != firstRowOf.end()) *it = row;
  }
  for (size_t k = 0; k < r.rows.size(); ++k) {
    if (!(shortage[k] > 0)) continue;
    const int row = firstRowOf.value(r.rows[k][ShortageCol::OrderNo], -1);
    if (row < 0) continue;
    // 1: reads "未出貨" (the reset wrote it); 2: marked already; 3: reads
    // something else; 0: not reset, read the cell once.
    char& state = unshippedRow[static_cast<size_t>(row)];
    if (state == 0) state = listText(row, ShortageOrderListCol::ShipDate) == UnshippedText ? 1 : 3;
    if (state == 1) {
      state = 2;
      r.shipDates.emplace_back(row, ShortageMark);
    }
  }
  return r;
}

}  // namespace

ShortageResult CheckStockShortage(const Database& db, int listRows,
                                  const std::function<QString(int row, int column)>& listText) {
  return checkShortage(
      db, listRows,
      [&](int row) {
        const QString indexText = listText(row, ShortageOrderListCol::OrderIndex);
        bool plain = false;
        int index = indexText.toInt(&plain);
        if (!plain) {
          const double v = Num::leading(indexText);
          index = static_cast<int>(v);
          if (v != index) index = 0;
        }
        return index;
      },
      [&](int row) { return listText(row, ShortageOrderListCol::OrderNo); }, listText);
}

ShortageResult CheckStockShortage(const Database& db, const std::vector<int>& listOrderRows,
                                  const std::function<QString(int row, int column)>& listText) {
  const Table& order = db.Order;
  return checkShortage(
      db, static_cast<int>(listOrderRows.size()), [&](int row) { return listOrderRows[static_cast<size_t>(row)]; },
      [&](int row) { return QStringView(order.key(listOrderRows[static_cast<size_t>(row)])); }, listText);
}

ShortageResult CheckStockShortage(const Database& db, std::vector<QStringList>& listRows) {
  ShortageResult r = CheckStockShortage(db, static_cast<int>(listRows.size()), [&](int row, int column) {
    const QStringList& cells = listRows[static_cast<size_t>(row)];
    return column < cells.size() ? cells[column] : QString();
  });
  for (const auto& [row, text] : r.shipDates) {
    QStringList& cells = listRows[static_cast<size_t>(row)];
    if (ShortageOrderListCol::ShipDate < cells.size()) cells[ShortageOrderListCol::ShipDate] = text;
  }
  return r;
}
