#include "store/DecimalSum.h"

#include <string>

namespace {

// A plain number ([-]digits[.digits], at most 18 whole digits and 6 decimals,
// followed by the end or a character that is no digit) times 10^6. False for
// anything else, which Decimal::leading then reads.
bool plainScaled(QStringView t, __int128* out) {
  const qsizetype n = t.size();
  qsizetype i = 0;
  bool negative = false;
  if (i < n && t[i] == u'-') {
    negative = true;
    ++i;
  }
  const qsizetype first = i;
  long long whole = 0;
  while (i < n && t[i] >= u'0' && t[i] <= u'9') {
    if (i - first >= 18) return false;
    whole = whole * 10 + (t[i].unicode() - u'0');
    ++i;
  }
  if (i == first) return false;
  long long frac = 0;
  int digits = 0;
  if (i < n && t[i] == u'.') {
    ++i;
    while (i < n && t[i] >= u'0' && t[i] <= u'9') {
      if (++digits > 6) return false;
      frac = frac * 10 + (t[i].unicode() - u'0');
      ++i;
    }
    if (digits == 0) return false;  // "12." and its kind: leave to the full reader
  }
  for (int d = digits; d < 6; ++d) frac *= 10;
  const __int128 v = static_cast<__int128>(whole) * 1000000 + frac;
  *out = negative ? -v : v;
  return true;
}

}  // namespace

void DecimalSum::add(QStringView cell) {
  __int128 v;
  if (plainScaled(cell, &v)) fixed_ += v;
  else rest_ += Decimal::leading(cell);
}

bool DecimalSum::readScaled(QStringView cell, int64_t* scaled) {
  __int128 v;
  if (!plainScaled(cell, &v) || v > INT64_MAX || v < INT64_MIN) return false;
  *scaled = static_cast<int64_t>(v);
  return true;
}

void DecimalSum::add(const DecimalSum& o) {
  fixed_ += o.fixed_;
  rest_ += o.rest_;
}

void DecimalSum::subtract(const DecimalSum& o) {
  fixed_ -= o.fixed_;
  rest_ -= o.rest_;
}

Decimal DecimalSum::value() const {
  // fixed_ as exact decimal text, read back exactly.
  unsigned __int128 u = fixed_ < 0 ? static_cast<unsigned __int128>(-(fixed_ + 1)) + 1 : static_cast<unsigned __int128>(fixed_);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(u % 10)));
    u /= 10;
  } while (u != 0);
  while (digits.size() <= static_cast<size_t>(kScale)) digits.insert(digits.begin(), '0');
  digits.insert(digits.size() - kScale, 1, '.');
  if (fixed_ < 0) digits.insert(digits.begin(), '-');
  return Decimal::leading(QString::fromLatin1(digits)) + rest_;
}
