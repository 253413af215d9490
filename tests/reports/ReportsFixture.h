#pragma once
// A small database for the report tests and a stand-in for the main
// window's order list.
#include <QHash>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "models/OrderList.h"
#include "models/OrderListHost.h"
#include "models/SalesRanking.h"
#include "models/StockList.h"
#include "platform/Numbers.h"
#include "store/Database.h"
#include "store/Decimal.h"

inline int addOrder(Database& db, const QStringList& cells) {
  const int r = db.Order.append(cells.value(0));
  for (int c = 1; c < cells.size(); ++c) db.Order.setCell(r, c, cells[c]);
  return r;
}

inline int addLine(Database& db, const QStringList& cells) {
  const int r = db.Stock.append(cells.value(0));
  for (int c = 1; c < cells.size(); ++c) db.Stock.setCell(r, c, cells[c]);
  return r;
}

// Orders out of number order, with one number twice (rows 2 and 4):
//   1 2402000003 2024/02/10 露天拍賣 shipped by post
//   2 2401000001 2024/01/05 蝦皮拍賣 unshipped, 95%
//   3 2402000002 2024/02/01 露天拍賣 unshipped, 100 over 3 lines
//   4 2401000001 2024/01/06 露天拍賣 已出貨
//   5 2405000009 2024/05/31 Yahoo拍賣 "寄宅配 未出貨", a surcharge of 30 over 2 lines
// Lines (not grouped by order), one of an order that is gone:
//   L1 2402000002 A 飾品 100 x1 (cost 60)    L6 2402000002 E 飾品 0 x5 (cost 1)
//   L2 2401000001 B 文具 10 x2 (cost 4)      L7 2405000009 F 文具 20 x1 (cost 10)
//   L3 2402000003 C 飾品 50 x1 (cost 30)     L8 2405000009 G 文具 40 x1 (cost 25)
//   L4 2402000002 D 文具 333 x1 (cost 200)   L9 2401000001 H 飾品 333 x1 (cost 100)
//   L5 2499999999 X 飾品 9 x1 (no order)
inline void fillOrders(Database& db) {
  db.settings.CustomerCategories = {QStringLiteral("露天拍賣"), QStringLiteral("蝦皮拍賣"), QStringLiteral("Yahoo拍賣")};
  db.settings.ProductCategories = {QStringLiteral("飾品"), QStringLiteral("文具")};
  // no, date, account, category, fee, receivable, payment, shipping, note, cost, seller pays, percent, amount
  addOrder(db, {"2402000003", "2024/02/10", "amy", "露天拍賣", "60", "110", "2024/02/11 已給", "寄郵局 2024/02/12", "", "30", "0", "", ""});
  addOrder(db, {"2401000001", "2024/01/05", "bob", "蝦皮拍賣", "0", "335", "未匯款", "未出貨", "", "108", "1", "95", ""});
  addOrder(db, {"2402000002", "2024/02/01", "amy", "露天拍賣", "80", "413", "未匯款 已給", "未出貨", "快", "265", "0", "", "100 3"});
  addOrder(db, {"2401000001", "2024/01/06", "cat", "露天拍賣", "60", "100", "已匯款", "已出貨", "", "50", "1", "", ""});
  addOrder(db, {"2405000009", "2024/05/31", "dan", "Yahoo拍賣", "0", "90", "2024/06/01", "寄宅配 未出貨", "", "35", "0", "", "-30 2"});
  // order no, name, category, price, cost, qty, note, url
  addLine(db, {"2402000002", "A", "飾品", "100", "60", "1", "", "http://shop.example/a"});
  addLine(db, {"2401000001", "B", "文具", "10", "4", "2", "藍色", ""});
  addLine(db, {"2402000003", "C", "飾品", "50", "30", "1", "", ""});
  addLine(db, {"2402000002", "D", "文具", "333", "200", "1", "", "mailto:x@example.com"});
  addLine(db, {"2499999999", "X", "飾品", "9", "5", "1", "", ""});
  addLine(db, {"2402000002", "E", "飾品", "0", "1", "5", "", ""});
  addLine(db, {"2405000009", "F", "文具", "20", "10", "1", "", ""});
  addLine(db, {"2405000009", "G", "文具", "40", "25", "1", "", ""});
  addLine(db, {"2401000001", "H", "飾品", "333", "100", "1", "", ""});
  db.Guest.append("amy");
  db.Guest.setCell(1, 1, QStringLiteral("露天拍賣"));
  db.Guest.setCell(1, 2, QStringLiteral("王小美") + QChar(1) + QStringLiteral("女"));
}

// The main window's order list as a recorder.
struct FakeHost : OrderListHost {
  std::vector<QStringList> rows;
  QStringList panels;
  int shows = 0;
  bool username = false;
  bool unshipped = true;
  bool shipped = false;
  int category = 0;
  int shortageRuns = 0;
  int shortageClears = 0;

  QStringList keys() const {
    QStringList out;
    for (const QStringList& r : rows) out << r.value(0);
    return out;
  }
  void showOrderList(const OrderList::OrderListResult& r) override {
    rows.clear();
    for (size_t i = 0; i < r.rows.size(); ++i) rows.push_back(r.rows[i]);
    panels = r.panels;
    ++shows;
  }
  bool viewUsername() const override { return username; }
  bool unshippedOptionSelected() const override { return unshipped; }
  void setShippingOptionsQuietly(bool u, bool s) override {
    unshipped = u && !s;
    shipped = s;
  }
  int categoryFilterIndex() const override { return category; }
  void setCategoryFilterQuietly(int index) override { category = index; }
  void CheckStockShortage() override { ++shortageRuns; }
  void clearShortageList() override { ++shortageClears; }
  void bringToFront() override {}
};

// The reports worked out plainly, line by line from the cells, each line
// joined to the first Order row of its number (that passes the customer
// category, for the products-in-orders list): what the kept figures must
// give.
struct PlainRanking {
  std::vector<QStringList> products;
  std::vector<QStringList> categories;
};
inline PlainRanking plainRanking(const Database& db, const SalesRanking::Filter& filter) {
  const Table& stock = db.Stock;
  const Table& order = db.Order;
  QHash<QString, int> first;
  for (int r = order.count(); r >= 1; --r) first.insert(order.key(r), r);
  OrderList::OrderFilter period;
  period.period = filter.period;
  period.year = filter.year;
  // The merge in one pass, every sum kept as a text cell keeps it.
  struct Row {
    int line;
    Decimal qty, sales, cost;
  };
  std::vector<Row> rows;
  QHash<std::pair<QString, QString>, size_t> taking;
  for (int line = 1; line <= stock.count(); ++line) {
    const int o = first.value(stock.key(line), 0);
    if (!o || !period.passesPeriod(order.cell(o, OrderCell::OrderDate))) continue;
    if (filter.category != "全部" && stock.cell(line, StockCell::LineCategory) != filter.category) continue;
    const Decimal qty = Decimal::leading(stock.cell(line, StockCell::LineQty)).roundedToText();
    const Decimal sales = (Decimal::leading(stock.cell(line, StockCell::LinePrice)) * qty).roundedToText();
    const Decimal cost = (Decimal::leading(stock.cell(line, StockCell::LineCost)) * qty).roundedToText();
    const std::pair<QString, QString> product(stock.cell(line, StockCell::LineName), stock.cell(line, StockCell::LineCategory));
    if (taking.contains(product)) {
      Row& r = rows[taking.value(product)];
      r.qty = (r.qty + qty).roundedToText();
      r.sales = (r.sales + sales).roundedToText();
      r.cost = (r.cost + cost).roundedToText();
      continue;
    }
    if (!qty.isZero() && !qty.isNegative()) taking.insert(product, rows.size());
    rows.push_back({line, qty, sales, cost});
  }
  // Sorted by the ranking keys as texts, highest first.
  const auto byKey = [](const auto& a, const auto& b) { return QString::compare(a.first, b.first) > 0; };
  std::vector<std::pair<QString, size_t>> keyed;
  for (size_t i = 0; i < rows.size(); ++i)
    if (!rows[i].qty.isZero()) keyed.emplace_back(SalesRanking::rankingKey(rows[i].qty.toDouble()), i);
  std::stable_sort(keyed.begin(), keyed.end(), byKey);
  PlainRanking out;
  std::vector<std::pair<QString, long long>> categories;
  for (const auto& [key, i] : keyed) {
    const Row& r = rows[i];
    const long long whole = static_cast<long long>(Num::roundHalfAwayFromZero(r.qty.toDouble()));
    const QString& category = stock.cell(r.line, StockCell::LineCategory);
    out.products.push_back({stock.cell(r.line, StockCell::LineName), category, QString::number(whole),
                            r.sales.toText(), r.cost.toText()});
    const auto c = std::find_if(categories.begin(), categories.end(), [&](const auto& e) { return e.first == category; });
    if (c == categories.end()) categories.emplace_back(category, whole);
    else c->second += whole;
  }
  if (out.products.empty()) return out;
  std::vector<std::pair<QString, size_t>> ranked;
  for (size_t i = 0; i < categories.size(); ++i)
    ranked.emplace_back(SalesRanking::rankingKey(static_cast<double>(categories[i].second)), i);
  std::stable_sort(ranked.begin(), ranked.end(), byKey);
  long long total = 0;
  for (const auto& [key, i] : ranked) total += categories[i].second;
  for (const auto& [key, i] : ranked)
    out.categories.push_back({categories[i].first, QString::number(categories[i].second),
                              total > 0 ? SalesRanking::shareText(categories[i].second, total) : QString()});
  out.categories.push_back({SalesRanking::TotalText, QString::number(total), QString()});
  return out;
}

struct PlainListing {
  std::vector<QStringList> rows;
  StockList::Totals totals;
};
// keep: a further test of the line (the search's boxes).
inline PlainListing plainStockShow(const Database& db, const StockList::Filter& f,
                                   const std::function<bool(int line)>& keep = {}) {
  const Table& stock = db.Stock;
  const Table& order = db.Order;
  QHash<QString, std::vector<int>> rowsOf;
  for (int r = 1; r <= order.count(); ++r) rowsOf[order.key(r)].push_back(r);
  OrderList::OrderFilter test;
  test.unshipped = f.unshipped;
  test.shipped = f.shipped;
  test.period = f.period;
  test.year = f.year;
  QHash<QString, int> seen;  // lines of each number so far
  PlainListing out;
  for (int line = 1; line <= stock.count(); ++line) {
    const int place = ++seen[stock.key(line)];
    int o = 0;
    for (const int r : rowsOf.value(stock.key(line)))
      if (f.allCustomers || order.cell(r, OrderCell::BuyerCategory) == f.customerCategory) {
        o = r;
        break;
      }
    if (!o || !test.passesShipping(order.cell(o, OrderCell::ShippingState)) ||
        !test.passesPeriod(order.cell(o, OrderCell::OrderDate)))
      continue;
    if (f.productCategory != "全部" && stock.cell(line, StockCell::LineCategory) != f.productCategory) continue;
    if (keep && !keep(line)) continue;
    const StockList::OrderDiscount d = StockList::orderDiscount(order, o);
    out.totals.addLine(stock, line, d, place);
    out.rows.push_back(StockList::row(stock, line, d));
  }
  return out;
}
