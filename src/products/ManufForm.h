#pragma once
// The product window "商品管理": the product list by category and stock
// state with its totals, and its use as the order editor's product picker.
//
// Opening it:
//   - management use (main window "商品管理(&M)"): create it once, call
//     setManagementUse() and show() it modeless; bring it forward when open.
//     Set onManagementClosed to run the stock-shortage check.
//   - order-picker use (order editor "從商品清單加入"): close a modeless
//     product window that is open, then create one, call
//     setOrderPickerUse(&lines) and exec() it; afterwards run MoneyShow and
//     select the editor's last line.
#include <QDialog>
#include <functional>
#include <vector>

#include "models/OrderEditorLines.h"
#include "models/ProductList.h"
#include "purchasing/SheetFeeder.h"

class Database;
class OrderListHost;
class Prompt;
class ListView;
class ManufInput;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QWidget;
namespace ProductList {
struct Listing;
}

class ManufForm : public QDialog, public SheetFeeder {
  Q_OBJECT
 public:
  ManufForm(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~ManufForm() override;

  // The uses, set by the openers.
  void setManagementUse();
  void setOrderPickerUse(OrderEditorLines* lines);

  // Rebuilds the list, the move commands and the totals from Manuf.
  void ManufShow();
  // Refills the category filter from the product categories, keeping the
  // chosen entry when it is still there (after the category editor).
  void refillCategoryFilter();

  // The purchase sheet's hold on the window: refreshProducts is ManufShow;
  // setSheetUse turns the add button into "加入進貨單" and back.
  void refreshProducts() override;
  void setSheetUse(bool on) override;

  // Called by the product dialog after it saved.
  void productAdded(const QString& category, bool categoryAdded);
  void productEdited(int manufRow, bool categoryAdded);

  // The product dialog prepared by the new, copy and edit commands (false:
  // the command fails before the dialog is shown).
  void prepareNew(ManufInput& dlg);
  bool prepareCopy(ManufInput& dlg);
  bool prepareEdit(ManufInput& dlg);

  // Hooks for the main window and for commands of other windows.
  std::function<void()> onManagementClosed;  // closed in management use: stock may have changed
  std::function<void()> editCategories;      // the category editor; refillCategoryFilter() afterwards
  // Sets editCategories and enables the button "編輯分類" that runs it.
  void setCategoryEditor(std::function<void()> editor);
  // The main window's order list, filled by "列出訂單" (the button stays
  // disabled without it).
  void setOrderListHost(OrderListHost* host);
  // The sales-ranking window (shown modeless); enables its button.
  void setSalesRanking(std::function<void()> open);

  // Handlers.
  void onAdd();
  void onNewProduct();
  void onEditProduct();
  void onDeleteProducts();
  void onNewProductLikeSelected();
  void onSortProducts();  // sort the table by name
  void onSearch();        // search the chosen category
  void onSalesRanking();
  void onListOrders();    // the orders holding the selected products
  void onSearchAll();     // search every category
  void onMoveUp();
  void onMoveDown();
  void onViewPictures();
  void onListOrdersChoice(QAction* clicked);  // which orders "列出訂單" lists
  void onExportAll();
  void onExportSelected();
  void onExportAllPicturePaths();
  void onExportSelectedPicturePaths();
  void onImportCsv();
  void onAddPictures();
  void onChangeStockOfSelected();
  void onChangePriceOfSelected();
  void onChangeCostOfSelected();
  void onChangeCategoryOfSelected();
  void onCategoryChosen();
  void onColumnClicked(int column);
  // The list's view switches (售價, 成本, 庫存, 備註, 安全存量警示).
  ProductList::Options listOptions() const;
  // Puts rows of the list's layout in place of the list, redRows drawn red;
  // filters, totals and status keep their values.
  void showRows(std::vector<QStringList> rows, const std::vector<int>& redRows);

  // Controls.
  QLabel* searchLabel;
  QLineEdit* searchEdit;
  QPushButton *addButton, *newProductButton, *editProductButton, *deleteProductsButton, *closeButton,
      *sortProductsButton, *searchButton, *salesRankingButton, *listOrdersButton, *searchAllButton,
      *purchaseRecordsButton, *moveUpButton, *moveDownButton, *editCategoriesButton;
  QComboBox* categoryCombo;
  ListView* productList;
  QStatusBar* statusBar;
  QLabel* statusPanels[4];
  QMenuBar* MenuBar;
  QMenu *fileMenu, *selectionMenu, *viewMenu, *listOrdersMenu, *settingsMenu, *popupMenu;
  QAction *importCsvAction, *exportMenuAction, *exportAllAction, *exportSelectedAction, *addPicturesAction, *exportPicturePathsMenuAction, *exportAllPicturePathsAction,
      *exportSelectedPicturePathsAction, *purchaseSheetAction, *exitAction;
  QAction *exportSelectedToNotepadAction, *addSelectedToSheetAction;
  QAction *showPriceAction, *showCostAction, *showStockAction, *showNoteAction, *highlightUnderSafetyAction, *onlyInStockAction,
      *onlyOutOfStockAction, *onlyUnderSafetyAction;
  QAction *listAllOrdersAction, *listUnshippedOrdersAction, *listShippedOrdersAction;
  QAction *askQuantityAction, *stayOpenAfterAddAction, *noStockWarningAction;
  QAction *addProductAction, *newLikeSelectedAction, *editProductAction, *deleteProductsAction, *changeCategoryAction, *changePriceAction, *changeCostAction,
      *changeStockAction, *addToSheetAction, *viewPicturesAction, *moveUpAction, *moveDownAction;

 protected:
  void done(int result) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void layoutControls();
  void loadSettings();
  void saveSettings();
  void fillCategoryFilter();
  void setFilterQuietly(int index);
  void stockFilterClicked(QAction* clicked);
  int currentListRow() const;
  void showPopup(const QPoint& pos);
  void runClosingSteps();
  void search(bool allCategories);
  void moveSelection(bool up);
  void setMoveCommandsEnabled(bool on);
  void showListing(ProductList::Listing listing);
  std::vector<int> listedIndexes(bool selectedOnly) const;
  void exportProducts(bool selectedOnly);
  void exportPicturePaths(bool selectedOnly);
  void bulkValue(int field);
  void addFilterEntry(const QString& category);

  Database& db_;
  Prompt& prompt_;
  OrderEditorLines* lines_ = nullptr;
  OrderListHost* orderList_ = nullptr;
  std::function<void()> openSalesRanking_;
  QWidget* client_ = nullptr;
  bool se_ = false;           // filter changes by code do not rebuild
  int filterIndex_ = 0;       // the last chosen filter entry
  int editedListRow_ = -1;    // the list row the product dialog edits
  int sortColumn_ = 0;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
  bool closed_ = false;
};
