#pragma once
// The customer window "客戶管理": the customers of the open database listed by
// category, searched by account or name. Opened modeless from the main
// window (management) or modal from the order editor (picker, with the
// button "加入客戶" that hands the chosen customer to the editor).
#include <QDialog>
#include <functional>
#include <vector>

#include "customers/GuestSave.h"
#include "models/CustomerFields.h"
#include "models/GuestList.h"

class Database;
class Prompt;
class ListView;
class OrderListHost;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;

class GuestForm : public QDialog {
  Q_OBJECT
 public:
  GuestForm(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~GuestForm() override;

  // Management mode: fills the category filter, lists "全部" unless "開啟視窗時
  // 先不要載入客戶列表" is ticked, and shows the window modeless. May be called
  // again on an open management window. False (after "載入客戶分類發生錯誤!")
  // when it failed. The caller rebuilds its order list afterwards.
  bool openAsManager();

  // Picker mode: lists "全部" (unless ticked otherwise), selects the customer
  // (account, category) when given, and runs the window modal. A pick hands
  // the customer to `editor` and closes the window. Never call it on a window
  // already shown in management mode: close that one and make a new one.
  int openAsPicker(const QString& account, const QString& category, CustomerSink editor);
  // The picker's steps before the window is run (openAsPicker = this + exec).
  void preparePicker(const QString& account, const QString& category, CustomerSink editor);

  bool isPicker() const { return picker_; }

  // Fills the list for the current filter entry.
  void GuestShow();
  // While true, a change of the filter does not rebuild the list.
  bool se = false;

  // Run after the category command changed the customer categories: the main
  // window refills its own customer-category filter and selects "全部".
  std::function<void()> onCategoriesEdited;

  // The customer dialog's save in modes 1 and 2 keeps this window in step.
  void guestSaved(int mode, const GuestSave::Result& result, const CustomerFields& saved);

  // ---- controls (other customer commands read and fill them) ----
  QLabel* searchLabel;
  QLineEdit* searchEdit;
  QPushButton* searchButton;
  QPushButton* searchAllButton;
  QPushButton* advancedSearchButton;
  QComboBox* categoryCombo;
  QPushButton* editCategoriesButton;
  ListView* customerList;
  QPushButton* newCustomerButton;
  QPushButton* editCustomerButton;
  QPushButton* deleteCustomersButton;
  QPushButton* sortCustomersButton;
  QPushButton* historyButton;
  QPushButton* listOrdersButton;
  QPushButton* pickButton;
  QPushButton* closeButton;
  QStatusBar* statusBar;

  QMenuBar* menuBar;
  QAction* importCsvAction;
  QAction* exportAllAction;
  QAction* exportSelectedAction;
  QAction* importRutenAction;
  QAction* importYahooAction;
  QAction* importShopeeAction;
  QAction* listWithoutOrdersAction;
  QAction* exitAction;
  QAction* exportSelectedToNotepadAction;
  QAction* exportSelectedLabelsAction;
  QAction* emailSelectedAction;
  QAction* columnActions[9];  // 2..8 used: "姓名" to "備註"
  QAction* noListOnOpenAction;
  QAction* rememberCategoryAction;
  QMenu* popupMenu;
  QAction* pickCustomerAction;
  QAction* editCustomerAction;
  QAction* deleteCustomerAction;
  QAction* emailCustomerAction;
  QAction* purchaseHistoryAction;

  // ---- commands ----
  void onCategoryChosen();
  void onPick();
  void onNewCustomer();
  void onEditCustomer();
  void onDeleteCustomers();
  void onSearch();           // search in the chosen category
  void onSortCustomers();    // permanent sort
  void onSearchAll();        // search in every category
  void onEditCategories();   // edit the customer categories

  // ---- imports, exports, views and e-mail (GuestFormCommands.cpp) ----
  // The main window's order list, which "列出訂單" fills; the button stands
  // disabled without one.
  void setOrderListHost(OrderListHost* host);
  void onImportCsv();       // customer CSV import
  void onExportAll();        // customer CSV export of every listed row
  void onExportSelected();        // ... of the selected rows
  void onImportRuten();  // auction-site buyer lists
  void onImportYahoo();
  void onImportShopee();
  void onListCustomersWithoutOrders();          // customers without orders
  void onEmailSelected();         // e-mail to the selected customers
  void onAdvancedSearch();
  void onListOrders();            // the customer's orders in the main window
  void onPurchaseHistory();

 protected:
  void done(int result) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Form_Load();
  void Form_Unload();
  void search(bool allCategories);
  void fillFilter();
  void categoriesChanged();
  void selectFilter(int index);
  void columnClick(int column);
  GuestList::View view() const;
  void setStatus(const QString& text);
  void connectCustomerCommands();
  // The list row a command on one customer acts on: the current row when it
  // is selected, else the first selected one; -1 when none is selected.
  int customerRow() const;
  std::vector<int> listedGuestRows(bool selectedOnly) const;

  Database& db_;
  Prompt& prompt_;
  CustomerSink editor_;
  OrderListHost* host_ = nullptr;
  bool picker_ = false;
  bool unloaded_ = false;
  int sortColumn_ = 0;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};
