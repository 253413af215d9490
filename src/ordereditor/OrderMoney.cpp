#include "ordereditor/OrderMoney.h"

#include <cmath>

#include "store/SharedRoutines.h"
#include "store/Numbers.h"
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

  f.subtotals.reserve(lines.size());
  for (const OrderLine& l : lines) {
    const double price = Num::leading(l.price);
    const double cost = Num::leading(l.cost);
    const double qty = Num::leading(l.qty);
    const double weight = Num::leading(l.weight);
    f.goods += price * qty;
    f.cost += cost * qty;
    f.quantity += qty;
    f.weight += weight * qty;
    f.subtotals.push_back(Num::format(price * qty));
  }
  const double fee = boxValue(boxes.fee);
  f.sellerFee = boxes.sellerPays ? fee : 0.0;
  if (boxes.percentOn) f.discount = f.goods - percentPaid(f.goods, boxValue(boxes.percent));
  if (boxes.amountOn) f.discount = boxValue(boxes.amount);
  f.netGoods = f.goods - f.discount;
  f.balance = f.netGoods - f.cost - f.sellerFee;

  for (double v : {f.goods, f.cost, f.quantity, f.weight, f.discount, f.netGoods, f.balance, f.cost + f.sellerFee}) {
    if (!std::isfinite(v)) {
      f.status = MoneyFigures::Status::Overflow;
      return f;
    }
  }

  f.Text11 = Num::format(f.netGoods);
  f.Text12 = Num::format(f.cost);
  f.Label9 = QStringLiteral("商品數量: ") + Num::format(f.quantity) + QStringLiteral("    總重量: ") +
             Num::format(f.weight);
  f.TotalQty = f.quantity;
  if (boxes.sellerPays) {
    f.receivable = Num::leading(f.Text11);
    f.ReceivableText = f.Text11;
  } else {
    f.receivable = Num::leading(f.Text11) + fee;
    if (!std::isfinite(f.receivable)) {
      f.status = MoneyFigures::Status::Overflow;
      return f;
    }
    f.ReceivableText = Num::format(f.receivable);
  }
  f.Label6 = QStringLiteral("應收款項: ") + f.ReceivableText;

  QString p1 = QStringLiteral("金額小計: ") + Num::format(f.goods);
  if (boxes.percentOn || boxes.amountOn)
    p1 += QStringLiteral(" - ") + Num::format(f.discount) + QStringLiteral(" (折扣) = ") + Num::format(f.netGoods);
  f.panels[0] = p1 + u' ';
  QString p2 = QStringLiteral("成本小計: ") + Num::format(f.cost);
  if (boxes.sellerPays)
    p2 += QStringLiteral(" + ") + boxes.fee + QStringLiteral(" (運費) = ") + Num::format(f.cost + f.sellerFee);
  f.panels[1] = p2 + u' ';
  f.panels[2] = QStringLiteral("訂單結餘: ") + Num::format(f.balance) + u' ';
  f.panels[3] = f.Label6 + u' ';
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
