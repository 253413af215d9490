#include "admin/OpenForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "admin/PassInput.h"
#include "admin/PasswordFile.h"
#include "admin/PasswordHost.h"
#include "platform/AppPaths.h"
#include "platform/ListView.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"
#include "store/Database.h"
#include "store/DatabaseList.h"
#include "store/TextEntry.h"

namespace {
const QString kSection = QStringLiteral("OpenForm");
const QString kLeave = QStringLiteral("離開");
// Captions of the two columns, naming a refused character's field.
const QString kNameField = QStringLiteral("資料庫名稱");
const QString kFolderField = QStringLiteral("資料庫位置");

// Database names lose the characters a folder name cannot hold, in this order.
QString cleanName(QString name) {
  for (const char* c : {"\\", "*", "<", ">", ":", "\"", "?"}) name.remove(QString::fromLatin1(c));
  return name;
}
}  // namespace

OpenForm::OpenForm(Database& db, Prompt& prompt, PasswordHost& host, QWidget* parent)
    : NoCloseDialog(parent), db_(db), prompt_(prompt), host_(host) {
  setWindowTitle(QStringLiteral("開啟資料庫"));
  setModal(true);
  Liv1 = new ListView(this);
  Liv1->setColumns({QStringLiteral("資料庫名稱"), QStringLiteral("資料庫位置")});
  Liv1->setColumnWidthTwips(0, 2400);
  Liv1->setColumnWidthTwips(1, 5200);
  Liv1->setFlatHeader(true);
  Command1 = new QPushButton(QStringLiteral("開啟"), this);
  Command2 = new QPushButton(QStringLiteral("新增"), this);
  Command3 = new QPushButton(QStringLiteral("編輯名稱"), this);
  Command4 = new QPushButton(QStringLiteral("編輯位置"), this);
  Command5 = new QPushButton(QStringLiteral("刪除"), this);
  Command0 = new QPushButton(kLeave, this);
  for (QPushButton* b : {Command0, Command1, Command2, Command3, Command4, Command5}) b->setAutoDefault(false);
  StatusBar1 = new QLabel(this);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {Command1, Command2, Command3, Command4, Command5}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(Command0);
  auto* top = new QHBoxLayout;
  top->addWidget(Liv1, 1);
  top->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(StatusBar1);
  resize(640, 360);

  connect(Command0, &QPushButton::clicked, this, &OpenForm::Command0_Click);
  connect(Command1, &QPushButton::clicked, this, &OpenForm::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &OpenForm::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &OpenForm::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &OpenForm::Command4_Click);
  connect(Command5, &QPushButton::clicked, this, &OpenForm::Command5_Click);
  connect(Liv1, &ListView::rowActivated, this, [this](int) { Liv1_DblClick(); });

  endProgram = [] { std::_Exit(0); };
  runPassInput = [](PassInput& p) { p.exec(); };
}

void OpenForm::Form_Load() {
  WindowTweaks::restoreColumnWidths(Liv1, kSection, 2);
  Liv1->clear();
  for (const QString& e : db_.DataBaseList)
    Liv1->addRow({DatabaseList::nameOf(e), DatabaseList::folderOf(e)});
  if (Liv1->rowCount() > 0) Liv1->setCurrentRow(0);
  countLine();
}

int OpenForm::selectedRow() const {
  if (Liv1->rowCount() == 0) return -1;
  const int r = Liv1->currentRow();
  return r >= 0 && r < Liv1->rowCount() ? r : 0;
}

void OpenForm::countLine() {
  StatusBar1->setText(QStringLiteral("共 %1 個資料庫").arg(Liv1->rowCount()));
}

bool OpenForm::Form_Unload() {
  WindowTweaks::saveColumnWidths(Liv1, kSection, 2);
  QStringList entries;
  for (int r = 0; r < Liv1->rowCount(); ++r) entries << DatabaseList::entry(Liv1->text(r, 0), Liv1->text(r, 1));
  if (!DatabaseList::write(db_.AppPath, entries)) {
    prompt_.error();
    return false;
  }
  db_.DataBaseList = entries;
  return true;
}

void OpenForm::closeNormally() { done(QDialog::Accepted); }

void OpenForm::Command0_Click() {
  if (Command0->text() == kLeave) {
    ChosenDataBasePath.clear();
    if (Form_Unload()) closeNormally();
    return;
  }
  // No usable database: leaving ends the program, writing nothing.
  ChosenDataBasePath.clear();
  ended_ = true;
  if (endProgram) endProgram();
  done(QDialog::Rejected);
}

void OpenForm::Command1_Click() {
  const int row = selectedRow();
  if (row < 0) return;
  const QString name = Liv1->text(row, 0);
  const QString folder = Liv1->text(row, 1);
  if (!AppPaths::folderExists(folder)) {
    prompt_.message(QStringLiteral("這個路徑不存在!"), Prompt::Icon::Exclamation);
    return;
  }
  if (folder == db_.DataBasePath && Command0->text() == kLeave) {
    prompt_.message(QStringLiteral("這個資料庫目前正在使用中!"), Prompt::Icon::Information);
    if (db_.DataBaseName != name) db_.DataBaseName = name;
    return;
  }
  // What the open database stands on, put back when this one is refused, so
  // that a database still open keeps its save question and backup.
  const QString oldPath = db_.DataBasePath;
  const QString oldName = db_.DataBaseName;
  const bool oldChk = host_.passChk();
  const bool oldSet = host_.passSetEnabled();
  const bool oldClear = host_.passClearEnabled();
  auto putBack = [&] {
    db_.DataBasePath = oldPath;
    db_.DataBaseName = oldName;
    host_.setPassChk(oldChk);
    host_.setPassMenu(oldSet, oldClear);
  };
  db_.DataBasePath = folder;
  db_.DataBaseName = name;
  if (PasswordFile::exists(folder)) {
    PassInput pass(db_, prompt_, host_, this);
    if (pass.Form_Load() && runPassInput) runPassInput(pass);
    if (!host_.passChk()) {
      prompt_.message(QStringLiteral("密碼不正確，請重新輸入!"), Prompt::Icon::Exclamation);
      putBack();
      return;
    }
  } else {
    host_.showPasswordFile(false);
    host_.setPassChk(true);
  }
  db_.DataBasePath = oldPath;
  db_.DataBaseName = name;
  ChosenDataBasePath = folder;
  if (!Form_Unload()) {
    ChosenDataBasePath.clear();
    putBack();
    return;
  }
  closeNormally();
}

void OpenForm::Command2_Click() {
  if (Liv1->rowCount() >= Capacity::Databases) {
    prompt_.warn(QStringLiteral("資料庫數量已達到上限 100 個，無法再新增"));
    return;
  }
  const QString typed = prompt_.input(QStringLiteral("請設定目前要新增的資料庫名稱")).value_or(QString());
  if (typed.isEmpty() || !TextEntry::acceptable(prompt_, {{kNameField, typed}})) return;
  const QString name = cleanName(typed);
  const QString folder = prompt_.pickFolder(QStringLiteral("請選擇一個資料夾來存放資料"));
  if (folder.isEmpty() || !TextEntry::acceptable(prompt_, {{kFolderField, folder}})) return;
  const int row = Liv1->addRow({name, AppPaths::withSlash(folder)});
  Liv1->setCurrentRow(row);
  countLine();
}

void OpenForm::Command3_Click() {
  const int row = selectedRow();
  if (row < 0) return;
  const QString typed = prompt_
                            .input(QStringLiteral("資料庫原名為：") + Liv1->text(row, 0) +
                                   QStringLiteral("\r\n\r\n要變更成什麼名稱?"))
                            .value_or(QString());
  if (typed.isEmpty() || !TextEntry::acceptable(prompt_, {{kNameField, typed}})) return;
  const QString name = cleanName(typed);
  Liv1->setText(row, 0, name);
  if (Liv1->text(row, 1) == db_.DataBasePath && Command0->text() == kLeave && db_.DataBaseName != name)
    db_.DataBaseName = name;
}

void OpenForm::Command4_Click() {
  const int row = selectedRow();
  if (row < 0) return;
  const QString folder = prompt_.pickFolder(QStringLiteral("請選擇一個資料夾"));
  if (folder.isEmpty() || !TextEntry::acceptable(prompt_, {{kFolderField, folder}})) return;
  Liv1->setText(row, 1, AppPaths::withSlash(folder));
}

void OpenForm::Command5_Click() {
  const int row = selectedRow();
  if (row < 0) return;
  if (prompt_.message(QStringLiteral("這個動作只會刪除清單中的資訊，不會影響到實際資料\r\n\r\n確定要刪除嗎？"),
                      Prompt::Icon::Exclamation, Prompt::Buttons::YesNo,
                      QStringLiteral("刪除")) != Prompt::Answer::Yes)
    return;
  Liv1->removeRow(row);
  if (Liv1->rowCount() > 0) Liv1->setCurrentRow(qMin(row, Liv1->rowCount() - 1));
  countLine();
}

bool OpenForm::PassCheck() {
  const int row = selectedRow();
  if (row < 0) return false;
  const QString name = Liv1->text(row, 0);
  const QString folder = Liv1->text(row, 1);
  if (!PasswordFile::exists(folder)) {
    host_.showPasswordFile(false);
    return true;
  }
  const QString answer = prompt_
                             .input(QStringLiteral("[") + name + QStringLiteral("：") + folder +
                                        QStringLiteral("]\r\n\r\n開啟這個資料庫需要密碼，請輸入密碼!"),
                                    {}, {}, true)
                             .value_or(QString());
  const PasswordFile::Contents file = PasswordFile::read(folder);
  if (file.state != PasswordFile::State::Readable) {
    prompt_.error();
    return false;
  }
  host_.showPasswordFile(true);
  return answer == file.password;
}
