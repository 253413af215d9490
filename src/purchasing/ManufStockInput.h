#pragma once
// The purchase and return dialog "進貨" / "退貨": one stock movement of one
// product, kept as a purchase record.
//
// Mode 1 (SelState 1), the product dialog's "進退貨": the record is appended
// at once and the product's new stock (and, with "重新計算商品成本", its
// new cost) go into the product dialog's boxes; the product row changes
// when the product dialog is saved.
//   ManufStockInput::runForProductDialog(db_, prompt_, productDialog);
// Mode 2 (SelState 2), the purchase records window's "編輯記錄": record
// SelEdit is rewritten; with the tick its old movement is taken back from
// its product and the new one applied.
//   ManufStockInput dlg(db_, prompt_, this);
//   dlg.prepareEdit(row);
//   dlg.exec();  // dlg.recomputed(): the products changed
#include <QDialog>

class Database;
class ManufInput;
class Prompt;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;

class ManufStockInput : public QDialog {
  Q_OBJECT
 public:
  ManufStockInput(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~ManufStockInput() override;

  int SelState = 1;
  int SelEdit = 0;

  // Mode 1 for product, whose cost and stock boxes the movement updates.
  void prepareNew(const QString& product, QLineEdit* costBox, QLineEdit* stockBox);
  // Mode 2 for record row of ManufStock.
  void prepareEdit(int row);
  static void runForProductDialog(Database& db, Prompt& prompt, ManufInput& product);

  // Mode 2: OK was given with the recompute ticked.
  bool recomputed() const { return recomputed_; }

  // Handlers.
  void updateCostPreview();  // also the recompute tick's handler
  void onOk();
  void onPurchaseChosen();
  void onReturnChosen();
  void onSupplierChosen();

  int exec() override;

  // Controls.
  QLabel *dateLabel, *productLabel, *amountLabel, *rateLabel, *qtyLabel, *supplierLabel, *purchaseNoLabel, *noteLabel;
  QLineEdit *dateEdit, *qtyEdit, *purchaseNoEdit, *amountEdit, *productEdit, *rateEdit;
  QPlainTextEdit* noteEdit;
  QRadioButton *purchaseOption, *returnOption;
  QComboBox* supplierCombo;
  QCheckBox* recomputeCostCheck;
  QPushButton *okButton, *cancelButton;
  QStatusBar* statusBar;
  QLabel* costPreviewLabel;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void fillSuppliers();
  bool isPurchase() const;

  Database& db_;
  Prompt& prompt_;
  QLineEdit* costBox_ = nullptr;
  QLineEdit* stockBox_ = nullptr;
  bool recomputed_ = false;
};
