#pragma once
// Exact decimal arithmetic for money and quantity cells. Amounts are stored
// as decimal text; summing them as binary doubles shows noise such as
// "45944220.3399998". A Decimal reads a cell's leading number exactly (the
// same grammar as Num::leading), adds, subtracts and multiplies without
// error, and writes the result by the program's number rule (plain decimal,
// at most 15 significant digits, no exponent, no trailing zeros).
//
//   Decimal total;
//   for (int r : rows) total += Decimal::leading(order.cell(r, OrderCell::Receivable));
//   panel = "應收帳款: " + total.toText() + " ";
//
// Divisions and conversions at a rate stay in double with the rounding the
// program names for them (RoundHalfUp and its kind); convert with toDouble()
// and back with fromDouble().
//
// Values hold up to 38 significant digits. A value beyond that (a cell of
// hundreds of digits, a product of two huge numbers) is carried as a double;
// such values read as Num::leading reads them, so no figure is ever worse
// than the double arithmetic it replaces.
#include <QString>
#include <QStringView>
#include <compare>

class Decimal {
 public:
  constexpr Decimal() = default;
  // Whole numbers convert exactly.
  constexpr Decimal(int v) : m_(v) {}            // NOLINT(google-explicit-constructor)
  constexpr Decimal(long long v) : m_(v) {}      // NOLINT(google-explicit-constructor)

  // The leading number of a text, exactly: leading blanks (the full-width
  // one too) skipped, an optional sign, digits with at most one decimal
  // point. Empty or non-numeric text gives 0. Equal to Num::leading(text)
  // whenever that reads the text exactly.
  static Decimal leading(QStringView text);
  // The value that Num::format(v) writes (15 significant digits).
  static Decimal fromDouble(double v);
  // mantissa / 10^scale, exactly (scale 0 to 38): sums kept as whole
  // numbers of millionths and their kind.
  static Decimal scaled(__int128 mantissa, int scale);

  Decimal& operator+=(const Decimal& o);
  Decimal& operator-=(const Decimal& o);
  Decimal& operator*=(const Decimal& o);
  friend Decimal operator+(Decimal a, const Decimal& b) { return a += b; }
  friend Decimal operator-(Decimal a, const Decimal& b) { return a -= b; }
  friend Decimal operator*(Decimal a, const Decimal& b) { return a *= b; }
  Decimal operator-() const;

  bool isZero() const;
  bool isNegative() const;
  // False once the value is carried as a double (beyond 38 digits).
  bool isExact() const { return !inexact_; }
  friend bool operator==(const Decimal& a, const Decimal& b) { return compare(a, b) == 0; }
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
    const int c = compare(a, b);
    return c < 0 ? std::strong_ordering::less : c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal;
  }

  // The nearest double.
  double toDouble() const;
  // Plain decimal text with at most 15 significant digits (rounded half
  // away from zero), no exponent, no grouping, no trailing zeros; "0" for
  // zero (never "-0"). Identical to Num::format(toDouble()) whenever the
  // double arithmetic had no binary error.
  QString toText() const;
  // The value toText() writes, read back: what a sum kept in a text cell
  // holds after each step (15 significant digits, half away from zero).
  Decimal roundedToText() const;
  // Every digit, unrounded (for tests and for files that keep full precision).
  QString toExactText() const;

 private:
  static int compare(const Decimal& a, const Decimal& b);
  void becomeDouble();
  bool rescaleTo(int scale);  // false when the mantissa would overflow
  void normalize();           // drops trailing zeros of the fraction

  __int128 m_ = 0;     // value = m_ / 10^s_ (while exact)
  int s_ = 0;          // 0 .. 38
  bool inexact_ = false;
  double d_ = 0;       // the value while inexact_
};
