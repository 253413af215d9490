#pragma once
// The printout and export commands of the windows that have them. Each
// window's menu entry or button calls one of these with its own list.
//
//   main window     Sel_ShippingNote / OrderTools_ShippingNote -> shippingNotes
//                   Sel_Addr / OrderTools_Addr                 -> orderLabels
//                   Sel_Stock / OrderTools_Stock               -> pickingList
//                   Sel_Note / OrderTools_Note                 -> exportOrders
//   order editor    出貨單 (Command15) -> editorShippingNote, 郵寄名條 (Command6) -> editorLabel,
//                   匯出 (Command7) -> exportEditorLines
//   customer window Sel_Addr -> customerLabels, Sel_Note -> exportCustomers
//   product window  Sel_Note -> exportProducts
#include <QString>
#include <QStringList>
#include <vector>

class Database;
class ListView;
class OrderInput;
class Prompt;
class QWidget;

namespace PrintoutCommands {

// ---- the main window's order list ----
void shippingNotes(Database& db, Prompt& prompt, QWidget* owner, const ListView& orderList);
void orderLabels(Database& db, Prompt& prompt, QWidget* owner, const ListView& orderList);
void pickingList(Database& db, Prompt& prompt, QWidget* owner, const ListView& orderList);
void exportOrders(Database& db, Prompt& prompt, QWidget* owner, const ListView& orderList);

// ---- the order editor ----
void editorShippingNote(Database& db, Prompt& prompt, OrderInput& editor);
void editorLabel(Database& db, Prompt& prompt, OrderInput& editor);
void exportEditorLines(Database& db, Prompt& prompt, OrderInput& editor);

// ---- the customer window ----
void customerLabels(Database& db, Prompt& prompt, QWidget* owner, const ListView& guestList);
void exportCustomers(Database& db, Prompt& prompt, QWidget* owner, const ListView& guestList);

// ---- the product window ----
void exportProducts(Database& db, Prompt& prompt, QWidget* owner, const ListView& productList);

// The texts of the selected rows of a list, top to bottom.
std::vector<QStringList> selectedRows(const ListView& list);

}  // namespace PrintoutCommands
