#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <map>

#include "PeakMemory.h"
#include "ScopedSaveFaults.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "admin/BackupCommands.h"
#include "platform/SettingsStore.h"
#include "store/BackupArchive.h"
#include "store/Database.h"

namespace {

// Records where the file dialogs started.
class DialogPrompt : public ScriptedPrompt {
 public:
  QString openFolder, saveFolder, saveName;
  QString openFile(const QString& title, const QString& filter, const QString& folder) override {
    openFolder = folder;
    return ScriptedPrompt::openFile(title, filter, folder);
  }
  QString saveFile(const QString& title, const QString& filter, const QString& folder,
                   const QString& fileName) override {
    saveFolder = folder;
    saveName = fileName;
    return ScriptedPrompt::saveFile(title, filter, folder, fileName);
  }
};

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::map<QString, QByteArray> snapshot(const TestDir& d) {
  std::map<QString, QByteArray> out;
  for (const QString& n : d.names()) out[n] = d.get(n);
  return out;
}

QByteArray archiveOf(const QByteArray& list, const QByteArray& contents) {
  return QByteArray::number(list.size()).leftJustified(10, ' ') + list + contents;
}

struct Fixture {
  TestDir dbDir;
  Database db;
  DialogPrompt prompt;
  int saves = 0, loads = 0, opens = 0;
  bool saveResult = true;
  std::optional<bool> passChk;
  std::optional<bool> hasPassword;
  BackupCommands commands;

  Fixture()
      : commands(db, prompt,
                 {[this] {
                    ++saves;
                    return saveResult;
                  },
                  [this] { ++loads; }, [this] { ++opens; }, [this](bool v) { passChk = v; },
                  [this](bool v) { hasPassword = v; }}) {
    db.DataBasePath = dbDir.path();
    db.DataBaseName = QStringLiteral("店:一*號");
    dbDir.put(QStringLiteral("Import.kdt"), "\"import\"\r\n");
    dbDir.put(QStringLiteral("Order1.kdt"), "\"old order\"\r\n");
    dbDir.put(QStringLiteral("DataBase.pwd"), "0041\r\n");
    QDir().mkpath(dbDir.path() + QStringLiteral("Backup"));
    db.setDirty(true);
  }
  QString todaysArchive() const {
    return dbDir.path() + QStringLiteral("Backup/") + QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) +
           QStringLiteral(".kbk");
  }
};

}  // namespace

TEST(BackupCommands, DefaultArchiveNameDropsCharactersFilesCannotHold) {
  EXPECT_EQ(BackupCommands::defaultArchiveName(QStringLiteral("店:一*號")), QStringLiteral("店一號.kbk"));
  EXPECT_EQ(BackupCommands::defaultArchiveName(QStringLiteral("a\\b*c<d>e:f\"g?h")), QStringLiteral("abcdefgh.kbk"));
}

TEST(BackupCommands, BackupSavesPacksAndRemembersTheFolder) {
  Fixture f;
  TestDir out;
  f.db.BackupPath = out.path();
  SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("BackupTime"), QStringLiteral("x"));
  f.prompt.answerPath(out.file(QStringLiteral("店一號.kbk")));
  f.commands.backUp();

  EXPECT_EQ(f.prompt.saveFolder, out.path());
  EXPECT_EQ(f.prompt.saveName, QStringLiteral("店一號.kbk"));
  EXPECT_EQ(f.saves, 1);
  TestDir expected;
  ASSERT_TRUE(WriteBackupArchive(f.dbDir.path(), expected.file(QStringLiteral("e.kbk"))));
  EXPECT_EQ(out.get(QStringLiteral("店一號.kbk")), expected.get(QStringLiteral("e.kbk")));
  EXPECT_EQ(SettingsStore::get(QStringLiteral("Setting"), QStringLiteral("BackupPath")), out.path());
  EXPECT_FALSE(SettingsStore::contains(QStringLiteral("Setting"), QStringLiteral("BackupTime")));
  EXPECT_FALSE(f.db.dirty());
  EXPECT_FALSE(f.dbDir.has(QStringLiteral("~Backup.kbk")));
  ASSERT_EQ(f.prompt.texts().last(), QStringLiteral("備份資料完成"));
  EXPECT_EQ(f.prompt.shown.back().icon, Prompt::Icon::Exclamation);
}

TEST(BackupCommands, BackupRefusesMissingFolderAndTheDatabaseFolder) {
  {
    Fixture f;
    f.prompt.answerPath(f.dbDir.path() + QStringLiteral("gone/x.kbk"));
    f.commands.backUp();
    EXPECT_EQ(f.prompt.texts().last(), QStringLiteral("備份路徑不正確!請重新選擇路徑"));
    EXPECT_EQ(f.prompt.shown.back().icon, Prompt::Icon::None);
    EXPECT_TRUE(f.db.BackupPath.isEmpty());
    EXPECT_EQ(f.saves, 0);
  }
  {
    Fixture f;
    // The same folder spelt another way is still the database's own.
    f.prompt.answerPath(f.dbDir.path() + QStringLiteral("Backup/../x.kbk"));
    f.commands.backUp();
    EXPECT_EQ(f.prompt.texts().last(), QStringLiteral("您選擇的路徑跟原資料相同，不能備份到這裡!"));
    EXPECT_EQ(f.prompt.shown.back().title, QStringLiteral("注意"));
    EXPECT_EQ(f.saves, 0);
    EXPECT_FALSE(f.dbDir.has(QStringLiteral("x.kbk")));
    EXPECT_TRUE(f.db.dirty());
  }
  {
    Fixture f;  // a subfolder of it is fine
    f.prompt.answerPath(f.dbDir.path() + QStringLiteral("Backup/x.kbk"));
    f.commands.backUp();
    EXPECT_TRUE(QFile::exists(f.dbDir.path() + QStringLiteral("Backup/x.kbk")));
  }
}

TEST(BackupCommands, FailedSaveOrWriteReportsAndKeepsTheOldArchive) {
  ScopedSaveFaults faults;
  {
    Fixture f;
    TestDir out;
    f.saveResult = false;
    f.prompt.answerPath(out.file(QStringLiteral("a.kbk")));
    f.commands.backUp();
    EXPECT_TRUE(out.names().isEmpty());
    EXPECT_TRUE(f.prompt.texts().filter(QStringLiteral("完成")).isEmpty());
    EXPECT_TRUE(f.db.dirty());
  }
  {
    Fixture f;
    TestDir out;
    out.put(QStringLiteral("a.kbk"), "a good archive");
    SettingsStore::remove(QStringLiteral("Setting"), QStringLiteral("BackupPath"));
    f.prompt.answerPath(out.file(QStringLiteral("a.kbk")));
    faults.failArchiveAfterBytes(20);
    f.commands.backUp();
    faults.failArchiveAfterBytes(-1);
    EXPECT_EQ(out.get(QStringLiteral("a.kbk")), QByteArray("a good archive"));
    EXPECT_EQ(out.names(), QStringList{QStringLiteral("a.kbk")});
    EXPECT_EQ(f.prompt.texts(), (QStringList{QStringLiteral("儲存檔案"), QStringLiteral("發生錯誤!")}));
    EXPECT_TRUE(f.db.dirty());
    EXPECT_FALSE(SettingsStore::contains(QStringLiteral("Setting"), QStringLiteral("BackupPath")));
  }
}

TEST(BackupCommands, RestoreRefusesWhatIsNotAnArchiveBeforeAskingAnything) {
  TestDir files;
  files.put(QStringLiteral("data.zip"), archiveOf("Order1.kdt\x01" "1\r\n", "x"));
  files.put(QStringLiteral("cut.kbk"), archiveOf("Order1.kdt\x01" "9\r\n", "x"));
  files.put(QStringLiteral("up.kbk"), archiveOf("../Order1.kdt\x01" "1\r\n", "x"));
  for (const char* name : {"data.zip", "cut.kbk", "up.kbk"}) {
    SCOPED_TRACE(name);
    Fixture f;
    const auto before = snapshot(f.dbDir);
    f.prompt.answerPath(files.file(QString::fromLatin1(name)));
    f.commands.restore();
    EXPECT_EQ(f.prompt.texts().last(), QStringLiteral("這個檔案不是Kestrin備份檔案!"));
    EXPECT_EQ(f.prompt.shown.back().icon, Prompt::Icon::Exclamation);
    EXPECT_EQ(snapshot(f.dbDir), before);
    EXPECT_FALSE(QFile::exists(f.todaysArchive()));
    EXPECT_EQ(f.loads + f.opens, 0);
  }
}

TEST(BackupCommands, RestoreRefusesAHugeFileWithoutReadingIt) {
  Fixture f;
  TestDir files;
  {
    QFile big(files.file(QStringLiteral("big.kbk")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(archiveOf("Order1.kdt\x01" "1\r\n", "x"));
    if (!big.resize(qint64(600) << 20)) GTEST_SKIP() << "no sparse files here";
  }
  const auto before = snapshot(f.dbDir);
  f.prompt.answerPath(files.file(QStringLiteral("big.kbk")));
  PeakMemory::reset();
  const qint64 peak = PeakMemory::bytes();
  f.commands.restore();
  EXPECT_LT(PeakMemory::bytes() - peak, qint64(64) << 20);
  EXPECT_EQ(f.prompt.texts().last(), QStringLiteral("這個檔案不是Kestrin備份檔案!"));
  EXPECT_EQ(snapshot(f.dbDir), before);
}

TEST(BackupCommands, RestoreAnsweredNoChangesNothing) {
  Fixture f;
  TestDir files;
  files.put(QStringLiteral("DATA.KBK"), archiveOf("Order1.kdt\x01" "1\r\n", "x"));
  const auto before = snapshot(f.dbDir);
  f.prompt.answerPath(files.file(QStringLiteral("DATA.KBK"))).answer(Prompt::Answer::No);
  f.commands.restore();
  EXPECT_EQ(f.prompt.shown.back().text, QStringLiteral("確定還原資料嗎？"));
  EXPECT_EQ(f.prompt.shown.back().title, QStringLiteral("還原資料"));
  EXPECT_EQ(f.prompt.shown.back().buttons, Prompt::Buttons::YesNo);
  EXPECT_EQ(snapshot(f.dbDir), before);
  EXPECT_EQ(f.loads, 0);
}

TEST(BackupCommands, RestoreKeepsAnUndoPointThenReloads) {
  Fixture f;
  TestDir files;
  f.db.BackupPath = files.path();
  files.put(QStringLiteral("a.kbk"), archiveOf("ORDER1.KDT\x01" "3\r\nStock1.kdt\x01" "0\r\n", "new"));
  TestDir current;
  ASSERT_TRUE(WriteBackupArchive(f.dbDir.path(), current.file(QStringLiteral("now.kbk"))));

  f.prompt.answerPath(files.file(QStringLiteral("a.kbk"))).answer(Prompt::Answer::Yes);
  f.commands.restore();

  EXPECT_EQ(f.prompt.openFolder, files.path() + QStringLiteral("店一號.kbk"));
  // Today's archive holds the folder as it was, its password included.
  EXPECT_EQ(readFile(f.todaysArchive()), current.get(QStringLiteral("now.kbk")));
  EXPECT_EQ(f.dbDir.get(QStringLiteral("Order1.kdt")), QByteArray("new"));
  EXPECT_EQ(f.dbDir.get(QStringLiteral("Stock1.kdt")), QByteArray());
  EXPECT_EQ(f.dbDir.get(QStringLiteral("Import.kdt")), QByteArray("\"import\"\r\n"));
  EXPECT_FALSE(f.dbDir.has(QStringLiteral("DataBase.pwd")));
  EXPECT_EQ(f.prompt.texts().last(), QStringLiteral("還原資料完成!"));
  EXPECT_EQ(f.hasPassword, std::optional<bool>(false));
  EXPECT_EQ(f.passChk, std::optional<bool>(true));
  EXPECT_EQ(f.loads, 1);
  EXPECT_EQ(f.opens, 0);
}

TEST(BackupCommands, RestoredPasswordSendsTheUserToTheDatabaseManager) {
  Fixture f;
  TestDir files;
  files.put(QStringLiteral("a.kbk"), archiveOf("DataBase.pwd\x01" "4\r\n", "0042"));
  f.prompt.answerPath(files.file(QStringLiteral("a.kbk"))).answer(Prompt::Answer::Yes);
  f.commands.restore();
  EXPECT_EQ(f.dbDir.get(QStringLiteral("DataBase.pwd")), QByteArray("0042"));
  EXPECT_EQ(f.prompt.texts().last(), QStringLiteral("還原資料完成，請重新開啟資料庫!"));
  EXPECT_EQ(f.passChk, std::optional<bool>(false));
  EXPECT_EQ(f.opens, 1);
  EXPECT_EQ(f.loads, 0);
}

// Today's daily archive chosen: the undo point rewrites that very file, and
// still the archive as it was chosen is restored.
TEST(BackupCommands, RestoreOfTodaysDailyArchiveRestoresItAsChosen) {
  Fixture f;
  const QByteArray chosen = archiveOf("Order1.kdt\x01" "3\r\n", "new");
  {
    QFile today(f.todaysArchive());
    ASSERT_TRUE(today.open(QIODevice::WriteOnly));
    today.write(chosen);
  }
  TestDir current;
  ASSERT_TRUE(WriteBackupArchive(f.dbDir.path(), current.file(QStringLiteral("now.kbk"))));
  f.prompt.answerPath(f.todaysArchive()).answer(Prompt::Answer::Yes);
  f.commands.restoreDailyBackup();
  EXPECT_EQ(f.dbDir.get(QStringLiteral("Order1.kdt")), QByteArray("new"));
  EXPECT_EQ(readFile(f.todaysArchive()), current.get(QStringLiteral("now.kbk")));
  EXPECT_EQ(f.prompt.texts().last(), QStringLiteral("還原資料完成!"));
}

TEST(BackupCommands, AutomaticRestoreStartsInAFolderHoldingArchives) {
  Fixture f;
  TestDir own;
  f.db.settings.AutoBackupPath = own.path();
  EXPECT_EQ(BackupCommands::autoRestoreFolder(f.db), f.dbDir.path() + QStringLiteral("Backup/"));
  own.put(QStringLiteral("20240101.kbk"), "x");
  EXPECT_EQ(BackupCommands::autoRestoreFolder(f.db), own.path());
  f.db.settings.AutoBackupPath = f.dbDir.path() + QStringLiteral("gone/");
  EXPECT_EQ(BackupCommands::autoRestoreFolder(f.db), f.dbDir.path() + QStringLiteral("Backup/"));

  f.prompt.answerPath(QString());  // cancelled: nothing at all
  f.commands.restoreDailyBackup();
  EXPECT_EQ(f.prompt.openFolder, f.dbDir.path() + QStringLiteral("Backup/店一號.kbk"));
  EXPECT_EQ(f.prompt.shown.size(), 1u);
}

TEST(BackupCommands, RestoreIntoAnEmptyDatabaseFolderNeedsNoUndoPoint) {
  Fixture f;
  for (const QString& n : f.dbDir.names()) QFile::remove(f.dbDir.file(n));
  TestDir files;
  files.put(QStringLiteral("a.kbk"), archiveOf("Order1.kdt\x01" "1\r\n", "x"));
  f.prompt.answerPath(files.file(QStringLiteral("a.kbk"))).answer(Prompt::Answer::Yes);
  f.commands.restore();
  EXPECT_EQ(f.dbDir.get(QStringLiteral("Order1.kdt")), QByteArray("x"));
  EXPECT_FALSE(QFile::exists(f.todaysArchive()));
  EXPECT_EQ(f.loads, 1);
}
