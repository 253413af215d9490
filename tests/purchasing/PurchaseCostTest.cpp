#include <gtest/gtest.h>

#include "platform/Numbers.h"
#include "purchasing/PurchaseCost.h"

namespace {

QString text(double v) { return Num::format(v); }

}  // namespace

// Hand-computed figures of the weighted-average rules.
TEST(PurchaseCost, NewMovementOfThePurchaseDialog) {
  struct Case {
    const char* what;
    double cost, stock, qty, amount;
    bool purchase;
    int digits;
    const char* newStock;
    const char* newCost;
  } cases[] = {
      {"purchase", 100, 10, 10, 130, true, 2, "20", "115"},
      {"purchase, whole units", 100, 10, 10, 131, true, 0, "20", "116"},  // 115.5 goes up
      {"return", 100, 10, 2, 130, false, 2, "8", "92.5"},
      {"return to zero stock: the returned goods' amount", 100, 5, 5, 80, false, 2, "0", "80"},
      {"return past zero: the amount, rounded", 100, 3, 5, 80.456, false, 2, "-2", "80.46"},
      {"zero price", 100, 10, 10, 0, true, 2, "20", "50"},
      {"negative quantity", 100, 10, -2, 50, true, 2, "8", "112.5"},
      {"oversold stock stays oversold", 40, -5, 3, 50.125, true, 2, "-2", "50.13"},
      // (0.01 + 2.32) / 2 is 1.1649999999999998 in binary; as a cell holds
      // it, 1.165, which rounds up.
      {"quotient read as its 15 digits", 0.01, 1, 1, 2.32, true, 2, "2", "1.17"},
  };
  for (const Case& c : cases) {
    const auto r = PurchaseCost::afterMovement(c.cost, c.stock, c.qty, c.amount, c.purchase, c.digits);
    EXPECT_EQ(text(r.stock), c.newStock) << c.what;
    EXPECT_EQ(text(r.cost), c.newCost) << c.what;
  }
}

TEST(PurchaseCost, SheetRowsEditsAndTakeBacks) {
  // Two sheet rows of one product, one after the other.
  auto r = PurchaseCost::afterSheetRow(100, 10, 10, 120, 2);
  EXPECT_EQ(text(r.stock), "20");
  EXPECT_EQ(text(r.cost), "110");
  r = PurchaseCost::afterSheetRow(r.cost, r.stock, 5, 90, 2);
  EXPECT_EQ(text(r.stock), "25");
  EXPECT_EQ(text(r.cost), "106");
  EXPECT_EQ(text(PurchaseCost::afterSheetRow(10, 3, 4, 11.11, 2).cost), "10.63");
  EXPECT_EQ(text(PurchaseCost::afterSheetRow(10, 3, 4, 11.11, 0).cost), "11");
  // A new stock of 0 or below takes the row's amount unrounded.
  r = PurchaseCost::afterSheetRow(40, -5, 3, 50.555, 2);
  EXPECT_EQ(text(r.stock), "-2");
  EXPECT_EQ(text(r.cost), "50.555");
  EXPECT_EQ(text(PurchaseCost::afterSheetRow(40, -5, 10, 50, 2).cost), "60");

  // Editing a purchase of 10 at 50 into 12 at 50, product at 30 and 60.
  r = PurchaseCost::takeBack(60, 30, 10, 50, true);
  EXPECT_EQ(text(r.stock), "20");
  EXPECT_EQ(text(r.cost), "65");
  r = PurchaseCost::applyEdited(r.cost, r.stock, 12, 50, true, 2);
  EXPECT_EQ(text(r.stock), "32");
  EXPECT_EQ(text(r.cost), "59.38");

  // Taking back is not rounded; a stock of 0 keeps the cost.
  r = PurchaseCost::takeBack(30, 10, 5, 20, false);
  EXPECT_EQ(text(r.stock), "15");
  EXPECT_EQ(text(r.cost), "26.6666666666667");
  r = PurchaseCost::takeBack(30, 5, 5, 20, true);
  EXPECT_EQ(text(r.stock), "0");
  EXPECT_TRUE(r.costKept);
  r = PurchaseCost::applyEdited(10, 5, 5, 3, false, 2);
  EXPECT_EQ(text(r.stock), "0");
  EXPECT_TRUE(r.costKept);
  // An edit divides also by a negative new stock.
  r = PurchaseCost::applyEdited(10, -10, 5, 30, true, 2);
  EXPECT_EQ(text(r.stock), "-5");
  EXPECT_EQ(text(r.cost), "-10");
}
