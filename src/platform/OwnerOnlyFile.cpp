#include "platform/OwnerOnlyFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace OwnerOnlyFile {

bool writeFully(int fd, const char* data, qint64 len) {
  while (len > 0) {
    const ssize_t w = ::write(fd, data, static_cast<size_t>(len));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    data += w;
    len -= w;
  }
  return true;
}

namespace {

void syncFolder(const QByteArray& folder) {
  const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool replace(const QString& path, const QByteArray& bytes, Flush flush) {
  const QFileInfo info(path);
  if (info.fileName().isEmpty()) return false;
  const QByteArray target = QFile::encodeName(info.absoluteFilePath());
  const QByteArray folder = QFile::encodeName(info.absolutePath());
  // A hidden name of its own beside the target; mkstemp creates it
  // exclusively (never through something already there) with mode 0600.
  QByteArray temp = folder + "/." + QFile::encodeName(info.fileName()) + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && writeFully(fd, bytes.constData(), bytes.size());
  if (ok && flush == Flush::ToDisk) ok = ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.constData(), target.constData()) == 0;
  if (!ok) {
    ::unlink(temp.constData());
    return false;
  }
  // The file is in place now: a folder that cannot be synced does not make
  // the write a failure.
  if (flush == Flush::ToDisk) syncFolder(folder);
  return true;
}

Scope::Scope() : previous_(::umask(S_IRWXG | S_IRWXO)) { ::umask(previous_ | S_IRWXG | S_IRWXO); }

Scope::~Scope() { ::umask(previous_); }

}  // namespace OwnerOnlyFile
