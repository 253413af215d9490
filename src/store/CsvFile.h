#pragma once
// CSV files the program imports and exports (products, picture paths,
// customers, suppliers, purchase sheets, rankings and the auction sites'
// buyer lists). Every file is code page 950 with CR LF line ends.
//
// Reading honours double-quoted fields: a quoted field keeps its commas and
// line breaks, and "" inside it stands for one quote. Lines end at CR LF,
// LF or a lone CR. A file whose text ends inside an open quote reads that
// last record as plain text split at every comma, so a stray quote never
// swallows the file. Unquoted fields are returned exactly as written.
//
// Writing quotes a field only when it must (a comma, a line break, or a
// leading quote), so files without such fields stay byte for byte what the
// program always wrote.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace Csv {

// Every record of the text, fields unquoted. An empty line gives a record
// of one empty field; the line end after the last record adds no record.
std::vector<QStringList> parse(QStringView text);
// One line's fields (the text holds no line end outside quotes).
QStringList splitLine(QStringView line);

// The records of parse(), one at a time, so that a long file is read
// without holding all of its fields at once. The text must outlive it.
class Reader {
 public:
  explicit Reader(QStringView text) : t_(text) {}
  // The next record into *fields; false at the end of the text.
  bool next(QStringList* fields);

 private:
  QStringView t_;
  qsizetype pos_ = 0;
};

// A field as the program writes it.
QString field(const QString& value);
// Fields joined by "," (each through field()), without the line end.
QString record(const QStringList& fields);

enum class ReadStatus { Ok, Unreadable, NotBig5, Utf8 };
// Reads and decodes a whole file. Utf8: the file carries a UTF-8 byte-order
// mark or is UTF-8 text that is not code page 950 (a spreadsheet's "CSV
// UTF-8"); NotBig5: other bytes that do not decode. *text is set only on Ok.
ReadStatus readFile(const QString& path, QString* text);
// What to tell the user for a status other than Ok: "發生錯誤!", or for
// Utf8 the request to save the file as Big5.
QString readFailureText(ReadStatus status);
inline const QString Utf8RefusalText =
    QStringLiteral("這個檔案是 UTF-8 編碼，無法匯入。請先將它另存為 Big5 (ANSI) 編碼的 CSV 檔案，再匯入一次。");

// Writes text (lines already ended by CR LF) in code page 950 through an
// atomic replace. False when the file could not be written; an earlier file
// of that name is then unchanged.
bool writeFile(const QString& path, const QString& text);

}  // namespace Csv
