#pragma once
// The main window's order commands that do not edit an existing order,
// without any window: the next free order number of the month, what a new
// order starts with, and deleting the selected orders.
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

class Database;
class Prompt;

namespace OrderCommands {

// The next free number of today's month (NextFreeOrderNumber): a new month restarts the counter
// at 1; the counter is advanced past every number already in Order and
// stays advanced. nullopt when the counter would pass the largest value.
std::optional<QString> nextOrderNumber(Database& db, const QDate& today);

// What "新增訂單(&N)" puts into the editor.
struct NewOrder {
  QString number;
  QString date;  // today "yyyy/mm/dd"
  QString fee;   // "0", or Set_1_Value while Set_1 is on
  bool setMethod = false;
  QString method;  // shipping method, when setMethod (Set_2 on): Set_2_Value
  QString note;    // Set_6_Value
};
// Takes the number (advancing the counter) and reads the remembered
// defaults of section OrderInput. nullopt as nextOrderNumber.
std::optional<NewOrder> prepareNewOrder(Database& db, const QDate& today);

// The two questions of "刪除訂單(&D)" (title "刪除").
extern const QString DeleteQuestion;    // 確定刪除選擇的訂單嗎？
extern const QString GiveBackQuestion;  // 訂單內的商品需要回歸到庫存嗎？

// Removes the orders at the given Order rows (the Index values of the
// selected list rows; repeats and rows out of range are ignored) with every
// Stock row of their numbers, in one step per table. With giveBack, each
// line's quantity goes back to the first product of its name and category.
// Returns the number of orders removed.
int deleteOrders(Database& db, const std::vector<int>& orderRows, bool giveBack);

// "刪除訂單(&D)" without the list: nothing when the list has no rows;
// else the two questions, then the deletion and the unsaved-changes flag.
// True when the order list must be rebuilt (OrderShow).
bool deleteSelectedOrders(Database& db, Prompt& prompt, int listRows, const std::vector<int>& selectedIndexes);

}  // namespace OrderCommands
