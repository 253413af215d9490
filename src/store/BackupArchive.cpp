#include "store/BackupArchive.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AppPaths.h"
#include "platform/Codec.h"
#include "store/Database.h"
#include "store/SaveTransaction.h"

namespace {
qint64 g_failBudget = -1;

constexpr int kHeaderSize = 10;
constexpr char kSeparator = '\x01';
// More digits than any real length; keeps the sums far from overflowing.
constexpr int kMaxLengthDigits = 15;

const QString kPasswordFiles[] = {QStringLiteral("DataBase.pwd"), QStringLiteral("Setting.pwd")};

bool allDigits(const QByteArray& s) {
  if (s.isEmpty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Archive names sort ignoring letter case, as the folder listing of the
// program always did; names equal but for case keep a fixed order.
bool nameLess(const QString& a, const QString& b) {
  const int c = a.compare(b, Qt::CaseInsensitive);
  return c != 0 ? c < 0 : a < b;
}

bool writeBudgeted(QSaveFile& f, const QByteArray& bytes) {
  qint64 len = bytes.size();
  if (g_failBudget >= 0) {
    if (g_failBudget < len) {
      if (g_failBudget > 0) f.write(bytes.constData(), g_failBudget);
      g_failBudget = 0;
      return false;
    }
    g_failBudget -= len;
  }
  return f.write(bytes) == len;
}
}  // namespace

void BackupArchive::failAfterBytes(qint64 bytes) { g_failBudget = bytes; }

bool BackupArchive::isMemberName(const QString& name) {
  if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\') || name.contains(QStringLiteral("..")))
    return false;
  for (QChar c : name) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
  }
  if (!name.endsWith(QStringLiteral(".kdt"), Qt::CaseInsensitive) &&
      !name.endsWith(QStringLiteral(".pwd"), Qt::CaseInsensitive))
    return false;
  return Codec::canEncode(name);
}

QByteArray BackupArchive::build(const std::vector<Member>& members) {
  QByteArray list;
  qint64 total = 0;
  for (const Member& m : members) {
    list += Codec::encode(m.name);
    list += kSeparator;
    list += QByteArray::number(m.bytes.size());
    list += "\r\n";
    total += m.bytes.size();
  }
  const QByteArray length = QByteArray::number(list.size());
  if (length.size() > kHeaderSize) return {};
  QByteArray out;
  out.reserve(kHeaderSize + list.size() + total);
  out += length.leftJustified(kHeaderSize, ' ');
  out += list;
  for (const Member& m : members) out += m.bytes;
  return out;
}

bool BackupArchive::parse(const QByteArray& archive, std::vector<Entry>* entries) {
  const qint64 size = archive.size();
  if (size < kHeaderSize) return false;
  // Header: digits, then blanks up to 10 bytes.
  const QByteArray header = archive.left(kHeaderSize);
  int digits = 0;
  while (digits < kHeaderSize && header[digits] >= '0' && header[digits] <= '9') ++digits;
  if (digits == 0) return false;
  for (int i = digits; i < kHeaderSize; ++i) {
    if (header[i] != ' ') return false;
  }
  const qint64 listLength = header.left(digits).toLongLong();
  if (listLength <= 0 || listLength > size - kHeaderSize) return false;

  const QByteArray list = archive.mid(kHeaderSize, listLength);
  if (!list.endsWith("\r\n")) return false;

  std::vector<Entry> out;
  QSet<QString> seen;
  qint64 offset = kHeaderSize + listLength;
  qsizetype pos = 0;
  while (pos < list.size()) {
    const qsizetype end = list.indexOf("\r\n", pos);
    if (end < 0) return false;
    const QByteArray line = list.mid(pos, end - pos);
    pos = end + 2;
    if (line.count(kSeparator) != 1) return false;
    const qsizetype sep = line.indexOf(kSeparator);
    const QByteArray nameBytes = line.left(sep);
    const QByteArray lengthText = line.mid(sep + 1);
    if (!allDigits(lengthText) || lengthText.size() > kMaxLengthDigits) return false;
    bool clean = true;
    const QString name = Codec::decode(nameBytes, &clean);
    if (!clean || !isMemberName(name) || Codec::encode(name) != nameBytes) return false;
    const QString folded = name.toCaseFolded();
    if (seen.contains(folded)) return false;
    seen.insert(folded);
    const qint64 length = lengthText.toLongLong();
    if (length > size - offset) return false;
    out.push_back({name, offset, length});
    offset += length;
  }
  if (offset != size) return false;
  *entries = std::move(out);
  return true;
}

bool BackupArchive::hasMembers(const QString& folder) {
  const QStringList names = QDir(AppPaths::withSlash(folder)).entryList(QDir::Files);
  return std::any_of(names.begin(), names.end(), [](const QString& n) { return isMemberName(n); });
}

namespace {

// The files of a folder that go into its archive, in name order; of two
// names that differ only in letter case, the one saved last (only one of
// them could come back on a restore).
QFileInfoList memberFiles(const QString& dir) {
  QFileInfoList files = QDir(dir).entryInfoList(QDir::Files, QDir::NoSort);
  QFileInfoList chosen;
  for (const QFileInfo& fi : files) {
    if (BackupArchive::isMemberName(fi.fileName())) chosen << fi;
  }
  std::sort(chosen.begin(), chosen.end(),
            [](const QFileInfo& a, const QFileInfo& b) { return nameLess(a.fileName(), b.fileName()); });
  QFileInfoList unique;
  for (const QFileInfo& fi : chosen) {
    if (!unique.isEmpty() && unique.last().fileName().compare(fi.fileName(), Qt::CaseInsensitive) == 0) {
      if (fi.lastModified() > unique.last().lastModified()) unique.last() = fi;
      continue;
    }
    unique << fi;
  }
  return unique;
}

}  // namespace

bool BackupArchive::pack(const QString& folder, std::vector<Member>* members) {
  const QFileInfoList unique = memberFiles(AppPaths::withSlash(folder));
  std::vector<Member> out;
  out.reserve(static_cast<size_t>(unique.size()));
  for (const QFileInfo& fi : unique) {
    QFile f(fi.absoluteFilePath());
    if (!f.open(QIODevice::ReadOnly)) return false;
    const qint64 expected = f.size();
    QByteArray bytes = f.readAll();
    if (f.error() != QFile::NoError || bytes.size() != expected) return false;
    // Listed only now that it was read whole.
    out.push_back({fi.fileName(), std::move(bytes)});
  }
  *members = std::move(out);
  return true;
}

bool BackupArchive::writeWhole(const QString& path, const QByteArray& bytes) {
  QSaveFile f(path);
  f.setDirectWriteFallback(false);
  if (!f.open(QIODevice::WriteOnly)) return false;
  if (!writeBudgeted(f, bytes) || !f.flush() || ::fsync(f.handle()) != 0) {
    f.cancelWriting();
    f.commit();  // removes the temporary file; the old archive stays
    return false;
  }
  if (!f.commit()) return false;
  syncPath(QFileInfo(path).absolutePath());
  return true;
}

namespace {

// An open member file, read straight into the archive.
struct OpenMember {
  QString name;
  int fd = -1;
  qint64 size = 0;
};

// Writes bytes to fd within the test budget.
bool writeAllBudgeted(int fd, const char* p, qint64 n) {
  if (g_failBudget >= 0 && g_failBudget < n) {
    if (g_failBudget > 0) (void)::write(fd, p, static_cast<size_t>(g_failBudget));
    g_failBudget = 0;
    return false;
  }
  if (g_failBudget >= 0) g_failBudget -= n;
  while (n > 0) {
    const ssize_t w = ::write(fd, p, static_cast<size_t>(n));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= w;
  }
  return true;
}

// Copies exactly n bytes of in (from its start) to the end of out, in the
// kernel where it can. False when the file gave fewer bytes, more bytes
// (it changed meanwhile), or an error.
bool copyMember(int in, qint64 n, int out, const std::function<void(qint64)>& copied) {
  qint64 left = n;
  bool kernel = g_failBudget < 0;
  loff_t pos = 0;
  while (left > 0 && kernel) {
    const ssize_t c = ::copy_file_range(in, &pos, out, nullptr, static_cast<size_t>(std::min<qint64>(left, 1 << 24)), 0);
    if (c < 0 && errno == EINTR) continue;
    if (c < 0 && pos == 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
      kernel = false;  // not between these files: copy through memory
      break;
    }
    if (c <= 0) return false;
    left -= c;
    copied(c);
  }
  if (left > 0) {
    std::vector<char> buffer(static_cast<size_t>(std::min<qint64>(left, 1 << 20)));
    while (left > 0) {
      const ssize_t r = ::pread(in, buffer.data(), static_cast<size_t>(std::min<qint64>(left, static_cast<qint64>(buffer.size()))), pos);
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) return false;
      if (!writeAllBudgeted(out, buffer.data(), r)) return false;
      pos += r;
      left -= r;
      copied(r);
    }
  }
  // The whole file was read: nothing follows (and reading it worked).
  char extra;
  ssize_t r;
  do r = ::pread(in, &extra, 1, pos);
  while (r < 0 && errno == EINTR);
  return r == 0;
}

}  // namespace

bool WriteBackupArchive(const QString& folder, const QString& target) {
  return WriteBackupArchive(folder, target, {});
}

bool WriteBackupArchive(const QString& folder, const QString& target, const BackupProgress& progress) {
  const QString dir = AppPaths::withSlash(folder);
  const QString path = target.isEmpty() ? dir + QString::fromLatin1(BackupArchive::kScratchName) : target;
  // Each member is opened and measured, then read straight into the archive
  // file (no copy of the database in memory); a member is only stored as
  // what it was once it was read whole.
  std::vector<OpenMember> members;
  struct Closer {
    std::vector<OpenMember>& m;
    ~Closer() {
      for (const OpenMember& x : m)
        if (x.fd >= 0) ::close(x.fd);
    }
  } closer{members};
  qint64 total = 0;
  for (const QFileInfo& fi : memberFiles(dir)) {
    OpenMember m;
    m.name = fi.fileName();
    m.fd = ::open(QFile::encodeName(fi.absoluteFilePath()).constData(), O_RDONLY | O_CLOEXEC);
    if (m.fd < 0) return false;
    struct stat st {};
    if (::fstat(m.fd, &st) != 0) {
      ::close(m.fd);
      return false;
    }
    m.size = st.st_size;
    total += m.size;
    members.push_back(m);
  }
  if (members.empty()) return false;
  QByteArray list;
  for (const OpenMember& m : members) {
    list += Codec::encode(m.name);
    list += kSeparator;
    list += QByteArray::number(m.size);
    list += "\r\n";
  }
  const QByteArray length = QByteArray::number(list.size());
  if (length.size() > kHeaderSize) return false;
  const QByteArray head = length.leftJustified(kHeaderSize, ' ') + list;

  QSaveFile f(path);
  f.setDirectWriteFallback(false);
  if (!f.open(QIODevice::WriteOnly)) return false;
  const int out = f.handle();
  qint64 done = 0;
  const auto copied = [&](qint64 n) {
    done += n;
    if (progress) progress(done, total);
  };
  bool ok = writeAllBudgeted(out, head.constData(), head.size());
  for (size_t i = 0; ok && i < members.size(); ++i) ok = copyMember(members[i].fd, members[i].size, out, copied);
  if (!ok || ::fsync(out) != 0) {
    f.cancelWriting();
    f.commit();  // removes the temporary file; the old archive stays
    return false;
  }
  if (!f.commit()) return false;
  syncPath(QFileInfo(path).absolutePath());
  return true;
}

RestoreResult RestoreBackupArchive(const QString& folder, const QByteArray& archive) {
  const QString dir = AppPaths::withSlash(folder);
  std::vector<BackupArchive::Entry> entries;
  if (!BackupArchive::parse(archive, &entries)) return RestoreResult::BadArchive;
  if (!AppPaths::folderExists(dir)) return RestoreResult::Failed;

  SaveTransaction t(dir);
  QSet<QString> held;
  for (const auto& e : entries) {
    held.insert(e.name.toCaseFolded());
    // A member replaces the file of that name whatever its letter case.
    const QFileInfo existing(AppPaths::find(dir, e.name));
    if (existing.exists() && !existing.isFile()) return RestoreResult::Failed;
    const QString name = existing.exists() ? existing.fileName() : e.name;
    if (!t.write(name, archive.mid(e.offset, e.length))) return RestoreResult::Failed;
  }
  if (!t.commit()) return RestoreResult::Failed;

  // The password files are afterwards exactly those the archive holds.
  const QStringList present = QDir(dir).entryList(QDir::Files | QDir::Hidden);
  for (const QString& pwd : kPasswordFiles) {
    if (held.contains(pwd.toCaseFolded())) continue;
    for (const QString& e : present) {
      if (e.compare(pwd, Qt::CaseInsensitive) == 0) QFile::remove(dir + e);
    }
  }
  syncPath(dir);
  return RestoreResult::Done;
}

RestoreResult RestoreBackupArchive(const QString& folder) {
  const QString path = AppPaths::find(folder, QString::fromLatin1(BackupArchive::kScratchName));
  QFile f(path);
  if (!QFileInfo(path).isFile()) return RestoreResult::Missing;
  if (!f.open(QIODevice::ReadOnly)) return RestoreResult::Failed;
  const QByteArray bytes = f.readAll();
  if (f.error() != QFile::NoError) return RestoreResult::Failed;
  f.close();
  return RestoreBackupArchive(folder, bytes);
}

void PruneBackups(const QString& backupFolder, int keep, const QString& spare) {
  const QString dir = AppPaths::withSlash(backupFolder);
  QStringList names;
  const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& e : entries) {
    if (e.endsWith(QStringLiteral(".kbk"), Qt::CaseInsensitive)) names << e;
  }
  std::sort(names.begin(), names.end(), nameLess);
  for (qsizetype i = 0; i + keep < names.size(); ++i) {
    if (!spare.isEmpty() && names[i] == spare) continue;
    if (QFileInfo(dir + names[i]).isFile()) QFile::remove(dir + names[i]);
  }
}

bool AutoBackup(const QString& folder, const QString& autoBackupPath, QString* written, const QDate& today) {
  return AutoBackup(folder, autoBackupPath, written, today, {});
}

bool AutoBackup(const QString& folder, const QString& autoBackupPath, QString* written, const QDate& today,
                const BackupProgress& progress) {
  const QString dir = AppPaths::withSlash(folder);
  const QString backupFolder = dir + QStringLiteral("Backup/");
  // A database folder that is gone (a drive not mounted) is never made anew
  // here: there is nothing to pack and nothing to prune.
  if (!AppPaths::folderExists(dir)) return true;
  const bool wanted = BackupArchive::hasMembers(dir);
  QString target = backupFolder;
  if (!autoBackupPath.isEmpty() && AppPaths::folderExists(autoBackupPath)) {
    target = AppPaths::withSlash(autoBackupPath);
  } else if (wanted) {
    QDir().mkdir(backupFolder);
  }
  const QString name = today.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".kbk");
  const bool ok = !wanted || WriteBackupArchive(dir, target + name, progress);
  // A scratch archive left by an interrupted command.
  const QString scratch = AppPaths::find(dir, QString::fromLatin1(BackupArchive::kScratchName));
  if (QFileInfo(scratch).isFile()) QFile::remove(scratch);
  // Only the database's own Backup folder is pruned; today's archive stays.
  PruneBackups(backupFolder, 15, name);
  if (wanted && ok && written) *written = target + name;
  return ok;
}

bool AutoBackup(const Database& db, QString* written, const BackupProgress& progress) {
  return AutoBackup(db.DataBasePath, db.settings.AutoBackupPath, written, QDate::currentDate(), progress);
}
