#pragma once
// The list of known databases, List.dat in the program folder: one line per
// database, its name, the character with code 1 and its folder.
#include <QString>
#include <QStringList>

class Database;
class Prompt;

namespace DatabaseList {

constexpr QChar kSeparator = QChar(1);
constexpr const char* kDefaultName = "預設資料庫";

QString entry(const QString& name, const QString& folder);
QString nameOf(const QString& entry);
QString folderOf(const QString& entry);

// Fills db.DataBaseList from db.AppPath + "List.dat", creating the file with
// the default entry (the program folder) when it is missing. An over-full
// file keeps its first 100 entries; the original is kept beside it and the
// user told.
void DataBaseInit(Database& db, Prompt& prompt);

// Rewrites List.dat from entries; false on failure.
bool write(const QString& appPath, const QStringList& entries);

}  // namespace DatabaseList
