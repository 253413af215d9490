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
  void Command1_Click();  // 搜尋
  void Command2_Click();  // 刪除記錄
  void Command3_Click();  // 廠商資料
  void Command4_Click();  // 編輯記錄
  void Sel_Note_Click();
  void Form_Unload();

  // Controls.
  QLineEdit* Text5;  // year
  QComboBox* Combo2;  // period
  QRadioButton *Option1, *Option2;
  QComboBox* Combo1;  // supplier
  QPushButton *Command1, *Command2, *Command3, *Command4;
  ListView* Liv1;
  QLabel* Label1;
  QLineEdit* Text1;  // purchase-order number to search for
  QStatusBar* StatusBar1;
  QLabel *Panel1, *Panel2;
  QMenu* Menu_Sel;
  QAction* Sel_Note;

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
