#include "reports/StockList.h"

#include <QSet>
#include <algorithm>
#include <cmath>
#include <mutex>

#include "mainwindow/OrderList.h"
#include "reports/OrderRowIndex.h"
#include "reports/SearchFields.h"
#include "store/Database.h"
#include "store/Numbers.h"
#include "store/Parallel.h"
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

// A listed line and its order.
struct Hit {
  int line;
  int order;
};

// The totals and the rows, in slices on several threads; the slices'
// totals are added up in list order.
Listing listingOf(const Database& db, const std::vector<Hit>& hits) {
  Listing out;
  out.rows.resize(hits.size());
  std::mutex m;
  std::vector<std::pair<size_t, Totals>> parts;
  forEachSlice(hits.size(), 8000, [&](size_t from, size_t to) {
    Totals part;
    for (size_t k = from; k < to; ++k) {
      const OrderDiscount d = orderDiscount(db.Order, hits[k].order);
      part.addLine(db.Stock, hits[k].line, d);
      out.rows[k] = row(db.Stock, hits[k].line, d);
    }
    const std::lock_guard<std::mutex> lock(m);
    parts.emplace_back(from, part);
  });
  std::sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [from, part] : parts) {
    out.totals.qty += part.qty;
    out.totals.price += part.price;
    out.totals.cost += part.cost;
  }
  return out;
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
  const Table& stock = db.Stock;
  const Table& order = db.Order;
  const OrderRowIndex index(order);
  const OrderList::OrderFilter test = stateAndPeriod(f.unshipped, f.shipped, f.period, f.year);
  // The order's tests, once per order: its customer category decides which
  // row of a number a line joins; its state and date whether it is listed.
  const std::vector<char> customerOk = markRows(order.count(), [&](int r) {
    return f.allCustomers || order.cell(r, OrderCell::BuyerCategory) == f.customerCategory;
  });
  const std::vector<char> orderOk = markRows(order.count(), [&](int r) {
    return test.passesShipping(order.cell(r, OrderCell::ShippingState)) &&
           test.passesPeriod(order.cell(r, OrderCell::OrderDate));
  });
  const bool allProducts = f.productCategory == kAll;
  const auto hits = collectInSlices<Hit>(stock.count(), [&](int line, OrderRowIndex::Hint& hint, std::vector<Hit>& out) {
    const int o = index.firstWhere(stock.key(line), hint, [&](int r) { return customerOk[static_cast<size_t>(r)] != 0; });
    if (o == 0 || !orderOk[static_cast<size_t>(o)]) return;
    if (!allProducts && stock.cell(line, StockCell::LineCategory) != f.productCategory) return;
    out.push_back({line, o});
  });
  return listingOf(db, hits);
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
  const Table& stock = db.Stock;
  const Table& order = db.Order;
  const OrderRowIndex index(order);
  const OrderList::OrderFilter test = stateAndPeriod(f.Option1, f.Option2, kAll, {});
  const bool anyDate = SearchFields::openRange(f.Text4, f.Text5);
  const std::vector<char> orderOk = markRows(order.count(), [&](int r) {
    if (!test.passesShipping(order.cell(r, OrderCell::ShippingState))) return false;
    SearchFields::DateKeyBuffer key;
    return anyDate ||
           SearchFields::inRange(SearchFields::DateKey(order.cell(r, OrderCell::OrderDate), key), f.Text4, f.Text5);
  });
  const bool allProducts = f.category == kAll;
  auto contains = [](const QString& cell, const QString& part) {
    return part.isEmpty() || cell.contains(part, Qt::CaseInsensitive);
  };
  const auto hits = collectInSlices<Hit>(stock.count(), [&](int line, OrderRowIndex::Hint& hint, std::vector<Hit>& out) {
    const int o = index.first(stock.key(line), hint);
    if (o == 0 || !orderOk[static_cast<size_t>(o)]) return;
    if (!allProducts && stock.cell(line, StockCell::LineCategory) != f.category) return;
    if (!contains(stock.key(line), f.Text1)) return;
    if (!contains(stock.cell(line, StockCell::LineName), f.Text2)) return;
    if (!contains(stock.cell(line, StockCell::LineNote), f.Text3)) return;
    if (!contains(stock.cell(line, StockCell::LineUrl), f.Text6)) return;
    out.push_back({line, o});
  });
  return listingOf(db, hits);
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
