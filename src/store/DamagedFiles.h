#pragma once
// Keeping the original of a file that did not load whole. Before such a file
// is first rewritten, its bytes are kept beside it as
// "<name>.damaged-yyyymmddhhmmss" and the user is told once, so that no
// write ever replaces what could not be read.
#include <QString>
#include <QStringList>

namespace DamagedFiles {

struct Kept {
  bool ok = false;     // the original is kept (or there was nothing to keep)
  bool fresh = false;  // a new copy was made now (the user has not been told of it)
  QString name;        // file name of the kept copy
};

// Copies the file at path to "<path>.damaged-<now>". A kept copy of the same
// bytes already beside it counts as kept (not fresh). A missing file is ok.
Kept keepCopy(const QString& path);
// Renames the file aside instead of copying it (for a file that is about to
// be removed).
Kept moveAside(const QString& path);

// "載入時發生錯誤的檔案，原檔已保留為:" and one kept name a line.
QString keptText(const QStringList& keptNames);

// The save refuses to replace these files, whose originals could not be kept.
QString unkeptText(const QStringList& names);

// The files of a database folder that the program rewrites through its
// atomic writer: the save's tables, counter and category lists, the
// settings files and the password files.
QStringList writtenFiles();
// The settings files that only their own writers replace (the settings
// dialog, the import-profile dialog, the folder dialog); the database save
// leaves them alone, and so does its keeping of damaged originals.
QStringList ownWriterFiles();

}  // namespace DamagedFiles
