#include "store/SaveTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <future>
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
}  // namespace

bool syncPath(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

SaveTransaction::SaveTransaction(const QString& folder) : folder_(AppPaths::withSlash(folder)) {
  if (g_failBytes >= 0 && g_failTransactions > 0) {
    failBudget_ = g_failBytes;
    --g_failTransactions;
  }
}

bool SaveTransaction::writeAll(QFile& f, const QByteArray& bytes) {
  const qint64 len = bytes.size();
  if (failBudget_ >= 0) {
    if (failBudget_ < len) {
      if (failBudget_ > 0) f.write(bytes.constData(), failBudget_);
      failBudget_ = 0;
      return false;
    }
    failBudget_ -= len;
  }
  return f.write(bytes) == len;
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
  // Flushed to disk by commit, all files at once.
  ok = ok && f.flush();
  f.close();
  ok = ok && f.error() == QFile::NoError;
  if (!ok) {
    QFile::remove(folder_ + temp);
    return false;
  }
  for (auto& e : files_) {
    if (e.name == name) return true;  // rewritten: same temporary file
  }
  files_.push_back({temp, name});
  return true;
}

bool SaveTransaction::writeText(const QString& name, const QString& text) { return write(name, Codec::encode(text)); }

bool SaveTransaction::commit() {
  if (files_.empty()) return true;
  // Every file on disk before the journal names it; the files are flushed
  // side by side, so the file system can do it in one go.
  {
    std::vector<std::future<bool>> syncs;
    syncs.reserve(files_.size());
    for (const auto& e : files_) syncs.push_back(std::async(std::launch::async, syncFile, folder_ + e.temp));
    bool synced = true;
    for (auto& s : syncs) synced = s.get() && synced;
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
  int renamed = 0;
  for (const auto& e : files_) {
    if (g_crashAfter >= 0 && renamed >= g_crashAfter) {
      files_.clear();  // a crashed process cleans nothing up
      return false;
    }
    if (!place(folder_, e.temp, e.name, entries)) {
      // The journal stays: the next load finishes what is left.
      files_.clear();
      return false;
    }
    ++renamed;
  }
  files_.clear();
  syncPath(folder_);
  // A journal that outlives a crash names no file left to rename: harmless.
  QFile::remove(folder_ + QString::fromLatin1(kJournal));
  return true;
}

void SaveTransaction::discard() {
  for (const auto& e : files_) QFile::remove(folder_ + e.temp);
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
