#pragma once
// The weighted-average cost of a product moved by purchases and returns.
//
// A purchase of Q at unit amount P raises stock S to S + Q and averages the
// cost C to (C × S + Q × P) ÷ (S + Q); a return lowers the stock by Q and
// takes Q × P out of the value. Each caller has its own rule for a new
// stock of 0 or below and for rounding, so each has its own function here.
// Rounded costs are rounded from the quotient as a cost cell would hold it
// (15 significant digits), so a figure shown before a booking equals the
// one the booking stores. digits: 0 when Rate is on, else 2.
#include <QString>

class Table;

namespace PurchaseCost {

struct Result {
  double stock = 0;
  double cost = 0;
  bool costKept = false;  // the cost cell stays as it is
};

// The quotient as a cell holds it: written with 15 significant digits and
// read back.
double throughText(double value);

// A new movement of the purchase dialog: S' = S + Q (purchase) or S - Q
// (return). S' > 0: the average, rounded; otherwise P itself, rounded.
Result afterMovement(double cost, double stock, double qty, double amount, bool purchase, int digits);

// A row of the purchase sheet (always a purchase): S' = S + q. S' > 0: the
// average, rounded; otherwise the row's amount, not rounded.
Result afterSheetRow(double cost, double stock, double qty, double amount, int digits);

// Takes a stored movement back out of a product (deleting a record, or the
// first step of editing one): S1 = S - q for a purchase, S + q for a return.
// S1 != 0: cost (C × S ∓ q × a) ÷ S1, not rounded; S1 = 0: the cost stays.
Result takeBack(double cost, double stock, double qty, double amount, bool purchase);

// Applies an edited movement: S2 = S ± q. S2 != 0: the average, rounded;
// S2 = 0: the cost stays.
Result applyEdited(double cost, double stock, double qty, double amount, bool purchase, int digits);

// Writes a result into a Manuf row's stock and cost cells as plain numbers
// (the cost cell untouched when the rule kept it).
void store(Table& manuf, int row, const Result& r);

}  // namespace PurchaseCost
