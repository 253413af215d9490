#include "store/SaveTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <future>
#include <thread>
#include <vector>
#include <unistd.h>

#include "platform/AppPaths.h"
#include "platform/Codec.h"

namespace {
qint64 g_failBytes = -1;
int g_failTransactions = 0;
int g_crashAfter = -1;

QString tempNameFor(const QString& name) { return QStringLiteral("~") + name + QStringLiteral(".tmp"); }

// Renames temp over name in dir, then removes any other-cased copy of name
// among entries (the folder's files, listed before the renames).
bool place(const QString& dir, const QString& temp, const QString& name, const QStringList& entries) {
  const QString from = dir + temp;
  const QString to = dir + name;
  if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) return false;
  for (const QString& e : entries) {
    if (e != name && e.compare(name, Qt::CaseInsensitive) == 0) QFile::remove(dir + e);
  }
  return true;
}

QStringList filesOf(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden); }

bool syncFile(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

// The files a commit is about to replace, held open across the renames: a
// rename over a file nobody holds also gives the file's blocks and cached
// pages back, there and then (milliseconds for a large table file). Held
// open, the rename only changes the folder, and the old bytes are given
// back when the handles are closed, on a thread of their own after the
// commit. What is on disk, and in what order, does not change.
std::vector<int> holdOriginals(const QString& dir, const std::vector<QString>& names) {
  std::vector<int> held;
  held.reserve(names.size());
  for (const QString& n : names) {
    const int fd = ::open(QFile::encodeName(dir + n).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) held.push_back(fd);
  }
  return held;
}

void releaseLater(std::vector<int> held) {
  if (held.empty()) return;
  std::thread([held = std::move(held)] {
    for (const int fd : held) ::close(fd);
  }).detach();
}
}  // namespace

bool syncPath(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

namespace {
// How much of len the test hook lets through; all of it when nothing is set.
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
  if (g_failBytes >= 0 && g_failTransactions > 0) {
    failBudget_->store(g_failBytes);
    --g_failTransactions;
  }
}

bool SaveTransaction::writeAll(QFile& f, const QByteArray& bytes) {
  const qint64 len = bytes.size();
  const qint64 n = allowed(*failBudget_, len);
  if (n < len) {
    if (n > 0) f.write(bytes.constData(), n);
    return false;
  }
  return f.write(bytes) == len;
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
  Entry& e = entryFor(name);
  const int fd =
      ::open(QFile::encodeName(folder_ + e.temp).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
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
      e.flushed = std::async(std::launch::async, [writer] { return ::fsync(writer->fd_) == 0; }).share();
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
  const QString temp = tempNameFor(name);
  QFile f(folder_ + temp);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) return false;
  bool ok = true;
  for (size_t i = 0; i < count && ok; ++i) ok = writeAll(f, piece(i));
  ok = ok && f.flush();
  f.close();
  ok = ok && f.error() == QFile::NoError;
  if (!ok) {
    QFile::remove(folder_ + temp);
    // An earlier write of the same name is gone with it: commit() refuses.
    for (auto& e : files_) {
      if (e.name != name) continue;
      if (e.flushed.valid()) e.flushed.wait();
      e.flushed = {};
    }
    return false;
  }
  // On its way to disk at once, on a thread of its own, while the next
  // file is made and written; commit() waits for every flush.
  entryFor(name).flushed = std::async(std::launch::async, syncFile, folder_ + temp).share();
  return true;
}

bool SaveTransaction::writeText(const QString& name, const QString& text) { return write(name, Codec::encode(text)); }

bool SaveTransaction::commit() {
  if (files_.empty()) return true;
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
  QString journal;
  for (const auto& e : files_) journal += e.temp + u'\t' + e.name + QStringLiteral("\r\n");
  {
    QFile j(folder_ + QString::fromLatin1(kJournal));
    if (!j.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      discard();
      return false;
    }
    const QByteArray bytes = Codec::encode(journal);
    const bool ok = writeAll(j, bytes) && j.flush() && ::fsync(j.handle()) == 0;
    j.close();
    if (!ok) {
      QFile::remove(folder_ + QString::fromLatin1(kJournal));
      discard();
      return false;
    }
  }
  syncPath(folder_);
  const QStringList entries = filesOf(folder_);
  std::vector<QString> names;
  names.reserve(files_.size());
  for (const auto& e : files_) names.push_back(e.name);
  std::vector<int> held = holdOriginals(folder_, names);
  int renamed = 0;
  for (const auto& e : files_) {
    if (g_crashAfter >= 0 && renamed >= g_crashAfter) {
      files_.clear();  // a crashed process cleans nothing up
      releaseLater(std::move(held));
      return false;
    }
    if (!place(folder_, e.temp, e.name, entries)) {
      // The journal stays: the next load finishes what is left.
      files_.clear();
      releaseLater(std::move(held));
      return false;
    }
    ++renamed;
  }
  files_.clear();
  syncPath(folder_);
  releaseLater(std::move(held));
  // A journal that outlives a crash names no file left to rename: harmless.
  QFile::remove(folder_ + QString::fromLatin1(kJournal));
  return true;
}

void SaveTransaction::discard() {
  for (const auto& e : files_) {
    if (e.flushed.valid()) e.flushed.wait();
    QFile::remove(folder_ + e.temp);
  }
  files_.clear();
}

bool SaveTransaction::recover(const QString& folder) {
  const QString dir = AppPaths::withSlash(folder);
  const QString journalPath = dir + QString::fromLatin1(kJournal);
  if (!QFileInfo::exists(journalPath)) return true;
  QString text;
  const bool readable = Codec::readTextFile(journalPath, &text);
  bool ok = readable;
  if (readable) {
    const QStringList lines = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
      const QStringList parts = line.split(u'\t');
      if (parts.size() != 2) continue;
      const QString temp = parts[0];
      const QString name = parts[1];
      // Only a line the commit writes is followed: the temporary file of that
      // very name. A damaged journal never renames one file over another.
      if (name.isEmpty() || name.contains(u'/') || name.contains(QStringLiteral("..")) || temp != tempNameFor(name))
        continue;
      // A temporary file still there was not yet renamed; one gone already was.
      if (QFileInfo::exists(dir + temp) && !place(dir, temp, name, filesOf(dir))) ok = false;
    }
  }
  syncPath(dir);
  if (ok) QFile::remove(journalPath);
  return ok;
}

QString SaveTransaction::temporaryName(const QString& name) { return tempNameFor(name); }

void SaveTransaction::removeLeftovers(const QString& folder, const QStringList& names) {
  const QString dir = AppPaths::withSlash(folder);
  if (QFileInfo::exists(dir + QString::fromLatin1(kJournal))) return;
  bool removed = false;
  for (const QString& name : names) {
    const QString temp = dir + tempNameFor(name);
    if (QFileInfo(temp).isFile() && QFile::remove(temp)) removed = true;
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

void SaveTransaction::failAfterBytes(qint64 bytes, int transactions) {
  g_failBytes = bytes;
  g_failTransactions = bytes < 0 ? 0 : transactions;
}
void SaveTransaction::crashAfterRenames(int renames) { g_crashAfter = renames; }
