#include "platform/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <dirent.h>

#include <QFile>

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

namespace {

// The names in dir that equal name but for letter case: up to two (two
// already make the listing's order decide). Read straight from the folder,
// without a look at each file: every entry but "." and ".." counts.
QStringList caseVariants(const QString& dir, const QString& name) {
  QStringList out;
  DIR* d = ::opendir(QFile::encodeName(dir).constData());
  if (!d) return out;
  while (const dirent* e = ::readdir(d)) {
    const char* n = e->d_name;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    const QString entry = QFile::decodeName(n);
    if (entry.compare(name, Qt::CaseInsensitive) != 0) continue;
    out << entry;
    if (out.size() == 2) break;
  }
  ::closedir(d);
  return out;
}

}  // namespace

QString find(const QString& folder, const QString& name) {
  const QString dir = withSlash(folder);
  const QString exact = dir + name;
  if (QFileInfo::exists(exact)) return exact;
  // One name that differs in case is the answer whatever the order; of
  // several, the first in the folder's sorted listing wins.
  const QStringList variants = caseVariants(dir, name);
  if (variants.isEmpty()) return exact;
  if (variants.size() == 1) return dir + variants.front();
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
