#include "store/BackupArchive.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AppPaths.h"
#include "platform/Codec.h"
#include "store/Database.h"
#include "platform/OwnerOnlyFile.h"
#include "store/SaveFaults.h"
#include "store/SaveTransaction.h"

namespace {
constexpr int kHeaderSize = 10;
constexpr char kSeparator = '\x01';
// More digits than any real length; keeps the sums far from overflowing.
constexpr int kMaxLengthDigits = 15;

const QString kPasswordFiles[] = {QStringLiteral("DataBase.pwd"), QStringLiteral("Setting.pwd")};

// How much of a member a restore reads at a time.
constexpr qint64 kRestorePiece = qint64(1) << 20;

bool isPasswordFile(const QString& name) { return name.endsWith(QStringLiteral(".pwd"), Qt::CaseInsensitive); }

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

// How many of len bytes an archive write may write; all of them unless the
// installed SaveFaults say otherwise.
qint64 archiveBytesAllowed(qint64 len) {
  SaveFaults* faults = SaveFaults::current();
  return faults ? faults->archiveBytesAllowed(len) : len;
}

}  // namespace

namespace {
// Names that are devices on Windows, whatever extension follows them.
bool isDeviceName(const QString& name) {
  QString stem = name.section(u'.', 0, 0);
  while (stem.endsWith(u' ')) stem.chop(1);
  stem = stem.toUpper();
  if (stem == u"CON" || stem == u"PRN" || stem == u"AUX" || stem == u"NUL") return true;
  return stem.size() == 4 && (stem.startsWith(u"COM") || stem.startsWith(u"LPT")) && stem[3] >= u'0' &&
         stem[3] <= u'9';
}
}  // namespace

bool BackupArchive::isMemberName(const QString& name) {
  if (name.isEmpty() || name.contains(QStringLiteral(".."))) return false;
  for (QChar c : name) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
    if (QStringView(u"/\\<>:\"|?*").contains(c)) return false;
  }
  if (!name.endsWith(QStringLiteral(".kdt"), Qt::CaseInsensitive) &&
      !name.endsWith(QStringLiteral(".pwd"), Qt::CaseInsensitive))
    return false;
  return !isDeviceName(name) && Codec::canEncode(name);
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
  if (list.size() > kMaxListLength) return {};
  const QByteArray length = QByteArray::number(list.size());
  QByteArray out;
  out.reserve(kHeaderSize + list.size() + total);
  out += length.leftJustified(kHeaderSize, ' ');
  out += list;
  for (const Member& m : members) out += m.bytes;
  return out;
}

namespace {

// The length of the member list an archive's first 10 bytes give: digits,
// then blanks up to 10 bytes. -1 when they are no header, or the list would
// be empty, longer than a list may be, or longer than the rest of a file of
// `size` bytes.
qint64 listLengthOf(const QByteArray& header, qint64 size) {
  if (header.size() != kHeaderSize) return -1;
  int digits = 0;
  while (digits < kHeaderSize && header[digits] >= '0' && header[digits] <= '9') ++digits;
  if (digits == 0) return -1;
  for (int i = digits; i < kHeaderSize; ++i) {
    if (header[i] != ' ') return -1;
  }
  const qint64 listLength = header.left(digits).toLongLong();
  if (listLength <= 0 || listLength > BackupArchive::kMaxListLength || listLength > size - kHeaderSize) return -1;
  return listLength;
}

// The members of an archive of `size` bytes from its list: every line a
// member name, the separator and a length; the members' lengths adding up
// to exactly what follows the list. False for anything else.
bool parseList(const QByteArray& list, qint64 size, std::vector<BackupArchive::Entry>* entries) {
  if (!list.endsWith("\r\n")) return false;
  std::vector<BackupArchive::Entry> out;
  QSet<QString> seen;
  qint64 offset = kHeaderSize + list.size();
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
    if (!clean || !BackupArchive::isMemberName(name) || Codec::encode(name) != nameBytes) return false;
    const QString folded = name.toCaseFolded();
    if (seen.contains(folded)) return false;
    seen.insert(folded);
    const qint64 length = lengthText.toLongLong();
    if (length > BackupArchive::kMaxMemberLength || length > size - offset) return false;
    out.push_back({name, offset, length});
    offset += length;
  }
  if (offset != size) return false;
  *entries = std::move(out);
  return true;
}

// Reads exactly n bytes at offset of fd into *out; false on an error or a
// file that ends first.
bool readAt(int fd, qint64 offset, qint64 n, QByteArray* out) {
  QByteArray bytes(static_cast<qsizetype>(n), Qt::Uninitialized);
  qint64 done = 0;
  while (done < n) {
    const ssize_t r = ::pread(fd, bytes.data() + done, static_cast<size_t>(n - done), offset + done);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    done += r;
  }
  *out = std::move(bytes);
  return true;
}

}  // namespace

bool BackupArchive::parse(const QByteArray& archive, std::vector<Entry>* entries) {
  const qint64 listLength = listLengthOf(archive.left(kHeaderSize), archive.size());
  return listLength > 0 && parseList(archive.mid(kHeaderSize, listLength), archive.size(), entries);
}

BackupArchive::Source::Source(QByteArray bytes) : bytes_(std::move(bytes)) {
  state_ = parse(bytes_, &entries_) ? State::Good : State::Damaged;
}

BackupArchive::Source BackupArchive::Source::open(const QString& path) {
  Source s;
  // Not blocking on a pipe or a device chosen in place of a file.
  s.fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (s.fd_ < 0) {
    s.state_ = State::Unreadable;
    return s;
  }
  struct stat st {};
  if (::fstat(s.fd_, &st) != 0) {
    s.state_ = State::Unreadable;
    return s;
  }
  if (!S_ISREG(st.st_mode)) return s;
  // The header and the list are read and checked against the file's size
  // before anything else: a file of any size costs no more than its list.
  const qint64 size = st.st_size;
  if (size < kHeaderSize) return s;
  QByteArray header, list;
  if (!readAt(s.fd_, 0, kHeaderSize, &header)) {
    s.state_ = State::Unreadable;
    return s;
  }
  const qint64 listLength = listLengthOf(header, size);
  if (listLength < 0) return s;
  if (!readAt(s.fd_, kHeaderSize, listLength, &list)) {
    s.state_ = State::Unreadable;
    return s;
  }
  if (parseList(list, size, &s.entries_)) s.state_ = State::Good;
  return s;
}

BackupArchive::Source::Source(Source&& other) noexcept
    : state_(other.state_), entries_(std::move(other.entries_)), bytes_(std::move(other.bytes_)), fd_(other.fd_) {
  other.fd_ = -1;
}

BackupArchive::Source& BackupArchive::Source::operator=(Source&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    state_ = other.state_;
    entries_ = std::move(other.entries_);
    bytes_ = std::move(other.bytes_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

BackupArchive::Source::~Source() {
  if (fd_ >= 0) ::close(fd_);
}

bool BackupArchive::Source::read(qint64 offset, qint64 length, QByteArray* out) const {
  if (offset < 0 || length < 0) return false;
  if (fd_ < 0) {
    if (offset + length > bytes_.size()) return false;
    *out = bytes_.mid(offset, length);
    return true;
  }
  return readAt(fd_, offset, length, out);
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

namespace {

// An open member file, read straight into the archive.
struct OpenMember {
  QString name;
  int fd = -1;
  qint64 size = 0;
};

// Writes bytes to fd, as far as the installed SaveFaults let it.
bool writeAllBudgeted(int fd, const char* p, qint64 n) {
  const qint64 allowed = archiveBytesAllowed(n);
  return OwnerOnlyFile::writeFully(fd, p, allowed) && allowed == n;
}

// Copies exactly n bytes of in (from its start) to the end of out, in the
// kernel where it can. False when the file gave fewer bytes, more bytes
// (it changed meanwhile), or an error.
bool copyMember(int in, qint64 n, int out, const std::function<void(qint64)>& copied) {
  qint64 left = n;
  bool kernel = !SaveFaults::current() || !SaveFaults::current()->countsArchiveWrites();
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

namespace {

// The archive writer's temporary file: "<archive name>.XXXXXX" beside the
// archive, XXXXXX six letters or digits.
constexpr int kTemporarySuffix = 6;

// The name of the archive entry is a temporary file of ("" when it is none).
QString archiveOfTemporary(const QString& entry) {
  const qsizetype dot = entry.size() - 1 - kTemporarySuffix;
  if (dot <= 0 || entry[dot] != u'.') return {};
  for (qsizetype i = dot + 1; i < entry.size(); ++i) {
    const char16_t c = entry[i].unicode();
    if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))) return {};
  }
  return entry.left(dot);
}

// Removes from dir the temporary files the writer left of archives whose
// names archiveName accepts (a process killed before its rename leaves
// one, as large as the database). Only plain files are removed.
void removeTemporaries(const QString& dir, const std::function<bool(const QString&)>& archiveName) {
  const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& e : entries) {
    const QString archive = archiveOfTemporary(e);
    if (archive.isEmpty() || !archiveName(archive)) continue;
    struct stat st {};
    const QByteArray path = QFile::encodeName(dir + e);
    if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.constData());
  }
}

// A new temporary file for the archive at path, created exclusively (never
// through anything already at its name) with the given mode; -1 on failure.
int createTemporary(const QString& path, mode_t mode, QByteArray* temp) {
  static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    QByteArray name = QFile::encodeName(path) + '.';
    for (int i = 0; i < kTemporarySuffix; ++i) name += kChars[QRandomGenerator::global()->bounded(62)];
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0) *temp = name;
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool isDailyArchiveName(const QString& name) {
  return name.size() == 12 && name.endsWith(QStringLiteral(".kbk")) &&
         std::all_of(name.begin(), name.begin() + 8, [](QChar c) { return c >= u'0' && c <= u'9'; });
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
    members.push_back(m);
    // An archive that could not be restored is no backup.
    if (m.size > BackupArchive::kMaxMemberLength) return false;
    total += m.size;
  }
  if (members.empty()) return false;
  QByteArray list;
  bool holdsPassword = false;
  for (const OpenMember& m : members) {
    list += Codec::encode(m.name);
    list += kSeparator;
    list += QByteArray::number(m.size);
    list += "\r\n";
    holdsPassword = holdsPassword || isPasswordFile(m.name);
  }
  if (list.size() > BackupArchive::kMaxListLength) return false;
  const QByteArray head = QByteArray::number(list.size()).leftJustified(kHeaderSize, ' ') + list;

  const QFileInfo targetInfo(path);
  const QString archiveFolder = AppPaths::withSlash(targetInfo.absolutePath());
  const QString archiveName = targetInfo.fileName();
  // What an earlier write of this archive killed before its rename left.
  removeTemporaries(archiveFolder, [&](const QString& n) { return n == archiveName; });
  // A new archive is written with the mode new files get; one that replaces
  // an archive keeps that archive's mode; one carrying the password files
  // is readable by its owner only, from before its first byte.
  const QByteArray finalPath = QFile::encodeName(archiveFolder + archiveName);
  struct stat existing {};
  const bool replaces = ::lstat(finalPath.constData(), &existing) == 0 && S_ISREG(existing.st_mode);
  QByteArray temp;
  const int out = createTemporary(archiveFolder + archiveName, holdsPassword || replaces ? 0600 : 0666, &temp);
  if (out < 0) return false;
  bool ok = true;
  if (holdsPassword) ok = ::fchmod(out, S_IRUSR | S_IWUSR) == 0;
  else if (replaces) ok = ::fchmod(out, existing.st_mode & 0777) == 0;
  qint64 done = 0;
  const auto copied = [&](qint64 n) {
    done += n;
    if (progress) progress(done, total);
  };
  ok = ok && writeAllBudgeted(out, head.constData(), head.size());
  for (size_t i = 0; ok && i < members.size(); ++i) ok = copyMember(members[i].fd, members[i].size, out, copied);
  ok = ok && ::fsync(out) == 0;
  ok = ::close(out) == 0 && ok;
  // Renamed over the name: a link planted there is replaced, not followed.
  ok = ok && ::rename(temp.constData(), finalPath.constData()) == 0;
  if (!ok) {
    ::unlink(temp.constData());  // the old archive stays
    return false;
  }
  syncPath(archiveFolder);
  return true;
}

RestoreResult RestoreBackupArchive(const QString& folder, const BackupArchive::Source& archive) {
  if (archive.state() == BackupArchive::Source::State::Unreadable) return RestoreResult::Failed;
  if (archive.state() != BackupArchive::Source::State::Good) return RestoreResult::BadArchive;
  const QString dir = AppPaths::withSlash(folder);
  if (!AppPaths::folderExists(dir)) return RestoreResult::Failed;

  SaveTransaction t(dir);
  QSet<QString> held;
  for (const auto& e : archive.entries()) {
    held.insert(e.name.toCaseFolded());
    // A member replaces the file of that name whatever its letter case.
    const QFileInfo existing(AppPaths::find(dir, e.name));
    if (existing.exists() && !existing.isFile()) return RestoreResult::Failed;
    const QString name = existing.exists() ? existing.fileName() : e.name;
    // Copied a piece at a time: no member is ever held whole.
    const auto pieces = static_cast<size_t>((e.length + kRestorePiece - 1) / kRestorePiece);
    bool read = true;
    const auto piece = [&](size_t i) {
      QByteArray bytes;
      const qint64 at = static_cast<qint64>(i) * kRestorePiece;
      if (read && !archive.read(e.offset + at, std::min(kRestorePiece, e.length - at), &bytes)) read = false;
      return bytes;
    };
    bool written;
    if (isPasswordFile(name)) {
      // Readable by its owner only from the moment it exists (the temporary
      // file is always made new).
      const OwnerOnlyFile::Scope ownerOnly;
      written = t.write(name, pieces, piece);
    } else {
      written = t.write(name, pieces, piece);
    }
    if (!written || !read) return RestoreResult::Failed;
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

RestoreResult RestoreBackupArchive(const QString& folder, const QByteArray& archive) {
  return RestoreBackupArchive(folder, BackupArchive::Source(archive));
}

RestoreResult RestoreBackupArchive(const QString& folder) {
  const QString path = AppPaths::find(folder, QString::fromLatin1(BackupArchive::kScratchName));
  if (!QFileInfo(path).isFile()) return RestoreResult::Missing;
  return RestoreBackupArchive(folder, BackupArchive::Source::open(path));
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
  // What the daily archives of earlier days left when a write was killed
  // before its rename (each as large as the database).
  removeTemporaries(target, isDailyArchiveName);
  if (target != backupFolder) removeTemporaries(backupFolder, isDailyArchiveName);
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
