#pragma once
// The database-password menu of the main window: creating and deleting the
// password of the open database, and the check that deleting needs.
class Database;
class Prompt;
class PasswordHost;

namespace DatabasePassword {

// Asks for the open database's password in a masked input box and checks it.
// True also when the database has no password file or the file is damaged
// (which is then deleted). Sets the password menu; PassChk is left alone.
bool PassInit(Database& db, Prompt& prompt, PasswordHost& host);

// "建立資料庫密碼(&P)": asks twice for 3 to 8 characters and writes DataBase.pwd.
void Pass_Set_Click(Database& db, Prompt& prompt, PasswordHost& host);

// "刪除資料庫密碼(&C)": deletes DataBase.pwd once PassInit accepts.
void Pass_Clear_Click(Database& db, Prompt& prompt, PasswordHost& host);

}  // namespace DatabasePassword
