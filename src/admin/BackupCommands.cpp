#include "admin/BackupCommands.h"

#include <QDir>
#include <QFileInfo>

#include "platform/AppPaths.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "store/BackupArchive.h"
#include "store/Database.h"

namespace {
const QString kNotArchive = QStringLiteral("這個檔案不是Kestrin備份檔案!");

QString filter() { return QString::fromUtf8(BackupCommands::kFilter); }

// Two texts naming the same folder (symbolic links and "." resolved).
bool sameFolder(const QString& a, const QString& b) {
  const QString ca = QFileInfo(a).canonicalFilePath();
  const QString cb = QFileInfo(b).canonicalFilePath();
  if (!ca.isEmpty() && !cb.isEmpty()) return ca == cb;
  return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}
}  // namespace

BackupCommands::BackupCommands(Database& db, Prompt& prompt, Hooks hooks)
    : db_(db), prompt_(prompt), hooks_(std::move(hooks)) {}

QString BackupCommands::defaultArchiveName(const QString& dataBaseName) {
  QString name = dataBaseName;
  for (QChar c : {u'\\', u'*', u'<', u'>', u':', u'"', u'?'}) name.remove(c);
  return name + QStringLiteral(".kbk");
}

QString BackupCommands::autoRestoreFolder(const Database& db) {
  const QString own = db.settings.AutoBackupPath;
  if (!own.isEmpty() && AppPaths::folderExists(own) && !QDir(own).entryList(QDir::Files).isEmpty())
    return AppPaths::withSlash(own);
  return AppPaths::withSlash(db.DataBasePath) + QStringLiteral("Backup/");
}

void BackupCommands::backUp() {
  QString chosen = prompt_.saveFile(QStringLiteral("儲存檔案"), filter(), db_.BackupPath,
                                    defaultArchiveName(db_.DataBaseName));
  if (chosen.isEmpty()) return;
  chosen = QFileInfo(chosen).absoluteFilePath();

  db_.BackupPath = chosen.left(chosen.lastIndexOf(u'/') + 1);
  if (!AppPaths::folderExists(db_.BackupPath)) {
    prompt_.message(QStringLiteral("備份路徑不正確!請重新選擇路徑"));
    db_.BackupPath.clear();
    return;
  }
  if (sameFolder(db_.BackupPath, db_.DataBasePath)) {
    prompt_.warn(QStringLiteral("您選擇的路徑跟原資料相同，不能備份到這裡!"));
    return;
  }

  if (!hooks_.DataBaseSave || !hooks_.DataBaseSave()) return;

  // Written beside its final name and renamed: a failure keeps any archive
  // already there, and nothing after this step runs.
  if (!WriteBackupArchive(db_.DataBasePath, chosen)) {
    prompt_.error();
    return;
  }
  SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("BackupPath"), db_.BackupPath);
  SettingsStore::remove(QStringLiteral("Setting"), QStringLiteral("BackupTime"));
  db_.setDirty(false);
  prompt_.message(QStringLiteral("備份資料完成"), Prompt::Icon::Exclamation);
}

void BackupCommands::restore() {
  // The folder of the last backup, else the database's own backup folder.
  restoreFrom(db_.BackupPath.isEmpty() ? autoRestoreFolder(db_) : db_.BackupPath);
}

void BackupCommands::restoreDailyBackup() { restoreFrom(autoRestoreFolder(db_)); }

void BackupCommands::restoreFrom(const QString& startFolder) {
  const QString chosen = prompt_.openFile(QStringLiteral("開啟檔案"), filter(),
                                          startFolder + defaultArchiveName(db_.DataBaseName));
  if (chosen.isEmpty()) return;
  if (!chosen.endsWith(QStringLiteral(".kbk"), Qt::CaseInsensitive)) {
    prompt_.message(kNotArchive, Prompt::Icon::Exclamation);
    return;
  }

  // The archive is checked whole (its header and list against its size)
  // before anything is asked or changed; its members are read only by the
  // restore itself. It stays open until then: the undo point below may
  // rewrite or prune the very file chosen.
  const BackupArchive::Source archive = BackupArchive::Source::open(chosen);
  if (archive.state() == BackupArchive::Source::State::Unreadable) {
    prompt_.error();
    return;
  }
  if (archive.state() != BackupArchive::Source::State::Good) {
    prompt_.message(kNotArchive, Prompt::Icon::Exclamation);
    return;
  }

  if (!prompt_.askYesNo(QStringLiteral("確定還原資料嗎？"), QStringLiteral("還原資料"))) return;

  // The folder as it is now becomes today's daily archive: the way back.
  if (!AutoBackup(db_)) {
    prompt_.error();
    return;
  }
  if (RestoreBackupArchive(db_.DataBasePath, archive) != RestoreResult::Done) {
    prompt_.error();
    return;
  }

  if (AppPaths::exists(db_.DataBasePath, QStringLiteral("DataBase.pwd"))) {
    prompt_.message(QStringLiteral("還原資料完成，請重新開啟資料庫!"), Prompt::Icon::Exclamation);
    if (hooks_.setPassChk) hooks_.setPassChk(false);
    if (hooks_.openDatabaseManager) hooks_.openDatabaseManager();
    return;
  }
  prompt_.message(QStringLiteral("還原資料完成!"), Prompt::Icon::Exclamation);
  if (hooks_.setPasswordMenu) hooks_.setPasswordMenu(false);
  if (hooks_.setPassChk) hooks_.setPassChk(true);
  if (hooks_.DataBaseLoad) hooks_.DataBaseLoad();
}
