// The parts of the main window's order list that grow with the book, each
// timed apart from the window: listing the shipped orders with and without
// the customers' names, sorting them by customer, the shortage check.
#include "BenchCase.h"

#include "models/CustomerIndex.h"
#include "models/OrderList.h"
#include "platform/ListView.h"
#include "store/Database.h"

KESTRIN_BENCH(OrderListParts) {
  using namespace OrderList;
  const QString scan = QStringLiteral("one pass over Order");
  const OrderFilter shipped{QStringLiteral("全部"), QStringLiteral("全部"), QString(), false, true};
  size_t rows = 0;
  const double plain = ctx.bestMs([&] { rows = OrderShow(ctx.db, shipped, {false, false}).rows.size(); });
  ctx.report(QStringLiteral("order list parts: 已出貨 (%1 rows), no window").arg(rows), plain, ctx.scanMs, scan);
  const double named = ctx.bestMs([&] { (void)OrderShow(ctx.db, shipped, {true, false}); });
  ctx.report(QStringLiteral("order list parts: 已出貨 with customer names, no window"), named, ctx.scanMs, scan);

  // The names' share: the customer index alone, and the customers of every listed order.
  const std::vector<int> listedRows = *OrderShow(ctx.db, shipped, {false, false}).rows.orderRows();
  const double index = ctx.bestMs([&] { const CustomerIndex customers(ctx.db.Guest); });
  ctx.report(QStringLiteral("order list parts: customer index over %1 customers").arg(ctx.db.Guest.count()), index,
             ctx.scanMs, scan);
  const double join = ctx.bestMs([&] {
    (void)customerRowsOf(ctx.db.Guest, ctx.db.Order, listedRows, OrderCell::BuyerAccount, OrderCell::BuyerCategory);
  });
  ctx.report(QStringLiteral("order list parts: customers of the %1 listed orders (index included)").arg(listedRows.size()),
             join, ctx.scanMs, scan);

  ListView list;
  list.setColumns(orderListCaptions());
  list.setIndexColumn(OrderListCol::OrderIndex);
  for (const bool username : {false, true}) {
    const OrderListResult r = OrderShow(ctx.db, shipped, {username, false});
    const double sort = ctx.bestMs([&] {
      list.setRowSource(r.source());
      list.sortRows(OrderListCol::BuyerAccount, Qt::AscendingOrder);
    });
    ctx.report(QStringLiteral("order list parts: sort 已出貨 by customer%1").arg(username ? QStringLiteral(" with names") : QString()),
               sort, ctx.scanMs, scan);
  }
  list.setRows({});

  const OrderFilter unshipped{QStringLiteral("全部"), QStringLiteral("全部"), QString(), true, false};
  Database& db = ctx.db;
  const bool lacks = db.CheckLacks;
  OrderListResult listed = OrderShow(db, unshipped, {false, false});
  db.CheckLacks = true;
  const double check = ctx.bestMs([&] { orderListClosingStep(db, unshipped, listed); });
  db.CheckLacks = lacks;
  ctx.report(QStringLiteral("order list parts: shortage check over %1 unshipped rows").arg(listed.rows.size()), check,
             ctx.scanMs, scan);
}
