// Printouts of 1,000 selected orders spread over the whole database: the
// shipping notes (built, encoded and written as temp.htm), the picking
// list's merge with its filter and total, the order-list labels, and the
// export of the orders with one line per order line, and the chooser's
// export as the order list's selection hands it over.
#include <QItemSelection>
#include <vector>

#include "BenchCase.h"
#include "models/OrderList.h"
#include "platform/ListView.h"
#include "printouts/ExportForm.h"
#include "printouts/ExportText.h"
#include "printouts/HtmlText.h"
#include "printouts/MailingLabels.h"
#include "printouts/PickingList.h"
#include "printouts/PrintoutFile.h"
#include "printouts/ShippingNote.h"
#include "store/Database.h"

namespace {

// Every n-th order, so the selection spans the tables.
std::vector<QStringList> selectedListRows(const Database& db, int count) {
  std::vector<int> rows;
  const int n = db.Order.count();
  const int step = std::max(1, n / count);
  for (int r = 1; r <= n && static_cast<int>(rows.size()) < count; r += step) rows.push_back(r);
  const OrderList::OrderListRows listed = OrderList::listOrders(db, rows, false).rows;
  std::vector<QStringList> out;
  out.reserve(listed.size());
  for (size_t i = 0; i < listed.size(); ++i) out.push_back(listed[i]);
  return out;
}

}  // namespace

KESTRIN_BENCH(ShippingNotes) {
  const std::vector<QStringList> rows = selectedListRows(ctx.db, 1000);
  const QString path = ctx.workDir + QStringLiteral("temp.htm");
  qsizetype bytes = 0;
  const double ms = ctx.bestMs([&] {
    const QByteArray page = HtmlText::encodePage(ShippingNote::selectedOrders(ctx.db, rows, true).value());
    bytes = page.size();
    PrintoutFile::writeFile(path, page);
  });
  ctx.report(QStringLiteral("shipping notes, 1,000 orders (%1 KB)").arg(bytes / 1024), ms, ctx.scanMs,
             QStringLiteral("one pass over Order"), 200);
}

KESTRIN_BENCH(PickingList) {
  const std::vector<QStringList> rows = selectedListRows(ctx.db, 1000);
  std::vector<QString> numbers;
  for (const QStringList& r : rows) numbers.push_back(r.value(OrderListCol::OrderNo));
  size_t merged = 0;
  const double ms = ctx.bestMs([&] {
    const std::vector<PickingList::Row> all = PickingList::merge(ctx.db, numbers, true);
    const QStringList entries = PickingList::categoryEntries(all);
    const auto shown = PickingList::filtered(all, 0, entries.value(0));
    (void)PickingList::statusText(shown);
    merged = all.size();
  });
  ctx.report(QStringLiteral("picking list, 1,000 orders (%1 rows)").arg(merged), ms, ctx.scanMs,
             QStringLiteral("one pass over Order"), 200);
}

KESTRIN_BENCH(OrderLabels) {
  const std::vector<QStringList> rows = selectedListRows(ctx.db, 1000);
  Database& db = ctx.db;
  const QString before = db.settings.AddrTemplate;
  db.settings.AddrTemplate = QStringLiteral("$Num $Name$Sex $Tel $Phone\r\n$Addr\r\n$ManufPrice$Total $M1 $M12");
  const double ms = ctx.bestMs([&] { (void)MailingLabels::orderListLabels(db, rows, true); });
  db.settings.AddrTemplate = before;
  ctx.report(QStringLiteral("mailing labels, 1,000 orders"), ms, ctx.scanMs, QStringLiteral("one pass over Order"), 200);
}

KESTRIN_BENCH(ExportOrderLines) {
  const std::vector<QStringList> rows = selectedListRows(ctx.db, 1000);
  std::vector<ExportText::Field> fields;
  for (const ExportOffer& o : ExportText::orderListOffers()) fields.push_back({o.caption, o.code, true});
  ExportText::Source src;
  src.rowCount = static_cast<int>(rows.size());
  src.selected = [](int) { return true; };
  src.text = [&rows](int r, int c) { return rows[static_cast<size_t>(r)].value(c); };
  const double ms = ctx.bestMs([&] { (void)ExportText::text(ctx.db, 1, src, fields, u','); });
  ctx.report(QStringLiteral("export of 1,000 orders by line, every field"), ms, ctx.scanMs,
             QStringLiteral("one pass over Order"), 200);
}

// The chooser's export of the order list as the window hands it over: the
// whole list in the list widget, 1,000 orders selected apart (one selection
// range each, as ctrl-clicks or a row-by-row select leave them).
KESTRIN_BENCH(ExportChooserSelection) {
  std::vector<int> all;
  for (int r = 1; r <= ctx.db.Order.count(); ++r) all.push_back(r);
  ListView list;
  list.setColumns(OrderList::orderListCaptions());
  list.setIndexColumn(OrderListCol::OrderIndex);
  list.setMultiSelect(true);
  list.setRowSource(OrderList::listOrders(ctx.db, all, false).source());  // as the main window fills it
  const int n = list.rowCount();
  const int step = std::max(1, n / 1000);
  QItemSelection apart;
  for (int r = 0; r < n; r += step)
    apart.select(list.model()->index(r, 0), list.model()->index(r, list.columnCount() - 1));
  list.selectionModel()->select(apart, QItemSelectionModel::Select);
  std::vector<ExportText::Field> fields;
  for (const ExportOffer& o : ExportText::orderListOffers())
    fields.push_back({o.caption, o.code, o.code == 0 || o.code == 2 || o.code == 5});
  const double ms = ctx.bestMs([&] { (void)ExportText::text(ctx.db, 1, ExportForm::sourceOf(list), fields, u','); });
  ctx.report(QStringLiteral("export chooser, %1 listed orders, %2 selected apart").arg(n).arg(apart.size()), ms,
             ctx.scanMs, QStringLiteral("one pass over Order"), 100);
}
