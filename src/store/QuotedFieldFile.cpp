#include "store/QuotedFieldFile.h"

namespace {
inline bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
inline bool isLineChar(QChar c) { return c == u'\r' || c == u'\n'; }
}  // namespace

bool QuotedFieldReader::takeLineEnd() {
  if (pos_ >= t_.size()) return false;
  if (t_[pos_] == u'\r') {
    ++pos_;
    if (pos_ < t_.size() && t_[pos_] == u'\n') ++pos_;
    return true;
  }
  if (t_[pos_] == u'\n') {
    ++pos_;
    return true;
  }
  return false;
}

QString QuotedFieldReader::readField(End* end) {
  const qsizetype n = t_.size();
  unterminated_ = false;
  while (pos_ < n && isBlank(t_[pos_])) ++pos_;
  QString value;
  if (pos_ < n && t_[pos_] == u'"') {
    const qsizetype start = pos_ + 1;
    qsizetype close = t_.indexOf(u'"', start);
    if (close < 0) {
      unterminated_ = true;
      value = t_.mid(start);
      pos_ = n;
    } else {
      value = t_.mid(start, close - start);
      pos_ = close + 1;
      // Anything between the closing quote and the separator is passed over.
      while (pos_ < n && t_[pos_] != u',' && !isLineChar(t_[pos_])) {
        if (!isBlank(t_[pos_])) irregular_ = true;
        ++pos_;
      }
    }
  } else {
    qsizetype i = pos_;
    while (i < n && t_[i] != u',' && !isLineChar(t_[i])) ++i;
    qsizetype e = i;
    while (e > pos_ && isBlank(t_[e - 1])) --e;
    value = t_.mid(pos_, e - pos_);
    if (value.contains(u'"')) irregular_ = true;
    pos_ = i;
  }
  End how = End::EndOfFile;
  if (pos_ < n && t_[pos_] == u',') {
    ++pos_;
    how = End::Comma;
  } else if (takeLineEnd()) {
    how = End::LineEnd;
  }
  if (end) *end = how;
  return value;
}

QuotedFieldReader::Record QuotedFieldReader::readRecord(int n, QStringList* fields) {
  fields->clear();
  fields->reserve(n);
  for (int i = 0; i < n; ++i) {
    if (atEnd()) return Record::Truncated;
    End how;
    fields->append(readField(&how));
    if (unterminated_) return Record::Truncated;
    const bool last = i == n - 1;
    if (last) {
      if (how == End::Comma) return Record::Damaged;
    } else if (how != End::Comma) {
      // A line end (or the end of the file) before the record is full.
      if (how == End::EndOfFile || atEnd()) return Record::Truncated;
      return Record::Damaged;
    }
  }
  return Record::Complete;
}

QString QuotedFieldReader::readLine() {
  const qsizetype n = t_.size();
  qsizetype i = pos_;
  while (i < n && !isLineChar(t_[i])) ++i;
  QString line = t_.mid(pos_, i - pos_);
  pos_ = i;
  takeLineEnd();
  return line;
}

void QuotedFieldWriter::field(const QString& value) {
  separate();
  out_ += u'"';
  if (value.contains(u'"')) {
    QString v = value;
    v.replace(u'"', u'\'');
    out_ += v;
  } else {
    out_ += value;
  }
  out_ += u'"';
}

void QuotedFieldWriter::bare(const QString& value) {
  separate();
  out_ += value;
}

void QuotedFieldWriter::record(const QStringList& fields) {
  for (const QString& f : fields) field(f);
  endRecord();
}
