#pragma once
// The database-password menu of the main window: creating and deleting the
// password of the open database, and the check that deleting needs. The
// settings password of the general settings dialog ("Setting.pwd") works the
// same way on its own file, with its own question at the check.
#include <QString>

class Database;
class Prompt;
class PasswordHost;

namespace DatabasePassword {

// Which password: its file in the database folder and the check's question.
struct Guard {
  QString file;
  QString checkText;
};
Guard databaseGuard();  // "DataBase.pwd", "請輸入密碼"
Guard settingsGuard();  // "Setting.pwd", "請輸入密碼才能存取設定"

// The three commands for the password of `guard` in `folder`.
bool PassInit(const QString& folder, const Guard& guard, Prompt& prompt, PasswordHost& host);
void setPassword(const QString& folder, const Guard& guard, Prompt& prompt, PasswordHost& host);
void clearPassword(const QString& folder, const Guard& guard, Prompt& prompt, PasswordHost& host);

// Asks for the open database's password in a masked input box and checks it.
// True also when the database has no password file or the file is damaged
// (which is then deleted). Sets the password menu; PassChk is left alone.
bool PassInit(Database& db, Prompt& prompt, PasswordHost& host);

// "建立資料庫密碼(&P)": asks twice for 3 to 8 characters and writes DataBase.pwd.
void setPassword(Database& db, Prompt& prompt, PasswordHost& host);

// "刪除資料庫密碼(&C)": deletes DataBase.pwd once PassInit accepts.
void clearPassword(Database& db, Prompt& prompt, PasswordHost& host);

}  // namespace DatabasePassword
