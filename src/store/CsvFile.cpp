#include "store/CsvFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include "platform/Codec.h"
#include "store/HugePageAllocator.h"

namespace Csv {

namespace {

// Reads one record from pos. quotes = false splits at every comma.
// Returns false when the text ended inside an open quote.
bool readRecord(QStringView t, qsizetype& pos, bool quotes, QStringList& out) {
  out.clear();
  QString f;
  const qsizetype n = t.size();
  qsizetype i = pos;
  bool fieldStart = true;
  bool inQuotes = false;
  for (;;) {
    if (i >= n) {
      if (inQuotes) return false;
      out << f;
      pos = i;
      return true;
    }
    const QChar c = t[i];
    if (inQuotes) {
      if (c == u'"') {
        if (i + 1 < n && t[i + 1] == u'"') {
          f += u'"';
          i += 2;
        } else {
          inQuotes = false;
          ++i;
        }
      } else {
        // Up to the next quote at once.
        qsizetype j = i + 1;
        while (j < n && t[j] != u'"') ++j;
        f.append(t.mid(i, j - i));
        i = j;
      }
      continue;
    }
    if (c == u',') {
      out << std::move(f);
      f = QString();
      fieldStart = true;
      ++i;
      continue;
    }
    if (c == u'\r' || c == u'\n') {
      out << f;
      i += (c == u'\r' && i + 1 < n && t[i + 1] == u'\n') ? 2 : 1;
      pos = i;
      return true;
    }
    if (quotes && fieldStart && c == u'"') {
      inQuotes = true;
      fieldStart = false;
      ++i;
      continue;
    }
    fieldStart = false;
    // Up to the end of the field at once (a field of one run is made at
    // its own size).
    qsizetype j = i + 1;
    while (j < n && t[j] != u',' && t[j] != u'\r' && t[j] != u'\n') ++j;
    if (f.isEmpty()) f = t.mid(i, j - i).toString();
    else f.append(t.mid(i, j - i));
    i = j;
  }
}

bool isUtf8(const QByteArray& bytes) {
  QStringDecoder d(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
  const QString ignored = d.decode(bytes);
  return !d.hasError();
}

}  // namespace

bool Reader::next(QStringList* fields) {
  if (pos_ >= t_.size()) return false;
  const qsizetype start = pos_;
  if (!readRecord(t_, pos_, true, *fields)) {
    pos_ = start;
    readRecord(t_, pos_, false, *fields);
  }
  return true;
}

std::vector<QStringList> parse(QStringView text) {
  std::vector<QStringList> records;
  Reader reader(text);
  QStringList rec;
  while (reader.next(&rec)) records.push_back(rec);
  return records;
}

QStringList splitLine(QStringView line) {
  QStringList rec;
  qsizetype pos = 0;
  if (!readRecord(line, pos, true, rec)) {
    pos = 0;
    readRecord(line, pos, false, rec);
  }
  return rec;
}

QString field(const QString& value) {
  if (!value.contains(u',') && !value.contains(u'\r') && !value.contains(u'\n') && !value.startsWith(u'"'))
    return value;
  QString q = value;
  q.replace(QStringLiteral("\""), QStringLiteral("\"\""));
  return u'"' + q + u'"';
}

QString record(const QStringList& fields) {
  QString out;
  for (qsizetype i = 0; i < fields.size(); ++i) {
    if (i) out += u',';
    out += field(fields[i]);
  }
  return out;
}

ReadStatus readFile(const QString& path, QString* text) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return ReadStatus::Unreadable;
  const QByteArray bytes = f.readAll();
  if (f.error() != QFileDevice::NoError) return ReadStatus::Unreadable;
  if (bytes.startsWith("\xEF\xBB\xBF")) return ReadStatus::Utf8;
  // The text of a long list is the biggest block an import fills: made as
  // huge pages where the kernel has them.
  QString decoded(bytes.size(), Qt::Uninitialized);
  adviseHugePages(decoded.data(), static_cast<size_t>(bytes.size()) * sizeof(QChar));
  const qsizetype n = Codec::decodeTo(reinterpret_cast<char16_t*>(decoded.data()), bytes.constData(), bytes.size());
  if (n >= 0) {
    decoded.truncate(n);
  } else {
    bool ok = true;
    decoded = Codec::decode(bytes, &ok);
    if (!ok) return isUtf8(bytes) ? ReadStatus::Utf8 : ReadStatus::NotBig5;
  }
  *text = std::move(decoded);
  return ReadStatus::Ok;
}

QString readFailureText(ReadStatus status) {
  return status == ReadStatus::Utf8 ? Utf8RefusalText : QStringLiteral("發生錯誤!");
}

bool writeFile(const QString& path, const QString& text) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = Codec::encode(text);
  if (f.write(bytes) != bytes.size()) {
    f.cancelWriting();
    return false;
  }
  return f.commit();
}

}  // namespace Csv
