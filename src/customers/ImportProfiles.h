#pragma once
// The three clipboard-import profiles of "設定匯入客戶格式": their names and
// key lists, loaded from a template file and stored in Import.kdt.
#include <QString>
#include <QStringList>
#include <array>

class Database;
class Prompt;

namespace ImportProfiles {

// Captions of the nine fields, in key-list order.
QStringList fieldCaptions();

// A template file's text as ten lines: the profile name, then the key lists
// of fields 1 to 9. Lines end at CR LF, CR or LF; lines after the tenth are
// not read and lines the file lacks are empty.
QStringList templateLines(const QString& text);

// One profile as the dialog's column holds it.
struct Profile {
  QString name;
  std::array<QString, 9> keys;  // fields 1..9
};

// Stores the three profiles (1..3) in the database's settings and writes
// Import.kdt. Text a file cannot hold is refused (its field named) and line
// breaks are taken out, so every list stays one line of the file. When the
// file cannot be written, "發生錯誤!" is shown and nothing changes. True when
// stored.
bool store(Database& db, Prompt& prompt, const std::array<Profile, 3>& profiles);

// Reads a template file for a column: false (the column keeps its text)
// when cancelled or when the file cannot be read, which is reported.
bool loadTemplate(Prompt& prompt, Profile& column);

}  // namespace ImportProfiles
