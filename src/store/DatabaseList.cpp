#include "store/DatabaseList.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include "platform/Codec.h"
#include "platform/Prompt.h"
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
  const QString path = db.AppPath + QStringLiteral("List.dat");
  if (!QFileInfo::exists(path)) {
    if (!write(db.AppPath, preset)) prompt.error();
    return;
  }
  QString text;
  if (!Codec::readTextFile(path, &text)) {
    // Keep what decoded, as the lines read so far.
    prompt.error();
  }
  QStringList lines = text.split(QStringLiteral("\n"));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();  // the last line end
  for (QString& l : lines) {
    if (l.endsWith(u'\r')) l.chop(1);
  }
  if (lines.size() > Capacity::Databases) {
    const QString copy = path + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"));
    QFile::copy(path, copy);
    lines = lines.mid(0, Capacity::Databases);
    prompt.message(QStringLiteral("資料庫清單超過 100 個，只載入前 100 個。原檔已保留為 ") + QFileInfo(copy).fileName(),
                   Prompt::Icon::Exclamation);
  }
  db.DataBaseList = lines;
}

}  // namespace DatabaseList
