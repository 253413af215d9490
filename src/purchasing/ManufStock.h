#pragma once
// The purchase records window "進貨記錄": the purchase and return records of
// one product (or of all), of one supplier and one year or month, with the
// money totals of what is listed; search by purchase-order number, edit
// through the purchase and return dialog, delete with or without taking
// the records back from the products, the supplier list and the export to
// Notepad. Opened modal by the product window's "進貨記錄":
//
//   ManufStock::run(db_, prompt_, this, productName, [this] { ManufShow(); });
//
// onProductsChanged runs when the window closes after a recompute changed
// products' stock and cost.
#include <QDialog>
#include <functional>

class Database;
class ListView;
class Prompt;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
namespace PurchaseRecords {
struct Listing;
}

class ManufStock : public QDialog {
  Q_OBJECT
 public:
  ManufStock(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~ManufStock() override;

  static void run(Database& db, Prompt& prompt, QWidget* parent, const QString& product,
                  std::function<void()> onProductsChanged);

  // The opening protocol: the product option's caption, the supplier
  // filter ("全部" chosen), and the first list.
  void openFor(const QString& product);

  bool isEdit = false;  // a recompute changed products
  std::function<void()> onProductsChanged;

  void ManufStockShow();

  // Handlers.
  void onSearch();
  void onDeleteRecords();
  void onEditSuppliers();
  void onEditRecord();
  void onExportToNotepad();
  void Form_Unload();

  // Controls.
  QLineEdit* yearEdit;
  QComboBox* periodCombo;  // 全部, 整年, or a month
  QRadioButton *allProductsOption, *productOption;  // productOption: the product the window was opened for
  QComboBox* supplierCombo;
  QPushButton *searchButton, *deleteRecordsButton, *suppliersButton, *editRecordButton;
  ListView* recordList;
  QLabel* purchaseNoLabel;
  QLineEdit* purchaseNoEdit;  // purchase-order number to search for
  QStatusBar* statusBar;
  QLabel *moneyLabel, *countLabel;
  QMenu* selectionMenu;
  QAction* exportToNotepadAction;

 protected:
  void done(int result) override;

 private:
  void fillSupplierFilter();
  void showListing(PurchaseRecords::Listing listing);
  int editedRow() const;

  Database& db_;
  Prompt& prompt_;
  QString product_;  // the product the window was opened for
  bool unloaded_ = false;
};
