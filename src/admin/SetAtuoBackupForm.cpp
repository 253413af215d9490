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
  chooseFolderCheck = new QCheckBox(QStringLiteral("指定自動備份的儲存路徑"), this);
  folderLabel = new QLabel(this);
  folderLabel->setFrameShape(QFrame::Panel);
  folderLabel->setFrameShadow(QFrame::Sunken);
  folderLabel->setAutoFillBackground(true);
  QPalette pal = folderLabel->palette();
  pal.setColor(QPalette::Window, Qt::white);
  folderLabel->setPalette(pal);
  folderLabel->setMinimumWidth(320);
  folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  browseButton = new QPushButton(QStringLiteral("..."), this);
  browseButton->setFixedWidth(32);
  adviceLabel = new QLabel(QStringLiteral("※建議設定在系統槽之外的其他硬碟上，不同資料庫請指定不同位置"), this);
  hintLabel = new QLabel(QStringLiteral("不勾選則備份於預設路徑 (資料庫路徑底下的Backup)"), this);
  okButton = new QPushButton(QStringLiteral("確定"), this);
  cancelButton = new QPushButton(QStringLiteral("取消"), this);
  // No default button: Enter does not accept the dialog.
  for (QPushButton* b : {browseButton, okButton, cancelButton}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }

  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(folderLabel, 1);
  folderRow->addWidget(browseButton);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chooseFolderCheck);
  layout->addLayout(folderRow);
  layout->addWidget(adviceLabel);
  layout->addWidget(hintLabel);
  layout->addLayout(buttons);

  connect(chooseFolderCheck, &QCheckBox::toggled, this, [this] { onChooseFolderToggled(); });
  connect(browseButton, &QPushButton::clicked, this, [this] { onBrowse(); });
  connect(okButton, &QPushButton::clicked, this, [this] { onOk(); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { onCancel(); });
}

void SetAtuoBackupForm::setTempMode() {
  SelState = 2;
  chooseFolderCheck->setText(QStringLiteral("設定暫存檔案的產生路徑"));
  setWindowTitle(chooseFolderCheck->text());
  adviceLabel->setText(QStringLiteral("請任意指定一個位置用以產生出貨單或郵寄名條暫存檔案"));
  hintLabel->setText(QStringLiteral("建議設在桌面或是 D:\\ 之類的位置"));
}

void SetAtuoBackupForm::showEvent(QShowEvent* event) {
  if (!loaded_) Form_Load();
  QDialog::showEvent(event);
}

void SetAtuoBackupForm::Form_Load() {
  loaded_ = true;
  const QString current = SelState == 1 ? db_.settings.AutoBackupPath : db_.TempPath;
  chooseFolderCheck->setChecked(!current.isEmpty());
  browseButton->setEnabled(!current.isEmpty());
  folderLabel->setText(current);
}

void SetAtuoBackupForm::onChooseFolderToggled() {
  browseButton->setEnabled(chooseFolderCheck->isChecked());
  if (!chooseFolderCheck->isChecked()) folderLabel->clear();
}

void SetAtuoBackupForm::onBrowse() {
  const QString before = folderLabel->text();
  const QString folder = prompt_.pickFolder(QStringLiteral("請選擇一個資料夾"), before);
  folderLabel->setText(folder.isEmpty() ? before : AppPaths::withSlash(folder));
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

void SetAtuoBackupForm::onOk() {
  const QString candidate = folderLabel->text();
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

void SetAtuoBackupForm::onCancel() { reject(); }
