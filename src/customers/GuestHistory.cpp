#include "customers/GuestHistory.h"

#include <QHash>

#include "customers/GuestFind.h"
#include "platform/Shell.h"
#include "store/Database.h"

namespace GuestHistory {

QStringList captions() {
  return {QStringLiteral("日期"), QStringLiteral("商品名稱"), QStringLiteral("商品分類"), QStringLiteral("售價"),
          QStringLiteral("成本"), QStringLiteral("數量"),     QStringLiteral("備註"),     QStringLiteral("網址")};
}

QString Result::status() const {
  return QStringLiteral(" 共 ") + QString::number(rows.size()) + QStringLiteral(" 筆資料，售價總計 ") +
         priceTotal.toText() + QStringLiteral("元 ，成本總計 ") + costTotal.toText() + QStringLiteral(" 元，結餘 ") +
         (priceTotal - costTotal).toText() + QStringLiteral(" 元，數量總計 ") + qtyTotal.toText();
}

QString priceCell(const QString& linePrice, const QString& discountPercent) {
  if (discountPercent.isEmpty()) return linePrice;
  const Decimal share = Decimal::leading(discountPercent) * Decimal::leading(u"0.01");
  return linePrice + QStringLiteral(" x ") + share.toText();
}

QUrl webAddress(const QString& cell) {
  const QUrl url = Shell::urlFor(cell);
  if (!url.isValid()) return {};
  const QString scheme = url.scheme().toLower();
  if (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("ftp"))
    return {};
  return url;
}

Result build(const Database& db, const QString& account, const QString& category, const QString& search) {
  Result res;
  const Table& order = db.Order;
  const Table& stock = db.Stock;

  // The customer's orders, each order number once, in Order row order.
  std::vector<int> orders;
  QHash<QString, int> slotOf;  // OrderNo -> its place in `orders`
  const int nOrders = order.count();
  for (int r = 1; r <= nOrders; ++r) {
    if (order.cell(r, OrderCell::BuyerAccount) != account || order.cell(r, OrderCell::BuyerCategory) != category)
      continue;
    if (slotOf.contains(order.key(r))) continue;
    slotOf.insert(order.key(r), static_cast<int>(orders.size()));
    orders.push_back(r);
  }
  if (orders.empty()) return res;

  // Their lines, in one pass over Stock.
  std::vector<std::vector<int>> lines(orders.size());
  const GuestFind::Holds holdsSearch(search);
  const int nLines = stock.count();
  for (int s = 1; s <= nLines; ++s) {
    const auto it = slotOf.constFind(stock.key(s));
    if (it == slotOf.constEnd()) continue;
    if (!search.isEmpty() && !holdsSearch(stock.cell(s, StockCell::LineName))) continue;
    lines[static_cast<size_t>(*it)].push_back(s);
  }

  for (size_t i = 0; i < orders.size(); ++i) {
    const int o = orders[i];
    const QString& date = order.cell(o, OrderCell::OrderDate);
    const QString& percent = order.cell(o, OrderCell::DiscountPercent);
    for (int s : lines[i]) {
      const QString& price = stock.cell(s, StockCell::LinePrice);
      const QString& cost = stock.cell(s, StockCell::LineCost);
      const QString& qty = stock.cell(s, StockCell::LineQty);
      res.rows.push_back({date, stock.cell(s, StockCell::LineName), stock.cell(s, StockCell::LineCategory),
                          priceCell(price, percent), cost, qty, stock.cell(s, StockCell::LineNote),
                          stock.cell(s, StockCell::LineUrl)});
      const Decimal q = Decimal::leading(qty);
      res.priceTotal += q * Decimal::leading(price);
      res.costTotal += q * Decimal::leading(cost);
      res.qtyTotal += q;
    }
  }
  return res;
}

}  // namespace GuestHistory
