#include "platform/Numbers.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace Num {

namespace {

// Scans [sign] digits [. digits] starting at pos; returns end index, or -1 when
// no digit was found.
qsizetype scanNumber(const QString& t, qsizetype pos) {
  qsizetype i = pos;
  if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
  bool digits = false;
  while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') { ++i; digits = true; }
  if (i < t.size() && t[i] == u'.') {
    qsizetype j = i + 1;
    bool frac = false;
    while (j < t.size() && t[j] >= u'0' && t[j] <= u'9') { ++j; frac = true; }
    if (frac || digits) { i = j; digits = digits || frac; }
  }
  return digits ? i : -1;
}

}  // namespace

double leading(const QString& text) {
  qsizetype p = 0;
  // The same blanks isNumeric allows around a number, the full-width one too.
  while (p < text.size() && text[p].isSpace()) ++p;
  const qsizetype end = scanNumber(text, p);
  if (end < 0) return 0.0;
  const std::string s = text.mid(p, end - p).toStdString();
  const double v = std::strtod(s.c_str(), nullptr);
  return std::isfinite(v) ? v : 0.0;
}

bool isNumeric(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return false;
  return scanNumber(t, 0) == t.size();
}

namespace {
bool looksCanonical(QStringView t) {
  qsizetype i = 0;
  const qsizetype n = t.size();
  if (n == 0) return false;
  if (t[0] == u'-') {
    if (n == 1 || t == u"-0") return false;
    ++i;
  }
  const qsizetype intStart = i;
  while (i < n && t[i] >= u'0' && t[i] <= u'9') ++i;
  const qsizetype intLen = i - intStart;
  if (intLen == 0 || (intLen > 1 && t[intStart] == u'0')) return false;
  qsizetype digits = (intLen == 1 && t[intStart] == u'0') ? 0 : intLen;
  if (i == n) {
    // Zeros ending a whole number hold no significant digit.
    qsizetype z = n;
    while (z > intStart + 1 && t[z - 1] == u'0') { --z; --digits; }
    return digits <= 15;
  }
  if (t[i] != u'.') return false;
  ++i;
  const qsizetype fracStart = i;
  while (i < n && t[i] >= u'0' && t[i] <= u'9') ++i;
  if (i != n || i == fracStart || t[n - 1] == u'0') return false;
  digits += n - fracStart;
  if (digits == 0) return false;
  // Leading zeros of a fraction below one are not significant.
  if (intLen == 1 && t[intStart] == u'0') {
    qsizetype z = fracStart;
    while (z < n && t[z] == u'0') { ++z; --digits; }
  }
  return digits <= 15;
}
}  // namespace

bool isCanonical(QStringView t) {
  if (!looksCanonical(t)) return false;
  // A text that long may lie beyond what a double holds ("1" and 309 zeros
  // reads as 0): canonical only when it reads back as itself.
  if (t.size() > 300) return format(leading(t.toString())) == t;
  return true;
}

QString canonical(const QString& text) {
  if (isCanonical(text)) return text;
  return format(leading(text));
}

QString format(double value) {
  if (!std::isfinite(value)) return QStringLiteral("0");
  if (value == 0) return QStringLiteral("0");
  if (value == std::trunc(value) && std::fabs(value) < 1e15) return QString::number(static_cast<qint64>(value));
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", value);  // d.dddddddddddddde±XX
  std::string s(buf);
  const bool neg = s[0] == '-';
  if (neg) s.erase(0, 1);
  const auto epos = s.find('e');
  const int exp = std::atoi(s.c_str() + epos + 1);
  std::string mant = s.substr(0, 1) + s.substr(2, epos - 2);  // 15 digits
  while (mant.size() > 1 && mant.back() == '0') mant.pop_back();
  std::string out;
  if (exp >= 0) {
    if (static_cast<int>(mant.size()) <= exp + 1) {
      out = mant + std::string(exp + 1 - mant.size(), '0');
    } else {
      out = mant.substr(0, exp + 1) + "." + mant.substr(exp + 1);
    }
  } else {
    out = "0." + std::string(-exp - 1, '0') + mant;
  }
  if (out == "0") return QStringLiteral("0");
  return QString::fromLatin1((neg ? "-" : "") + out);
}

double roundHalfUp(double value, int digits) {
  // One multiplication by 10^(digits + 1): value * 10^digits * 10 rounds
  // differently (-2.45 to 1 digit must give -2.5).
  const double r = std::floor((value * std::pow(10.0, digits + 1) + 5.0) / 10.0) / std::pow(10.0, digits);
  return std::isfinite(r) ? r : 0.0;
}

double roundHalfAwayFromZero(double value, int digits) {
  const double p = std::pow(10.0, digits);
  return std::round(value * p) / p;
}

double roundHalfEven(double value, int digits) {
  const double p = std::pow(10.0, digits);
  return std::nearbyint(value * p) / p;  // default rounding mode: to nearest even
}

}  // namespace Num

namespace DateText {

QDate parse(const QString& text) {
  static const QRegularExpression re(QStringLiteral("^\\s*(\\d{4})([/-])(\\d{1,2})\\2(\\d{1,2})\\s*$"));
  const auto m = re.match(text);
  if (!m.hasMatch()) return {};
  return QDate(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
}

bool isDate(const QString& text) { return parse(text).isValid(); }

QString format(const QDate& date) { return date.toString(QStringLiteral("yyyy/MM/dd")); }

QString today() { return format(QDate::currentDate()); }

}  // namespace DateText

QStringList splitAtBlanks(const QString& text) { return text.split(u' '); }
