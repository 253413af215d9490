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
  Label1 = new QLabel(this);
  Label1->setWordWrap(true);
  Text1 = new QLineEdit(this);
  Text1->setEchoMode(QLineEdit::Password);
  OKButton = new QPushButton(QStringLiteral("確定"), this);
  OKButton->setDefault(true);
  CancelButton = new QPushButton(QStringLiteral("取消"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(Text1);
  layout->addLayout(buttons);
  connect(OKButton, &QPushButton::clicked, this, &PassInput::OKButton_Click);
  connect(CancelButton, &QPushButton::clicked, this, &PassInput::CancelButton_Click);
}

bool PassInput::Form_Load() {
  Label1->setText(db_.DataBaseName + QStringLiteral("\n") + db_.DataBasePath +
                  QStringLiteral("\n\n開啟這個資料庫需要密碼，請輸入密碼"));
  Text1->clear();
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

void PassInput::OKButton_Click() {
  host_.setPassChk(false);
  if (Text1->text() == password_) {
    host_.setPassChk(true);
    host_.showPasswordFile(true);
  }
  password_.clear();
  QDialog::accept();
}

void PassInput::CancelButton_Click() {
  host_.setPassChk(false);
  password_.clear();
  QDialog::reject();
}

void PassInput::reject() { CancelButton_Click(); }
