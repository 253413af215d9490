#pragma once
// The products-in-orders window "列出訂單中的商品": the order lines of the
// orders that pass its filters (year, period, shipped state, customer and
// product category) with per-line discount and totals, its search, the
// export of the selected rows, and "列出選擇的訂單", which lists the orders
// of the selected lines in the main window's order list and closes.
// Modal over the main window; every opening builds the list afresh from
// the tables.
#include <QDialog>
#include <functional>
#include <vector>

#include "admin/CategoryEdit.h"
#include "models/StockList.h"
#include "printouts/ExportForm.h"

class Database;
class ImagesForm;
class ListView;
class OrderListHost;
class Prompt;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class StockSearch;

class StockForm : public QDialog {
  Q_OBJECT
 public:
  StockForm(Database& db, Prompt& prompt, OrderListHost& host, QWidget* parent = nullptr);
  ~StockForm() override;

  // What the opener copies from the main window.
  struct MainFilters {
    int category = 0;        // position of the customer-category filter
    bool unshipped = true;   // the option "未出貨"
    bool shipped = false;    // the option "已出貨"
    int period = 0;          // position of the period list
    QString year;            // the year box
    bool viewMoney = true;   // "顯示金額統計"
  };
  // The main window's "訂單商品": fills the filters from the main window's,
  // builds the list once and shows the window modal (run replaces exec).
  static void open(Database& db, Prompt& prompt, OrderListHost& host, QWidget* parent, const MainFilters& main,
                   const std::function<void(StockForm&)>& run = {});

  // Rebuilds the list and its totals text from the filters.
  void StockShow();
  // Entries of the two category filters, each with its editor entry last.
  void fillProductCategories();
  void fillCustomerCategories();
  // Sets the two options by code; both may be left clear (nothing listed).
  void setShippingOptions(bool unshipped, bool shipped);
  StockList::Filter filter() const;

  // Handlers.
  void onProductCategoryChosen();
  void onPeriodChosen();
  void onCustomerCategoryChosen();
  void onUnshippedClicked();
  void onShippedClicked();
  void onExport();      // 匯出到記事本
  void onSearch();      // 搜尋
  void onListOrders();  // 列出選擇的訂單
  void onSelectAll();   // 全選
  void onOpenLink();
  void onViewPicture();

  bool se = false;         // set while code changes the filters: they do not rebuild
  bool View_Money = true;  // the main window's "顯示金額統計"

  // Windows opened from here; tests answer them instead.
  std::function<void(CategoryEdit::Kind)> runCategoryEditor;
  std::function<void(StockSearch&)> runSearch;
  std::function<void(ImagesForm&)> runViewer;
  std::function<void(int ex, const QString& section, const std::vector<ExportOffer>& offers)> runExport;

  // Controls.
  ListView* lineList;
  QStatusBar* statusBar;
  QLabel* statusLabel;  // the status bar's one text
  QPushButton *exportButton, *searchButton, *listOrdersButton, *selectAllButton;
  QLineEdit* yearEdit;
  QComboBox *productCategoryCombo, *periodCombo, *customerCategoryCombo;
  QRadioButton *unshippedOption, *shippedOption;
  QLabel* productCategoryLabel;
  QMenu* toolsMenu;
  QAction *openLinkAction, *viewPictureAction;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void done(int result) override;

 private:
  void Form_Load();
  void Form_Resize();
  void Form_Unload();

  Database& db_;
  Prompt& prompt_;
  OrderListHost& host_;
  QWidget* client_ = nullptr;
  bool unloaded_ = false;
};
