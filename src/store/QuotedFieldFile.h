#pragma once
// The text format of every table file and settings item: each field in
// double quotes, one comma between fields, CR LF after each record. Values
// are never escaped, so a quoted value may hold commas and line breaks but
// never a double quote. Works on text already decoded from code page 950.
#include <QString>
#include <QStringList>

class QuotedFieldReader {
 public:
  enum class End { Comma, LineEnd, EndOfFile };
  enum class Record { Complete, Truncated, Damaged };

  explicit QuotedFieldReader(const QString& text) : t_(text) {}

  bool atEnd() const { return pos_ >= t_.size(); }

  // Reads one field. A quoted field runs to the next double quote; an
  // unquoted one to the next comma or line end, trailing blanks removed.
  // Blanks before a field are skipped; the comma or line end after it is consumed.
  QString readField(End* end = nullptr);

  // Reads the next n fields as one record. Truncated: the file ended inside
  // it (the caller drops it). Damaged: a field ended where the record's
  // layout does not allow it (a comma after the last field, or a line end
  // before it) -- fields were lost or added in that line.
  Record readRecord(int n, QStringList* fields);

  // The rest of the current line, unchanged (quotes and commas included).
  QString readLine();

  qsizetype position() const { return pos_; }

  // Something was read that the writers never write, so the value read is
  // not what the file holds: text between a closing quote and the next
  // separator (passed over), or a double quote inside an unquoted field (a
  // quote that lost its partner).
  bool irregular() const { return irregular_; }

 private:
  // Consumes a line end at pos_ if one is there (CR LF, CR or LF).
  bool takeLineEnd();
  const QString& t_;
  qsizetype pos_ = 0;
  bool unterminated_ = false;
  bool irregular_ = false;
};

class QuotedFieldWriter {
 public:
  // A quoted field. As a last defence a double quote left in a value is
  // written as "'" so that the file always reads back.
  void field(const QString& value);
  // An unquoted item (numbers, "#TRUE#", shipping-method names).
  void bare(const QString& value);
  void endRecord() { out_ += QStringLiteral("\r\n"); first_ = true; }
  void record(const QStringList& fields);
  void line(const QString& text) { out_ += text; endRecord(); }

  void reserve(qsizetype n) { out_.reserve(n); }
  const QString& text() const { return out_; }

 private:
  void separate() { if (!first_) out_ += u','; first_ = false; }
  QString out_;
  bool first_ = true;
};
