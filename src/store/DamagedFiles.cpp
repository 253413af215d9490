#include "store/DamagedFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace DamagedFiles {

namespace {

const QString kMark = QStringLiteral(".damaged-");

QString stamp() { return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss")); }

QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ? f.readAll() : QByteArray();
}

// A copy of these bytes kept by an earlier load, if any.
QString earlierCopy(const QFileInfo& info) {
  const QDir dir = info.absoluteDir();
  const QStringList copies =
      dir.entryList({info.fileName() + kMark + u'*'}, QDir::Files | QDir::Hidden, QDir::Name);
  if (copies.isEmpty()) return {};
  const QByteArray original = bytesOf(info.filePath());
  for (const QString& c : copies) {
    const QString p = dir.filePath(c);
    if (QFileInfo(p).size() == info.size() && bytesOf(p) == original) return c;
  }
  return {};
}

// A name not yet taken: the time stamp, and a counter when two files are
// kept within one second.
QString freeName(const QString& path) {
  const QString base = path + kMark + stamp();
  QString name = base;
  for (int i = 2; QFileInfo::exists(name); ++i) name = base + u'-' + QString::number(i);
  return name;
}

}  // namespace

Kept keepCopy(const QString& path) {
  Kept k;
  const QFileInfo info(path);
  if (!info.exists()) {
    k.ok = true;
    return k;
  }
  if (const QString earlier = earlierCopy(info); !earlier.isEmpty()) {
    k.ok = true;
    k.name = earlier;
    return k;
  }
  const QString copy = freeName(path);
  if (!QFile::copy(path, copy)) return k;
  k.ok = k.fresh = true;
  k.name = QFileInfo(copy).fileName();
  return k;
}

Kept moveAside(const QString& path) {
  Kept k;
  const QFileInfo info(path);
  if (!info.exists()) {
    k.ok = true;
    return k;
  }
  if (const QString earlier = earlierCopy(info); !earlier.isEmpty()) {
    k.ok = QFile::remove(path);
    k.name = earlier;
    return k;
  }
  const QString aside = freeName(path);
  if (!QFile::rename(path, aside)) return k;
  k.ok = k.fresh = true;
  k.name = QFileInfo(aside).fileName();
  return k;
}

QString keptText(const QStringList& keptNames) {
  return QStringLiteral("載入時發生錯誤的檔案，原檔已保留為:\r\n") + keptNames.join(QStringLiteral("\r\n"));
}

QString unkeptText(const QStringList& names) {
  return QStringLiteral("載入時發生錯誤的檔案無法保留原檔，為免覆蓋原檔，資料未儲存:\r\n") + names.join(QStringLiteral("\r\n"));
}

QStringList writtenFiles() {
  QStringList names = {QStringLiteral("Num.kdt"),   QStringLiteral("Order1.kdt"),     QStringLiteral("Stock1.kdt"),
                       QStringLiteral("Stock2.kdt"), QStringLiteral("Member.kdt"),     QStringLiteral("Manuf1.kdt"),
                       QStringLiteral("Manuf2.kdt"), QStringLiteral("Manuf3.kdt"),     QStringLiteral("ManufStock.kdt"),
                       QStringLiteral("Images1.kdt"), QStringLiteral("Expend.kdt")};
  for (int n = 1; n <= 4; ++n) names << QStringLiteral("Cate%1.kdt").arg(n);
  names << ownWriterFiles();
  names << QStringLiteral("DataBase.pwd") << QStringLiteral("Setting.pwd");
  return names;
}

QStringList ownWriterFiles() {
  QStringList names = {QStringLiteral("AutoBackup.kdt"), QStringLiteral("Addr.kdt")};
  for (int n = 0; n <= 6; ++n) names << QStringLiteral("Shop%1.kdt").arg(n);
  names << QStringLiteral("Carry.kdt") << QStringLiteral("Import.kdt");
  return names;
}

}  // namespace DamagedFiles
