#pragma once
// A small database for the customer views: customers on two sites, their
// orders (one of them for a customer that no longer exists) and order lines
// that do not lie in order-number order in Stock.
#include <QString>
#include <QStringList>

#include "store/Database.h"

struct CustomerViewsFixture {
  Database db;

  CustomerViewsFixture() {
    guest({"amy", "露天", QString("王小美") + QChar(1) + "女", "02-1", "0911", "amy@x.tw", "台北市", "11111", "VIP"});
    guest({"amy", "蝦皮", "Amy Lin", "", "0922", "amy@x.tw", "台中市", "", ""});
    guest({"Bob", "露天", "", "", "", "", "", "", ""});
    guest({"cal", "未分類", QString("陳") + QChar(1) + "男", "", "", "", "", "", ""});
    guest({"dan", "露天", "丁", "", "", "dan@x.tw", "", "", ""});
    //     no    date          account category fee recv pay ship note cost seller percent amount
    order({"A1", "2021/01/05", "amy", "露天", "60", "250", "未匯款", "未出貨", "", "120", "0", "95", ""});
    order({"A2", "2021/02/01", "amy", "蝦皮", "60", "560", "2021/02/02", "已出貨", "", "300", "0", "", ""});
    order({"A3", "2021/03/01", "amy", "露天", "0", "300", "2021/03/02 已給", "寄郵局 2021/03/03", "", "200", "1", "", "-30"});
    order({"A4", "2021/03/09", "bob", "露天", "60", "100", "未匯款", "未出貨", "", "50", "0", "", ""});    // no such customer
    order({"A5", "2021/04/01", "dan", "露天", "60", "160", "未匯款", "未出貨", "", "80", "0", "5", ""});
    // Lines of A1 lie apart, with lines of other orders between them.
    line({"A1", "手工茶杯", "陶瓷", "100", "60", "2", "", "http://shop.example.com/cup"});
    line({"A2", "XAB-1 髮夾", "飾品", "500", "300", "1", "", ""});
    line({"A3", "木製餐具", "木器", "150", "100", "2", "*已包", "javascript:alert(1)"});
    line({"A1", "玻璃收納盒", "玻璃", "25.5", "10.25", "1", "", "www.example.com/box"});
    line({"A4", "xab-2", "飾品", "100", "50", "1", "", ""});
    line({"A5", "", "其他", "100", "80", "1", "", ""});
  }

  void guest(const QStringList& cells) { put(db.Guest, cells); }
  void order(const QStringList& cells) { put(db.Order, cells); }
  void line(const QStringList& cells) { put(db.Stock, cells); }
  static void put(Table& t, const QStringList& cells) {
    const int r = t.append(cells.value(0));
    for (int c = 1; c < cells.size(); ++c) t.setCell(r, c, cells[c]);
  }
};
