#pragma once
// Reading one stored order back into the editor's terms, without any window:
// the payment and shipping states decoded into their boxes, the discounts,
// the customer, the lines with their shortfalls and the snapshot of the
// lines whose stock is already taken. The editor fills itself from the
// result (OrderInput::LoadOrderIntoEditor), so nothing is half filled when
// the reading fails.
//
// Damaged or empty cells never stop an order from opening: a part that
// cannot be read opens empty (an empty shipping state is an unshipped order
// without a method; a seller-pays cell other than "1" is unticked).
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "models/CustomerFields.h"
#include "models/OrderLine.h"
#include "ordereditor/OrderSave.h"

class Database;
class Table;

namespace OrderLoad {

// PaymentState: "未匯款", "已匯款" or the payment date, then optionally a blank
// and "已給" (feedback given).
struct Payment {
  bool paid = false;  // paidCheck 已匯款
  QString payDate;
  bool rated = false; // ratedCheck 已給評價
};
Payment decodePayment(const QString& cell);

// ShippingState: "未出貨", "已出貨", or the method, a blank and "未出貨",
// "已出貨" or the ship date; the method alone is an unshipped order.
struct Shipping {
  bool shipped = false;  // shippedCheck 已出貨
  QString shipDate;
  QString method;
};
Shipping decodeShipping(const QString& cell);

// Every Stock row of that order number, in Stock order, wherever it lies.
std::vector<int> lineRows(const Table& Stock, const QString& orderNo);

// The shortfall of line k (0-based) of an order; "" or "0" for none.
using ShortageOf = std::function<QString(const QString& orderNo, int k)>;

struct LoadedOrder {
  OrderBoxes boxes;         // numberEdit down to the discounts; name = nameEdit
  CustomerFields customer;  // the customer boxes; account and category from the order
  OrderLines lines;         // lineList, ticks from a note beginning with "*"
  OrderLines snapshot;      // snapshotList: name, category and quantity of each line
};

// Order row orderRow (1-based) with its customer (the first Guest row of the
// order's account and category) and its lines. shortage may be empty (the
// list shows shipped orders, or no shortage check). nullopt when there is
// no such row.
std::optional<LoadedOrder> load(const Database& db, int orderRow, const ShortageOf& shortage);

}  // namespace OrderLoad
