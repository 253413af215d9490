#pragma once
// Shared pieces of the fuzz targets that run the real readers on files:
// a prompt that answers by itself and remembers what it showed, scratch
// folders in memory, and settings kept out of the user's own.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Prompt.h"

class FuzzPrompt : public Prompt {
 public:
  Answer message(const QString& text, Icon, Buttons buttons, const QString&) override {
    texts << text;
    // The save's retry question is answered No: one attempt is enough.
    return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::No;
  }
  std::optional<QString> input(const QString& text, const QString&, const QString&, bool) override {
    texts << text;
    return std::nullopt;
  }
  QString openFile(const QString&, const QString&, const QString&) override { return {}; }
  QString saveFile(const QString&, const QString&, const QString&, const QString&) override { return {}; }
  QString pickFolder(const QString&, const QString&) override { return {}; }
  QStringList texts;
};

namespace FuzzSupport {

// One application object, settings in a scratch place, scratch folders in
// memory where there is a memory file system (saves sync every file).
inline void start() {
  static int argc = 1;
  static char name[] = "kestrin_fuzz";
  static char* argv[] = {name, nullptr};
  static QTemporaryDir* home = nullptr;
  if (home) return;
  if (QFile::exists(QStringLiteral("/dev/shm"))) qputenv("TMPDIR", "/dev/shm");
  home = new QTemporaryDir();
  qputenv("HOME", home->path().toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", (home->path() + QStringLiteral("/config")).toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home->path() + QStringLiteral("/data")).toLocal8Bit());
  QStandardPaths::setTestModeEnabled(true);
  new QCoreApplication(argc, argv);
}

inline QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ? f.readAll() : QByteArray();
}

inline void put(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) f.write(bytes);
}

// Copies kept beside a file: "<name>.damaged-…" (letter case ignored). One
// listing, no pattern to compile: this runs for every file of every input.
inline QStringList keptCopies(const QString& folder, const QString& name) {
  const QString prefix = name + QStringLiteral(".damaged-");
  QStringList out;
  for (const QString& n : QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::NoSort))
    if (n.startsWith(prefix, Qt::CaseInsensitive)) out << n;
  return out;
}

// Calls entry(name, isFolder) for every entry of folder but "." and "..",
// read plainly (a listing through QDir costs more than a small input's load).
template <typename Entry>
inline void eachEntry(const QString& folder, Entry entry) {
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  alignas(dirent64) char buffer[8192];
  for (ssize_t n; (n = ::getdents64(fd, buffer, sizeof buffer)) > 0;) {
    for (ssize_t at = 0; at < n;) {
      const auto* e = reinterpret_cast<const dirent64*>(buffer + at);
      at += e->d_reclen;
      const QByteArray name(e->d_name);
      if (name == "." || name == "..") continue;
      bool isFolder = e->d_type == DT_DIR;
      bool isFile = e->d_type == DT_REG;
      if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
        struct stat st {};
        const bool there = ::stat(QFile::encodeName(folder + u'/' + QFile::decodeName(name)).constData(), &st) == 0;
        isFile = there && S_ISREG(st.st_mode);
        isFolder = e->d_type != DT_LNK && there && S_ISDIR(st.st_mode);
      }
      entry(QFile::decodeName(name), isFolder, isFile);
    }
  }
  ::close(fd);
}

// The names of the files of folder (links to files too), for several
// kept() questions about one moment.
inline QStringList listing(const QString& folder) {
  QStringList out;
  eachEntry(folder, [&out](const QString& name, bool, bool isFile) {
    if (isFile) out << name;
  });
  return out;
}

// Empties folder (the folder itself stays).
inline void empty(const QString& folder) {
  eachEntry(folder, [&folder](const QString& name, bool isFolder, bool) {
    if (isFolder) QDir(folder + u'/' + name).removeRecursively();
    else QFile::remove(folder + u'/' + name);
  });
}

// True when one of the kept copies of name among the folder's names holds
// exactly these bytes.
inline bool kept(const QString& folder, const QStringList& names, const QString& name, const QByteArray& original) {
  const QString prefix = name + QStringLiteral(".damaged-");
  for (const QString& c : names)
    if (c.startsWith(prefix, Qt::CaseInsensitive) && bytesOf(folder + c) == original) return true;
  return false;
}

// True when one of the kept copies of name holds exactly these bytes.
inline bool kept(const QString& folder, const QString& name, const QByteArray& original) {
  return kept(folder, listing(folder), name, original);
}

}  // namespace FuzzSupport
