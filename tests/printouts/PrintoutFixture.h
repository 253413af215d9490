#pragma once
// A small database for the printout tests: two orders of a known customer
// and of one who is not in Guest, their lines (one of them stored away from
// its order's other line) and a picture.
#include <QStringList>
#include <vector>

#include "models/OrderList.h"
#include "store/Database.h"

struct PrintoutFixture {
  Database db;

  int addOrder(const QStringList& cells) {
    const int r = db.Order.append(cells.value(0));
    for (int c = 1; c <= OrderCell::Count; ++c) db.Order.setCell(r, c, cells.value(c));
    return r;
  }
  int addLine(const QStringList& cells) {
    const int r = db.Stock.append(cells.value(0));
    for (int c = 1; c <= StockCell::Count; ++c) db.Stock.setCell(r, c, cells.value(c));
    return r;
  }
  int addGuest(const QStringList& cells) {
    const int r = db.Guest.append(cells.value(0));
    for (int c = 1; c <= GuestCell::Count; ++c) db.Guest.setCell(r, c, cells.value(c));
    return r;
  }
  void addImage(const QString& name, const QString& category, const QString& path) {
    const int r = db.Images.append(name);
    db.Images.setCell(r, ImagesCell::ImageCategory, category);
    db.Images.setCell(r, ImagesCell::ImagePath, path);
  }
  // Rows of the main order list for these Order rows, as the list shows them.
  std::vector<QStringList> listRows(const std::vector<int>& orderRows) const {
    std::vector<QStringList> rows;
    for (int r : orderRows) rows.push_back(OrderList::orderListRow(db.Order, r));
    return rows;
  }

  // Order 1 (row 1): amy of 露天拍賣, 2 x Tea at 500 and 1 x Cup at 200, 95 %
  // paid, a fee of 60 the buyer pays. Order 2 (row 2): bob, not in Guest,
  // 3 x Cup at 19.9, 50 off, the seller pays the fee of 80, a two-line note.
  PrintoutFixture() {
    db.DataBasePath = QStringLiteral("/data/shop/");
    addOrder({QStringLiteral("2403000001"), QStringLiteral("2024/03/01"), QStringLiteral("amy"),
              QStringLiteral("露天拍賣"), QStringLiteral("60"), QStringLiteral("1200"), QStringLiteral("2024/03/02"),
              QStringLiteral("寄郵局 2024/03/05"), QString(), QStringLiteral("700"), QStringLiteral("0"),
              QStringLiteral("95"), QString()});
    addOrder({QStringLiteral("2403000002"), QStringLiteral("2024/03/03"), QStringLiteral("bob"),
              QStringLiteral("蝦皮拍賣"), QStringLiteral("80"), QStringLiteral("9.7"), QStringLiteral("未匯款"),
              QStringLiteral("未出貨"), QStringLiteral("第一行\r\n第二行"), QStringLiteral("30"),
              QStringLiteral("1"), QString(), QStringLiteral("50 1")});
    addLine({QStringLiteral("2403000001"), QStringLiteral("Tea"), QStringLiteral("茶葉"), QStringLiteral("500"),
             QStringLiteral("300"), QStringLiteral("2"), QStringLiteral("*2024/03/01 gift"),
             QStringLiteral("http://x.tw/?a=1&b=2"), QStringLiteral("0.5")});
    addLine({QStringLiteral("2403000002"), QStringLiteral("Cup"), QStringLiteral("杯子"), QStringLiteral("19.9"),
             QStringLiteral("10"), QStringLiteral("3"), QString(), QString(), QStringLiteral("0.2")});
    addLine({QStringLiteral("2403000001"), QStringLiteral("Cup"), QStringLiteral("杯子"), QStringLiteral("200"),
             QStringLiteral("100"), QStringLiteral("1"), QString(), QString(), QStringLiteral("0.2")});
    addGuest({QStringLiteral("amy"), QStringLiteral("Yahoo拍賣"), QStringLiteral("別人"), QStringLiteral("1"),
              QString(), QString(), QString(), QString(), QString()});
    addGuest({QStringLiteral("amy"), QStringLiteral("露天拍賣"), QStringLiteral("王小美\x01女"),
              QStringLiteral("02-1234"), QStringLiteral(" 0912345678 "), QStringLiteral("amy@x.tw"),
              QStringLiteral("台北市<script>&"), QStringLiteral("12345"), QStringLiteral("常客")});
    addImage(QStringLiteral("Tea"), QStringLiteral("茶葉"), QStringLiteral("<DataBasePath>pics\\tea leaf's.jpg"));
  }
};
