#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "admin/OpenForm.h"
#include "admin/PassInput.h"
#include "admin/PasswordFile.h"
#include "admin/PasswordHost.h"
#include "platform/ListView.h"
#include "store/Database.h"
#include "store/DatabaseList.h"

#include <QLineEdit>

namespace {

using Ans = Prompt::Answer;

struct Manager : ::testing::Test {
  TestDir app;   // program folder with List.dat
  TestDir one;   // database folders
  TestDir two;
  Database db;
  ScriptedPrompt prompt;
  PasswordState host;

  void SetUp() override {
    db.AppPath = app.path();
    db.DataBaseList = {DatabaseList::entry(QStringLiteral("甲"), one.path()),
                       DatabaseList::entry(QStringLiteral("乙"), two.path())};
    db.DataBasePath = one.path();
    db.DataBaseName = QStringLiteral("甲");
    host.chk = true;
    host.setPassMenu(true, false);
  }
  std::unique_ptr<OpenForm> open(bool ending = false) {
    auto f = std::make_unique<OpenForm>(db, prompt, host);
    f->endProgram = [this] { ++ends; };
    if (ending) f->leaveButton->setText(QStringLiteral("結束"));
    f->Form_Load();
    return f;
  }
  QByteArray listFile(const QStringList& rows) {
    QString text;
    for (const QString& r : rows) text += r + QStringLiteral("\r\n");
    return big5(text);
  }
  int ends = 0;
};

TEST_F(Manager, AddRenameRelocateRemoveRoundTripThroughListDat) {
  TestDir three;
  auto f = open();
  ASSERT_EQ(f->databaseList->rowCount(), 2);
  EXPECT_EQ(f->databaseList->text(1, 0), QStringLiteral("乙"));
  EXPECT_EQ(f->databaseList->text(1, 1), two.path());
  EXPECT_EQ(f->statusLabel->text(), QStringLiteral("共 2 個資料庫"));

  // Add: the name loses \ * < > : " ?; the folder gets its "/".
  prompt.answerInput(QStringLiteral("A<B>:C?")).answerPath(three.path().chopped(1));
  f->onAdd();
  ASSERT_EQ(f->databaseList->rowCount(), 3);
  EXPECT_EQ(f->databaseList->text(2, 0), QStringLiteral("ABC"));
  EXPECT_EQ(f->databaseList->text(2, 1), three.path());
  EXPECT_EQ(f->statusLabel->text(), QStringLiteral("共 3 個資料庫"));
  // A name made only of removed characters is still added; a cancelled folder adds nothing.
  prompt.answerInput(QStringLiteral("??")).answerPath(three.path());
  f->onAdd();
  EXPECT_EQ(f->databaseList->text(3, 0), QString());
  prompt.answerInput(QStringLiteral("新的")).answerPath(QString());
  f->onAdd();
  prompt.answerInput(QString());
  f->onAdd();
  EXPECT_EQ(f->databaseList->rowCount(), 4);

  // Rename row 2 and relocate row 1.
  f->databaseList->setCurrentRow(1);
  prompt.answerInput(QStringLiteral("乙\"二\""));
  f->onRename();
  EXPECT_EQ(prompt.shown.back().text, QStringLiteral("資料庫原名為：乙\r\n\r\n要變更成什麼名稱?"));
  EXPECT_EQ(f->databaseList->text(1, 0), QStringLiteral("乙二"));
  f->databaseList->setCurrentRow(0);
  prompt.answerPath(three.path());
  f->onRelocate();
  EXPECT_EQ(f->databaseList->text(0, 1), three.path());
  EXPECT_EQ(db.DataBasePath, one.path());  // relocating moves nothing

  // Remove row 4: No keeps it, Yes removes it.
  f->databaseList->setCurrentRow(3);
  prompt.answer(Ans::No);
  f->onRemove();
  EXPECT_EQ(f->databaseList->rowCount(), 4);
  prompt.answer(Ans::Yes);
  f->onRemove();
  EXPECT_EQ(prompt.shown.back().title, QStringLiteral("刪除"));
  EXPECT_EQ(f->databaseList->rowCount(), 3);
  EXPECT_EQ(f->statusLabel->text(), QStringLiteral("共 3 個資料庫"));

  // Leave: List.dat holds exactly the rows shown.
  f->onLeave();
  EXPECT_TRUE(f->ChosenDataBasePath.isEmpty());
  EXPECT_EQ(f->result(), QDialog::Accepted);
  const QStringList rows{DatabaseList::entry(QStringLiteral("甲"), three.path()),
                         DatabaseList::entry(QStringLiteral("乙二"), two.path()),
                         DatabaseList::entry(QStringLiteral("ABC"), three.path())};
  EXPECT_EQ(app.get(QStringLiteral("List.dat")), listFile(rows));
  EXPECT_EQ(db.DataBaseList, rows);
  EXPECT_FALSE(prompt.pending());

  // And it reads back the same.
  Database again;
  again.AppPath = app.path();
  DatabaseList::DataBaseInit(again, prompt);
  EXPECT_EQ(again.DataBaseList, rows);
}

// List.dat is code page 950: a name or folder it cannot hold would come back
// as "?", and the database would be lost from the list.
TEST_F(Manager, NamesAndFoldersTheListCannotHoldAreRefused) {
  auto f = open();
  prompt.answerInput(QStringLiteral("店😀"));
  f->onAdd();
  prompt.answerInput(QStringLiteral("店")).answerPath(QStringLiteral("/data/简体/"));
  f->onAdd();
  f->databaseList->setCurrentRow(1);
  prompt.answerInput(QStringLiteral("乙😺"));
  f->onRename();
  prompt.answerPath(QStringLiteral("/data/〠/"));
  f->onRelocate();
  const QStringList refusals = {QStringLiteral("資料庫名稱中的「😀」無法儲存在資料檔中，請改用其他字元"),
                                QStringLiteral("資料庫位置中的「简」無法儲存在資料檔中，請改用其他字元"),
                                QStringLiteral("資料庫名稱中的「😺」無法儲存在資料檔中，請改用其他字元"),
                                QStringLiteral("資料庫位置中的「〠」無法儲存在資料檔中，請改用其他字元")};
  for (const QString& r : refusals) EXPECT_TRUE(prompt.texts().contains(r)) << r.toStdString();
  ASSERT_EQ(f->databaseList->rowCount(), 2);
  EXPECT_EQ(f->databaseList->text(1, 0), QStringLiteral("乙"));
  EXPECT_EQ(f->databaseList->text(1, 1), two.path());
  EXPECT_FALSE(prompt.pending());
}

TEST_F(Manager, RenamingTheOpenDatabaseRenamesIt) {
  auto f = open();
  prompt.answerInput(QStringLiteral("甲新"));
  f->onRename();
  EXPECT_EQ(db.DataBaseName, QStringLiteral("甲新"));
  // Opening it again: in use, and its name follows the row.
  f->databaseList->setText(0, 0, QStringLiteral("甲三"));
  f->onOpen();
  EXPECT_EQ(prompt.texts().last(), QStringLiteral("這個資料庫目前正在使用中!"));
  EXPECT_EQ(prompt.shown.back().icon, Prompt::Icon::Information);
  EXPECT_EQ(db.DataBaseName, QStringLiteral("甲三"));
  EXPECT_TRUE(f->ChosenDataBasePath.isEmpty());
  EXPECT_FALSE(app.has(QStringLiteral("List.dat")));  // still open
}

TEST_F(Manager, TheListHoldsAtMostAHundredDatabases) {
  db.DataBaseList.clear();
  for (int i = 0; i < 99; ++i) db.DataBaseList << DatabaseList::entry(QString::number(i), one.path());
  auto f = open();
  prompt.answerInput(QStringLiteral("x")).answerPath(two.path());
  f->onAdd();
  EXPECT_EQ(f->databaseList->rowCount(), 100);
  f->onAdd();
  EXPECT_EQ(f->databaseList->rowCount(), 100);
  EXPECT_EQ(prompt.texts().last(), QStringLiteral("資料庫數量已達到上限 100 個，無法再新增"));
  EXPECT_EQ(prompt.shown.back().title, QStringLiteral("注意"));
}

TEST_F(Manager, OpenChoosesAFolderThatExists) {
  auto f = open();
  f->databaseList->setText(1, 1, two.path() + QStringLiteral("gone/"));
  f->databaseList->setCurrentRow(1);
  f->onOpen();
  EXPECT_EQ(prompt.texts().last(), QStringLiteral("這個路徑不存在!"));
  EXPECT_TRUE(f->ChosenDataBasePath.isEmpty());

  f->databaseList->setText(1, 1, two.path());
  host.setPassMenu(false, true);
  f->onOpen();
  EXPECT_EQ(f->ChosenDataBasePath, two.path());
  EXPECT_EQ(db.DataBaseName, QStringLiteral("乙"));
  EXPECT_EQ(db.DataBasePath, one.path());  // the switch is the opener's
  EXPECT_TRUE(host.chk);
  EXPECT_TRUE(host.passSetEnabled());
  EXPECT_FALSE(host.passClearEnabled());
  EXPECT_TRUE(app.has(QStringLiteral("List.dat")));
}

TEST_F(Manager, ARefusedPasswordLeavesTheOpenDatabaseGuarded) {
  ASSERT_TRUE(PasswordFile::write(two.path(), QStringLiteral("secret")));
  auto f = open();
  QString typed = QStringLiteral("wrong");
  QString shownFor;
  f->runPassInput = [&](PassInput& p) {
    shownFor = db.DataBasePath;  // the prompt reads the folder being opened
    p.passwordEdit->setText(typed);
    p.onOk();
  };
  f->databaseList->setCurrentRow(1);
  f->onOpen();
  EXPECT_EQ(shownFor, two.path());
  EXPECT_EQ(prompt.texts().last(), QStringLiteral("密碼不正確，請重新輸入!"));
  // The open database keeps its name, folder, accepted password and menu.
  EXPECT_EQ(db.DataBasePath, one.path());
  EXPECT_EQ(db.DataBaseName, QStringLiteral("甲"));
  EXPECT_TRUE(host.chk);
  EXPECT_TRUE(host.passSetEnabled());
  EXPECT_FALSE(host.passClearEnabled());
  EXPECT_TRUE(f->ChosenDataBasePath.isEmpty());

  typed = QStringLiteral("secret");
  f->onOpen();
  EXPECT_EQ(f->ChosenDataBasePath, two.path());
  EXPECT_EQ(db.DataBaseName, QStringLiteral("乙"));
  EXPECT_FALSE(host.passSetEnabled());
  EXPECT_TRUE(host.passClearEnabled());
}

TEST_F(Manager, TheEndingLeaveButtonEndsWithoutWritingTheList) {
  app.put(QStringLiteral("List.dat"), "old\r\n");
  auto f = open(true);
  prompt.answer(Ans::Yes);
  f->onRemove();
  f->onLeave();
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(f->ended());
  EXPECT_EQ(app.get(QStringLiteral("List.dat")), QByteArray("old\r\n"));
}

TEST_F(Manager, WithTheEndingButtonTheOpenFolderMayBeOpenedAgain) {
  auto f = open(true);
  f->onOpen();
  EXPECT_EQ(f->ChosenDataBasePath, one.path());
}

TEST_F(Manager, PassCheckAsksInAMaskedInputBox) {
  ASSERT_TRUE(PasswordFile::write(two.path(), QStringLiteral("abc")));
  auto f = open();
  f->databaseList->setCurrentRow(1);
  prompt.answerInput(QStringLiteral("abc"));
  EXPECT_TRUE(f->PassCheck());
  EXPECT_TRUE(prompt.shown.back().password);
  EXPECT_EQ(prompt.shown.back().text,
            QStringLiteral("[乙：") + two.path() + QStringLiteral("]\r\n\r\n開啟這個資料庫需要密碼，請輸入密碼!"));
  prompt.answerInput(QStringLiteral("abd"));
  EXPECT_FALSE(f->PassCheck());
  f->databaseList->setCurrentRow(0);
  EXPECT_TRUE(f->PassCheck());
}

}  // namespace
