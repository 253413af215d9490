#include "store/Decimal.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/Numbers.h"

namespace {

constexpr int kMaxDigits = 38;  // every 38-digit mantissa fits in __int128

__int128 pow10(int n) {
  __int128 p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  return p;
}

// Digits of |m| (m may be negative; its magnitude always fits unsigned).
std::string digitsOf(__int128 m) {
  unsigned __int128 u = m < 0 ? static_cast<unsigned __int128>(-(m + 1)) + 1 : static_cast<unsigned __int128>(m);
  if (u == 0) return "0";
  std::string s;
  while (u != 0) {
    s.push_back(static_cast<char>('0' + static_cast<int>(u % 10)));
    u /= 10;
  }
  return std::string(s.rbegin(), s.rend());
}

// Exact text of m / 10^s with its sign.
std::string exactText(__int128 m, int s) {
  std::string d = digitsOf(m);
  if (s > 0) {
    if (static_cast<int>(d.size()) <= s) d.insert(0, static_cast<size_t>(s - static_cast<int>(d.size()) + 1), '0');
    d.insert(d.size() - static_cast<size_t>(s), 1, '.');
    while (d.back() == '0') d.pop_back();
    if (d.back() == '.') d.pop_back();
  }
  if (m < 0 && d != "0") d.insert(0, 1, '-');
  return d;
}

}  // namespace

Decimal Decimal::leading(QStringView t) {
  const qsizetype n = t.size();
  qsizetype i = 0;
  while (i < n && t[i].isSpace()) ++i;
  const qsizetype start = i;
  bool negative = false;
  if (i < n && (t[i] == u'+' || t[i] == u'-')) negative = t[i++] == u'-';
  __int128 m = 0;
  int sig = 0;       // significant digits taken into m
  int scale = 0;
  int pendingZeros = 0;  // fraction zeros not yet taken (dropped when nothing follows)
  bool digits = false;
  bool tooLong = false;
  while (i < n && t[i] >= u'0' && t[i] <= u'9') {
    const int d = t[i++].unicode() - u'0';
    digits = true;
    if (sig == 0 && d == 0) continue;
    if (++sig > kMaxDigits) tooLong = true;
    else m = m * 10 + d;
  }
  if (i < n && t[i] == u'.') {
    qsizetype j = i + 1;
    bool frac = false;
    while (j < n && t[j] >= u'0' && t[j] <= u'9') {
      const int d = t[j++].unicode() - u'0';
      frac = true;
      if (tooLong) continue;
      if (d == 0) {
        ++pendingZeros;
        continue;
      }
      const int take = pendingZeros + 1;
      const int newSig = sig == 0 ? 1 : sig + take;
      if (newSig > kMaxDigits || scale + take > kMaxDigits) {
        tooLong = true;
        continue;
      }
      m = m * pow10(take) + d;
      sig = newSig;
      scale += take;
      pendingZeros = 0;
    }
    if (frac || digits) digits = true;
    i = (frac || digits) ? j : i;
  }
  Decimal r;
  if (!digits) return r;
  if (tooLong) {
    // Too many digits to hold exactly: read as the double reader does.
    r.inexact_ = true;
    r.d_ = Num::leading(t.mid(start).toString());
    return r;
  }
  r.m_ = negative ? -m : m;
  r.s_ = scale;
  return r;
}

Decimal Decimal::fromDouble(double v) { return leading(Num::format(v)); }

Decimal Decimal::scaled(__int128 mantissa, int scale) {
  Decimal r;
  r.m_ = mantissa;
  r.s_ = scale < 0 ? 0 : scale > kMaxDigits ? kMaxDigits : scale;
  r.normalize();
  return r;
}

void Decimal::becomeDouble() {
  if (inexact_) return;
  d_ = toDouble();
  inexact_ = true;
}

bool Decimal::rescaleTo(int scale) {
  if (scale <= s_) return true;
  const __int128 f = pow10(scale - s_);
  __int128 out;
  if (__builtin_mul_overflow(m_, f, &out)) return false;
  m_ = out;
  s_ = scale;
  return true;
}

void Decimal::normalize() {
  if (inexact_) return;
  while (s_ > 0 && m_ % 10 == 0) {
    m_ /= 10;
    --s_;
  }
}

Decimal& Decimal::operator+=(const Decimal& o) {
  if (!inexact_ && !o.inexact_) {
    Decimal b = o;
    const int scale = s_ > b.s_ ? s_ : b.s_;
    Decimal a = *this;
    __int128 sum;
    if (a.rescaleTo(scale) && b.rescaleTo(scale) && !__builtin_add_overflow(a.m_, b.m_, &sum)) {
      m_ = sum;
      s_ = scale;
      return *this;
    }
  }
  const double r = toDouble() + o.toDouble();
  inexact_ = true;
  d_ = r;
  return *this;
}

Decimal Decimal::operator-() const {
  Decimal r = *this;
  if (r.inexact_) r.d_ = -r.d_;
  else r.m_ = -r.m_;
  return r;
}

Decimal& Decimal::operator-=(const Decimal& o) { return *this += -o; }

Decimal& Decimal::operator*=(const Decimal& o) {
  if (!inexact_ && !o.inexact_) {
    Decimal a = *this, b = o;
    a.normalize();
    b.normalize();
    __int128 prod;
    if (!__builtin_mul_overflow(a.m_, b.m_, &prod)) {
      int scale = a.s_ + b.s_;
      // A scale beyond what the mantissa can show is rounded off (half away from zero).
      while (scale > kMaxDigits) {
        const __int128 q = prod / 10, rem = prod % 10;
        prod = q + (rem >= 5 ? 1 : rem <= -5 ? -1 : 0);
        --scale;
      }
      m_ = prod;
      s_ = scale;
      return *this;
    }
  }
  const double r = toDouble() * o.toDouble();
  inexact_ = true;
  d_ = r;
  return *this;
}

bool Decimal::isZero() const { return inexact_ ? d_ == 0 : m_ == 0; }
bool Decimal::isNegative() const { return inexact_ ? d_ < 0 : m_ < 0; }

int Decimal::compare(const Decimal& a, const Decimal& b) {
  if (!a.inexact_ && !b.inexact_) {
    Decimal x = a, y = b;
    const int scale = x.s_ > y.s_ ? x.s_ : y.s_;
    if (x.rescaleTo(scale) && y.rescaleTo(scale)) return x.m_ < y.m_ ? -1 : x.m_ > y.m_ ? 1 : 0;
  }
  const double x = a.toDouble(), y = b.toDouble();
  return x < y ? -1 : x > y ? 1 : 0;
}

double Decimal::toDouble() const {
  if (inexact_) return d_;
  if (s_ == 0 && m_ >= -(__int128(1) << 53) && m_ <= (__int128(1) << 53)) return static_cast<double>(static_cast<long long>(m_));
  const std::string s = exactText(m_, s_);
  return std::strtod(s.c_str(), nullptr);
}

QString Decimal::toExactText() const {
  if (inexact_) return Num::format(d_);
  return QString::fromLatin1(exactText(m_, s_));
}

QString Decimal::toText() const {
  if (inexact_) return Num::format(d_);
  if (m_ == 0) return QStringLiteral("0");
  // Round to 15 significant digits, half away from zero.
  __int128 m = m_;
  int s = s_;
  const int len = static_cast<int>(digitsOf(m).size());
  if (len > 15) {
    const int drop = len - 15;
    const __int128 p = pow10(drop);
    const __int128 q = m / p, rem = m % p;
    const __int128 half = p / 2;
    m = q + (rem >= half ? 1 : rem <= -half ? -1 : 0);
    // Whole digits dropped come back as zeros; fraction digits simply go.
    if (drop <= s) {
      s -= drop;
    } else {
      m *= pow10(drop - s);
      s = 0;
    }
  }
  if (m == 0) return QStringLiteral("0");
  return QString::fromLatin1(exactText(m, s));
}

Decimal Decimal::roundedToText() const {
  // Up to 15 significant digits the text holds the value exactly.
  static const __int128 limit = pow10(15);
  if (!inexact_ && m_ < limit && m_ > -limit) return *this;
  return leading(toText());
}
