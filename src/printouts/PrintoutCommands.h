#pragma once
// The printout and export commands of the windows that have them. Each
// window's menu entry or button calls one of these with its own list.
//
//   main window     selectedShippingNotesAction / popupShippingNotesAction -> shippingNotes
//                   selectedLabelsAction / popupLabelsAction               -> orderLabels
//                   pickingListAction / popupPickingListAction             -> pickingList
//                   exportSelectedAction / popupExportAction               -> exportOrders
//   customer window exportSelectedLabelsAction -> customerLabels, exportSelectedToNotepadAction -> exportCustomers
//   product window  exportSelectedToNotepadAction -> exportProducts
//   order editor    its own printouts, from its boxes (EditorPrintouts)
#include <QString>
#include <QStringList>
#include <vector>

class Database;
class ListView;
class Prompt;
class QWidget;

namespace PrintoutCommands {

// ---- the main window's order list ----
void shippingNotes(Database& db, Prompt& prompt, QWidget* owner, const ListView& orderList);
void orderLabels(Database& db, Prompt& prompt, QWidget* owner, const ListView& orderList);
void pickingList(Database& db, Prompt& prompt, QWidget* owner, const ListView& orderList);
void exportOrders(Database& db, Prompt& prompt, QWidget* owner, const ListView& orderList);

// ---- the customer window ----
void customerLabels(Database& db, Prompt& prompt, QWidget* owner, const ListView& guestList);
void exportCustomers(Database& db, Prompt& prompt, QWidget* owner, const ListView& guestList);

// ---- the product window ----
void exportProducts(Database& db, Prompt& prompt, QWidget* owner, const ListView& productList);

// The texts of the selected rows of a list, top to bottom.
std::vector<QStringList> selectedRows(const ListView& list);

// The setting "遮蔽手機號碼", read once per command.
bool maskPhone();

}  // namespace PrintoutCommands
