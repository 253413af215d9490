#include "models/SearchFields.h"

namespace SearchFields {

QString trimBlanks(const QString& s) {
  qsizetype a = 0;
  qsizetype b = s.size();
  while (a < b && s[a] == u' ') ++a;
  while (b > a && s[b - 1] == u' ') --b;
  return s.mid(a, b - a);
}

QString DateKey(QStringView date) {
  QString key;
  key.reserve(8);
  key += date.left(4);
  key += date.mid(5, 2);
  key += date.right(2);
  return key;
}

QStringView DateKey(QStringView date, DateKeyBuffer& buffer) {
  qsizetype n = 0;
  for (const QStringView part : {date.left(4), date.mid(5, 2), date.right(2)})
    for (const QChar c : part) buffer[n++] = c;
  return QStringView(buffer, n);
}

bool isDateBox(const QString& text) {
  if (text.isEmpty()) return true;
  if (text.size() != 8) return false;
  for (const QChar c : text)
    if (c < u'0' || c > u'9') return false;
  return true;
}

void orderRange(QString& from, QString& to) {
  if (QString::compare(to, from) < 0) std::swap(from, to);
}

QStringView token(QStringView cell, int n, bool* has) {
  if (has) *has = false;
  if (cell.isEmpty()) return {};
  qsizetype from = 0;
  for (int k = 0; k < n; ++k) {
    const qsizetype blank = cell.indexOf(u' ', from);
    if (blank < 0) return {};
    from = blank + 1;
  }
  if (has) *has = true;
  const qsizetype blank = cell.indexOf(u' ', from);
  return cell.mid(from, blank < 0 ? -1 : blank - from);
}

}  // namespace SearchFields
