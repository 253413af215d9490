#include "admin/PassInput.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "admin/PasswordFile.h"
#include "admin/PasswordHost.h"
#include "platform/Prompt.h"
#include "store/Database.h"

PassInput::PassInput(Database& db, Prompt& prompt, PasswordHost& host, QWidget* parent)
    : QDialog(parent), db_(db), prompt_(prompt), host_(host) {
  setWindowTitle(QStringLiteral("請輸入密碼"));
  setModal(true);
  promptLabel = new QLabel(this);
  promptLabel->setWordWrap(true);
  passwordEdit = new QLineEdit(this);
  passwordEdit->setEchoMode(QLineEdit::Password);
  okButton = new QPushButton(QStringLiteral("確定"), this);
  okButton->setDefault(true);
  cancelButton = new QPushButton(QStringLiteral("取消"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(promptLabel);
  layout->addWidget(passwordEdit);
  layout->addLayout(buttons);
  connect(okButton, &QPushButton::clicked, this, &PassInput::onOk);
  connect(cancelButton, &QPushButton::clicked, this, &PassInput::onCancel);
}

bool PassInput::Form_Load() {
  promptLabel->setText(db_.DataBaseName + QStringLiteral("\n") + db_.DataBasePath +
                  QStringLiteral("\n\n開啟這個資料庫需要密碼，請輸入密碼"));
  passwordEdit->clear();
  const PasswordFile::Contents file = PasswordFile::read(db_.DataBasePath);
  if (file.state == PasswordFile::State::Readable) {
    password_ = file.password;
    return true;
  }
  if (file.state == PasswordFile::State::Damaged) {
    prompt_.message(QStringLiteral("資料庫密碼設定已損壞，請重新設定密碼!"), Prompt::Icon::Exclamation);
    PasswordFile::remove(db_.DataBasePath);
  }
  // Damaged (now deleted) or gone meanwhile: the database opens without password.
  host_.showPasswordFile(false);
  host_.setPassChk(true);
  return false;
}

void PassInput::onOk() {
  host_.setPassChk(false);
  if (passwordEdit->text() == password_) {
    host_.setPassChk(true);
    host_.showPasswordFile(true);
  }
  password_.clear();
  QDialog::accept();
}

void PassInput::onCancel() {
  host_.setPassChk(false);
  password_.clear();
  QDialog::reject();
}

void PassInput::reject() { onCancel(); }
