// Table-file reader: any bytes must read without crashing, and whatever is
// read as complete records must write back and read again the same.
#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

#include "platform/Codec.h"
#include "store/QuotedFieldFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int n = 1 + data[0] % 13;
  const QString text = Codec::decode(QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)));
  QuotedFieldReader r(text);
  QStringList f;
  std::vector<QStringList> records;
  while (!r.atEnd()) {
    const auto res = r.readRecord(n, &f);
    if (res != QuotedFieldReader::Record::Complete) break;
    records.push_back(f);
  }
  QuotedFieldWriter w;
  for (const auto& rec : records) {
    QStringList clean = rec;
    for (QString& v : clean) v.replace(u'"', u'\'');
    w.record(clean);
  }
  const QString again = w.text();
  QuotedFieldReader r2(again);
  for (const auto& rec : records) {
    QStringList g;
    if (r2.readRecord(n, &g) != QuotedFieldReader::Record::Complete) abort();
    QStringList clean = rec;
    for (QString& v : clean) v.replace(u'"', u'\'');
    // Unquoted fields lose outer blanks when first read; quoted ones keep everything.
    if (g != clean) abort();
  }
  return 0;
}
