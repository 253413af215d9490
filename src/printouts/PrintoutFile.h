#pragma once
// The two scratch files of the printouts, "temp.htm" and "temp.txt", in the
// temporary-file folder TempPath.
#include <QByteArray>
#include <QString>

class Database;
class QIODevice;

namespace PrintoutFile {

// True when TempPath names an existing folder (empty, the "not set" mark
// "123" and a folder that is gone are not).
bool tempFolderUsable(const Database& db);

// The full path of a printout file: in TempPath, or, while TempPath is
// empty (the folder dialog was left without a choice), in the current folder.
QString path(const Database& db, const QString& name);

// Writes every byte to an open device; false when a write failed.
bool write(QIODevice& device, const QByteArray& bytes);
// Replaces the file with the bytes. The file is closed in every case;
// false when it could not be created, written or closed cleanly.
bool writeFile(const QString& path, const QByteArray& bytes);

}  // namespace PrintoutFile
