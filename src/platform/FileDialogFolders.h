#pragma once
// Where the open and save dialogs start. A dialog whose caller names no
// folder (or one that no longer exists) starts in the folder last used for
// that kind of file (by the filter's first pattern: "*.csv", "*.kbk", ...),
// else in the user's home folder, never in the program's working folder.
// The folder of every chosen file is remembered for its kind in the
// settings store, section "FileDialog".
#include <QString>

namespace FileDialogFolders {

// The kind of a filter such as "CSV 檔案 (*.csv)": "csv"; "*" when it has no
// extension pattern.
QString kindOf(const QString& filter);

// The path to start the dialog at. `start` is what the caller gave: a
// folder, a folder and a file name, a bare file name, or nothing.
QString startPath(const QString& filter, const QString& start);

// Remembers the folder of a chosen file (nothing for an empty path).
void remember(const QString& filter, const QString& chosenPath);

}  // namespace FileDialogFolders
