#pragma once
// Number and date texts as every table stores them and the lists and settings
// read them: the one reader and writer of both.
#include <QDate>
#include <QString>
#include <QStringList>

namespace Num {

// The number a text begins with: leading white space (also the full-width
// blank) skipped, an optional sign,
// digits with at most one decimal point. Empty or non-numeric text gives 0.
// "007" -> 7, "1.50" -> 1.5, "12 kg" -> 12, "abc" -> 0, "-3" -> -3.
double leading(const QString& text);

// True when the whole text (blanks around it allowed) is one decimal number.
// An empty text is not numeric.
bool isNumeric(const QString& text);

// Plain decimal text: no grouping, "." as point, "-" before negatives, no
// exponent, at most 15 significant digits, no trailing zeros. -0 gives "0".
QString format(double value);

// True when text is already what format() would write for its value.
bool isCanonical(QStringView text);
// format(leading(text)), without a round trip when text is already canonical.
QString canonical(const QString& text);

// floor((value * 10^(digits+1) + 5) / 10) / 10^digits in double precision:
// halves go toward positive infinity, also for negative values (-2.5 -> -2).
double roundHalfUp(double value, int digits);

// Halves away from zero: 2.5 -> 3, -2.5 -> -3.
double roundHalfAwayFromZero(double value, int digits = 0);

// Halves to the even neighbour: 50.5 -> 50, 51.5 -> 52.
double roundHalfEven(double value, int digits = 0);

}  // namespace Num

namespace DateText {

// y/m/d with "/" or "-" as separator and a four-digit year; an impossible
// date gives an invalid QDate.
QDate parse(const QString& text);
bool isDate(const QString& text);

// "yyyy/mm/dd".
QString format(const QDate& date);
QString today();

}  // namespace DateText

// Splits an encoded cell at every blank, keeping empty parts ("a  b" gives
// "a", "", "b"); an empty text gives one empty part.
QStringList splitAtBlanks(const QString& text);
