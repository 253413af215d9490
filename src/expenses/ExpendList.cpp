#include "expenses/ExpendList.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/Numbers.h"
#include "store/Database.h"
#include "store/SharedRoutines.h"
#include "store/Table.h"
#include "store/TextEntry.h"

namespace ExpendList {

QStringList periodEntries() {
  QStringList out{AllText, WholeYearText};
  for (int m = 1; m <= 12; ++m) out << QStringLiteral("%1月").arg(m, 2, 10, QLatin1Char('0'));
  return out;
}

QStringList filterEntries(const Database& db) {
  QStringList out{AllText};
  out << db.settings.ExpenseCategories << UncategorisedText << EditCategoriesText;
  return out;
}

QStringList categoryEntries(const Database& db) {
  QStringList out = db.settings.ExpenseCategories;
  out << UncategorisedText;
  return out;
}

bool Filter::passesCategory(const QString& c) const { return category == AllText || c == category; }

bool Filter::passesPeriod(const QString& date) const {
  if (period == AllText) return true;
  if (QStringView(date).left(4) != year) return false;
  if (period == WholeYearText) return true;
  return QStringView(date).mid(5, 2) == QStringView(period).left(2);
}

QString statusText(int count, const Decimal& total) {
  return QStringLiteral(" 共 ") + QString::number(count) + QStringLiteral(" 筆資料，支出總計 ") + total.toText() +
         QStringLiteral(" 元");
}

QString Listing::status() const { return statusText(static_cast<int>(rows.size()), total); }

void sortByDate(std::vector<QStringList>& rows) {
  // Letters without regard to case: the case-folded dates compared code unit
  // by code unit, each folded once.
  std::vector<std::pair<QString, size_t>> keys;
  keys.reserve(rows.size());
  bool sorted = true;
  for (size_t i = 0; i < rows.size(); ++i) {
    keys.emplace_back(rows[i][Date].toCaseFolded(), i);
    if (i > 0 && keys[i].first < keys[i - 1].first) sorted = false;
  }
  if (sorted) return;
  std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<QStringList> out;
  out.reserve(rows.size());
  for (const auto& k : keys) out.push_back(std::move(rows[k.second]));
  rows.swap(out);
}

namespace {

template <class Test>
Listing build(const Table& expend, Test passes) {
  Listing l;
  const int n = expend.count();
  for (int r = 1; r <= n; ++r) {
    if (!passes(r)) continue;
    const QString& amount = expend.cell(r, ExpendCell::ExpendAmount);
    l.rows.push_back({expend.key(r), expend.cell(r, ExpendCell::ExpendCategory),
                      expend.cell(r, ExpendCell::ExpendDetail), amount, expend.cell(r, ExpendCell::ExpendNote),
                      QString::number(r)});
    l.total += Decimal::leading(amount);
  }
  // Filled first, sorted once.
  sortByDate(l.rows);
  l.negative.reserve(l.rows.size());
  for (const QStringList& row : l.rows) l.negative.push_back(Decimal::leading(row[Amount]).isNegative());
  return l;
}

}  // namespace

Listing ExpendShow(const Table& expend, const Filter& filter) {
  return build(expend, [&](int r) {
    return filter.passesCategory(expend.cell(r, ExpendCell::ExpendCategory)) && filter.passesPeriod(expend.key(r));
  });
}

Listing Search(const Table& expend, const Filter& filter, const QString& text, bool whole) {
  return build(expend, [&](int r) {
    if (!whole && !(filter.passesCategory(expend.cell(r, ExpendCell::ExpendCategory)) &&
                    filter.passesPeriod(expend.key(r))))
      return false;
    return expend.cell(r, ExpendCell::ExpendDetail).contains(text, Qt::CaseInsensitive) ||
           expend.cell(r, ExpendCell::ExpendNote).contains(text, Qt::CaseInsensitive);
  });
}

Check validate(Boxes& b) {
  if (b.date.isEmpty()) return Check::EmptyDate;
  const QDate d = DateText::parse(b.date);
  if (!d.isValid()) return Check::BadDate;
  b.date = DateText::format(d);
  if (!Num::isNumeric(b.amount)) b.amount = QStringLiteral("0");
  b.detail = TextEntry::clean(b.detail);
  b.note = TextEntry::clean(b.note);
  return Check::Ok;
}

QStringList rowCells(const Boxes& b) {
  return {b.date, b.category.isEmpty() ? UncategorisedText : b.category, b.detail, Num::canonical(b.amount), b.note};
}

namespace {
void write(Table& expend, int row, const Boxes& b) {
  const QStringList cells = rowCells(b);
  for (int c = 0; c < cells.size(); ++c) expend.setCell(row, c, cells[c]);
}
void changed(Database& db) {
  db.setDirty(true);
  db.ExpendDirty = true;
}
}  // namespace

int add(Database& db, const Boxes& b) {
  const int row = db.Expend.append(b.date);
  write(db.Expend, row, b);
  changed(db);
  return row;
}

bool edit(Database& db, int row, const Boxes& b) {
  if (row < 1 || row > db.Expend.count()) return false;
  write(db.Expend, row, b);
  changed(db);
  return true;
}

bool remove(Database& db, int row) {
  if (row < 1 || row > db.Expend.count()) return false;
  db.Expend.remove(row);
  changed(db);
  return true;
}

PeriodSwitch periodAfterAdd(const QString& period, const QString& year, const QString& date) {
  PeriodSwitch s;
  const QStringView y = QStringView(date).left(4);
  const QStringView month = QStringView(date).mid(5, 2);
  if (period == AllText) return s;
  if (y == year && (period == WholeYearText || QStringView(period).left(2) == month)) return s;
  s.change = true;
  // The date is "yyyy/mm/dd" here: its own four characters list it again.
  s.year = y.toString();
  s.periodIndex = month.toInt() + 1;
  return s;
}

namespace {
// The number an answer starts with, as text ("" when it starts with none).
std::string leadingNumber(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && text[i].isSpace()) ++i;
  const qsizetype start = i;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  bool digits = false;
  while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i, digits = true;
  if (i < text.size() && text[i] == u'.') {
    qsizetype j = i + 1;
    bool fraction = false;
    while (j < text.size() && text[j] >= u'0' && text[j] <= u'9') ++j, fraction = true;
    if (fraction || digits) i = j, digits = true;
  }
  return digits ? text.mid(start, i - start).toStdString() : std::string();
}
}  // namespace

Conversion convert(const QString& answer, const QString& amountCell, int digits) {
  Conversion c;
  const std::string number = leadingNumber(answer);
  if (number.empty()) return c;
  c.rate = std::strtod(number.c_str(), nullptr);
  const double product = c.rate * Num::leading(amountCell);
  if (!std::isfinite(c.rate) || !std::isfinite(product) || !std::isfinite(product * std::pow(10.0, digits + 1))) {
    c.outcome = Conversion::Outcome::Overflow;
    return c;
  }
  c.amount = RoundHalfUp(product, digits);
  c.outcome = Conversion::Outcome::Converted;
  return c;
}

}  // namespace ExpendList
