#include "store/SaveTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <vector>
#include <unistd.h>

#include "platform/AppPaths.h"
#include "platform/Codec.h"
#include "platform/OwnerOnlyFile.h"
#include "store/SaveFaults.h"

namespace {

// Whether files are flushed to disk: always, unless a test's SaveFaults say
// otherwise.
bool flushing() {
  SaveFaults* faults = SaveFaults::current();
  return !faults || faults->flushesToDisk();
}

bool flushFd(int fd) { return !flushing() || ::fsync(fd) == 0; }

// The threads that flush files to disk and close the originals a commit
// replaced, while the save goes on. They are kept between saves (idle ones
// end after a while): starting a thread for every file costs more than the
// flush of a small file.
QThreadPool& flushers() {
  static QThreadPool* const pool = [] {
    auto* p = new QThreadPool;  // never destroyed: work may still run at exit
    p->setMaxThreadCount(std::max(32, 2 * QThread::idealThreadCount()));
    return p;
  }();
  return *pool;
}

// Runs work on a flusher thread; the future tells its outcome.
std::shared_future<bool> inBackground(std::function<bool()> work) {
  auto task = std::make_shared<std::packaged_task<bool()>>(std::move(work));
  std::shared_future<bool> done = task->get_future().share();
  flushers().start([task] { (*task)(); });
  return done;
}

// The flush of a written file: begun at once on a flusher thread, or, when
// files are not flushed to disk, already done.
std::shared_future<bool> flushLater(std::function<bool()> flush) {
  if (flushing()) return inBackground(std::move(flush));
  std::promise<bool> done;
  done.set_value(true);
  return done.get_future().share();
}

QString tempNameFor(const QString& name) { return QStringLiteral("~") + name + QStringLiteral(".tmp"); }
// Where a commit keeps the file it replaces until every file is in place.
QString asideNameFor(const QString& name) { return QStringLiteral("~") + name + QStringLiteral(".old"); }

// The journal's first line: its mode, one byte, so that it can be switched
// in place without a rename. A commit writes its journal undoing and
// switches it to going forward once every new file is in place: that one
// byte on disk is the moment the save happened.
constexpr char kForward = '+';  // every new file was in place: the renames are finished
constexpr char kBack = '-';     // not yet (or failed): the renames are undone

bool renameFile(const QString& from, const QString& to) {
  if (SaveFaults* faults = SaveFaults::current(); faults && !faults->renameSucceeds()) return false;
  return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Removes a file (or a link, never what it points at); false when nothing
// was removed. What QFile::remove does, without making a file object.
bool removeFile(const QString& path) { return ::unlink(QFile::encodeName(path).constData()) == 0; }

bool exists(const QString& path) {
  struct stat st{};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Creates path as a new, empty file of ours for writing and returns its
// descriptor (-1 on failure). Whatever stands at the name (a leftover, or a
// link someone planted there) is removed first, never opened or written
// through; the file is created exclusively, so nothing planted meanwhile
// is used either.
int createNew(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  for (int attempt = 0; attempt < 8; ++attempt) {
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
    if (::unlink(name.constData()) != 0 && errno != ENOENT) return -1;  // a folder, or not ours to remove
  }
  return -1;
}

// Two names of one file (on a folder that ignores case, "ORDER1.KDT" and
// "Order1.kdt" are).
bool sameFile(const QString& a, const QString& b) {
  struct stat x{}, y{};
  return ::stat(QFile::encodeName(a).constData(), &x) == 0 && ::stat(QFile::encodeName(b).constData(), &y) == 0 &&
         x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

// Removes every other-cased copy of name among entries (the folder's files,
// listed before the renames) that is not the file now at name.
void removeOtherCased(const QString& dir, const QString& name, const QStringList& entries) {
  for (const QString& e : entries) {
    if (e == name || e.compare(name, Qt::CaseInsensitive) != 0) continue;
    if (exists(dir + e) && !sameFile(dir + e, dir + name)) removeFile(dir + e);
  }
}

// The file of the folder that a file written as name replaces: the one of
// that very name, else one whose name differs only in case (made on
// Windows); empty when there is none.
QString originalOf(const QStringList& entries, const QString& name) {
  if (entries.contains(name)) return name;
  for (const QString& e : entries)
    if (e.compare(name, Qt::CaseInsensitive) == 0) return e;
  return {};
}

// A name a journal line may carry: a plain file name of the folder.
bool plainName(const QString& n) {
  return !n.isEmpty() && !n.contains(u'/') && !n.contains(u'\\') && !n.contains(QStringLiteral(".."));
}

QStringList filesOf(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden); }

// What a commit needs of the folder's files for the names it writes: each
// name's original and the other-cased copies. The folder is read plainly;
// when every entry of one of those names is a plain file of that very name,
// those are the answer; anything else (another letter case, a link, a
// folder, a type not told) takes the whole sorted listing, as always.
QStringList filesFor(const QString& dir, const std::vector<QString>& names) {
  QStringList found;
  bool plain = true;
  const bool read = AppPaths::readEntries(dir, [&](std::string_view entry, unsigned char type) {
    for (const QString& n : names) {
      if (!plain || !AppPaths::sameButCase(entry, n)) continue;
      if (type != DT_REG || entry.size() != static_cast<size_t>(n.size()) || QFile::decodeName(QByteArray(entry.data(), static_cast<qsizetype>(entry.size()))) != n)
        plain = false;
      else if (!found.contains(n))
        found << n;
    }
  });
  return read && plain ? found : filesOf(dir);
}

// Sets the mode of the journal open as fd, on disk before it returns.
bool setMode(int fd, char mode) { return ::pwrite(fd, &mode, 1, 0) == 1 && flushFd(fd); }

// One line of a journal: a file a commit writes.
struct JournalLine {
  QString temp;      // its temporary file
  QString name;      // its name
  QString original;  // the file it replaces (empty: none)
  bool known;        // false in journals of earlier versions, which did not say
};

// Finishes (back = false) or undoes the renames of a commit. False when a
// step failed; what could be done is done.
bool replay(const QString& dir, const std::vector<JournalLine>& lines, bool back) {
  bool ok = true;
  for (const JournalLine& line : lines) {
    const QString& temp = line.temp;
    const QString& name = line.name;
    const QString& original = line.original;
    const QString aside = dir + asideNameFor(name);
    // A temporary file still there was not yet renamed; one gone already was.
    const bool placed = !exists(dir + temp);
    if (!back) {
      if (!placed) {
        const QStringList entries = filesOf(dir);
        if (!renameFile(dir + temp, dir + name)) {
          ok = false;
          continue;
        }
        if (!line.known) removeOtherCased(dir, name, entries);
      }
      removeFile(aside);
      if (!original.isEmpty() && original != name && exists(dir + original) && !sameFile(dir + original, dir + name))
        removeFile(dir + original);
      continue;
    }
    if (!line.known) continue;
    // Undoing: the new file goes, the original comes back under its own name.
    if (!placed) {
      removeFile(dir + temp);
    } else if (original.isEmpty() || (original != name && exists(aside))) {
      if (exists(dir + name) && !removeFile(dir + name)) ok = false;
    }
    if (exists(aside) && !renameFile(aside, dir + original)) ok = false;
  }
  return ok;
}

// The files a commit is about to replace, held open across the renames: a
// rename over a file nobody holds also gives the file's blocks and cached
// pages back, there and then (milliseconds for a large table file). Held
// open, the renames and the removal of the files kept aside only change the
// folder, and the old bytes are given back when the handles are closed, on
// a flusher thread after the commit. What is on disk, and in what
// order, does not change.
std::vector<int> holdOriginals(const QString& dir, const std::vector<JournalLine>& lines) {
  std::vector<int> held;
  held.reserve(lines.size());
  for (const JournalLine& l : lines) {
    if (l.original.isEmpty()) continue;
    const int fd = ::open(QFile::encodeName(dir + l.original).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) held.push_back(fd);
  }
  return held;
}

void releaseLater(std::vector<int> held) {
  if (held.empty()) return;
  // Small files give their bytes back at once: closed here, not handed over.
  off_t bytes = 0;
  for (const int fd : held) {
    struct stat st{};
    bytes += ::fstat(fd, &st) == 0 ? st.st_size : off_t{1} << 30;
  }
  if (bytes <= 1024 * 1024) {
    for (const int fd : held) ::close(fd);
    return;
  }
  auto fds = std::make_shared<std::vector<int>>(std::move(held));
  flushers().start([fds] {
    for (const int fd : *fds) ::close(fd);
  });
}
}  // namespace

bool syncPath(const QString& path) {
  if (!flushing()) return true;
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

namespace {
// How much of len the installed SaveFaults let through; all of it when
// nothing limits it.
qint64 allowed(std::atomic<qint64>& budget, qint64 len) {
  qint64 left = budget.load();
  for (;;) {
    if (left < 0) return len;
    const qint64 take = std::min(left, len);
    if (budget.compare_exchange_weak(left, left - take)) return take;
  }
}
}  // namespace

SaveTransaction::SaveTransaction(const QString& folder)
    : folder_(AppPaths::withSlash(folder)), failBudget_(std::make_shared<std::atomic<qint64>>(-1)) {
  if (SaveFaults* faults = SaveFaults::current()) failBudget_->store(faults->transactionByteBudget());
  // A commit of this folder left unfinished (its undoing failed) is finished
  // first: its temporary files have the names this attempt writes, and a new
  // journal would put the old one's instructions out of reach.
  blocked_ = !recover(folder_);
}

bool SaveTransaction::writeAll(int fd, const QByteArray& bytes) {
  const qint64 len = bytes.size();
  const qint64 n = allowed(*failBudget_, len);
  return OwnerOnlyFile::writeFully(fd, bytes.constData(), n) && n == len;
}

SaveTransaction::PieceWriter::PieceWriter(const QString& name, int fd, size_t count,
                                          std::shared_ptr<std::atomic<qint64>> budget)
    : name_(name), fd_(fd), count_(count), budget_(std::move(budget)) {}

SaveTransaction::PieceWriter::~PieceWriter() { ::close(fd_); }

bool SaveTransaction::PieceWriter::writeAt(const char* data, qint64 len, qint64 at) {
  const qint64 n = allowed(*budget_, len);
  qint64 done = 0;
  while (done < n) {
    const ssize_t w = ::pwrite(fd_, data + done, static_cast<size_t>(n - done), at + done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    done += w;
  }
  return n == len;
}

bool SaveTransaction::PieceWriter::put(size_t i, const char* data, qint64 len) {
  qint64 at = 0;
  {
    std::unique_lock lock(mutex_);
    placed_.wait(lock, [&] { return known_ == i; });
    at = end_;
    end_ += len;
    ++known_;
  }
  placed_.notify_all();
  bool ok = !failed_ && (len == 0 || writeAt(data, len, at));
  if (!ok) failed_ = true;
  std::lock_guard lock(mutex_);
  ++written_;
  return ok;
}

SaveTransaction::Entry& SaveTransaction::entryFor(const QString& name) {
  for (auto& e : files_) {
    if (e.name == name) {  // rewritten: same temporary file, flushed again
      if (e.flushed.valid()) e.flushed.wait();
      e.flushed = {};
      return e;
    }
  }
  files_.push_back({tempNameFor(name), name, {}});
  return files_.back();
}

std::shared_ptr<SaveTransaction::PieceWriter> SaveTransaction::open(const QString& name, size_t count) {
  if (blocked_) return nullptr;
  Entry& e = entryFor(name);
  const int fd = createNew(folder_ + e.temp);
  if (fd < 0) return nullptr;
  return std::shared_ptr<PieceWriter>(new PieceWriter(name, fd, count, failBudget_));
}

bool SaveTransaction::close(const std::shared_ptr<PieceWriter>& writer) {
  if (!writer) return false;
  {
    std::lock_guard lock(writer->mutex_);
    if (writer->written_ != writer->count_) return false;
  }
  if (writer->failed_) return false;
  for (auto& e : files_) {
    if (e.name == writer->name_ && !e.flushed.valid()) {
      e.flushed = flushLater([writer] { return ::fsync(writer->fd_) == 0; });
      return true;
    }
  }
  return false;
}

SaveTransaction::~SaveTransaction() { discard(); }

bool SaveTransaction::write(const QString& name, const QByteArray& bytes) {
  return write(name, 1, [&bytes](size_t) { return bytes; });
}

bool SaveTransaction::write(const QString& name, size_t count, const std::function<QByteArray(size_t)>& piece) {
  if (blocked_) return false;
  const QString temp = tempNameFor(name);
  const int fd = createNew(folder_ + temp);
  bool ok = fd >= 0;
  for (size_t i = 0; i < count && ok; ++i) ok = writeAll(fd, piece(i));
  if (fd >= 0) ok = ::close(fd) == 0 && ok;
  if (!ok) {
    if (fd >= 0) removeFile(folder_ + temp);
    // An earlier write of the same name is gone with it: commit() refuses.
    for (auto& e : files_) {
      if (e.name != name) continue;
      if (e.flushed.valid()) e.flushed.wait();
      e.flushed = {};
    }
    return false;
  }
  // On its way to disk at once, on a flusher thread, while the next file is
  // made and written; commit() waits for every flush.
  const QString path = folder_ + temp;
  entryFor(name).flushed = flushLater([path] { return syncPath(path); });
  return true;
}

bool SaveTransaction::writeText(const QString& name, const QString& text) { return write(name, Codec::encode(text)); }

bool SaveTransaction::commit() {
  if (files_.empty()) return true;
  if (blocked_) {
    discard();
    return false;
  }
  // Every file on disk before the journal names it (each flush began when
  // its file was written).
  {
    bool synced = true;
    for (const auto& e : files_) synced = e.flushed.valid() && e.flushed.get() && synced;
    if (!synced) {
      discard();
      return false;
    }
  }
  std::vector<QString> names;
  names.reserve(files_.size());
  for (const auto& e : files_) names.push_back(e.name);
  const QStringList entries = filesFor(folder_, names);
  std::vector<JournalLine> lines;
  lines.reserve(files_.size());
  // Written undoing: until every new file is in place, a crash or a failure
  // ends with the old files.
  QString journal = QChar::fromLatin1(kBack) + QStringLiteral("\r\n");
  for (const auto& e : files_) {
    lines.push_back({e.temp, e.name, originalOf(entries, e.name), true});
    journal += e.temp + u'\t' + e.name + u'\t' + lines.back().original + QStringLiteral("\r\n");
  }
  const QString journalPath = folder_ + QString::fromLatin1(kJournal);
  const int journalFd = createNew(journalPath);
  if (journalFd < 0) {
    discard();
    return false;
  }
  {
    const bool ok = writeAll(journalFd, Codec::encode(journal)) && flushFd(journalFd) && syncPath(folder_);
    if (!ok) {
      ::close(journalFd);
      removeFile(journalPath);
      discard();
      return false;
    }
  }
  // From here on the journal answers for the temporary files: a crash or a
  // failure before the switch below is undone (by the next load, or here).
  std::vector<Entry> files = std::move(files_);
  files_.clear();
  std::vector<int> held = holdOriginals(folder_, lines);
  SaveFaults* faults = SaveFaults::current();
  int placed = 0;
  bool ok = true;
  for (size_t i = 0; i < files.size() && ok; ++i) {
    if (faults && faults->crashesAfter(placed)) {
      ::close(journalFd);
      releaseLater(std::move(held));  // a crashed process cleans nothing up
      return false;
    }
    // The original is kept aside, not replaced, so that a failure can put
    // it back.
    const QString& name = files[i].name;
    const QString& original = lines[i].original;
    ok = (original.isEmpty() || renameFile(folder_ + original, folder_ + asideNameFor(name))) &&
         renameFile(folder_ + files[i].temp, folder_ + name);
    if (ok) ++placed;
  }
  if (ok && faults && faults->crashesAfter(placed)) {
    ::close(journalFd);
    releaseLater(std::move(held));
    return false;
  }
  // Every new file is in place: the switch of the journal to going forward
  // is the commit. Only once it is on disk is the save done.
  bool switched = false;
  if (ok && syncPath(folder_)) {
    if (!faults || faults->journalSwitchSucceeds()) switched = setMode(journalFd, kForward);
    if (!switched) (void)setMode(journalFd, kBack);  // whatever of the switch reached the file is taken back
  }
  if (!switched) {
    // The old files are put back, so that the failure the user is told of is
    // what the folder holds. When even that fails (the disk stopped taking
    // writes), the journal still says undoing, and the next transaction in
    // the folder or the next load finishes it: never the save.
    ::close(journalFd);
    if (replay(folder_, lines, true) && syncPath(folder_)) {
      removeFile(journalPath);
      syncPath(folder_);
    }
    releaseLater(std::move(held));
    return false;
  }
  ::close(journalFd);
  if (faults && faults->crashesAfterCommitPoint()) {
    releaseLater(std::move(held));
    return true;
  }
  for (const auto& e : files) {
    removeFile(folder_ + asideNameFor(e.name));
    removeOtherCased(folder_, e.name, entries);
  }
  releaseLater(std::move(held));
  // A journal that outlives a crash names no file left to rename: harmless.
  removeFile(journalPath);
  return true;
}

void SaveTransaction::discard() {
  for (const auto& e : files_) {
    if (e.flushed.valid()) e.flushed.wait();
    removeFile(folder_ + e.temp);
  }
  files_.clear();
}

bool SaveTransaction::recover(const QString& folder) {
  const QString dir = AppPaths::withSlash(folder);
  const QString journalPath = dir + QString::fromLatin1(kJournal);
  if (!QFileInfo::exists(journalPath)) return true;
  QString text;
  bool ok = Codec::readTextFile(journalPath, &text);
  if (ok) {
    QStringList lines = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    // Journals of earlier versions have no mode line: they only go forward.
    bool back = false;
    if (!lines.isEmpty() && lines[0].size() == 1 && (lines[0][0] == QLatin1Char(kForward) || lines[0][0] == QLatin1Char(kBack))) {
      back = lines[0][0] == QLatin1Char(kBack);
      lines.removeFirst();
    }
    std::vector<JournalLine> followed;
    for (const QString& line : std::as_const(lines)) {
      const QStringList parts = line.split(u'\t');
      if (parts.size() != 2 && parts.size() != 3) continue;
      const bool known = parts.size() == 3;  // the commit said what the file replaced
      JournalLine l{parts[0], parts[1], known ? parts[2] : QString(), known};
      // Only a line the commit writes is followed: the temporary file of that
      // very name, replacing a file of that name. A damaged journal never
      // renames one file over another.
      if (!plainName(l.name) || l.temp != tempNameFor(l.name)) continue;
      if (!l.original.isEmpty() && (!plainName(l.original) || l.original.compare(l.name, Qt::CaseInsensitive) != 0)) continue;
      followed.push_back(std::move(l));
    }
    ok = replay(dir, followed, back);
  }
  syncPath(dir);
  if (ok) {
    removeFile(journalPath);
    syncPath(dir);
  }
  return ok;
}

void SaveTransaction::removeLeftovers(const QString& folder, const QStringList& names) {
  const QString dir = AppPaths::withSlash(folder);
  if (QFileInfo::exists(dir + QString::fromLatin1(kJournal))) return;
  // Only names the folder holds are looked at (leftovers all begin with "~").
  QStringList held;
  const bool read = AppPaths::readEntries(dir, [&held](std::string_view entry, unsigned char) {
    if (!entry.empty() && entry.front() == '~')
      held << QFile::decodeName(QByteArray(entry.data(), static_cast<qsizetype>(entry.size())));
  });
  bool removed = false;
  for (const QString& name : names) {
    for (const QString& leftover : {tempNameFor(name), asideNameFor(name)}) {
      if (read && !held.contains(leftover)) continue;
      if (QFileInfo(dir + leftover).isFile() && removeFile(dir + leftover)) removed = true;
    }
  }
  if (removed) syncPath(dir);
}

bool SaveTransaction::writeFile(const QString& folder, const QString& name, const QByteArray& bytes) {
  SaveTransaction t(folder);
  return t.write(name, bytes) && t.commit();
}

bool SaveTransaction::writeTextFile(const QString& folder, const QString& name, const QString& text) {
  return writeFile(folder, name, Codec::encode(text));
}
