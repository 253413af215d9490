#include "models/OrderLineTools.h"

#include <QDir>
#include <algorithm>
#include <numeric>

#include "models/ProductLookup.h"
#include "platform/Numbers.h"
#include "store/Database.h"
#include "store/SharedRoutines.h"
#include "store/Table.h"

namespace OrderLineTools {

namespace {
bool addStock(Table& Manuf, const QString& name, const QString& category, double delta) {
  const int row = FindProductRow(Manuf, name, category);
  if (row == 0) return false;
  Manuf.setCell(row, ManufCell::ProductStock,
                Num::format(Num::leading(Manuf.cell(row, ManufCell::ProductStock)) + delta));
  return true;
}
}  // namespace

bool giveBackStock(Table& Manuf, const QString& name, const QString& category, const QString& qty) {
  return addStock(Manuf, name, category, Num::leading(qty));
}

void giveBackUnsaved(Table& Manuf, const OrderLines& lines, const OrderLines& snapshot, bool takeAgain) {
  if (lines.empty() && (!takeAgain || snapshot.empty())) return;
  const ProductIndex products(Manuf);
  auto add = [&](const OrderLine& l, double sign) {
    const int row = products.find(l.name, l.category);
    if (row == 0) return;
    Manuf.setCell(row, ManufCell::ProductStock,
                  Num::format(Num::leading(Manuf.cell(row, ManufCell::ProductStock)) + sign * Num::leading(l.qty)));
  };
  for (const OrderLine& l : lines) add(l, 1);
  if (takeAgain)
    for (const OrderLine& l : snapshot) add(l, -1);
}

bool deleteSelected(OrderLines& lines, std::vector<bool>& selected, Table& Manuf) {
  if (lines.empty()) return false;
  selected.resize(lines.size(), false);
  for (size_t i = lines.size(); i-- > 0;) {
    if (!selected[i]) continue;
    giveBackStock(Manuf, lines[i].name, lines[i].category, lines[i].qty);
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
    selected.erase(selected.begin() + static_cast<std::ptrdiff_t>(i));
  }
  for (OrderLine& l : lines) l.shortage = QStringLiteral("..");
  return true;
}

void moveSelectedRows(int n, std::vector<bool>& selected, bool up, const std::function<void(int, int)>& exchange) {
  if (n < 2) return;
  selected.resize(static_cast<size_t>(n), false);
  auto visit = [&](int i) {
    const int j = up ? i - 1 : i + 1;
    if (!selected[static_cast<size_t>(i)] || selected[static_cast<size_t>(j)]) return;
    exchange(i, j);
    selected[static_cast<size_t>(i)] = false;
    selected[static_cast<size_t>(j)] = true;
  };
  if (up) {
    for (int i = 1; i < n; ++i) visit(i);
  } else {
    for (int i = n - 2; i >= 0; --i) visit(i);
  }
}

void moveSelected(OrderLines& lines, std::vector<bool>& selected, bool up) {
  moveSelectedRows(static_cast<int>(lines.size()), selected, up, [&](int i, int j) {
    std::swap(lines[static_cast<size_t>(i)], lines[static_cast<size_t>(j)]);
  });
}

void sortLines(OrderLines& lines, std::vector<bool>& selected, bool byCategory) {
  selected.resize(lines.size(), false);
  std::vector<size_t> order(lines.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const QString& ka = byCategory ? lines[a].category : lines[a].name;
    const QString& kb = byCategory ? lines[b].category : lines[b].name;
    return QString::compare(ka, kb) < 0;
  });
  OrderLines sortedLines;
  std::vector<bool> sortedSel;
  sortedLines.reserve(lines.size());
  sortedSel.reserve(lines.size());
  for (size_t i : order) {
    sortedLines.push_back(std::move(lines[i]));
    sortedSel.push_back(selected[i]);
  }
  lines = std::move(sortedLines);
  selected = std::move(sortedSel);
}

QString dateMarked(const QString& note, const QDate& today) {
  return u'*' + DateText::format(today) + note + u' ';
}

QString tickRemoved(const QString& note) { return note.startsWith(u'*') ? note.mid(1) : note; }

void userTicked(OrderLine& line, bool ticked, bool dateMark, const QDate& today) {
  line.ticked = ticked;
  if (!dateMark) return;
  line.note = ticked ? dateMarked(line.note, today) : tickRemoved(line.note);
}

void tickSelected(OrderLines& lines, const std::vector<bool>& selected, bool dateMark, const QDate& today) {
  for (size_t i = 0; i < lines.size() && i < selected.size(); ++i) {
    if (!selected[i] || lines[i].ticked) continue;
    if (dateMark) lines[i].note = dateMarked(lines[i].note, today);
    lines[i].ticked = true;
  }
}

void untickSelected(OrderLines& lines, const std::vector<bool>& selected, bool dateMark) {
  for (size_t i = 0; i < lines.size() && i < selected.size(); ++i) {
    if (!selected[i]) continue;
    if (lines[i].ticked && dateMark) lines[i].note = tickRemoved(lines[i].note);
    lines[i].ticked = false;
  }
}

QUrl webAddress(const QString& text) {
  QString t = text.trimmed();
  if (t.isEmpty()) return {};
  if (t.startsWith(QStringLiteral("www."), Qt::CaseInsensitive)) t.prepend(QStringLiteral("http://"));
  const QUrl url(t, QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https")) return {};
  return url;
}

QString picturePath(const Database& db, const QString& name, const QString& category) {
  return ProductLookup::picturePathOf(db, name, category);
}

}  // namespace OrderLineTools
