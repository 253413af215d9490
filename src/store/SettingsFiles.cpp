#include "store/SettingsFiles.h"

// Placeholder until the settings files land: defaults only.
namespace SettingsFiles {
void SetInit(Database&, Prompt&) {}
void ImportInit(Database&, Prompt&) {}
void CateInit(Database&, Prompt&) {}
bool CateClose(Database&, SaveTransaction&) { return true; }
bool AddrClose(Database&, Prompt&) { return true; }
bool ShopClose(int, Database&, Prompt&) { return true; }
bool CarryClose(Database&, Prompt&) { return true; }
}  // namespace SettingsFiles
