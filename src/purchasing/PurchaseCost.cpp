#include "purchasing/PurchaseCost.h"

#include "platform/Numbers.h"
#include "store/SharedRoutines.h"
#include "store/Table.h"

namespace PurchaseCost {

double throughText(double value) { return Num::leading(Num::format(value)); }

Result afterMovement(double cost, double stock, double qty, double amount, bool purchase, int digits) {
  Result r;
  r.stock = purchase ? stock + qty : stock - qty;
  if (r.stock > 0) {
    const double value = purchase ? cost * stock + qty * amount : cost * stock - qty * amount;
    r.cost = RoundHalfUp(throughText(value / r.stock), digits);
  } else {
    r.cost = RoundHalfUp(amount, digits);
  }
  return r;
}

Result afterSheetRow(double cost, double stock, double qty, double amount, int digits) {
  Result r;
  r.stock = stock + qty;
  if (r.stock > 0)
    r.cost = RoundHalfUp(throughText((cost * stock + qty * amount) / r.stock), digits);
  else
    r.cost = amount;
  return r;
}

Result takeBack(double cost, double stock, double qty, double amount, bool purchase) {
  Result r;
  const double value = purchase ? cost * stock - qty * amount : cost * stock + qty * amount;
  r.stock = purchase ? stock - qty : stock + qty;
  r.costKept = r.stock == 0;
  r.cost = r.costKept ? cost : throughText(value / r.stock);
  return r;
}

Result applyEdited(double cost, double stock, double qty, double amount, bool purchase, int digits) {
  Result r;
  const double value = purchase ? cost * stock + qty * amount : cost * stock - qty * amount;
  r.stock = purchase ? stock + qty : stock - qty;
  r.costKept = r.stock == 0;
  r.cost = r.costKept ? cost : RoundHalfUp(throughText(value / r.stock), digits);
  return r;
}

void store(Table& manuf, int row, const Result& r) {
  if (!r.costKept) manuf.setCell(row, ManufCell::ProductCost, Num::format(r.cost));
  manuf.setCell(row, ManufCell::ProductStock, Num::format(r.stock));
}

}  // namespace PurchaseCost
