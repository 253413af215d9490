#pragma once
// Num::leading for the hot loops over whole tables: whole numbers (the
// usual money and quantity cells) are read in place; anything else goes to
// Num::leading, so the result is always the same as Num::leading's.
#include <QString>

#include "platform/Numbers.h"

inline double cellNumber(const QString& text) {
  const QChar* p = text.constData();
  const qsizetype n = text.size();
  qsizetype i = 0;
  bool negative = false;
  if (i < n && (p[i] == u'-' || p[i] == u'+')) negative = p[i++] == u'-';
  const qsizetype first = i;
  long long v = 0;
  while (i < n && p[i] >= u'0' && p[i] <= u'9' && i - first < 15) v = v * 10 + (p[i++].unicode() - u'0');
  if (i == first || (i < n && (p[i] == u'.' || (p[i] >= u'0' && p[i] <= u'9')))) return Num::leading(text);
  const double d = static_cast<double>(v);
  return negative ? -d : d;
}
