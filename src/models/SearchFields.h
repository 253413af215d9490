#pragma once
// What the two search dialogs (the order search and the products-in-orders
// search) do alike with their boxes: the cleaning of a typed text, the
// eight-character date boxes ("※日期格式必須像這樣 20040513") and the date
// ranges compared as text with the date's comparison key.
#include <QString>
#include <QStringView>

namespace SearchFields {

// Blanks (space characters only) off both ends.
QString trimBlanks(const QString& text);

// The comparison key of a date text: characters 1 to 4, 6 and 7, and the
// last two, joined ("2004/05/13" gives "20040513"); a text too short for a
// part gives what there is of that part.
QString DateKey(QStringView date);
// The same key written into buffer (no allocation; for loops over tables).
using DateKeyBuffer = QChar[8];
QStringView DateKey(QStringView date, DateKeyBuffer& buffer);

// A date box is fine when it is empty or holds exactly eight digits. The
// digits are only ever compared as text, so no calendar check is made.
bool isDateBox(const QString& text);

// A range typed the wrong way round is turned: when `to` is smaller than
// `from` in text order (an empty `to` beside a filled `from` counts as
// smaller) the two exchange their texts.
void orderRange(QString& from, QString& to);

// from <= key <= to in text order (both ends included). A range with an
// empty end filters nothing: the caller tests that first.
inline bool inRange(QStringView key, const QString& from, const QString& to) {
  return QStringView(from).compare(key) <= 0 && key.compare(to) <= 0;
}

// True when either end of a range is empty (the range holds for everything).
inline bool openRange(const QString& from, const QString& to) { return from.isEmpty() || to.isEmpty(); }

// Token n (0-based) of a cell split at every single blank ("" past the
// last); has tells whether the cell has that token.
QStringView token(QStringView cell, int n, bool* has = nullptr);

}  // namespace SearchFields
