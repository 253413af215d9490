#include "ordereditor/OrderLoad.h"

#include "models/OrderList.h"

#include "customers/GuestSave.h"
#include "platform/Numbers.h"
#include "store/Database.h"
#include "store/Table.h"

namespace OrderLoad {

namespace {

const QString kUnpaid = QStringLiteral("未匯款");
const QString kPaid = QStringLiteral("已匯款");
const QString kRated = QStringLiteral("已給");
const QString kUnshipped = QStringLiteral("未出貨");
const QString kShipped = QStringLiteral("已出貨");

// The text before the first blank (the whole text when there is none).
QString beforeBlank(const QString& s) {
  const qsizetype i = s.indexOf(u' ');
  return i < 0 ? s : s.left(i);
}

}  // namespace

Payment decodePayment(const QString& cell) {
  Payment p;
  if (cell.isEmpty()) return p;
  const QStringList tokens = cell.split(u' ');
  const QString& first = tokens[0];
  p.paid = first != kUnpaid;
  if (p.paid && first != kPaid) p.payDate = first;
  p.rated = tokens.size() > 1 && tokens[1] == kRated;
  return p;
}

Shipping decodeShipping(const QString& cell) {
  Shipping s;
  if (cell == kUnshipped) return s;
  if (cell == kShipped) {
    s.shipped = true;
    return s;
  }
  // An empty cell reads as one empty token: unshipped, no method.
  const QStringList tokens = cell.split(u' ');
  s.method = tokens[0];
  if (tokens.size() < 2) return s;
  const QString& second = tokens[1];
  if (second == kUnshipped) return s;
  s.shipped = true;
  if (second != kShipped) s.shipDate = second;
  return s;
}

std::vector<int> lineRows(const Table& Stock, const QString& orderNo) {
  std::vector<int> rows;
  const int n = Stock.count();
  for (int r = 1; r <= n; ++r)
    if (Stock.key(r) == orderNo) rows.push_back(r);
  return rows;
}

std::optional<LoadedOrder> load(const Database& db, int orderRow, const ShortageOf& shortage) {
  const Table& order = db.Order;
  if (orderRow < 1 || orderRow > order.count()) return std::nullopt;
  auto cell = [&](int c) -> const QString& { return order.cell(orderRow, c); };

  LoadedOrder o;
  OrderBoxes& b = o.boxes;
  b.number = cell(OrderCell::OrderNo);
  b.date = cell(OrderCell::OrderDate);
  b.account = cell(OrderCell::BuyerAccount);
  b.category = cell(OrderCell::BuyerCategory);
  b.fee = cell(OrderCell::ShippingFee);

  const int guestRow = GuestSave::findGuest(db.Guest, b.account, b.category);
  if (guestRow > 0) o.customer = CustomerFields::fromGuestRow(db.Guest, guestRow);
  // The order's own pair stays (it equals the customer's when one was found),
  // and a name without a sex mark empties the sex box.
  o.customer.account = b.account;
  o.customer.category = b.category;
  o.customer.hasSex = true;
  b.name = o.customer.name;

  const Payment pay = decodePayment(cell(OrderCell::PaymentState));
  b.paid = pay.paid;
  b.payDate = pay.payDate;
  b.rated = pay.rated;

  const Shipping ship = decodeShipping(cell(OrderCell::ShippingState));
  b.shipped = ship.shipped;
  b.shipDate = ship.shipDate;
  b.method = ship.method;

  b.note = cell(OrderCell::OrderNote);
  b.sellerPays = OrderList::sellerPaysShipping(cell(OrderCell::SellerPaysShipping));

  // Both discounts stored: the amount is the one that opens ticked.
  const QString& amount = cell(OrderCell::DiscountAmount);
  const QString& percent = cell(OrderCell::DiscountPercent);
  if (!amount.isEmpty()) {
    b.amountOn = true;
    b.amount = beforeBlank(amount);
  } else if (!percent.isEmpty()) {
    b.percentOn = true;
    b.percent = percent;
  }

  const Table& stock = db.Stock;
  const std::vector<int> rows = lineRows(stock, b.number);
  o.lines.reserve(rows.size());
  o.snapshot.reserve(rows.size());
  for (int r : rows) {
    OrderLine l;
    l.name = stock.cell(r, StockCell::LineName);
    l.category = stock.cell(r, StockCell::LineCategory);
    l.price = stock.cell(r, StockCell::LinePrice);
    l.cost = stock.cell(r, StockCell::LineCost);
    l.qty = stock.cell(r, StockCell::LineQty);
    l.note = stock.cell(r, StockCell::LineNote);
    l.url = stock.cell(r, StockCell::LineUrl);
    l.weight = stock.cell(r, StockCell::LineWeight);
    l.ticked = OrderLine::noteTicked(l.note);
    if (shortage) {
      const QString s = shortage(b.number, static_cast<int>(o.lines.size()));
      if (Num::leading(s) > 0) l.shortage = s;
    }
    OrderLine snap;
    snap.name = l.name;
    snap.category = l.category;
    snap.qty = l.qty;
    o.snapshot.push_back(std::move(snap));
    o.lines.push_back(std::move(l));
  }
  return o;
}

}  // namespace OrderLoad
