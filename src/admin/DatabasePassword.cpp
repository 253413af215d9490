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

Guard databaseGuard() { return {QString::fromLatin1(PasswordFile::kDatabase), QStringLiteral("請輸入密碼")}; }
Guard settingsGuard() {
  return {QString::fromLatin1(PasswordFile::kSetting), QStringLiteral("請輸入密碼才能存取設定")};
}

bool PassInit(const QString& folder, const Guard& guard, Prompt& prompt, PasswordHost& host) {
  const PasswordFile::Contents file = PasswordFile::read(folder, guard.file);
  if (file.state == PasswordFile::State::Missing) {
    host.showPasswordFile(false);
    return true;
  }
  if (file.state == PasswordFile::State::Damaged) {
    prompt.message(QStringLiteral("密碼設定已遺失，請重新設定密碼!"), Prompt::Icon::Exclamation);
    PasswordFile::remove(folder, guard.file);
    host.showPasswordFile(false);
    return true;
  }
  // An empty answer (Cancel gives one too) is compared like any other.
  const QString answer = prompt.input(guard.checkText, {}, {}, true).value_or(QString());
  host.showPasswordFile(true);
  return answer == file.password;
}

void setPassword(const QString& folder, const Guard& guard, Prompt& prompt, PasswordHost& host) {
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
  if (!PasswordFile::write(folder, first, guard.file)) {
    prompt.error();
    return;
  }
  host.showPasswordFile(true);
  prompt.message(QStringLiteral("密碼設定完成!"), Prompt::Icon::Information);
}

void clearPassword(const QString& folder, const Guard& guard, Prompt& prompt, PasswordHost& host) {
  if (!PasswordFile::exists(folder, guard.file)) return;
  if (!PassInit(folder, guard, prompt, host)) {
    prompt.message(kWrong, Prompt::Icon::Exclamation);
    return;
  }
  if (!PasswordFile::remove(folder, guard.file)) {
    host.showPasswordFile(true);
    prompt.error();
    return;
  }
  host.showPasswordFile(false);
  prompt.message(QStringLiteral("密碼刪除完成!"), Prompt::Icon::Information);
}

bool PassInit(Database& db, Prompt& prompt, PasswordHost& host) {
  return PassInit(db.DataBasePath, databaseGuard(), prompt, host);
}

void setPassword(Database& db, Prompt& prompt, PasswordHost& host) {
  setPassword(db.DataBasePath, databaseGuard(), prompt, host);
}

void clearPassword(Database& db, Prompt& prompt, PasswordHost& host) {
  clearPassword(db.DataBasePath, databaseGuard(), prompt, host);
}

}  // namespace DatabasePassword
