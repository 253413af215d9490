#include "printouts/PrintoutFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

bool write(QIODevice& device, const QByteArray& bytes) {
  qint64 done = 0;
  while (done < bytes.size()) {
    const qint64 n = device.write(bytes.constData() + done, bytes.size() - done);
    if (n <= 0) return false;
    done += n;
  }
  return true;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  bool ok = write(f, bytes) && f.flush();
  f.close();
  return ok && f.error() == QFileDevice::NoError;
}

}  // namespace PrintoutFile
