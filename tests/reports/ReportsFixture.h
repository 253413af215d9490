#pragma once
// A small database for the report tests and a stand-in for the main
// window's order list.
#include <QStringList>
#include <vector>

#include "mainwindow/OrderListHost.h"
#include "store/Database.h"

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
