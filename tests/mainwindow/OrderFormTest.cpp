#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <gtest/gtest.h>

#include "ScopedSaveFaults.h"
#include "ScriptedPrompt.h"
#include "TestDir.h"
#include "admin/OpenForm.h"
#include "admin/PassInput.h"
#include "admin/PasswordFile.h"
#include "mainwindow/OrderForm.h"
#include "platform/AppPaths.h"
#include "platform/ListView.h"
#include "platform/Shell.h"
#include "platform/SettingsStore.h"
#include "store/DatabaseList.h"
#include "store/SaveTransaction.h"

namespace {

using Ans = Prompt::Answer;

const QString kTitle = QStringLiteral("Kestrin 青鳥帳房通 v3.3.6");

// One order row of Order1.kdt.
QByteArray orderFile() {
  QStringList f{QStringLiteral("2403000001"), QStringLiteral("2024/03/01"), QStringLiteral("buyer"),
                QStringLiteral("露天拍賣"), QStringLiteral("60"), QStringLiteral("560"), QStringLiteral("未匯款"),
                QStringLiteral("未出貨"), QString(), QStringLiteral("300"), QStringLiteral("0"), QString(), QString()};
  for (QString& s : f) s = u'"' + s + u'"';
  return big5(f.join(u',') + QStringLiteral("\r\n"));
}

struct MainWindow : ::testing::Test {
  ScriptedPrompt prompt;
  QString app;
  int ends = 0, quits = 0, backups = 0;

  void SetUp() override {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
    s.clear();
    s.sync();
    app = AppPaths::appPath();
    QDir(app).removeRecursively();
    QDir().mkpath(app);
  }
  ScopedSaveFaults faults;

  std::unique_ptr<OrderForm> form() {
    auto f = std::make_unique<OrderForm>(prompt);
    f->endProgram = [this] { ++ends; };
    f->quitProgram = [this] { ++quits; };
    f->AutoBackup = [this] { ++backups; };
    return f;
  }
  static QString setting(const char* section, const char* key) {
    return SettingsStore::get(QString::fromLatin1(section), QString::fromLatin1(key), QStringLiteral("(none)"));
  }
  void storeDatabase(const QString& name, const QString& folder) {
    SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("DataBaseName"), name);
    SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("DataBasePath"), folder);
  }
  void writeList(const QStringList& entries) { ASSERT_TRUE(DatabaseList::write(app, entries)); }
};

TEST_F(MainWindow, FirstStartOnACleanSystemOpensTheProgramFolder) {
  // Older files a conversion set aside (one named on Windows), and someone's own sheet.
  for (const char* n : {"Order.123", "STOCK.123", "AutoBackup.123", "sheet.123"})
    QFile(app + QString::fromLatin1(n)).open(QIODevice::WriteOnly);
  QFile(app + QStringLiteral("Renovix.ini")).open(QIODevice::WriteOnly);
  QFile(app + QStringLiteral("Kestrin.exe.manifest")).open(QIODevice::WriteOnly);
  QFile(app + QStringLiteral("keep.txt")).open(QIODevice::WriteOnly);
  auto f = form();
  f->Form_Load();
  EXPECT_TRUE(prompt.shown.empty());

  // List.dat holds the default entry; the program folder is the open database.
  const QString entry = DatabaseList::entry(QStringLiteral("預設資料庫"), app);
  QFile list(app + QStringLiteral("List.dat"));
  ASSERT_TRUE(list.open(QIODevice::ReadOnly));
  EXPECT_EQ(list.readAll(), big5(entry + QStringLiteral("\r\n")));
  EXPECT_EQ(f->db().DataBaseList, QStringList{entry});
  EXPECT_EQ(f->db().DataBasePath, app);
  EXPECT_TRUE(QFileInfo(app + QStringLiteral("Backup")).isDir());
  EXPECT_EQ(f->db().TempPath, app);
  EXPECT_EQ(f->windowTitle(), kTitle + QStringLiteral(" - [預設資料庫：") + app + QStringLiteral("]"));

  // Known leftovers are gone, nothing else.
  EXPECT_FALSE(QFile::exists(app + QStringLiteral("Order.123")));
  EXPECT_FALSE(QFile::exists(app + QStringLiteral("STOCK.123")));
  EXPECT_FALSE(QFile::exists(app + QStringLiteral("AutoBackup.123")));
  EXPECT_TRUE(QFile::exists(app + QStringLiteral("sheet.123")));
  EXPECT_FALSE(QFile::exists(app + QStringLiteral("Renovix.ini")));
  EXPECT_FALSE(QFile::exists(app + QStringLiteral("Kestrin.exe.manifest")));
  EXPECT_TRUE(QFile::exists(app + QStringLiteral("keep.txt")));

  // Settings written at start.
  EXPECT_EQ(setting("Update", "Ver"), QStringLiteral("3.3.6"));
  EXPECT_EQ(setting("Update", "State"), QStringLiteral("1"));
  EXPECT_EQ(setting("Setting", "FontSize"), QStringLiteral("11.25"));

  // The window as loaded.
  EXPECT_TRUE(f->isVisible());
  EXPECT_TRUE(f->isMaximized());
  EXPECT_TRUE(f->PassChk);
  EXPECT_TRUE(f->setPasswordAction->isEnabled());
  EXPECT_FALSE(f->clearPasswordAction->isEnabled());
  EXPECT_FALSE(f->toolButton(3)->isEnabled());
  QStringList combo;
  for (int i = 0; i < f->categoryCombo->count(); ++i) combo << f->categoryCombo->itemText(i);
  EXPECT_EQ(combo, (QStringList{QStringLiteral("全部"), QStringLiteral("未分類"), QStringLiteral("編輯客戶分類")}));
  EXPECT_EQ(f->categoryCombo->currentIndex(), 0);
  EXPECT_EQ(f->periodCombo->currentIndex(), 0);
  EXPECT_EQ(f->yearEdit->text(), QString::number(QDate::currentDate().year()));
  EXPECT_TRUE(f->unshippedOption->isChecked());
  EXPECT_EQ(f->orderList->columnCount(), 13);
  EXPECT_EQ(f->orderList->indexColumn(), 12);
  EXPECT_EQ(f->orderList->columnWidthTwips(12), 0);
  EXPECT_FALSE(f->shortageList->isVisible());
  EXPECT_EQ(ends + quits + backups, 0);
}

TEST_F(MainWindow, LayoutCarriesTheProgramsMenusToolbarAndPanels) {
  auto f = form();
  QStringList bar;
  for (QAction* a : f->menuBar()->actions()) bar << a->text();
  EXPECT_EQ(bar, (QStringList{QStringLiteral("檔案(&F)"), QStringLiteral("訂單(&O)"), QStringLiteral("選取(&S)"),
                              QStringLiteral("資料(&D)"), QStringLiteral("密碼(&P)"), QStringLiteral("備份(&B)"),
                              QStringLiteral("設定(&S)"), QStringLiteral("檢視(&V)"), QStringLiteral("說明(&H)")}));
  QStringList file;
  for (QAction* a : f->fileMenu->actions()) file << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
  EXPECT_EQ(file, (QStringList{QStringLiteral("openDatabaseAction"), QStringLiteral("saveDatabaseAction"),
                               QStringLiteral("-"), QStringLiteral("exitAction")}));
  EXPECT_EQ(f->trayOpenAction->text(), QStringLiteral("開啟 Kestrin(&O)"));
  EXPECT_EQ(f->orderListPopup->actions().size(), 13);
  // Toolbar: fourteen positions, buttons where the program has them.
  const QList<QAction*> tools = f->toolbar->actions();
  ASSERT_EQ(tools.size(), 14);
  const QStringList captions{{}, QStringLiteral("開啟資料庫"), QStringLiteral("儲存資料庫"), {}, QStringLiteral("新增訂單"),
                             QStringLiteral("編輯訂單"), QStringLiteral("刪除訂單"), {}, QStringLiteral("客戶管理"),
                             QStringLiteral("商品管理"), {}, QStringLiteral("一般設定"), {}, QStringLiteral("關於Kestrin")};
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(tools[i]->isSeparator(), captions[i].isEmpty()) << i;
    if (!captions[i].isEmpty()) {
      EXPECT_EQ(f->toolButton(i + 1)->text(), captions[i]);
    }
  }
  // The save button shows the unsaved-changes flag.
  f->db().setDirty(true);
  EXPECT_TRUE(f->toolButton(3)->isEnabled());
  f->db().setDirty(false);
  EXPECT_FALSE(f->toolButton(3)->isEnabled());
  // Money panels follow showMoneyAction and HideCost; panel 7 always shows.
  f->show();
  f->db().HideCost = true;
  f->CheckViewMoney();
  EXPECT_TRUE(f->panel(1)->isVisible());
  EXPECT_FALSE(f->panel(3)->isVisible());
  EXPECT_FALSE(f->panel(4)->isVisible());
  f->showMoneyAction->setChecked(false);
  f->onShowMoney();
  for (int i = 1; i <= 6; ++i) EXPECT_FALSE(f->panel(i)->isVisible()) << i;
  EXPECT_TRUE(f->panel(7)->isVisible());
  EXPECT_FALSE(f->recountButton->isVisible());
  EXPECT_EQ(setting("OrderForm", "Money"), QStringLiteral("False"));
}

TEST_F(MainWindow, StoredWindowSettingsAndStartPeriod) {
  struct Case {
    const char* winState;
    const char* fontSize;
    int setView;
    bool maximised;
    const char* fontWritten;
    int periodIndex;
  };
  const int month = QDate::currentDate().month();
  for (const Case& c : {Case{"1", "8", 3, false, "11.25", month + 1}, Case{"2", "25", 2, true, "11.25", 1},
                        Case{"0", "12", 1, false, "12", 0}, Case{"0", "9", 7, false, "9", 0}}) {
    SetUp();
    SettingsStore::set(QStringLiteral("OrderForm"), QStringLiteral("WinState"), QString::fromLatin1(c.winState));
    SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("FontSize"), QString::fromLatin1(c.fontSize));
    SettingsStore::setNumber(QStringLiteral("Setting"), QStringLiteral("SetView"), c.setView);
    SettingsStore::set(QStringLiteral("OrderForm"), QStringLiteral("Width"), QStringLiteral("9000"));
    SettingsStore::set(QStringLiteral("OrderForm"), QStringLiteral("Height"), QStringLiteral("6000"));
    SettingsStore::set(QStringLiteral("OrderForm"), QStringLiteral("LW2"), QStringLiteral("3000"));
    SettingsStore::set(QStringLiteral("OrderForm"), QStringLiteral("SortKey"), QStringLiteral("1"));
    SettingsStore::set(QStringLiteral("OrderForm"), QStringLiteral("SortOrder"), QStringLiteral("1"));
    auto f = form();
    f->Form_Load();
    EXPECT_EQ(f->isMaximized(), c.maximised) << c.winState;
    EXPECT_FALSE(f->isMinimized());
    if (!c.maximised) {
      EXPECT_EQ(f->width(), 600);
    }
    EXPECT_EQ(setting("Setting", "FontSize"), QString::fromLatin1(c.fontWritten)) << c.fontSize;
    EXPECT_EQ(f->periodCombo->currentIndex(), c.periodIndex) << c.setView;
    EXPECT_EQ(f->orderList->columnWidthTwips(1), 3000);
    EXPECT_EQ(f->orderList->sortColumn(), 1);
    EXPECT_EQ(f->orderList->sortOrder(), Qt::DescendingOrder);
  }
}

TEST_F(MainWindow, AnUnlistedDatabaseIsOpenedOnlyWhenTheUserSaysSo) {
  TestDir other;
  other.put(QStringLiteral("Order1.kdt"), orderFile());
  other.put(QStringLiteral("Guest.123"), "x");
  other.put(QStringLiteral("sheet.123"), "x");
  storeDatabase(QStringLiteral("別處"), other.path());
  const QString question = QStringLiteral("[別處：") + other.path() +
                           QStringLiteral("]\r\n\r\n目前開啟的這個資料庫不存在資料庫清單中，確定要開啟嗎?");
  {
    prompt.answer(Ans::Yes);
    auto f = form();
    f->Form_Load();
    EXPECT_EQ(prompt.texts(), QStringList{question});
    EXPECT_EQ(f->db().Order.count(), 1);
    EXPECT_EQ(f->windowTitle(), kTitle + QStringLiteral(" - [別處：") + other.path() + QStringLiteral("]"));
    EXPECT_TRUE(QFileInfo(other.path() + QStringLiteral("Backup")).isDir());
    EXPECT_FALSE(other.has(QStringLiteral("Guest.123")));
    EXPECT_TRUE(other.has(QStringLiteral("sheet.123")));
  }
  // No: the manager opens with its leave button ending the program.
  prompt.clear();
  prompt.answer(Ans::No);
  auto f = form();
  QString leave;
  f->runOpenForm = [&](OpenForm& m) {
    leave = m.leaveButton->text();
    EXPECT_EQ(f->windowTitle(), kTitle);  // shown, still empty
    m.onLeave();
  };
  SettingsStore::set(QStringLiteral("Update"), QStringLiteral("State"), QStringLiteral("0"));
  f->Form_Load();
  EXPECT_EQ(leave, QStringLiteral("結束"));
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(f->programEnded());
  EXPECT_FALSE(f->PassChk);
  EXPECT_EQ(f->db().Order.count(), 0);
  EXPECT_EQ(setting("Update", "State"), QStringLiteral("1"));
  EXPECT_EQ(setting("Setting", "DataBasePath"), other.path());  // nothing of the exit written
}

TEST_F(MainWindow, AMissingFolderSendsTheUserToTheManager) {
  TestDir db;
  const QString gone = db.path() + QStringLiteral("gone/");
  writeList({DatabaseList::entry(QStringLiteral("舊"), gone), DatabaseList::entry(QStringLiteral("好"), db.path())});
  storeDatabase(QStringLiteral("舊"), gone);
  auto f = form();
  f->runOpenForm = [&](OpenForm& m) {
    m.databaseList->setCurrentRow(1);
    m.onOpen();
  };
  f->Form_Load();
  EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("[舊：") + gone +
                                        QStringLiteral("]\r\n\r\n目前開啟的資料庫路徑不存在，請重新選擇資料庫!")});
  EXPECT_FALSE(QFileInfo::exists(gone));  // never created
  EXPECT_EQ(f->db().DataBasePath, db.path());
  EXPECT_EQ(f->db().DataBaseName, QStringLiteral("好"));
  EXPECT_TRUE(f->PassChk);
  EXPECT_EQ(f->windowTitle(), kTitle + QStringLiteral(" - [好：") + db.path() + QStringLiteral("]"));
  EXPECT_EQ(ends, 0);
}

TEST_F(MainWindow, AProtectedDatabaseOpensOnlyWithItsPassword) {
  TestDir db;
  db.put(QStringLiteral("Order1.kdt"), orderFile());
  ASSERT_TRUE(PasswordFile::write(db.path(), QStringLiteral("abc")));
  struct Case {
    const char* typed;  // nullptr: Cancel
    bool opened;
  };
  for (const Case c : {Case{"abc", true}, Case{"abd", false}, Case{nullptr, false}}) {
    SetUp();
    prompt.clear();
    writeList({DatabaseList::entry(QStringLiteral("店"), db.path())});
    storeDatabase(QStringLiteral("店"), db.path());
    auto f = form();
    int prompts = 0;
    f->runPassInput = [&](PassInput& p) {
      ++prompts;
      if (c.typed && prompts == 1) {
        p.passwordEdit->setText(QString::fromUtf8(c.typed));
        p.onOk();
      } else if (prompts == 1) {
        p.onCancel();
      } else {  // the retry from the manager
        p.passwordEdit->setText(QStringLiteral("abc"));
        p.onOk();
      }
    };
    QString leave;
    f->runOpenForm = [&](OpenForm& m) {
      leave = m.leaveButton->text();
      EXPECT_EQ(f->db().DataBasePath, db.path());  // kept, so the manager can retry it
      m.onOpen();
    };
    f->Form_Load();
    const std::string label = c.typed ? c.typed : "cancel";
    EXPECT_EQ(f->db().Order.count(), 1) << label;
    EXPECT_TRUE(f->PassChk);
    EXPECT_FALSE(f->setPasswordAction->isEnabled());
    EXPECT_TRUE(f->clearPasswordAction->isEnabled());
    if (c.opened) {
      EXPECT_EQ(prompts, 1);
      EXPECT_TRUE(prompt.shown.empty());
      EXPECT_TRUE(leave.isEmpty());
    } else {
      EXPECT_EQ(prompts, 2) << label;
      EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("密碼不正確，請重新輸入!")}) << label;
      EXPECT_EQ(leave, QStringLiteral("結束"));
    }
  }
}

struct Running : MainWindow {
  TestDir db;
  std::unique_ptr<OrderForm> f;
  void SetUp() override {
    MainWindow::SetUp();
    db.put(QStringLiteral("Order1.kdt"), orderFile());
    writeList({DatabaseList::entry(QStringLiteral("店"), db.path())});
    storeDatabase(QStringLiteral("店"), db.path());
    f = form();
    f->Form_Load();
    ASSERT_EQ(f->db().Order.count(), 1);
    ASSERT_TRUE(prompt.shown.empty());
    SettingsStore::remove(QStringLiteral("Setting"), QStringLiteral("DataBasePath"));
  }
  void change() {
    f->db().Order.setCell(1, OrderCell::OrderNote, QStringLiteral("改過"));
    f->db().setDirty(true);
  }
  bool savedNote() const { return db.get(QStringLiteral("Order1.kdt")).contains(big5(QStringLiteral("改過"))); }
};

TEST_F(Running, ExitAsksToSaveUnsavedChanges) {
  // Cancel: the window stays, nothing is written.
  change();
  prompt.answer(Ans::Cancel);
  EXPECT_FALSE(f->close());
  EXPECT_EQ(prompt.shown.back().text, QStringLiteral("結束前要儲存資料嗎？"));
  EXPECT_EQ(prompt.shown.back().buttons, Prompt::Buttons::YesNoCancel);
  EXPECT_EQ(prompt.shown.back().icon, Prompt::Icon::Exclamation);
  EXPECT_TRUE(f->isVisible());
  EXPECT_EQ(quits + backups, 0);
  EXPECT_EQ(setting("Update", "State"), QStringLiteral("1"));

  // Yes with a save that fails (the retry refused): the window stays open, still dirty.
  faults.failAfterBytes(0);
  prompt.answer(Ans::Yes).answer(Ans::No);
  EXPECT_FALSE(f->close());
  faults.failAfterBytes(-1);
  EXPECT_EQ(prompt.texts().last(), QStringLiteral("儲存失敗，請按「是(Y)」再試一次"));
  EXPECT_TRUE(f->db().dirty());
  EXPECT_FALSE(savedNote());
  EXPECT_EQ(quits + backups, 0);
  EXPECT_EQ(setting("Update", "State"), QStringLiteral("1"));

  // No: the daily archive and the settings, no table.
  prompt.answer(Ans::No);
  EXPECT_TRUE(f->close());
  EXPECT_FALSE(savedNote());
  EXPECT_EQ(backups, 1);
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(setting("Update", "State"), QStringLiteral("0"));
  EXPECT_EQ(setting("Setting", "DataBasePath"), db.path());
  EXPECT_EQ(setting("Setting", "DataBaseName"), QStringLiteral("店"));
  EXPECT_EQ(setting("OrderForm", "WinState"), QStringLiteral("2"));
  EXPECT_EQ(setting("OrderForm", "Width"), QStringLiteral("13530"));
  EXPECT_EQ(setting("OrderForm", "Height"), QStringLiteral("9030"));
  EXPECT_EQ(setting("OrderForm", "LW1"), QStringLiteral("2640"));
  EXPECT_FALSE(prompt.pending());
}

TEST_F(Running, ExitWithYesSavesTheTablesFirst) {
  change();
  int backupsBeforeSave = -1;
  f->AutoBackup = [&] {
    backupsBeforeSave = savedNote() ? 1 : 0;  // the archive holds the saved files
    ++backups;
  };
  prompt.answer(Ans::Yes);
  EXPECT_TRUE(f->close());
  EXPECT_TRUE(savedNote());
  EXPECT_EQ(backupsBeforeSave, 1);
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(setting("Update", "State"), QStringLiteral("0"));
}

TEST_F(Running, ExitFromTheNormalStateStoresTheSizeAndWithoutChangesAsksNothing) {
  f->setWindowState(Qt::WindowNoState);
  f->resize(700, 500);
  EXPECT_TRUE(f->close());
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(setting("OrderForm", "WinState"), QStringLiteral("0"));
  EXPECT_EQ(setting("OrderForm", "Width"), QStringLiteral("10500"));
  EXPECT_EQ(setting("OrderForm", "Height"), QStringLiteral("7500"));
  EXPECT_EQ(quits, 1);
}

TEST_F(Running, SaveCommandClearsTheFlagOnlyAfterSuccess) {
  change();
  faults.failAfterBytes(0);
  prompt.answer(Ans::No);
  f->onToolButton(3);
  faults.failAfterBytes(-1);
  EXPECT_TRUE(f->db().dirty());
  EXPECT_TRUE(f->toolButton(3)->isEnabled());
  f->saveDatabaseAction->trigger();
  EXPECT_FALSE(f->db().dirty());
  EXPECT_FALSE(f->toolButton(3)->isEnabled());
  EXPECT_TRUE(savedNote());
}

TEST_F(Running, SwitchingDatabasesAsksToSaveAndBacksUpTheOneLeft) {
  TestDir second;
  const QString question = QStringLiteral("[店：") + db.path() +
                           QStringLiteral("]\r\n\r\n這個資料庫中的資料已經改變，要儲存資料嗎？");
  // Cancel: nothing changes, no manager.
  change();
  f->runOpenForm = [](OpenForm&) { ADD_FAILURE() << "manager shown"; };
  prompt.answer(Ans::Cancel);
  f->onOpenDatabase();
  EXPECT_EQ(prompt.texts(), QStringList{question});
  EXPECT_EQ(backups, 0);
  EXPECT_TRUE(f->db().dirty());

  // No: backed up; the manager is left: the open database stays, the title follows its new name.
  prompt.clear();
  prompt.answer(Ans::No);
  QString leave;
  f->runOpenForm = [&](OpenForm& m) {
    leave = m.leaveButton->text();
    f->db().DataBaseName = QStringLiteral("店二");
    m.onLeave();
  };
  f->onOpenDatabase();
  EXPECT_EQ(leave, QStringLiteral("離開"));
  EXPECT_EQ(backups, 1);
  EXPECT_TRUE(f->db().dirty());
  EXPECT_EQ(f->db().Order.count(), 1);
  EXPECT_EQ(f->windowTitle(), kTitle + QStringLiteral(" - [店二：") + db.path() + QStringLiteral("]"));

  // Yes: saved, then another database opened and loaded from its folder.
  prompt.clear();
  prompt.answer(Ans::Yes);
  prompt.answerInput(QStringLiteral("第二")).answerPath(second.path());
  f->runOpenForm = [&](OpenForm& m) {
    m.onAdd();
    m.onOpen();
  };
  f->onOpenDatabase();
  EXPECT_TRUE(savedNote());
  EXPECT_EQ(backups, 2);
  EXPECT_EQ(f->db().DataBasePath, second.path());
  EXPECT_EQ(f->db().Order.count(), 0);
  EXPECT_FALSE(f->db().dirty());
  EXPECT_TRUE(QFileInfo(second.path() + QStringLiteral("Backup")).isDir());
  EXPECT_EQ(f->db().DataBaseList.size(), 2);
  EXPECT_FALSE(prompt.pending());
}

TEST_F(Running, ARefusedPasswordElsewhereKeepsTheOpenDatabasesSaveQuestion) {
  TestDir locked;
  ASSERT_TRUE(PasswordFile::write(locked.path(), QStringLiteral("abc")));
  writeList({});
  f->db().DataBaseList << DatabaseList::entry(QStringLiteral("鎖"), locked.path());
  change();
  prompt.answer(Ans::No);
  f->runPassInput = [](PassInput& p) {
    p.passwordEdit->setText(QStringLiteral("zzz"));
    p.onOk();
  };
  f->runOpenForm = [&](OpenForm& m) {
    m.databaseList->setCurrentRow(1);
    m.onOpen();  // refused
    m.onLeave();
  };
  f->onOpenDatabase();
  EXPECT_EQ(prompt.texts().last(), QStringLiteral("密碼不正確，請重新輸入!"));
  EXPECT_TRUE(f->PassChk);
  EXPECT_TRUE(f->setPasswordAction->isEnabled());
  EXPECT_FALSE(f->clearPasswordAction->isEnabled());
  EXPECT_EQ(f->db().DataBasePath, db.path());
  EXPECT_EQ(f->db().DataBaseName, QStringLiteral("店"));
  // The open database's changes are still guarded by the save question.
  prompt.clear();
  prompt.answer(Ans::Cancel);
  f->runOpenForm = [](OpenForm&) { ADD_FAILURE() << "manager shown"; };
  f->onOpenDatabase();
  EXPECT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].buttons, Prompt::Buttons::YesNoCancel);
}

TEST_F(Running, PasswordMenuSetsAndRemovesThePasswordOfTheOpenDatabase) {
  prompt.answerInput(QStringLiteral("abc")).answerInput(QStringLiteral("abc"));
  f->setPasswordAction->trigger();
  EXPECT_EQ(db.get(QStringLiteral("DataBase.pwd")), QByteArray("006100620063\r\n"));
  EXPECT_FALSE(f->setPasswordAction->isEnabled());
  EXPECT_TRUE(f->clearPasswordAction->isEnabled());
  prompt.answerInput(QStringLiteral("abc"));
  EXPECT_TRUE(f->PassInit());
  prompt.answerInput(QStringLiteral("abc"));
  f->clearPasswordAction->trigger();
  EXPECT_FALSE(db.has(QStringLiteral("DataBase.pwd")));
  EXPECT_TRUE(f->setPasswordAction->isEnabled());
  EXPECT_FALSE(f->clearPasswordAction->isEnabled());
  EXPECT_FALSE(f->db().dirty());
}

TEST_F(Running, HelpEntriesOpenTheManualShippedWithTheProgram) {
  QList<QUrl> opened;
  Shell::openHook = [&](const QUrl& u) {
    opened << u;
    return true;
  };
  for (QAction* a : {f->manualAction, f->websiteAction, f->fanPageAction}) {
    EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    a->trigger();
  }
  Shell::openHook = nullptr;
  ASSERT_EQ(opened.size(), 3);
  for (const QUrl& u : opened) {
    EXPECT_TRUE(u.isLocalFile());
    EXPECT_TRUE(u.toLocalFile().endsWith(QStringLiteral("/manual.html")));
  }
}

TEST_F(Running, HeaderClicksSortAndFlip) {
  f->onOrderListHeaderClicked(1);
  EXPECT_EQ(f->orderList->sortColumn(), 1);
  const Qt::SortOrder first = f->orderList->sortOrder();
  f->onOrderListHeaderClicked(1);
  EXPECT_NE(f->orderList->sortOrder(), first);
  f->onOrderListHeaderClicked(3);
  EXPECT_EQ(f->orderList->sortColumn(), 3);
  EXPECT_NE(f->orderList->sortOrder(), first);
  f->close();
  EXPECT_EQ(setting("OrderForm", "SortKey"), QStringLiteral("3"));
}

}  // namespace

namespace {

TEST_F(Running, MinimisingNeverHidesTheWindowWhereNoTrayExists) {
  f->db().SystemTray = true;
  f->showMinimized();
  if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "a tray exists here";
  EXPECT_TRUE(f->isVisible());
  EXPECT_EQ(f->trayIconId(), 0);
  f->onTrayOpen();
  EXPECT_FALSE(f->isMinimized());
}

TEST_F(Running, ATinyWindowGivesTheListNoHeight) {
  f->setWindowState(Qt::WindowNoState);
  QCoreApplication::processEvents();
  f->centralWidget()->resize(300, 60);  // lower than the list's top and the buttons
  EXPECT_EQ(f->orderList->height(), 0);
  EXPECT_EQ(f->orderList->width(), 300);
  EXPECT_EQ(f->orderProductsButton->x() + f->orderProductsButton->width(), 300 - 8);
  EXPECT_EQ(f->editCategoriesButton->x() + f->editCategoriesButton->width(), 300 - 8);
}

TEST(LoadForm, EachShowingStartsFromItsDesignedTextAndAnEmptyBar) {
  LoadForm progress;
  progress.show(QString());
  ASSERT_NE(progress.window(), nullptr);
  EXPECT_EQ(progress.window()->windowTitle(), QStringLiteral("請稍等"));
  EXPECT_FALSE(progress.window()->isModal());
  EXPECT_TRUE(progress.window()->isVisible());
  EXPECT_EQ(progress.messageLabel()->text(), QStringLiteral("資料載入中...."));
  progress.setLabel(QStringLiteral("正在載入 Order 檔案"));
  progress.setValue(83);
  EXPECT_EQ(progress.progressBar()->value(), 83);
  EXPECT_EQ(progress.progressBar()->maximum(), 100);
  progress.close();
  EXPECT_EQ(progress.window(), nullptr);
  progress.show(QStringLiteral("資料儲存中..."));
  EXPECT_EQ(progress.messageLabel()->text(), QStringLiteral("資料儲存中..."));
  EXPECT_EQ(progress.progressBar()->value(), 0);
  progress.close();
}

}  // namespace
