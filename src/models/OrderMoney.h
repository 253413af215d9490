#pragma once
// The order editor's totals (MoneyShow) and its price tools, without any
// window: the editor hands over its lines and money boxes and writes back
// the texts computed here.
#include <QString>
#include <array>
#include <vector>

#include "models/OrderLine.h"

class Table;

// The money boxes of the editor as typed.
struct MoneyBoxes {
  QString fee;              // 運費
  bool sellerPays = false;  // 賣方負擔
  bool percentOn = false;   // 折扣(%)
  QString percent;          // the percent of the goods the buyer pays
  bool amountOn = false;    // 折扣(整數)
  QString amount;           // the amount taken off (negative = surcharge)
};

struct MoneyFigures {
  enum class Status {
    Ok,
    Skipped,   // a ticked box holds no number: nothing is to be written
    Overflow,  // a figure is beyond double precision: "發生錯誤!"
  };
  Status status = Status::Skipped;

  double goods = 0, cost = 0, quantity = 0, weight = 0;
  double sellerFee = 0, discount = 0, netGoods = 0, receivable = 0, balance = 0;

  std::vector<QString> subtotals;  // 小計 of each line: price × quantity
  QString netGoodsText;
  QString costText;
  QString quantityText;            // "商品數量: q    總重量: w"
  QString receivableCaption;       // "應收款項: r"
  std::array<QString, 4> panels;   // status-bar panels 1..4
  double TotalQty = 0;             // for the one-order mailing label
  QString ReceivableText;          // the receivable as written in receivableCaption

  bool ok() const { return status == Status::Ok; }
};

namespace OrderMoney {

// The amount the buyer pays for the goods at a percent: goods × percent ÷ 100
// rounded half away from zero to a whole number (the sign taken from goods).
double percentPaid(double goods, double percent);

// MoneyShow's arithmetic over the lines and the boxes.
MoneyFigures compute(const OrderLines& lines, const MoneyBoxes& boxes);

// "套用商品列表中的售價及成本": each selected line takes price and cost, as
// stored, from the first product of its name and category. Returns the
// number of lines changed.
int applyProductPrices(OrderLines& lines, const std::vector<bool>& selected, const Table& Manuf);

// "售價匯率轉換" (costs = false) and "成本匯率轉換" (costs = true): each selected
// line's cell becomes RoundHalfUp(cell × rate, digits).
void convertByRate(OrderLines& lines, const std::vector<bool>& selected, bool costs, double rate, int digits);

}  // namespace OrderMoney
