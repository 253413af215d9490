#pragma once
// "列出訂單" of the product window: the orders that hold a line of any of the
// chosen products, for the main window's order list.
#include <QString>
#include <utility>
#include <vector>

#include "models/OrderList.h"

class Database;

namespace ProductOrders {

// The menu "列出訂單(&L)": 列出全部, 列出未出貨, 列出已出貨.
enum class ShipChoice { All, Unshipped, Shipped };

// What the listing writes into the ship-date cell: the ShippingState when it
// is "未出貨" or "已出貨", else its second word (cut at single blanks), or ""
// when it has none. An order is unshipped when this reads "未出貨".
QString shipStatus(const QString& shippingState);
bool passes(const QString& shippingState, ShipChoice choice);

// The Order rows to list, in ascending text order of their order numbers:
// every order number of a Stock line whose name and category equal one of
// the products (exact), each number once; for each, the first Order row of
// that number whose order passes the choice (none: the number is left out).
// Joined through indexes built once, so the row order of Stock and Order
// does not matter.
std::vector<int> orderRows(const Database& db, const std::vector<std::pair<QString, QString>>& products,
                           ShipChoice choice);

// The rows, colours, totals and the seven panels of the listing; the
// discount cell writes a negative amount behind a second minus sign.
OrderList::OrderListResult list(const Database& db, const std::vector<std::pair<QString, QString>>& products,
                                ShipChoice choice, bool username);

}  // namespace ProductOrders
