#pragma once
// Readers and writers of the settings files of a database folder
// (Addr.kdt, Shop0-6.kdt, Carry.kdt, Import.kdt, Cate1-4.kdt, AutoBackup.kdt).
#include "store/Database.h"

class Prompt;
class SaveTransaction;

namespace SettingsFiles {

// Loading, in this order, after the counter and before the tables.
void SetInit(Database& db, Prompt& prompt);     // AutoBackup, Addr, Shop0-6, Carry
void ImportInit(Database& db, Prompt& prompt);  // writes the defaults when Import.kdt is missing
void CateInit(Database& db, Prompt& prompt);

// Writes Cate1.kdt to Cate4.kdt into the save attempt; false on failure.
bool CateClose(Database& db, SaveTransaction& save);

// The settings dialog's writers; each reports its own failure and returns false.
bool AddrClose(Database& db, Prompt& prompt);
bool ShopClose(int n, Database& db, Prompt& prompt);  // Shop0Close .. Shop6Close
bool CarryClose(Database& db, Prompt& prompt);

}  // namespace SettingsFiles
