#pragma once
// The main window's backup menu: the manual backup and the two restore
// commands. What belongs to the main window (saving, reloading, the database
// manager, the password state) comes in as hooks.
#include <QString>
#include <functional>

class Database;
class Prompt;

class BackupCommands {
 public:
  struct Hooks {
    // Saves the open database with its retries; true when everything was written.
    std::function<bool()> DataBaseSave;
    // Reloads the open database (clears the unsaved-changes flag, renews the title).
    std::function<void()> DataBaseLoad;
    // Shows the database manager.
    std::function<void()> openDatabaseManager;
    // The main window's PassChk.
    std::function<void(bool)> setPassChk;
    // Pass_Set enabled exactly when the database has no password, Pass_Clear when it has one.
    std::function<void(bool hasPassword)> setPasswordMenu;
  };

  BackupCommands(Database& db, Prompt& prompt, Hooks hooks);

  // 備份資料: saves, packs the database and writes the archive where the user chose.
  void backUp();
  // 還原資料: restores from an archive, starting in the last backup folder.
  void restore();
  // 還原系統自動備份的資料: the same, starting in the daily backups' folder.
  void restoreDailyBackup();

  // The proposed archive name: the database name without \ * < > : " ? and ".kbk".
  static QString defaultArchiveName(const QString& dataBaseName);
  // Where the restore of a daily backup starts.
  static QString autoRestoreFolder(const Database& db);

  static constexpr const char* kFilter = "Kestrin備份檔 (*.kbk)";

 private:
  void restoreFrom(const QString& startFolder);

  Database& db_;
  Prompt& prompt_;
  Hooks hooks_;
};
