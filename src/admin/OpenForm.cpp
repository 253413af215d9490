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
  databaseList = new ListView(this);
  databaseList->setColumns({QStringLiteral("資料庫名稱"), QStringLiteral("資料庫位置")});
  databaseList->setColumnWidthTwips(0, 2400);
  databaseList->setColumnWidthTwips(1, 5200);
  databaseList->setFlatHeader(true);
  openButton = new QPushButton(QStringLiteral("開啟"), this);
  addButton = new QPushButton(QStringLiteral("新增"), this);
  renameButton = new QPushButton(QStringLiteral("編輯名稱"), this);
  relocateButton = new QPushButton(QStringLiteral("編輯位置"), this);
  removeButton = new QPushButton(QStringLiteral("刪除"), this);
  leaveButton = new QPushButton(kLeave, this);
  for (QPushButton* b : {leaveButton, openButton, addButton, renameButton, relocateButton, removeButton})
    b->setAutoDefault(false);
  statusLabel = new QLabel(this);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {openButton, addButton, renameButton, relocateButton, removeButton}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(leaveButton);
  auto* top = new QHBoxLayout;
  top->addWidget(databaseList, 1);
  top->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(statusLabel);
  resize(640, 360);

  connect(leaveButton, &QPushButton::clicked, this, &OpenForm::onLeave);
  connect(openButton, &QPushButton::clicked, this, &OpenForm::onOpen);
  connect(addButton, &QPushButton::clicked, this, &OpenForm::onAdd);
  connect(renameButton, &QPushButton::clicked, this, &OpenForm::onRename);
  connect(relocateButton, &QPushButton::clicked, this, &OpenForm::onRelocate);
  connect(removeButton, &QPushButton::clicked, this, &OpenForm::onRemove);
  connect(databaseList, &ListView::rowActivated, this, [this](int) { onDatabaseDoubleClicked(); });

  endProgram = [] { std::_Exit(0); };
  runPassInput = [](PassInput& p) { p.exec(); };
}

void OpenForm::Form_Load() {
  WindowTweaks::restoreColumnWidths(databaseList, kSection, 2);
  databaseList->clear();
  for (const QString& e : db_.DataBaseList)
    databaseList->addRow({DatabaseList::nameOf(e), DatabaseList::folderOf(e)});
  if (databaseList->rowCount() > 0) databaseList->setCurrentRow(0);
  countLine();
}

int OpenForm::selectedRow() const {
  if (databaseList->rowCount() == 0) return -1;
  const int r = databaseList->currentRow();
  return r >= 0 && r < databaseList->rowCount() ? r : 0;
}

void OpenForm::countLine() {
  statusLabel->setText(QStringLiteral("共 %1 個資料庫").arg(databaseList->rowCount()));
}

bool OpenForm::Form_Unload() {
  WindowTweaks::saveColumnWidths(databaseList, kSection, 2);
  QStringList entries;
  for (int r = 0; r < databaseList->rowCount(); ++r)
    entries << DatabaseList::entry(databaseList->text(r, 0), databaseList->text(r, 1));
  if (!DatabaseList::write(db_.AppPath, entries)) {
    prompt_.error();
    return false;
  }
  db_.DataBaseList = entries;
  return true;
}

void OpenForm::closeNormally() { done(QDialog::Accepted); }

void OpenForm::onLeave() {
  if (leaveButton->text() == kLeave) {
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

void OpenForm::onOpen() {
  const int row = selectedRow();
  if (row < 0) return;
  const QString name = databaseList->text(row, 0);
  const QString folder = databaseList->text(row, 1);
  if (!AppPaths::folderExists(folder)) {
    prompt_.message(QStringLiteral("這個路徑不存在!"), Prompt::Icon::Exclamation);
    return;
  }
  if (folder == db_.DataBasePath && leaveButton->text() == kLeave) {
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

void OpenForm::onAdd() {
  if (databaseList->rowCount() >= Capacity::Databases) {
    prompt_.warn(QStringLiteral("資料庫數量已達到上限 100 個，無法再新增"));
    return;
  }
  const QString typed = prompt_.input(QStringLiteral("請設定目前要新增的資料庫名稱")).value_or(QString());
  if (typed.isEmpty() || !TextEntry::acceptable(prompt_, {{kNameField, typed}})) return;
  const QString name = cleanName(typed);
  const QString folder = prompt_.pickFolder(QStringLiteral("請選擇一個資料夾來存放資料"));
  if (folder.isEmpty() || !TextEntry::acceptable(prompt_, {{kFolderField, folder}})) return;
  const int row = databaseList->addRow({name, AppPaths::withSlash(folder)});
  databaseList->setCurrentRow(row);
  countLine();
}

void OpenForm::onRename() {
  const int row = selectedRow();
  if (row < 0) return;
  const QString typed = prompt_
                            .input(QStringLiteral("資料庫原名為：") + databaseList->text(row, 0) +
                                   QStringLiteral("\r\n\r\n要變更成什麼名稱?"))
                            .value_or(QString());
  if (typed.isEmpty() || !TextEntry::acceptable(prompt_, {{kNameField, typed}})) return;
  const QString name = cleanName(typed);
  databaseList->setText(row, 0, name);
  if (databaseList->text(row, 1) == db_.DataBasePath && leaveButton->text() == kLeave && db_.DataBaseName != name)
    db_.DataBaseName = name;
}

void OpenForm::onRelocate() {
  const int row = selectedRow();
  if (row < 0) return;
  const QString folder = prompt_.pickFolder(QStringLiteral("請選擇一個資料夾"));
  if (folder.isEmpty() || !TextEntry::acceptable(prompt_, {{kFolderField, folder}})) return;
  databaseList->setText(row, 1, AppPaths::withSlash(folder));
}

void OpenForm::onRemove() {
  const int row = selectedRow();
  if (row < 0) return;
  if (prompt_.message(QStringLiteral("這個動作只會刪除清單中的資訊，不會影響到實際資料\r\n\r\n確定要刪除嗎？"),
                      Prompt::Icon::Exclamation, Prompt::Buttons::YesNo,
                      QStringLiteral("刪除")) != Prompt::Answer::Yes)
    return;
  databaseList->removeRow(row);
  if (databaseList->rowCount() > 0) databaseList->setCurrentRow(qMin(row, databaseList->rowCount() - 1));
  countLine();
}

bool OpenForm::PassCheck() {
  const int row = selectedRow();
  if (row < 0) return false;
  const QString name = databaseList->text(row, 0);
  const QString folder = databaseList->text(row, 1);
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
