#pragma once
// The purchase sheet "進貨單": products with an amount and a quantity,
// booked together into stock, cost and purchase records ("開始進貨"), or
// saved to a sheet file and loaded again. A modeless window beside the
// product window, which feeds it (see PurchaseWindows). Its rows exist only
// while it is open: closing it, or a completed booking, discards them.
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <vector>

#include "purchasing/PurchaseSheet.h"

class Database;
class ListView;
class Prompt;
class SheetFeeder;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

class ManufBatch : public QMainWindow {
  Q_OBJECT
 public:
  ManufBatch(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~ManufBatch() override;

  // The rows, in list order (sheetList shows them).
  const std::vector<SheetRow>& rows() const { return rows_; }

  // The product window the rows come from (a SheetFeeder); its add button
  // is reset when the sheet closes.
  QPointer<QWidget> productWindow;
  // Shows a product window when none is open ("加入商品").
  std::function<QWidget*()> openProductWindow;

  // Adds a row for each Manuf row, each at its sorted place; then the last
  // row is unselected.
  void addProducts(const std::vector<int>& manufRows);

  void MoneyShow();

  // Handlers.
  void onSheetRowsClicked();
  void onChangeSelected();  // 修改: the filled edit boxes into the selected rows
  void onBookSheet();  // 開始進貨
  void onEditSuppliers();
  void onApplyNoToAll();  // the sheet's purchase-order number into every row
  void onClearSheet();
  void onAddProducts();  // shows the product window that feeds the sheet
  void onRemoveProducts();
  void onSaveSheet();
  void onLoadSheet();
  void Form_Unload();

  // Failure injection for the booking (tests only hand one in).
  std::function<void(int)> beforeBookingRow;

  // Controls.
  QLabel* dateLabel;
  QLineEdit* dateEdit;
  QLabel* sheetNoLabel;
  QLineEdit* sheetNoEdit;  // the sheet's purchase-order number
  QPushButton *applyNoToAllButton, *suppliersButton;
  QComboBox* supplierCombo;
  ListView* sheetList;
  QLabel *amountLabel, *qtyLabel, *purchaseNoLabel, *noteLabel;
  QLineEdit *amountEdit, *qtyEdit, *purchaseNoEdit, *noteEdit;
  QPushButton *changeSelectedButton, *addProductsButton, *removeProductsButton, *clearSheetButton, *bookSheetButton;
  QCheckBox* recomputeCostCheck;
  QLabel* totalLabel;
  QMenu* fileMenu;
  QAction *loadSheetAction, *saveSheetAction, *exitAction;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void fillSuppliers();
  void showRows();
  void setEditRowVisible(bool on);
  // The product window the rows come from, else any product window open
  // modeless; nullptr when there is none.
  QWidget* findProductWindow() const;
  SheetFeeder* feeder() const;

  Database& db_;
  Prompt& prompt_;
  std::vector<SheetRow> rows_;
  bool se_ = false;  // selection changed by code: no click
  bool unloaded_ = false;
};
