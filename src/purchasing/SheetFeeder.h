#pragma once
// The window that feeds the purchase sheet with products, as the sheet sees
// it. The product window implements it, so the sheet (ManufBatch) reaches
// that window without knowing it: it finds the feeder among the open
// windows, has it fill its list again after a booking changed stock and
// cost, and switches the feeder's add button to the sheet and back.
class SheetFeeder {
 public:
  virtual ~SheetFeeder() = default;
  // Rebuilds the product list from Manuf.
  virtual void refreshProducts() = 0;
  // On: the add button feeds the sheet ("加入進貨單"). Off (the sheet
  // closed): a button feeding the sheet goes back to hidden ("加入訂單").
  virtual void setSheetUse(bool on) = 0;
};
