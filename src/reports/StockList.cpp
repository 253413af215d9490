#include "reports/StockList.h"

#include <QSet>
#include <cmath>

#include "mainwindow/OrderList.h"
#include "reports/OrderRowIndex.h"
#include "reports/SearchFields.h"
#include "store/Database.h"
#include "store/Numbers.h"
#include "store/SharedRoutines.h"

namespace StockList {

namespace {

const QString kAll = QStringLiteral("全部");

OrderList::OrderFilter stateAndPeriod(bool unshipped, bool shipped, const QString& period, const QString& year) {
  OrderList::OrderFilter f;
  f.unshipped = unshipped;
  f.shipped = shipped;
  f.period = period;
  f.year = year;
  return f;
}

}  // namespace

QStringList captions() {
  return {QStringLiteral("訂單編號"), QStringLiteral("商品名稱"), QStringLiteral("商品分類"),
          QStringLiteral("售價"),     QStringLiteral("成本"),     QStringLiteral("數量"),
          QStringLiteral("折扣"),     QStringLiteral("備註"),     QStringLiteral("網址")};
}

std::vector<int> widths() { return {100, 200, 100, 90, 65, 40, 65, 250, 250}; }

OrderDiscount orderDiscount(const Table& order, int row) {
  OrderDiscount d;
  const QString& percent = order.cell(row, OrderCell::DiscountPercent);
  if (!percent.isEmpty()) {
    d.percent = true;
    d.percentValue = Num::leading(percent);
    d.text = percent + u'%';
  }
  const QString& amount = order.cell(row, OrderCell::DiscountAmount);
  if (!amount.isEmpty()) {
    bool two = false;
    const QStringView count = SearchFields::token(amount, 1, &two);
    const double lines = two ? Num::leading(count.toString()) : 0;
    if (lines != 0) {
      d.amount = true;
      d.share = Num::leading(SearchFields::token(amount, 0).toString()) / lines;
      d.text = d.share < 0 ? u'+' + Num::format(std::fabs(d.share)) : u'-' + Num::format(d.share);
    }
  }
  return d;
}

Decimal LineNetAmount(const Table& stock, int line, const OrderDiscount& d) {
  Decimal net = Decimal::leading(stock.cell(line, StockCell::LinePrice)) *
                Decimal::leading(stock.cell(line, StockCell::LineQty));
  if (d.percent) {
    // The percent paid, rounded half away from zero line by line.
    const double amount = net.toDouble();
    const double v = amount * d.percentValue / 100 + (amount > 0 ? 0.5 : -0.5);
    net = Decimal::fromDouble(std::trunc(v));
  }
  if (d.amount) net -= Decimal::fromDouble(d.share);
  return net;
}

void Totals::addLine(const Table& stock, int line, const OrderDiscount& d) {
  const Decimal q = Decimal::leading(stock.cell(line, StockCell::LineQty));
  qty += q;
  price += LineNetAmount(stock, line, d);
  cost += Decimal::leading(stock.cell(line, StockCell::LineCost)) * q;
}

QString StockTotalsText(int rows, const Totals& t, bool viewMoney, bool showCost) {
  QString s = QStringLiteral(" 共 ") + QString::number(rows) + QStringLiteral(" 筆資料， ") + t.qty.toText() +
              QStringLiteral(" 件商品");
  if (viewMoney) {
    s += QStringLiteral("，售價總計 ") + t.price.toText();
    if (showCost)
      s += QStringLiteral(" ，成本總計 ") + t.cost.toText() + QStringLiteral(" ，結餘 ") + (t.price - t.cost).toText();
  }
  return s;
}

QStringList row(const Table& stock, int line, const OrderDiscount& d) {
  QStringList cells;
  cells.reserve(ColumnCount);
  cells << stock.key(line) << stock.cell(line, StockCell::LineName) << stock.cell(line, StockCell::LineCategory)
        << stock.cell(line, StockCell::LinePrice) << stock.cell(line, StockCell::LineCost)
        << stock.cell(line, StockCell::LineQty) << d.text << stock.cell(line, StockCell::LineNote)
        << stock.cell(line, StockCell::LineUrl);
  return cells;
}

Listing StockShow(const Database& db, const Filter& f) {
  Listing out;
  const Table& stock = db.Stock;
  const Table& order = db.Order;
  const OrderRowIndex index(order);
  const OrderList::OrderFilter test = stateAndPeriod(f.unshipped, f.shipped, f.period, f.year);
  const bool allProducts = f.productCategory == kAll;
  for (int line = 1, n = stock.count(); line <= n; ++line) {
    const int o = index.firstWhere(stock.key(line), [&](int r) {
      return f.allCustomers || order.cell(r, OrderCell::BuyerCategory) == f.customerCategory;
    });
    if (o == 0) continue;
    if (!allProducts && stock.cell(line, StockCell::LineCategory) != f.productCategory) continue;
    if (!test.passesShipping(order.cell(o, OrderCell::ShippingState))) continue;
    if (!test.passesPeriod(order.cell(o, OrderCell::OrderDate))) continue;
    const OrderDiscount d = orderDiscount(order, o);
    out.totals.addLine(stock, line, d);
    out.rows.push_back(row(stock, line, d));
  }
  return out;
}

void prepare(SearchBoxes& f) {
  QString* boxes[] = {&f.Text1, &f.Text2, &f.Text3, &f.Text4, &f.Text5, &f.Text6};
  for (QString* b : boxes) *b = SearchFields::trimBlanks(*b);
  for (QString* b : boxes) *b = FirstLine(*b);
}

QString dateMessage(const SearchBoxes& f) {
  return SearchFields::isDateBox(f.Text4) && SearchFields::isDateBox(f.Text5) ? QString() : DateMessage;
}

void orderRange(SearchBoxes& f) { SearchFields::orderRange(f.Text4, f.Text5); }

Listing StockSearch(const Database& db, const SearchBoxes& f) {
  Listing out;
  const Table& stock = db.Stock;
  const Table& order = db.Order;
  const OrderRowIndex index(order);
  const OrderList::OrderFilter test = stateAndPeriod(f.Option1, f.Option2, kAll, {});
  const bool allProducts = f.category == kAll;
  const bool anyDate = SearchFields::openRange(f.Text4, f.Text5);
  for (int line = 1, n = stock.count(); line <= n; ++line) {
    const int o = index.first(stock.key(line));
    if (o == 0) continue;
    if (!allProducts && stock.cell(line, StockCell::LineCategory) != f.category) continue;
    if (!test.passesShipping(order.cell(o, OrderCell::ShippingState))) continue;
    if (!f.Text1.isEmpty() && !stock.key(line).contains(f.Text1, Qt::CaseInsensitive)) continue;
    if (!anyDate &&
        !SearchFields::inRange(SearchFields::DateKey(order.cell(o, OrderCell::OrderDate)), f.Text4, f.Text5))
      continue;
    if (!f.Text2.isEmpty() && !stock.cell(line, StockCell::LineName).contains(f.Text2, Qt::CaseInsensitive)) continue;
    if (!f.Text3.isEmpty() && !stock.cell(line, StockCell::LineNote).contains(f.Text3, Qt::CaseInsensitive)) continue;
    if (!f.Text6.isEmpty() && !stock.cell(line, StockCell::LineUrl).contains(f.Text6, Qt::CaseInsensitive)) continue;
    const OrderDiscount d = orderDiscount(order, o);
    out.totals.addLine(stock, line, d);
    out.rows.push_back(row(stock, line, d));
  }
  return out;
}

std::vector<int> ordersOfLines(const Database& db, const QStringList& orderNos) {
  std::vector<int> out;
  if (orderNos.isEmpty()) return out;
  const OrderRowIndex index(db.Order);
  QSet<QString> listed;
  for (const QString& no : orderNos) {
    if (listed.contains(no)) continue;
    const int r = index.first(no);
    if (r == 0) continue;
    listed.insert(no);
    out.push_back(r);
  }
  return out;
}

}  // namespace StockList
