#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "admin/SetAtuoBackupForm.h"
#include "platform/SettingsStore.h"
#include "store/Database.h"
#include "store/SettingsFiles.h"

namespace {
const QString kRefused = QStringLiteral("無法使用此路徑，請重新選擇");

struct Fixture {
  TestDir dbDir;
  Database db;
  ScriptedPrompt prompt;
  Fixture() { db.DataBasePath = dbDir.path(); }
};
}  // namespace

TEST(SetAtuoBackupForm, BackupModeWritesTheFolderAsOneQuotedLine) {
  Fixture f;
  TestDir chosen;
  const QString folder = chosen.path() + QStringLiteral("備份");
  QDir().mkpath(folder);
  SetAtuoBackupForm form(f.db, f.prompt);
  form.Form_Load();
  EXPECT_EQ(form.windowTitle(), QStringLiteral("設定自動備份的儲存路徑"));
  EXPECT_FALSE(form.chooseFolderCheck->isChecked());
  EXPECT_FALSE(form.browseButton->isEnabled());
  form.chooseFolderCheck->setChecked(true);
  EXPECT_TRUE(form.browseButton->isEnabled());
  f.prompt.answerPath(folder);
  form.onBrowse();
  EXPECT_EQ(form.folderLabel->text(), folder + u'/');
  form.onOk();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(f.db.settings.AutoBackupPath, folder + u'/');
  EXPECT_EQ(f.dbDir.get(QStringLiteral("AutoBackup.kdt")), big5(u'"' + folder + QStringLiteral("/\"\r\n")));
}

TEST(SetAtuoBackupForm, BackupModeUntickedDeletesTheFile) {
  Fixture f;
  f.dbDir.put(QStringLiteral("AUTOBACKUP.KDT"), "\"/old/\"\r\n");
  f.db.settings.AutoBackupPath = QStringLiteral("/old/");
  SetAtuoBackupForm form(f.db, f.prompt);
  form.Form_Load();
  EXPECT_TRUE(form.chooseFolderCheck->isChecked());
  EXPECT_EQ(form.folderLabel->text(), QStringLiteral("/old/"));
  form.chooseFolderCheck->setChecked(false);
  EXPECT_TRUE(form.folderLabel->text().isEmpty());
  // Ticking again leaves the field empty until a folder is browsed.
  form.chooseFolderCheck->setChecked(true);
  EXPECT_TRUE(form.folderLabel->text().isEmpty());
  form.onOk();
  EXPECT_TRUE(f.db.settings.AutoBackupPath.isEmpty());
  EXPECT_TRUE(f.dbDir.names().isEmpty());
  EXPECT_TRUE(f.prompt.shown.empty());
}

TEST(SetAtuoBackupForm, BackupModeRefusesAFolderTheFileCannotHold) {
  Fixture f;
  f.dbDir.put(QStringLiteral("AutoBackup.kdt"), "\"/old/\"\r\n");
  f.db.settings.AutoBackupPath = QStringLiteral("/old/");
  SetAtuoBackupForm form(f.db, f.prompt);
  form.Form_Load();
  form.folderLabel->setText(QStringLiteral("/tmp/😀/"));
  form.onOk();
  EXPECT_EQ(f.prompt.texts(), QStringList{QStringLiteral("儲存路徑中的「😀」無法儲存在資料檔中，請改用其他字元")});
  EXPECT_NE(form.result(), QDialog::Accepted);
  EXPECT_EQ(f.db.settings.AutoBackupPath, QStringLiteral("/old/"));
  EXPECT_EQ(f.dbDir.get(QStringLiteral("AutoBackup.kdt")), QByteArray("\"/old/\"\r\n"));
}

TEST(SetAtuoBackupForm, TempModeRefusesSystemPlacesAndKeepsTheOldFolder) {
  Fixture f;
  TestDir good;
  f.db.TempPath = QStringLiteral("123");
  SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("TempPath"), QStringLiteral("123"));
  SetAtuoBackupForm form(f.db, f.prompt);
  form.setTempMode();
  form.Form_Load();
  EXPECT_EQ(form.windowTitle(), QStringLiteral("設定暫存檔案的產生路徑"));
  EXPECT_EQ(form.chooseFolderCheck->text(), QStringLiteral("設定暫存檔案的產生路徑"));
  EXPECT_EQ(form.adviceLabel->text(), QStringLiteral("請任意指定一個位置用以產生出貨單或郵寄名條暫存檔案"));
  EXPECT_EQ(form.hintLabel->text(), QStringLiteral("建議設在桌面或是 D:\\ 之類的位置"));
  EXPECT_TRUE(form.chooseFolderCheck->isChecked());
  EXPECT_EQ(form.folderLabel->text(), QStringLiteral("123"));
  for (const QString& bad : {QStringLiteral("/"), QStringLiteral("/usr/share/"), QStringLiteral("/etc/"),
                             good.path() + QStringLiteral("gone/"), QStringLiteral("123"), QString()}) {
    SCOPED_TRACE(bad.toStdString());
    f.prompt.clear();
    form.folderLabel->setText(bad);
    form.onOk();
    EXPECT_EQ(f.prompt.texts(), QStringList{kRefused});
    EXPECT_EQ(f.prompt.shown.back().icon, Prompt::Icon::None);
    EXPECT_NE(form.result(), QDialog::Accepted);
  }
  EXPECT_EQ(f.db.TempPath, QStringLiteral("123"));
  EXPECT_EQ(SettingsStore::get(QStringLiteral("Setting"), QStringLiteral("TempPath")), QStringLiteral("123"));

  form.folderLabel->setText(good.path());
  form.onOk();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(f.db.TempPath, good.path());
  EXPECT_EQ(SettingsStore::get(QStringLiteral("Setting"), QStringLiteral("TempPath")), good.path());
}

TEST(SetAtuoBackupForm, CancelledPickerAndCancelChangeNothing) {
  Fixture f;
  f.db.TempPath = QStringLiteral("/kept/");
  SetAtuoBackupForm form(f.db, f.prompt);
  form.setTempMode();
  form.Form_Load();
  f.prompt.answerPath(QString());
  form.onBrowse();
  EXPECT_EQ(form.folderLabel->text(), QStringLiteral("/kept/"));
  EXPECT_EQ(f.prompt.shown.back().title, QStringLiteral("請選擇一個資料夾"));
  form.onCancel();
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(f.db.TempPath, QStringLiteral("/kept/"));
}

TEST(SetAtuoBackupForm, AFileThatDidNotLoadWholeIsKeptBeforeItIsReplacedOrRemoved) {
  for (const bool untick : {false, true}) {
    SCOPED_TRACE(untick);
    Fixture f;
    TestDir chosen;
    // A second item the reader does not take: read in part.
    const QByteArray damaged = big5(u'"' + chosen.path() + QStringLiteral("\",\"/other/\"\r\n"));
    f.dbDir.put(QStringLiteral("AutoBackup.kdt"), damaged);
    SettingsFiles::AutoBackupInit(f.db, f.prompt);
    ASSERT_EQ(f.db.damagedFiles, QStringList{QStringLiteral("AutoBackup.kdt")});
    f.prompt.clear();
    SetAtuoBackupForm form(f.db, f.prompt);
    form.Form_Load();
    if (untick) form.chooseFolderCheck->setChecked(false);
    form.onOk();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    ASSERT_EQ(f.prompt.shown.size(), 1u);
    EXPECT_TRUE(f.prompt.shown[0].text.contains(QStringLiteral("AutoBackup.kdt.damaged-")));
    QStringList kept;
    for (const QString& n : f.dbDir.names())
      if (n.startsWith(QStringLiteral("AutoBackup.kdt.damaged-"))) kept << n;
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(f.dbDir.get(kept[0]), damaged);
    EXPECT_EQ(f.dbDir.has(QStringLiteral("AutoBackup.kdt")), !untick);
  }
}
