#pragma once
// The two scratch files of the printouts, "temp.htm" and "temp.txt", in the
// temporary-file folder TempPath.
#include <QByteArray>
#include <QString>

class Database;

namespace PrintoutFile {

// True when TempPath names an existing folder (empty, the "not set" mark
// "123" and a folder that is gone are not).
bool tempFolderUsable(const Database& db);

// The full path of a printout file: in TempPath, or, while TempPath is
// empty (the folder dialog was left without a choice), in the current folder.
QString path(const Database& db, const QString& name);

// Replaces the file with the bytes: a new file, readable by its owner only,
// renamed over the name (the folder may be shared; a link planted at the
// name is replaced, never written through). False when it could not be
// written; then the old file stands as it was.
bool writeFile(const QString& path, const QByteArray& bytes);

}  // namespace PrintoutFile
