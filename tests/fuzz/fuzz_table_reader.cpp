// Table-file reader: any bytes must read without crashing, and whatever is
// read as complete records must write back and read again the same. The
// fast reader of the writers' layout must either leave the bytes to the
// field reader or read exactly the records the field reader reads.
#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

#include "platform/Codec.h"
#include "store/QuotedFieldFile.h"
#include "store/TableFileParse.h"

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
  const ParsedTableFile fast = parseTableBytes(reinterpret_cast<const char*>(data + 1), size - 1, n);
  if (fast.regular) {
    bool clean = true;
    const QString decoded = Codec::decode(QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)), &clean);
    QuotedFieldReader all(decoded);
    size_t row = 0;
    QStringList g;
    while (!all.atEnd()) {
      if (!clean || all.readRecord(n, &g) != QuotedFieldReader::Record::Complete || row >= fast.rowCount()) abort();
      for (int k = 0; k < n; ++k)
        if (fast.field(row, k) != g[k]) abort();
      ++row;
    }
    if (row != fast.rowCount()) abort();
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
