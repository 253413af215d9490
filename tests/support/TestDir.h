#pragma once
// Scratch folders and byte-level file helpers for tests.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <map>

struct TestDir {
  QTemporaryDir dir;
  QString path() const { return dir.path() + QStringLiteral("/"); }
  QString file(const QString& name) const { return path() + name; }
  void put(const QString& name, const QByteArray& bytes) const {
    QFile f(file(name));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
  }
  QByteArray get(const QString& name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  bool has(const QString& name) const { return QFile::exists(file(name)); }
  QStringList names() const { return QDir(path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
  // Every file's name and bytes.
  std::map<QString, QByteArray> contents() const {
    std::map<QString, QByteArray> out;
    for (const QString& n : names()) out[n] = get(n);
    return out;
  }
};

// Code page 950 bytes of a text given in UTF-8 source.
QByteArray big5(const QString& text);

// The permission bits of the file at path itself (a link is not followed);
// -1 when there is nothing there.
int fileMode(const QString& path);
