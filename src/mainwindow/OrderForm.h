#pragma once
// The main window: the program's start-up object. It owns the open database
// (the one Database object every window works on), loads and saves it, and
// carries the order list with its filters, the menus, the toolbar, the
// status bar and the notification-area mode.
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "admin/PasswordHost.h"
#include "mainwindow/LoadForm.h"
#include "models/OrderList.h"
#include "models/OrderListHost.h"
#include "models/StockShortage.h"
#include "ordereditor/EditorPickers.h"
#include "ordereditor/OrderInputHost.h"
#include "store/Database.h"

class Prompt;
class QtPrompt;
class ExpendForm;
class GuestForm;
class ManufForm;
class OpenForm;
class PassInput;
class ListView;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QSystemTrayIcon;
class QToolBar;
class QWidget;

class OrderForm : public QMainWindow, public PasswordHost, public OrderInputHost, public OrderListHost {
  Q_OBJECT
 public:
  // The program's window, with real dialogs.
  OrderForm();
  // A window that talks to the user through prompt (tests).
  explicit OrderForm(Prompt& prompt, QWidget* parent = nullptr);
  ~OrderForm() override;

  static constexpr const char* kVersion = "3.3.6";

  // ---- start-up and exit ----
  // The start-up sequence: settings, the database list, the window shown,
  // the stored database opened (or the database manager when it cannot be).
  void Form_Load();
  void onExit();  // closes the window, which runs the exit steps

  // ---- the open database ----
  Database& db() { return db_; }
  Prompt& prompt() { return prompt_; }
  // Loads db().DataBasePath and resets the window to it.
  void DataBaseLoad();
  // Writes every table; true when everything was written. Leaves DirtyFlag alone.
  bool DataBaseSave();
  void onOpenDatabase();  // switch to another database through the manager
  void onSaveDatabase();  // save and clear DirtyFlag
  // "Kestrin 青鳥帳房通 v3.3.6 - [name：folder]".
  void setTitle();
  // Refills the customer-category filter and selects "全部" (which lists the orders).
  void refillCategoryCombo();

  // ---- order list and filters ----
  void OrderShow();                    // rebuilds the order list, totals and the shortage list
  void CheckStockShortage() override;  // the shortage list and marks of the rows listed now

  // Listings of other windows (OrderListHost).
  void showOrderList(const OrderList::OrderListResult& result) override;
  bool unshippedOptionSelected() const override;
  void setShippingOptionsQuietly(bool unshipped, bool shipped) override;
  int categoryFilterIndex() const override;
  void setCategoryFilterQuietly(int index) override;
  void clearShortageList() override;
  void bringToFront() override;
  void onCustomerSearch();  // by account or name
  void onSelectedTotals();  // totals of the selected orders
  void onMarkSelectedPaid();
  void onMarkSelectedShipped();
  void onEmailSelected();
  void onSelectedShippingNotes();  // shipping notes of the selected orders
  void onSelectedLabels();         // mailing labels of the selected orders
  void onPickingList();            // the picking list
  void onExportSelected();         // export of the selected orders to a text file
  void CheckViewMoney();          // shows or hides the money panels and recountButton
  void onRecount();               // recount of the listed orders
  void onEditCategories();        // the customer categories
  void onCategoryChosen();
  void onPeriodChosen();
  void onUnshippedChosen();
  void onShippedChosen();
  // Sets the shipping options by code, as other windows hand their choice
  // back (under se). Unlike a click this may leave both clear, which lists
  // no order; when both are asked for, "已出貨" wins.
  void setShippingOptions(bool unshipped, bool shipped);
  void onShowNames();
  void onShowMoney();
  void onCountExpenses();
  void onOrderListHeaderClicked(int column);  // 0-based column
  void onSelectAll();
  void onToolButton(int index);  // 1-based position

  // ---- order commands ----
  void onNewOrder();
  void onDeleteOrders();
  void onEditOrder();  // opens the current row of the order list in the editor

  // ---- what the order editor reads and writes of the order list ----
  int orderListIndex(int listRow) const override;
  int orderListRowCount() const override;
  void rewriteOrderListRow(int listRow, const OrderListRow& row) override;
  void selectOrderListRow(int listRow) override;
  void showNewOrder(const QString& category) override;
  bool listsUnshippedOrders() const override;
  bool viewUsername() const override;
  QString lineShortage(const QString& orderNo, int k) const override;
  void openProductPicker(OrderInput& e) override { pickers_.openProductPicker(e); }
  void addLineThroughDialog(OrderInput& e) override { pickers_.addLineThroughDialog(e); }
  bool editLine(OrderInput& e, int line) override { return pickers_.editLine(e, line); }
  void openCustomerPicker(OrderInput& e) override { pickers_.openCustomerPicker(e); }
  void openCustomerDialog(OrderInput& e) override { pickers_.openCustomerDialog(e); }
  void shippingNote(OrderInput& e) override;
  void mailingLabel(OrderInput& e) override;
  void exportLines(OrderInput& e) override;

  // ---- commands that open other windows ----
  void onCustomers();      // the customer window, non-modal
  void onProducts();       // the product window, non-modal
  void onImportFormats();  // the customer-import profiles, modal
  void onBackupFolder();
  void onTempFolder();       // also called when the temporary-file folder is missing
  void onGeneralSettings();  // the general settings, modal
  void onExpenses();         // the expense window, non-modal, with the main filters' year and period
  void onBackup();
  void onRestore();
  void onRestoreDailyBackup();
  void onClearShippedOrders();
  void onManual();   // the manual shipped with the program
  void onWebsite();  // the program's pages: the same manual
  void onFanPage();
  void onAbout();            // the about box, modal
  void onAdvancedSearch();   // 進階搜尋: the order search
  void onOrderProducts();    // 訂單商品: the products in the listed orders
  // The order editor's "檢視圖片(&V)": the picture viewer.
  bool showPicture(const QString& path) override;
  // The open customer and product windows (null when closed).
  GuestForm* guestWindow() const;
  ManufForm* manufWindow() const;
  ExpendForm* expendWindow() const;

  // ---- database password ----
  bool PassInit();
  void onSetPassword();
  void onClearPassword();
  bool passChk() const override { return PassChk; }
  void setPassChk(bool accepted) override { PassChk = accepted; }
  bool passSetEnabled() const override;
  bool passClearEnabled() const override;
  void setPassMenu(bool setEnabled, bool clearEnabled) override;

  // ---- notification area ----
  // Shows the icon with its tip; returns its id (a new one each time).
  int AddTrayIcon(const QString& tip);
  void RemoveTrayIcon(int id);
  int trayIconId() const { return TrayIconId; }
  void onTrayOpen();  // back from the notification area

  // ---- public state ----
  bool se = false;       // set while code changes the filters quietly
  bool PassChk = false;  // the open database's password was accepted, or it has none

  // ---- hooks ----
  // The daily backup archive of the open database, written at exit and
  // before another database is opened. Nothing until the archive is set up.
  std::function<void()> AutoBackup;
  // Ends the program at once, skipping the exit steps (the manager's "結束").
  std::function<void()> endProgram;
  // Ends the program after the exit steps.
  std::function<void()> quitProgram;
  // The exit steps have begun (the save question, if any, was answered).
  std::function<void()> exitStarted;
  // Show the manager and the password prompt modal; tests answer them instead.
  std::function<void(OpenForm&)> runOpenForm;
  std::function<void(PassInput&)> runPassInput;
  // Shows the order editor modal; tests drive it instead.
  std::function<void(OrderInput&)> runOrderInput;
  // True once the manager's "結束" was pressed (seen only when endProgram returns).
  bool programEnded() const { return programEnded_; }

  // ---- controls ----
  QToolBar* toolbar;
  QAction* toolButton(int index) const;  // 1..14; separators are null
  QWidget* filterStrip;                  // the strip above the list holding the search and the filters
  QFrame* stripRule;
  QLineEdit* customerSearchEdit;
  QPushButton* customerSearchButton;  // 客戶搜尋
  QPushButton* advancedSearchButton;  // 進階搜尋
  QLineEdit* yearEdit;                // year of the period filter
  QComboBox* periodCombo;
  QRadioButton* unshippedOption;      // 未出貨
  QRadioButton* shippedOption;        // 已出貨
  QComboBox* categoryCombo;           // customer category
  QPushButton* editCategoriesButton;  // 編輯分類
  ListView* orderList;                // twelve columns and the hidden Index
  QPushButton* recountButton;         // 重新統計
  QPushButton* expensesButton;        // 雜支費用
  QPushButton* orderProductsButton;   // 訂單商品
  QStatusBar* totalsBar;
  QLabel* panel(int index) const;  // 1..7
  ListView* shortageList;          // hidden

  // Menus and their entries; the list's popup and the notification-area menu.
  QMenu *fileMenu, *orderMenu, *selectionMenu, *dataMenu, *passwordMenu, *backupMenu, *settingsMenu, *viewMenu,
      *helpMenu, *orderListPopup, *trayMenu;
  QAction *openDatabaseAction, *saveDatabaseAction, *exitAction;
  QAction *newOrderAction, *editOrderAction, *deleteOrdersAction, *clearShippedOrdersAction;
  QAction *exportSelectedAction, *selectedLabelsAction, *selectedShippingNotesAction, *markSelectedPaidAction,
      *markSelectedShippedAction, *emailSelectedAction, *selectedTotalsAction, *pickingListAction;
  QAction *customersAction, *productsAction;
  QAction *setPasswordAction, *clearPasswordAction;
  QAction *backupAction, *restoreAction, *restoreDailyBackupAction;
  QAction *generalSettingsAction, *importFormatsAction, *backupFolderAction, *tempFolderAction;
  QAction *showNamesAction, *showMoneyAction, *countExpensesAction;
  QAction *manualAction, *websiteAction, *fanPageAction, *aboutAction;
  QAction *popupSelectAllAction, *popupDeleteAction, *popupExportAction, *popupLabelsAction, *popupShippingNotesAction,
      *popupMarkPaidAction, *popupMarkShippedAction, *popupEmailAction, *popupTotalsAction, *popupPickingListAction;
  QAction* trayOpenAction;

 Q_SIGNALS:
  // A database was loaded: windows holding row numbers rebuild or close.
  void databaseLoaded();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void build();
  void buildMenus();
  void buildToolbar();
  void buildBody();
  void Form_Resize();
  // The exit steps; false when the window stays open.
  bool Form_Unload();
  QString titleBase() const;
  OrderList::OrderFilter currentFilter() const;
  OrderList::OrderListView currentView() const;
  // Puts a built list into orderList, its colours, the panels and shortageList.
  void showOrderListWithShortage(const OrderList::OrderListResult& result);
  void applyShortage(const ShortageResult& r);
  std::vector<int> listedIndexes(bool selectedOnly) const;
  // Windows holding table row numbers are closed when another database is loaded.
  void closeRowWindows();
  class BackupCommands backupCommands();

  std::unique_ptr<QtPrompt> ownPrompt_;
  Prompt& prompt_;
  Database db_;
  LoadForm loadForm_;
  QWidget* body_ = nullptr;
  QAction* toolButtons_[15] = {};
  QLabel* panels_[8] = {};
  QSystemTrayIcon* tray_ = nullptr;
  int TrayIconId = 0;
  int nextTrayId_ = 0;
  int TrayRestoreState = 0;  // 0 normal, 2 maximised
  bool programEnded_ = false;
  bool closing_ = false;
  EditorPickers pickers_{db_, prompt_};
  // While the order editor is open its SelEdit names a row of orderList, so the
  // list is not rebuilt under it; a rebuild asked for meanwhile runs after.
  bool editorOpen_ = false;
  bool listRebuildDeferred_ = false;    // OrderShow
  bool filterRefillDeferred_ = false;   // refillCategoryCombo (customer categories changed)
  void runEditor(OrderInput& editor);
  void OrderShowWhenFree();
  // First shortageList row of each order number, built when first asked after the list changed.
  mutable QHash<QString, int> shortageStart_;
  mutable bool shortageIndexed_ = false;
  QPointer<GuestForm> guestForm_;
  QPointer<ManufForm> manufForm_;
  QPointer<ExpendForm> expendForm_;
};
