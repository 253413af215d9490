// The customer window's imports and views on the loaded synthetic database.
#include <QElapsedTimer>
#include <QHash>
#include <algorithm>

#include "BenchCase.h"
#include "customers/GuestFind.h"
#include "customers/GuestHistory.h"
#include "customers/GuestOrders.h"
#include "customers/GuestRowSource.h"
#include "customers/SiteImport.h"
#include "platform/ListView.h"
#include "store/CsvFile.h"
#include "store/Database.h"

namespace {

// A 露天拍賣 buyer list of n lines: every other account is a customer the
// database already has (in one of the three sites), the rest are new.
QString rutenList(int n) {
  QString text = QStringLiteral("訂單編號,結帳時間,商品名稱,數量,單價,總金額,付款方式,運送方式,運費,買家帳號,買家暱稱,"
                                "收件人姓名,收件人電話,收件人手機,收件地址,買家備註\r\n");
  text.reserve(n * 160);
  for (int i = 1; i <= n; ++i) {
    text += QStringLiteral("2112%1,2021/12/05 10:12,手工陶瓷茶杯,1,350,410,ATM轉帳,郵局,60,buyer%2,暱稱,陳美玲,"
                           "=\"022700%3\",=\"0912%4\",\"台北市信義區松仁路%5號,5樓\",請包好\r\n")
                .arg(i, 6, 10, QChar(u'0'))
                .arg(i * 2)
                .arg(i % 10000, 4, 10, QChar(u'0'))
                .arg(i, 6, 10, QChar(u'0'))
                .arg(i % 300);
  }
  return text;
}

}  // namespace

KESTRIN_BENCH(BuyerListImport) {
  const int n = static_cast<int>(50000 * ctx.scale);
  const QString path = ctx.workDir + QStringLiteral("ruten.csv");
  Csv::writeFile(path, rutenList(n));
  double best = 1e300;
  int added = 0;
  for (int i = 0; i < std::max(1, ctx.repeat); ++i) {
    Database db;
    db.Guest = ctx.db.Guest;  // the customers only: the import touches no other table
    QElapsedTimer t;
    t.start();
    QString text;
    Csv::readFile(path, &text);
    added = SiteImport::importText(db, SiteImport::Site::Ruten, text, QStringLiteral("露天拍賣"), true).added;
    best = std::min(best, t.nsecsElapsed() / 1e6);
  }
  ctx.report(QStringLiteral("buyer list import, %1 lines (%2 new), read and decode included").arg(n).arg(added), best,
             ctx.scanMs, QStringLiteral("one pass over Order"), 500);
}

KESTRIN_BENCH(PurchaseHistory) {
  // The customer with the most orders.
  QHash<std::pair<QString, QString>, int> orders;
  QString account, category;
  int most = 0;
  for (int r = 1; r <= ctx.db.Order.count(); ++r) {
    const std::pair<QString, QString> key{ctx.db.Order.cell(r, OrderCell::BuyerAccount),
                                          ctx.db.Order.cell(r, OrderCell::BuyerCategory)};
    const int k = ++orders[key];
    if (k > most) {
      most = k;
      account = key.first;
      category = key.second;
    }
  }
  size_t rows = 0;
  const double ms = ctx.bestMs([&] { rows = GuestHistory::build(ctx.db, account, category).rows.size(); });
  ctx.report(QStringLiteral("purchase history, %1 orders, %2 lines").arg(most).arg(rows), ms, ctx.scanMs,
             QStringLiteral("one pass over Order"), 100);
  const double search = ctx.bestMs([&] { (void)GuestHistory::build(ctx.db, account, category, QStringLiteral("陶瓷")); });
  ctx.report(QStringLiteral("purchase history search"), search, ctx.scanMs, QStringLiteral("one pass over Order"), 100);
}

namespace {
// The customer window's list, filled as the window fills it.
ListView& customerList() {
  static ListView* list = [] {
    auto* l = new ListView;
    l->setColumns({"客戶帳號", "分類", "姓名", "電話", "手機", "Email", "住址", "帳號末5碼", "備註", "Index"});
    l->setIndexColumn(GuestList::Index);
    return l;
  }();
  return *list;
}
size_t show(const Table& guest, std::vector<int> rows) {
  ListView& list = customerList();
  list.setRowSource(GuestList::rowSource(guest, std::move(rows), GuestList::allShown()));
  return static_cast<size_t>(list.rowCount());
}
}  // namespace

KESTRIN_BENCH(AdvancedCustomerSearch) {
  GuestFind::Conditions c;
  c.text[1] = QStringLiteral("王");     // 姓名
  c.text[2] = QStringLiteral("02-2");  // 電話
  size_t rows = 0;
  const double ms = ctx.bestMs([&] { rows = show(ctx.db.Guest, GuestFind::fieldSearch(ctx.db.Guest, c)); });
  ctx.report(QStringLiteral("advanced search by fields, %1 customers, %2 found").arg(ctx.db.Guest.count()).arg(rows), ms,
             ctx.scanMs, QStringLiteral("one pass over Order"), 100);
  const double product =
      ctx.bestMs([&] { rows = show(ctx.db.Guest, GuestFind::productSearch(ctx.db, QStringLiteral("陶瓷茶杯"))); });
  ctx.report(QStringLiteral("advanced search by product name, %1 found").arg(rows), product, ctx.scanMs,
             QStringLiteral("one pass over Order"), 100);
}

KESTRIN_BENCH(CustomersWithoutOrders) {
  size_t rows = 0;
  const double ms = ctx.bestMs([&] { rows = show(ctx.db.Guest, GuestOrders::withoutOrders(ctx.db)); });
  ctx.report(QStringLiteral("customers without orders, %1 found").arg(rows), ms, ctx.scanMs,
             QStringLiteral("one pass over Order"), 100);
}
