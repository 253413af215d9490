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

// The names of folder, for several kept() questions about one moment.
inline QStringList listing(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
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
