#include "store/OwnerOnlyFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AppPaths.h"
#include "store/SaveTransaction.h"

namespace OwnerOnlyFile {

namespace {
bool writeAll(int fd, const char* p, qint64 n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, static_cast<size_t>(n));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= w;
  }
  return true;
}
}  // namespace

bool write(const QString& folder, const QString& name, const QByteArray& bytes) {
  const QString dir = AppPaths::withSlash(folder);
  const QByteArray temp = QFile::encodeName(dir + SaveTransaction::temporaryName(name));
  const QByteArray target = QFile::encodeName(dir + name);
  // Whatever is at the temporary name (a file left by a crash, a planted
  // link) goes; the file is then made there anew, or not at all.
  if (::unlink(temp.constData()) != 0 && errno != ENOENT) return false;
  const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (fd < 0) return false;
  // The mode mask may have taken the owner's own rights too.
  bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && writeAll(fd, bytes.constData(), bytes.size()) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.constData(), target.constData()) == 0;
  if (!ok) {
    ::unlink(temp.constData());
    return false;
  }
  syncPath(dir);
  return true;
}

Scope::Scope() : previous_(::umask(S_IRWXG | S_IRWXO)) { ::umask(previous_ | S_IRWXG | S_IRWXO); }

Scope::~Scope() { ::umask(previous_); }

}  // namespace OwnerOnlyFile
