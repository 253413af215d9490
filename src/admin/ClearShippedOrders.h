#pragma once
// Clearing shipped orders (the dialog DelForm), without any window.
#include <QString>

class Database;
class Prompt;

namespace ClearShippedOrders {

// Shipped: exactly "已出貨", or at least two parts when split at single
// blanks with the second part not "未出貨".
bool isShipped(const QString& shippingState);

// Removes the shipped orders (all of them, or those dated from..to, both
// included, compared as "yyyy/mm/dd" texts) with every Stock row of their
// numbers. The targets are collected first and each table loses its rows in
// one step. The unsaved-changes flag is set when something was removed.
// Returns the number of orders removed.
int clear(Database& db, bool allOrders, const QString& from = {}, const QString& to = {});

// "清除" of the dialog: the question, the date checks (the boxes rewritten
// as "yyyy/mm/dd" and exchanged when typed backwards), the clearing and
// "清除完成!". True when the dialog is to close.
bool run(Database& db, Prompt& prompt, bool allOrders, QString& fromText, QString& toText);

}  // namespace ClearShippedOrders
