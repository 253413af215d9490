#include "admin/SetAtuoBackupForm.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/AppPaths.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "store/Database.h"
#include "store/QuotedFieldFile.h"
#include "store/SaveTransaction.h"
#include "store/SettingsFiles.h"
#include "store/TextEntry.h"

namespace {
const QString kFileName = QStringLiteral("AutoBackup.kdt");
}

SetAtuoBackupForm::SetAtuoBackupForm(Database& db, Prompt& prompt, QWidget* parent)
    : QDialog(parent), db_(db), prompt_(prompt) {
  setWindowTitle(QStringLiteral("設定自動備份的儲存路徑"));
  Check1 = new QCheckBox(QStringLiteral("指定自動備份的儲存路徑"), this);
  Label0 = new QLabel(this);
  Label0->setFrameShape(QFrame::Panel);
  Label0->setFrameShadow(QFrame::Sunken);
  Label0->setAutoFillBackground(true);
  QPalette pal = Label0->palette();
  pal.setColor(QPalette::Window, Qt::white);
  Label0->setPalette(pal);
  Label0->setMinimumWidth(320);
  Label0->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Command1 = new QPushButton(QStringLiteral("..."), this);
  Command1->setFixedWidth(32);
  Label2 = new QLabel(QStringLiteral("※建議設定在系統槽之外的其他硬碟上，不同資料庫請指定不同位置"), this);
  Label1 = new QLabel(QStringLiteral("不勾選則備份於預設路徑 (資料庫路徑底下的Backup)"), this);
  Command2 = new QPushButton(QStringLiteral("確定"), this);
  Command3 = new QPushButton(QStringLiteral("取消"), this);
  // No default button: Enter does not accept the dialog.
  for (QPushButton* b : {Command1, Command2, Command3}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }

  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(Label0, 1);
  folderRow->addWidget(Command1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Command2);
  buttons->addWidget(Command3);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Check1);
  layout->addLayout(folderRow);
  layout->addWidget(Label2);
  layout->addWidget(Label1);
  layout->addLayout(buttons);

  connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
}

void SetAtuoBackupForm::setTempMode() {
  SelState = 2;
  Check1->setText(QStringLiteral("設定暫存檔案的產生路徑"));
  setWindowTitle(Check1->text());
  Label2->setText(QStringLiteral("請任意指定一個位置用以產生出貨單或郵寄名條暫存檔案"));
  Label1->setText(QStringLiteral("建議設在桌面或是 D:\\ 之類的位置"));
}

void SetAtuoBackupForm::showEvent(QShowEvent* event) {
  if (!loaded_) Form_Load();
  QDialog::showEvent(event);
}

void SetAtuoBackupForm::Form_Load() {
  loaded_ = true;
  const QString current = SelState == 1 ? db_.settings.AutoBackupPath : db_.TempPath;
  Check1->setChecked(!current.isEmpty());
  Command1->setEnabled(!current.isEmpty());
  Label0->setText(current);
}

void SetAtuoBackupForm::Check1_Click() {
  Command1->setEnabled(Check1->isChecked());
  if (!Check1->isChecked()) Label0->clear();
}

void SetAtuoBackupForm::Command1_Click() {
  const QString before = Label0->text();
  const QString folder = prompt_.pickFolder(QStringLiteral("請選擇一個資料夾"), before);
  Label0->setText(folder.isEmpty() ? before : AppPaths::withSlash(folder));
}

bool SetAtuoBackupForm::acceptBackupFolder(const QString& folder) {
  const QString dir = AppPaths::withSlash(db_.DataBasePath);
  // The file holds the folder as one quoted code page 950 text.
  if (!TextEntry::acceptable(prompt_, {{QStringLiteral("儲存路徑"), folder}})) return false;
  if (folder.contains(u'"')) {
    prompt_.message(QString::fromUtf8(kRefused));
    return false;
  }
  // A file that did not load whole is kept before it is replaced or removed.
  if (!SettingsFiles::keepDamagedOriginal(db_, prompt_, kFileName)) {
    prompt_.error();
    return false;
  }
  if (!folder.isEmpty()) {
    QuotedFieldWriter w;
    w.field(folder);
    w.endRecord();
    if (!SaveTransaction::writeTextFile(dir, kFileName, w.text())) {
      prompt_.error();
      return false;
    }
  } else {
    const QStringList present = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    for (const QString& e : present) {
      if (e.compare(kFileName, Qt::CaseInsensitive) == 0 && !QFile::remove(dir + e)) {
        prompt_.error();
        return false;
      }
    }
  }
  db_.settings.AutoBackupPath = folder;
  return true;
}

void SetAtuoBackupForm::Command2_Click() {
  const QString candidate = Label0->text();
  if (SelState == 1) {
    if (!acceptBackupFolder(candidate)) return;
    accept();
    return;
  }
  if (AppPaths::isRefusedFolder(candidate)) {
    prompt_.message(QString::fromUtf8(kRefused));
    return;
  }
  db_.TempPath = candidate;
  SettingsStore::set(QStringLiteral("Setting"), QStringLiteral("TempPath"), candidate);
  accept();
}

void SetAtuoBackupForm::Command3_Click() { reject(); }
