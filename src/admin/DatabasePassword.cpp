#include "admin/DatabasePassword.h"

#include "admin/PasswordFile.h"
#include "admin/PasswordHost.h"
#include "platform/Prompt.h"
#include "store/Database.h"

namespace DatabasePassword {

namespace {
const QString kWrong = QStringLiteral("密碼不正確，請重新輸入!");
const QString kFormat = QStringLiteral("密碼格式不正確，請輸入3-8個英文或數字");

bool validLength(const QString& pw) {
  const qsizetype n = pw.toUcs4().size();  // characters, not UTF-16 units
  return n >= 3 && n <= 8;
}
}  // namespace

bool PassInit(Database& db, Prompt& prompt, PasswordHost& host) {
  const PasswordFile::Contents file = PasswordFile::read(db.DataBasePath);
  if (file.state == PasswordFile::State::Missing) {
    host.showPasswordFile(false);
    return true;
  }
  if (file.state == PasswordFile::State::Damaged) {
    prompt.message(QStringLiteral("密碼設定已遺失，請重新設定密碼!"), Prompt::Icon::Exclamation);
    PasswordFile::remove(db.DataBasePath);
    host.showPasswordFile(false);
    return true;
  }
  // An empty answer (Cancel gives one too) is compared like any other.
  const QString answer = prompt.input(QStringLiteral("請輸入密碼"), {}, {}, true).value_or(QString());
  host.showPasswordFile(true);
  return answer == file.password;
}

void Pass_Set_Click(Database& db, Prompt& prompt, PasswordHost& host) {
  const QString title = QStringLiteral("設定密碼");
  const QString first = prompt.input(QStringLiteral("請輸入3-8個英文或數字:"), title, {}, true).value_or(QString());
  if (first.isEmpty()) return;
  // A character code page 950 cannot hold would be stored as something else
  // and the password could never be typed again.
  if (!validLength(first) || !PasswordFile::encode(first)) {
    prompt.message(kFormat, Prompt::Icon::Exclamation);
    return;
  }
  const QString second = prompt.input(QStringLiteral("再輸入一次:"), title, {}, true).value_or(QString());
  if (second.isEmpty()) return;
  if (!validLength(second)) {
    prompt.message(kFormat, Prompt::Icon::Exclamation);
    return;
  }
  if (first != second) {
    prompt.message(QStringLiteral("兩次輸入的密碼不一樣，請重新輸入"), Prompt::Icon::Exclamation);
    return;
  }
  if (!PasswordFile::write(db.DataBasePath, first)) {
    prompt.error();
    return;
  }
  host.showPasswordFile(true);
  prompt.message(QStringLiteral("密碼設定完成!"), Prompt::Icon::Information);
}

void Pass_Clear_Click(Database& db, Prompt& prompt, PasswordHost& host) {
  if (!PasswordFile::exists(db.DataBasePath)) return;
  if (!PassInit(db, prompt, host)) {
    prompt.message(kWrong, Prompt::Icon::Exclamation);
    return;
  }
  if (!PasswordFile::remove(db.DataBasePath)) {
    host.showPasswordFile(true);
    prompt.error();
    return;
  }
  host.showPasswordFile(false);
  prompt.message(QStringLiteral("密碼刪除完成!"), Prompt::Icon::Information);
}

}  // namespace DatabasePassword
