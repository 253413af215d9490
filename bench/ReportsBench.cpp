// The searches and reports on the loaded synthetic database: the
// products-in-orders list with a customer-category filter and its search
// (each with the list filled as the window does), "列出選擇的訂單" for 10k
// selected lines, the order search, and the sales ranking of a year; then
// the sales-ranking window and the products-in-orders window themselves,
// offscreen, from the click to the painted lists.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "BenchCase.h"
#include "models/AdvancedOrderSearch.h"
#include "models/LineFigures.h"
#include "models/OrderList.h"
#include "models/OrderListHost.h"
#include "models/SalesRanking.h"
#include "models/StockList.h"
#include "platform/ListView.h"
#include "reports/ManufTop.h"
#include "reports/StockForm.h"
#include "store/Database.h"

namespace {
const QString kTarget = QStringLiteral("one pass over Order");

// A click in a window: the action, its events, and a paint of its lists.
// Each try runs `before` first, untimed; prints min and median.
void windowAction(BenchContext& ctx, const QString& name, const std::function<void()>& before,
                  const std::function<void()>& action, const std::vector<ListView*>& lists) {
  std::vector<double> ms;
  for (int i = 0; i < std::max(1, ctx.repeat); ++i) {
    if (before) before();
    QCoreApplication::processEvents();
    QElapsedTimer t;
    t.start();
    action();
    QCoreApplication::processEvents();
    for (ListView* l : lists) l->viewport()->repaint();
    ms.push_back(t.nsecsElapsed() / 1e6);
  }
  std::sort(ms.begin(), ms.end());
  const double median = ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
  std::printf("  (%s: min %.1f ms, median %.1f ms of %zu)\n", name.toUtf8().constData(), ms.front(), median, ms.size());
  ctx.report(name + QStringLiteral(" (%1 rows)").arg(lists.front()->rowCount()), ms.front(), ctx.scanMs, kTarget, 100);
}

// The main window as the products-in-orders window sees it: its filters,
// and an order list that takes what it is given.
struct QuietHost : OrderListHost {
  void showOrderList(const OrderList::OrderListResult&) override {}
  bool viewUsername() const override { return false; }
  bool unshippedOptionSelected() const override { return false; }
  void setShippingOptionsQuietly(bool, bool) override {}
  int categoryFilterIndex() const override { return 0; }
  void setCategoryFilterQuietly(int) override {}
  void CheckStockShortage() override {}
  void clearShortageList() override {}
  void bringToFront() override {}
};

// A line's quantity set to another text and back, as an order edit leaves it.
void editALine(Database& db, int line) {
  const QString qty = db.Stock.cell(line, StockCell::LineQty);
  db.Stock.setCell(line, StockCell::LineQty, QStringLiteral("7"));
  db.Stock.setCell(line, StockCell::LineQty, qty);
}
}  // namespace

KESTRIN_BENCH(StockShowByCustomerCategory) {
  StockList::Filter f;
  f.allCustomers = false;
  f.customerCategory = QStringLiteral("露天拍賣");
  f.unshipped = false;
  f.shipped = true;
  ListView list;
  list.setColumns(StockList::captions());
  size_t rows = 0;
  const double ms = ctx.bestMs([&] {
    const StockList::Listing l = StockList::StockShow(ctx.db, f);
    rows = l.rows.size();
    (void)StockList::StockTotalsText(static_cast<int>(rows), l.totals, true, true);
    list.setRowSource(l.rows.source());
  });
  std::printf("  (%zu lines listed)\n", rows);
  ctx.report(QStringLiteral("products in orders, one customer category"), ms, ctx.scanMs, kTarget, 100);
}

KESTRIN_BENCH(StockSearch) {
  StockList::SearchBoxes b;
  b.productName = QStringLiteral("茶杯");
  b.shipped = true;
  ListView list;
  list.setColumns(StockList::captions());
  size_t rows = 0;
  const double ms = ctx.bestMs([&] {
    StockList::SearchBoxes s = b;
    StockList::prepare(s);
    StockList::orderRange(s);
    const StockList::Listing l = StockList::StockSearch(ctx.db, s);
    rows = l.rows.size();
    list.setRowSource(l.rows.source());
  });
  std::printf("  (%zu lines found)\n", rows);
  ctx.report(QStringLiteral("products-in-orders search"), ms, ctx.scanMs, kTarget, 100);
}

KESTRIN_BENCH(OrdersOfSelectedLines) {
  // 10k lines spread over the whole table, as "全選" after a search leaves them.
  QStringList selected;
  const int step = std::max(1, ctx.db.Stock.count() / 10000);
  for (int line = 1; line <= ctx.db.Stock.count() && selected.size() < 10000; line += step)
    selected << ctx.db.Stock.key(line);
  size_t orders = 0;
  const double ms = ctx.bestMs([&] {
    const auto r = OrderList::listOrders(ctx.db, StockList::ordersOfLines(ctx.db, selected), true);
    orders = r.rows.size();
  });
  std::printf("  (%lld lines selected, %zu orders listed)\n", static_cast<long long>(selected.size()), orders);
  ctx.report(QStringLiteral("orders of 10k selected lines"), ms, ctx.scanMs, kTarget, 100);
  const double join = ctx.bestMs([&] { (void)StockList::ordersOfLines(ctx.db, selected); });
  ctx.report(QStringLiteral("orders of 10k selected lines, the join alone (the rest is OrderList::listOrders)"), join,
             ctx.scanMs, kTarget);
}

KESTRIN_BENCH(OrderSearch) {
  AdvancedOrderSearch::Fields f;
  f.shipped = true;
  f.account = QStringLiteral("王");  // names are searched too
  f.dateFrom = QStringLiteral("20200101");
  f.dateTo = QStringLiteral("20221231");
  size_t orders = 0;
  const double ms = ctx.bestMs([&] {
    AdvancedOrderSearch::Fields s = f;
    AdvancedOrderSearch::prepare(s);
    AdvancedOrderSearch::orderRanges(s);
    orders = OrderList::listOrders(ctx.db, AdvancedOrderSearch::find(ctx.db, s, true), true).rows.size();
  });
  std::printf("  (%zu orders found)\n", orders);
  ctx.report(QStringLiteral("order search, names, dates"), ms, ctx.scanMs, kTarget, 100);
  const double search = ctx.bestMs([&] {
    AdvancedOrderSearch::Fields s = f;
    AdvancedOrderSearch::prepare(s);
    AdvancedOrderSearch::orderRanges(s);
    (void)AdvancedOrderSearch::find(ctx.db, s, true);
  });
  ctx.report(QStringLiteral("order search, the search alone (the rest is OrderList::listOrders)"), search, ctx.scanMs,
             kTarget);
}

KESTRIN_BENCH(SalesRankingYear) {
  SalesRanking::Filter f;
  f.year = QStringLiteral("2021");
  f.period = QStringLiteral("整年");
  size_t products = 0;
  // Both lists filled as the window fills them.
  ListView productList, categoryList;
  productList.setColumns(SalesRanking::productCaptions());
  categoryList.setColumns(SalesRanking::categoryCaptions());
  auto show = [&] {
    SalesRanking::Ranking r = SalesRanking::ManufTopShow(ctx.db, f);
    productList.setRowSource(r.products.source());
    categoryList.setRows(std::move(r.categories));
    products = static_cast<size_t>(productList.rowCount());
  };
  const double ms = ctx.bestMs(show);
  std::printf("  (%zu lines of the year, %zu products ranked)\n", SalesRanking::selectLines(ctx.db, f).size(), products);
  ctx.report(QStringLiteral("sales ranking of a year"), ms, ctx.scanMs, kTarget, 100);
  f.period = QStringLiteral("全部");
  const double whole = ctx.bestMs(show);
  ctx.report(QStringLiteral("sales ranking of every line"), whole, ctx.scanMs, kTarget, 100);
}

KESTRIN_BENCH(SalesRankingWindow) {
  ManufTop top(ctx.db, ctx.prompt, nullptr);
  top.show();
  top.periodCombo->setCurrentIndex(0);  // 全部: every line
  top.categoryCombo->setCurrentIndex(0);
  QCoreApplication::processEvents();
  const std::vector<ListView*> lists{top.productList, top.categoryList};
  windowAction(ctx, QStringLiteral("sales ranking window: 開始統計, every line"), {}, [&] { top.rankButton->click(); }, lists);
  int line = 0;
  windowAction(ctx, QStringLiteral("sales ranking window: 開始統計, a line edited before"),
               [&] { editALine(ctx.db, ++line); }, [&] { top.rankButton->click(); }, lists);
  top.close();
  QCoreApplication::processEvents();
}

KESTRIN_BENCH(StockFormWindow) {
  QuietHost host;
  StockForm::MainFilters main;  // every period, every customer, 未出貨
  StockForm::open(ctx.db, ctx.prompt, host, nullptr, main, [&](StockForm& form) {
    form.show();
    QCoreApplication::processEvents();
    const std::vector<ListView*> lists{form.lineList};
    windowAction(ctx, QStringLiteral("products-in-orders window: 已出貨"), [&] { form.unshippedOption->click(); },
                 [&] { form.shippedOption->click(); }, lists);
    windowAction(ctx, QStringLiteral("products-in-orders window: 未出貨"), [&] { form.shippedOption->click(); },
                 [&] { form.unshippedOption->click(); }, lists);
    int line = 0;
    windowAction(ctx, QStringLiteral("products-in-orders window: 已出貨, a line edited before"),
                 [&] {
                   form.unshippedOption->click();
                   editALine(ctx.db, ++line);
                 },
                 [&] { form.shippedOption->click(); }, lists);
    form.close();
  });
  QCoreApplication::processEvents();
}

KESTRIN_BENCH(LineFiguresMadeAnew) {
  // What the first report after a load (or after a change too big to
  // follow row by row) pays before its own work.
  const double ms = ctx.bestMs([&] { (void)LineFigures::madeAnew(ctx.db); });
  ctx.report(QStringLiteral("line figures made anew (%1 lines)").arg(ctx.db.Stock.count()), ms, ctx.scanMs, kTarget);
}
