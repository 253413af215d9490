// Number and date parsers: never crash, and formatting is stable.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "platform/Numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const double v = Num::leading(text);
  const QString f = Num::format(v);
  if (Num::format(Num::leading(f)) != f) abort();
  if (!Num::isCanonical(f)) abort();
  if (Num::canonical(text) != f) abort();
  const QDate d = DateText::parse(text);
  if (d.isValid() && DateText::parse(DateText::format(d)) != d) abort();
  (void)splitAtBlanks(text);
  return 0;
}
