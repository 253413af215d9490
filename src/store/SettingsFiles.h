#pragma once
// Readers and writers of the settings files of a database folder
// (Addr.kdt, Shop0-6.kdt, Carry.kdt, Import.kdt, Cate1-4.kdt, AutoBackup.kdt).
//
// Every reader starts from its own defaults, so nothing of the previously
// loaded database stays behind. A file that fails to load (unreadable bytes,
// an item of the wrong kind, a value out of range, more entries than its list
// holds) or that is read only in part (a value cut short, text around a
// quoted item, more items than the reader takes, a supplier without its
// details) shows the reader's message and is added to db.damagedFiles, so
// that its original is kept beside it before anything replaces it. List
// files keep the entries read up to the failure (at most as many as the list
// holds); a file read in part keeps what was read.
#include <QString>

#include "store/Database.h"

class Prompt;
class SaveTransaction;

namespace SettingsFiles {

// Loading, in this order, after the counter and before the tables.
void SetInit(Database& db, Prompt& prompt);     // AutoBackup, Addr, Shop0-6, Carry
void ImportInit(Database& db, Prompt& prompt);  // writes the defaults when Import.kdt is missing
void CateInit(Database& db, Prompt& prompt);    // Cate1-4

// The single readers SetInit and CateInit run.
void AutoBackupInit(Database& db, Prompt& prompt);
void AddrInit(Database& db, Prompt& prompt);
void ShopInit(int n, Database& db, Prompt& prompt);  // Shop0Init .. Shop6Init
void CarryInit(Database& db, Prompt& prompt);
void CateInit(int n, Database& db, Prompt& prompt);  // Cate1Init .. Cate4Init

// Writes Cate1.kdt to Cate4.kdt into the save attempt, each only while
// db.SaveOK; a failed write clears SaveOK. False on failure.
bool CateClose(Database& db, SaveTransaction& save);

// The settings dialog's writers, called after the dialog copied its fields
// into db.settings; each replaces its whole file, reports its own failure
// ("儲存 … 發生錯誤!") and returns false.
bool AddrClose(Database& db, Prompt& prompt);
bool ShopClose(int n, Database& db, Prompt& prompt);  // Shop0Close .. Shop6Close
bool CarryClose(Database& db, Prompt& prompt);

// The settings dialog's OK as one step: puts `next` into the form its files
// hold (the title and the seller block with "'" for every double quote, the
// shipping methods without ",", double quotes and "”", blanks trimmed), then
// writes Addr.kdt, Shop0.kdt to Shop6.kdt and Carry.kdt together, all or
// nothing (the originals of files that failed to load are kept beside them
// first). False, with no file changed and no message, when a value is
// outside what its file holds (a percent outside 0 to 255, a width outside
// -32768 to 32767, more than 50 methods) or a write failed.
bool SetClose(Database& db, DatabaseSettings& next, Prompt& prompt);
// Whether every value of s fits its settings file (after SetClose's cleaning).
bool fitsSettingsFiles(const DatabaseSettings& s);
// The settings files SetClose writes, in the dialog's order.
QStringList setFileNames();

// The import-profile dialog's writer: replaces Import.kdt with the 30 lines
// ImportInit reads. False on failure, which the dialog reports.
bool ImportClose(Database& db, Prompt& prompt);

// Before a writer replaces a file that did not load whole: keeps its
// original beside it (telling the user) and takes it off db.damagedFiles.
// True when there was nothing to keep or it is kept; false when the copy
// failed, and the file must not be replaced.
bool keepDamagedOriginal(Database& db, Prompt& prompt, const QString& name);

// The settings dialog's percent cell as Shop3.kdt stores it: its leading
// number rounded to a whole number, halves to the even neighbour. ShopClose(3)
// refuses values outside 0 to 255.
int percentOfCell(const QString& cell);

// The exact text of each file as its writer writes it.
QString addrText(const DatabaseSettings& s);
QString shopText(int n, const DatabaseSettings& s);
QString carryText(const DatabaseSettings& s);
QString importText(const DatabaseSettings& s);
QString cateText(int n, const DatabaseSettings& s);

// File names: "Shop0.kdt" .. "Shop6.kdt", "Cate1.kdt" .. "Cate4.kdt".
QString shopFile(int n);
QString cateFile(int n);

}  // namespace SettingsFiles
