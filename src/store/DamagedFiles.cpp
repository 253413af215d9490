#include "store/DamagedFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <dirent.h>
#include <string_view>

#include "platform/AppPaths.h"

namespace DamagedFiles {

namespace {

const QString kMark = QStringLiteral(".damaged-");

QString stamp() { return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss")); }

QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ? f.readAll() : QByteArray();
}

bool plainAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The names of the kept copies of a file ("<name>.damaged-…", letter case
// ignored, plain files only), sorted by name. The folder is read plainly
// while every candidate is a plain file with a plain ASCII name; anything
// else takes the folder's own filtered listing.
QStringList copiesOf(const QFileInfo& info) {
  const QDir dir = info.absoluteDir();
  const QString prefix = info.fileName() + kMark;
  const auto listed = [&] { return dir.entryList({prefix + u'*'}, QDir::Files | QDir::Hidden, QDir::Name); };
  const QByteArray head = prefix.toLatin1();
  if (head.contains('*') || head.contains('?') || head.contains('[') || head.contains('\\') ||
      !plainAscii(std::string_view(head.constData(), static_cast<size_t>(head.size()))) ||
      QString::fromLatin1(head) != prefix)
    return listed();
  QStringList out;
  bool plain = true;
  const bool read = AppPaths::readEntries(dir.path(), [&](std::string_view entry, unsigned char type) {
    if (!plain) return;
    if (!plainAscii(entry)) {
      plain = false;
      return;
    }
    if (entry.size() < static_cast<size_t>(head.size()) ||
        qstrnicmp(entry.data(), head.constData(), static_cast<size_t>(head.size())) != 0)
      return;
    if (type != DT_REG) plain = false;
    else out << QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size()));
  });
  if (!read || !plain) return listed();
  out.sort();
  return out;
}

// A copy of these bytes kept by an earlier load, if any.
QString earlierCopy(const QFileInfo& info) {
  const QDir dir = info.absoluteDir();
  const QStringList copies = copiesOf(info);
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
