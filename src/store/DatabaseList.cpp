#include "store/DatabaseList.h"

#include <QFile>
#include <QFileInfo>

#include "platform/Codec.h"
#include "platform/Prompt.h"
#include "store/DamagedFiles.h"
#include "store/Database.h"
#include "store/SaveTransaction.h"

namespace DatabaseList {

QString entry(const QString& name, const QString& folder) { return name + kSeparator + folder; }
QString nameOf(const QString& e) { return e.section(kSeparator, 0, 0); }
QString folderOf(const QString& e) {
  const qsizetype i = e.indexOf(kSeparator);
  return i < 0 ? QString() : e.mid(i + 1);
}

bool write(const QString& appPath, const QStringList& entries) {
  QString text;
  for (const QString& e : entries) text += e + QStringLiteral("\r\n");
  return SaveTransaction::writeTextFile(appPath, QStringLiteral("List.dat"), text);
}

void DataBaseInit(Database& db, Prompt& prompt) {
  const QStringList preset{entry(QString::fromUtf8(kDefaultName), db.AppPath)};
  db.DataBaseList = preset;
  // A rewrite killed before its commit leaves its temporary file behind.
  SaveTransaction::removeLeftovers(db.AppPath, {QStringLiteral("List.dat")});
  const QString path = db.AppPath + QStringLiteral("List.dat");
  if (!QFileInfo::exists(path)) {
    if (!write(db.AppPath, preset)) prompt.error();
    return;
  }
  QString text;
  // Bytes that are not code page 950: the lines keep what decoded.
  const bool clean = Codec::readTextFile(path, &text);
  QStringList lines = text.split(QStringLiteral("\n"));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();  // the last line end
  for (QString& l : lines) {
    if (l.endsWith(u'\r')) l.chop(1);
  }
  const bool overFull = lines.size() > Capacity::Databases;
  if (overFull) lines = lines.mid(0, Capacity::Databases);
  db.DataBaseList = lines;
  if (clean && !overFull) return;
  // Read only in part: the database manager rewrites the list when it
  // closes, so the original is kept beside it now and the user told once.
  const DamagedFiles::Kept k = DamagedFiles::keepCopy(path);
  if (!k.ok) {
    prompt.error();
    return;
  }
  if (!k.fresh) return;
  if (overFull) {
    prompt.message(QStringLiteral("資料庫清單超過 100 個，只載入前 100 個。原檔已保留為 ") + k.name,
                   Prompt::Icon::Exclamation);
  } else {
    prompt.message(DamagedFiles::keptText({k.name}), Prompt::Icon::Exclamation);
  }
}

}  // namespace DatabaseList
