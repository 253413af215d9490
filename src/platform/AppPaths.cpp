#include "platform/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace AppPaths {

QString withSlash(const QString& folder) {
  if (folder.isEmpty() || folder.endsWith(u'/')) return folder;
  return folder + u'/';
}

QString appPath() {
  QString p = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (p.isEmpty()) p = QDir::homePath() + QStringLiteral("/.local/share/Kestrin");
  QDir().mkpath(p);
  return withSlash(p);
}

QString find(const QString& folder, const QString& name) {
  const QString dir = withSlash(folder);
  const QString exact = dir + name;
  if (QFileInfo::exists(exact)) return exact;
  const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
  for (const QString& e : entries) {
    if (e.compare(name, Qt::CaseInsensitive) == 0) return dir + e;
  }
  return exact;
}

bool exists(const QString& folder, const QString& name) { return QFileInfo::exists(find(folder, name)); }

bool folderExists(const QString& folder) {
  if (folder.isEmpty()) return false;
  return QFileInfo(folder).isDir();
}

bool isRefusedFolder(const QString& folder) {
  const QFileInfo fi(folder);
  if (!fi.isDir()) return true;
  QString p = QDir::cleanPath(fi.absoluteFilePath());
  if (p == QStringLiteral("/")) return true;
  static const char* kSystem[] = {"/usr", "/bin", "/sbin", "/etc", "/boot", "/dev", "/proc", "/sys", "/run"};
  for (const char* s : kSystem) {
    const QString sys = QString::fromLatin1(s);
    if (p == sys || p.startsWith(sys + u'/')) return true;
  }
  if (p.startsWith(QStringLiteral("/lib"))) return true;
  return !fi.isWritable();
}

}  // namespace AppPaths
