#include "printouts/PrintoutFile.h"

#include <QDir>
#include <QFileInfo>

#include "platform/OwnerOnlyFile.h"
#include "store/Database.h"
#include "store/SharedRoutines.h"

namespace PrintoutFile {

bool tempFolderUsable(const Database& db) {
  return !db.TempPath.isEmpty() && db.TempPath != QStringLiteral("123") && FolderExists(db.TempPath);
}

QString path(const Database& db, const QString& name) {
  const QString folder = db.TempPath.isEmpty() ? QDir::currentPath() : db.TempPath;
  return QFileInfo(QDir(folder), name).absoluteFilePath();
}

bool writeFile(const QString& path, const QByteArray& bytes) { return OwnerOnlyFile::replace(path, bytes); }

}  // namespace PrintoutFile
