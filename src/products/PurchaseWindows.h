#pragma once
// The product window's ways into purchasing: "進貨記錄" (the purchase
// records of the chosen product), "進貨單" (the purchase sheet), and
// "新增到進貨單" with the add button "加入進貨單" (the chosen products onto
// the purchase sheet). The product window calls attach() once; the main
// window tells how a product window is shown when the sheet needs one, and
// closes the sheet when another database is loaded.
#include <functional>

class Database;
class ManufBatch;
class ManufForm;
class Prompt;
class QWidget;

namespace PurchaseWindows {

// Enables and connects the product window's purchase entries.
void attach(ManufForm& pf, Database& db, Prompt& prompt);

// "進貨記錄": the purchase records window, modal, for the product of the
// list's current row; nothing when the list is empty.
void openRecords(ManufForm& pf, Database& db, Prompt& prompt);
// "進貨單": the purchase sheet, modeless (brought forward when open).
ManufBatch* openSheet(ManufForm& pf, Database& db, Prompt& prompt);
// "新增到進貨單" and "加入進貨單": the selected products onto the sheet,
// which is then shown.
void feedSheet(ManufForm& pf, Database& db, Prompt& prompt);

// The open purchase sheet, if any.
ManufBatch* openedSheet();

// For the main window: shows its product window (management use) and
// returns it, for the sheet's "加入商品" after the product window closed.
void setProductWindowOpener(QWidget* mainWindow, std::function<ManufForm*()> opener);
// Closes every purchase sheet (another database was loaded).
void closeSheets();

}  // namespace PurchaseWindows
