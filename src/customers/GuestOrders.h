#pragma once
// What the customer window finds of customers in the orders: a customer's
// orders ("列出訂單"), the customers no order refers to ("列出沒有訂單的客戶")
// and the e-mail list of chosen customers ("寫Email"). A customer is the
// pair (account, category), compared exactly.
#include <QString>
#include <QStringList>
#include <vector>

#include "models/GuestList.h"

class Database;
class Table;

namespace GuestOrders {

// The Order rows of customer (account, category), first to last.
std::vector<int> ordersOf(const Table& order, const QString& account, const QString& category);

// The Guest rows of the customers without an order, from the last row to
// the first.
std::vector<int> withoutOrders(const Database& db);

inline const QString EmailTooLongText = QStringLiteral("Email名單超出容納範圍，請減少名單數量並分多次寄送");
constexpr int EmailListLimit = 2048;
// The CustomerEmail cells of the Guest rows, the empty ones left out, joined
// by ";" (as stored: an address shared by two customers comes twice). Rows
// outside the table set *bad and are passed over.
QString emailList(const Table& guest, const std::vector<int>& rows, bool* bad = nullptr);

}  // namespace GuestOrders
