#pragma once
// The customer window's own CSV file: "匯出CSV檔" (all listed customers or
// the selected ones) and "匯入CSV檔". One header line, then one customer a
// line in ten fields: account, category, name, sex, phone, mobile, Email,
// address, the last five bank digits and the note.
//
// The export removes the CR LF pairs inside a value and quotes a field only
// when it holds a comma (or another line break, or starts with a quote), so
// a file without such values is byte for byte the plain layout and every
// export reads back whole. The import reads quoted fields with their commas.
#include <QString>
#include <QStringList>
#include <vector>

class Database;
class Prompt;
class Table;

namespace CustomerCsv {

inline const QString HeaderLine = QStringLiteral("客戶帳號,客戶分類,姓名,性別,電話,手機,Email,地址,帳號後5碼,備註");
inline const QString ReplaceQuestion =
    QStringLiteral("匯入的資料中如果包含已存在的客戶，要用匯入的資料取代原客戶資料嗎？");
inline const QString ImportDoneText = QStringLiteral("匯入CSV完成!");
inline const QString ExportDoneText = QStringLiteral("匯出完成");
inline const QString FileFilter = QStringLiteral("CSV檔案 (*.csv)");
inline const QString ExportFileName = QStringLiteral("客戶資料");

// The ten fields of Guest row r as the export writes them (CR LF pairs out).
QStringList exportFields(const Table& guest, int r);
// The whole file text: the header and one line per Guest row listed (rows
// outside the table are passed over), every line ended by CR LF.
QString exportText(const Table& guest, const std::vector<int>& rows);

struct ImportCount {
  int added = 0;
  int updated = 0;
};
// Imports the text of a customer file (its first line is the header). A
// line needs an account, and a category unless it holds the account alone
// (a customer without a category); a customer (account, category)
// already stored, or added by an earlier line, is rewritten from the line's
// fields when `replace`, else left alone. Does not touch the flag.
ImportCount importText(Database& db, const QString& text, bool replace);

// ---- the menu commands (file dialogs, question and messages) ----

// onExportAll / onExportSelected: the rows are the Guest rows of the
// list rows to write, in list order. Writes atomically; "匯出完成" only
// after the file was written, else "發生錯誤!".
void exportCommand(const Database& db, Prompt& prompt, const std::vector<int>& rows);
// onImportCsv. True when Guest changed and the list is to be rebuilt;
// a file that cannot be read or decoded changes nothing.
bool importCommand(Database& db, Prompt& prompt);

}  // namespace CustomerCsv
