#include "platform/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

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

bool readEntries(const QString& folder, const std::function<void(std::string_view name, unsigned char type)>& entry) {
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  alignas(dirent64) char buffer[8192];
  for (;;) {
    const ssize_t n = ::getdents64(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    for (ssize_t at = 0; at < n;) {
      const auto* d = reinterpret_cast<const dirent64*>(buffer + at);
      at += d->d_reclen;
      const std::string_view name(d->d_name);
      if (name == "." || name == "..") continue;
      entry(name, d->d_type);
    }
  }
  ::close(fd);
  return true;
}

bool sameButCase(std::string_view entry, const QString& name) {
  // Letter case pairs one character with one: an entry of fewer bytes than
  // name has characters cannot match, nor one of plain ASCII of another
  // length. Plain ASCII against plain ASCII is compared here.
  if (entry.size() < static_cast<size_t>(name.size())) return false;
  const bool ascii = std::all_of(entry.begin(), entry.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii && entry.size() != static_cast<size_t>(name.size())) return false;
  if (ascii && std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; })) {
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    for (size_t i = 0; i < entry.size(); ++i)
      if (lower(static_cast<char16_t>(entry[i])) != lower(name[static_cast<qsizetype>(i)].unicode())) return false;
    return true;
  }
  return QFile::decodeName(QByteArray(entry.data(), static_cast<qsizetype>(entry.size()))).compare(name, Qt::CaseInsensitive) == 0;
}

namespace {

// The names in dir that equal name but for letter case: up to two (two
// already make the listing's order decide). Every entry counts.
QStringList caseVariants(const QString& dir, const QString& name) {
  QStringList out;
  readEntries(dir, [&](std::string_view entry, unsigned char) {
    if (out.size() < 2 && sameButCase(entry, name))
      out << QFile::decodeName(QByteArray(entry.data(), static_cast<qsizetype>(entry.size())));
  });
  return out;
}

// As QFileInfo::exists: something is there, a link's target included.
bool there(const QString& path) { return ::access(QFile::encodeName(path).constData(), F_OK) == 0; }

}  // namespace

QString find(const QString& folder, const QString& name) {
  const QString dir = withSlash(folder);
  const QString exact = dir + name;
  if (there(exact)) return exact;
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

bool exists(const QString& folder, const QString& name) { return there(find(folder, name)); }

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
