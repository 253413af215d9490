#include "models/OrderMoney.h"

#include <cmath>

#include "platform/Numbers.h"
#include "store/Decimal.h"
#include "store/SharedRoutines.h"
#include "store/Table.h"

namespace OrderMoney {

double percentPaid(double goods, double percent) {
  const double x = goods * percent / 100.0;
  return goods > 0 ? std::trunc(x + 0.5) : std::trunc(x - 0.5);
}

MoneyFigures compute(const OrderLines& lines, const MoneyBoxes& boxes) {
  MoneyFigures f;
  // A box counts as numeric with blanks around its number, an ideographic
  // blank too; its value is read from the number itself, so a fee typed as
  // "　60" is 60 and not 0.
  auto boxValue = [](const QString& text) { return Num::leading(text.trimmed()); };
  if (boxes.sellerPays && !Num::isNumeric(boxes.fee)) return f;
  if (boxes.percentOn && !Num::isNumeric(boxes.percent)) return f;
  if (boxes.amountOn && !Num::isNumeric(boxes.amount)) return f;

  // Sums and products of the lines are exact in decimal; only the percent
  // discount rounds, as its rule says.
  Decimal goods, cost, quantity, weight;
  f.subtotals.reserve(lines.size());
  for (const OrderLine& l : lines) {
    const Decimal price = Decimal::leading(l.price);
    const Decimal qty = Decimal::leading(l.qty);
    const Decimal sub = price * qty;
    goods += sub;
    cost += Decimal::leading(l.cost) * qty;
    quantity += qty;
    weight += Decimal::leading(l.weight) * qty;
    f.subtotals.push_back(sub.toText());
  }
  const Decimal fee = Decimal::leading(boxes.fee.trimmed());
  const Decimal sellerFee = boxes.sellerPays ? fee : Decimal();
  Decimal discount;
  if (boxes.percentOn) discount = goods - Decimal::fromDouble(percentPaid(goods.toDouble(), boxValue(boxes.percent)));
  if (boxes.amountOn) discount = Decimal::leading(boxes.amount.trimmed());
  const Decimal netGoods = goods - discount;
  const Decimal balance = netGoods - cost - sellerFee;
  f.goods = goods.toDouble();
  f.cost = cost.toDouble();
  f.quantity = quantity.toDouble();
  f.weight = weight.toDouble();
  f.sellerFee = sellerFee.toDouble();
  f.discount = discount.toDouble();
  f.netGoods = netGoods.toDouble();
  f.balance = balance.toDouble();

  for (double v : {f.goods, f.cost, f.quantity, f.weight, f.discount, f.netGoods, f.balance, f.cost + f.sellerFee}) {
    if (!std::isfinite(v)) {
      f.status = MoneyFigures::Status::Overflow;
      return f;
    }
  }

  f.netGoodsText = netGoods.toText();
  f.costText = cost.toText();
  f.quantityText = QStringLiteral("商品數量: ") + quantity.toText() + QStringLiteral("    總重量: ") + weight.toText();
  f.TotalQty = f.quantity;
  if (boxes.sellerPays) {
    f.receivable = Num::leading(f.netGoodsText);
    f.ReceivableText = f.netGoodsText;
  } else {
    const Decimal receivable = Decimal::leading(f.netGoodsText) + fee;
    f.receivable = receivable.toDouble();
    if (!std::isfinite(f.receivable)) {
      f.status = MoneyFigures::Status::Overflow;
      return f;
    }
    f.ReceivableText = receivable.toText();
  }
  f.receivableCaption = QStringLiteral("應收款項: ") + f.ReceivableText;

  QString p1 = QStringLiteral("金額小計: ") + goods.toText();
  if (boxes.percentOn || boxes.amountOn)
    p1 += QStringLiteral(" - ") + discount.toText() + QStringLiteral(" (折扣) = ") + netGoods.toText();
  f.panels[0] = p1 + u' ';
  QString p2 = QStringLiteral("成本小計: ") + cost.toText();
  if (boxes.sellerPays)
    p2 += QStringLiteral(" + ") + boxes.fee + QStringLiteral(" (運費) = ") + (cost + sellerFee).toText();
  f.panels[1] = p2 + u' ';
  f.panels[2] = QStringLiteral("訂單結餘: ") + balance.toText() + u' ';
  f.panels[3] = f.receivableCaption + u' ';
  f.status = MoneyFigures::Status::Ok;
  return f;
}

int applyProductPrices(OrderLines& lines, const std::vector<bool>& selected, const Table& Manuf) {
  int changed = 0;
  const ProductIndex products(Manuf);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i >= selected.size() || !selected[i]) continue;
    const int row = products.find(lines[i].name, lines[i].category);
    if (row == 0) continue;
    lines[i].price = Manuf.cell(row, ManufCell::ProductPrice);
    lines[i].cost = Manuf.cell(row, ManufCell::ProductCost);
    ++changed;
  }
  return changed;
}

void convertByRate(OrderLines& lines, const std::vector<bool>& selected, bool costs, double rate, int digits) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i >= selected.size() || !selected[i]) continue;
    QString& cell = costs ? lines[i].cost : lines[i].price;
    cell = Num::format(Num::roundHalfUp(Num::leading(cell) * rate, digits));
  }
}

}  // namespace OrderMoney
