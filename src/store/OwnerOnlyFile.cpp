#include "store/OwnerOnlyFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AppPaths.h"
#include "store/SaveTransaction.h"

namespace OwnerOnlyFile {

bool write(const QString& folder, const QString& name, const QByteArray& bytes) {
  const QString dir = AppPaths::withSlash(folder);
  const QByteArray temp = QFile::encodeName(dir + SaveTransaction::temporaryName(name));
  const QByteArray target = QFile::encodeName(dir + name);
  // Whatever is at the temporary name (a file left by a crash, a planted
  // link) goes; the file is then made there anew, or not at all.
  if (::unlink(temp.constData()) != 0 && errno != ENOENT) return false;
  const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (fd < 0) return false;
  bool ok;
  {
    QFile f;
    // The mode mask may have taken the owner's own rights too.
    ok = f.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle) && ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 &&
         f.write(bytes) == bytes.size() && f.flush() && ::fsync(fd) == 0;
    if (!f.isOpen()) ::close(fd);
  }
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
