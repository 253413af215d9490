#include "mainwindow/OrderForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QWindowStateChangeEvent>
#include <cstdlib>
#include <exception>

#include "admin/AboutForm.h"
#include "admin/BackupCommands.h"
#include "admin/CateForm.h"
#include "admin/CategoryEdit.h"
#include "admin/DatabasePassword.h"
#include "admin/DelForm.h"
#include "admin/ImagesForm.h"
#include "admin/OpenForm.h"
#include "admin/PassInput.h"
#include "admin/PasswordFile.h"
#include "admin/SetAtuoBackupForm.h"
#include "admin/SetForm.h"
#include "customers/GuestForm.h"
#include "customers/ImportForm.h"
#include "expenses/ExpendForm.h"
#include "mainwindow/DailyBackup.h"
#include "mainwindow/SelectionTools.h"
#include "models/OrderCommands.h"
#include "ordereditor/EditorPrintouts.h"
#include "ordereditor/OrderInput.h"
#include "platform/AppPaths.h"
#include "platform/ListView.h"
#include "platform/Numbers.h"
#include "platform/QtPrompt.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/WindowTweaks.h"
#include "printouts/PrintoutCommands.h"
#include "products/ManufForm.h"
#include "products/PurchaseWindows.h"
#include "reports/ManufTop.h"
#include "reports/OrderSearch.h"
#include "reports/StockForm.h"
#include "store/BackupArchive.h"
#include "store/DataStore.h"
#include "store/DatabaseList.h"

namespace {

const QString kSection = QStringLiteral("OrderForm");
const QString kSetting = QStringLiteral("Setting");
const QString kUpdate = QStringLiteral("Update");
const QString kEditCategories = QStringLiteral("編輯客戶分類");
constexpr int kTwipsPerPixel = 15;
constexpr int kDesignedWidth = 13530;  // twips
constexpr int kDesignedHeight = 9030;
constexpr double kListFontSize = 11.25;
constexpr int kMargin = 8;  // top of the customer search box inside the strip: the margin everywhere
constexpr int kStripHeight = 49;
// How long after a load the memory its readers set aside goes back to the
// system (see DataBaseLoad).
constexpr int kReturnMemoryDelayMs = 1000;

// The twelve display columns of the order list with their designed widths
// (twips), and the hidden row number.
struct Column {
  const char* caption;
  int width;
};
constexpr Column kColumns[] = {{"訂單編號", 2646}, {"日期", 2117},   {"客戶帳號", 2646}, {"客戶分類", 2646},
                               {"運費", 1323},     {"應收款項", 2117}, {"折扣", 1323},     {"匯款日", 2117},
                               {"出貨日", 2117},   {"運送方式", 2117}, {"評價", 1455},     {"備註", 8467},
                               {"Index", 0}};
constexpr int kDisplayColumns = 12;

// A widget that lays out its children itself whenever it is resized.
class LayoutHost : public QWidget {
 public:
  using QWidget::QWidget;
  std::function<void()> onResize;

 protected:
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    if (onResize) onResize();
  }
};

// The 39 × 39 tile of the strip's background.
QPixmap stripTile() {
  QPixmap tile(39, 39);
  QPainter p(&tile);
  QLinearGradient g(0, 0, 0, 39);
  g.setColorAt(0, QColor(250, 250, 252));
  g.setColorAt(1, QColor(226, 232, 240));
  p.fillRect(tile.rect(), g);
  return tile;
}

void removeIfPresent(const QString& folder, const QString& name) {
  const QString path = folder + name;
  if (QFileInfo(path).isFile()) QFile::remove(path);
}

// Deletes the older files a load set aside as "*.123" in a folder. Only the
// names the program gives them go: a folder may hold other people's files
// with that extension (a Lotus 1-2-3 sheet, for one).
void removeScratchFiles(const QString& folder) {
  if (folder.isEmpty()) return;
  static const QStringList known{QStringLiteral("Order.123"), QStringLiteral("Stock.123"),
                                 QStringLiteral("Guest.123"), QStringLiteral("Manuf.123"),
                                 QStringLiteral("AutoBackup.123")};
  const QDir dir(folder);
  const QStringList names = dir.entryList({QStringLiteral("*.123")}, QDir::Files | QDir::Hidden);
  for (const QString& n : names)
    if (known.contains(n, Qt::CaseInsensitive)) QFile::remove(dir.filePath(n));
}

}  // namespace

// ---- construction ------------------------------------------------------

OrderForm::OrderForm() : ownPrompt_(std::make_unique<QtPrompt>()), prompt_(*ownPrompt_), loadForm_(this) {
  ownPrompt_->setParent(this);
  build();
}

OrderForm::OrderForm(Prompt& prompt, QWidget* parent) : QMainWindow(parent), prompt_(prompt), loadForm_(this) {
  build();
}

OrderForm::~OrderForm() {
  db_.onDirtyChanged = nullptr;
  // Lists read the tables when they paint; the tables go before the
  // child windows would.
  delete guestForm_;
  delete manufForm_;
  orderList->clear();
  if (tray_) tray_->hide();
}

void OrderForm::build() {
  setWindowTitle(titleBase());
  endProgram = [] {
    SettingsStore::sync();
    std::_Exit(0);
  };
  quitProgram = [] { QCoreApplication::exit(0); };
  runOpenForm = [](OpenForm& f) { f.exec(); };
  runPassInput = [](PassInput& p) { p.exec(); };
  runOrderInput = [](OrderInput& e) { e.exec(); };
  pickers_.onCustomerCategoriesEdited = [this] { filterRefillDeferred_ = true; };
  AutoBackup = [this] {
    // A failed daily archive never replaces a good one; the user is told.
    if (AppPaths::folderExists(db_.DataBasePath) && !DailyBackup::write(db_, loadForm_)) prompt_.error();
  };
  connect(this, &OrderForm::databaseLoaded, this, [this] { closeRowWindows(); });
  PurchaseWindows::setProductWindowOpener(this, [this] {
    onProducts();
    return manufForm_.data();
  });

  buildMenus();
  buildToolbar();
  buildBody();
  resize(kDesignedWidth / kTwipsPerPixel, kDesignedHeight / kTwipsPerPixel);
  db_.onDirtyChanged = [this](bool on) {
    if (QAction* save = toolButton(3)) save->setEnabled(on);
  };
  db_.setDirty(false);
}

void OrderForm::buildMenus() {
  auto add = [this](QMenu* menu, const char* name, const char* caption) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    return a;
  };
  auto menu = [this](const char* name, const char* caption, bool inBar = true) {
    QMenu* m = inBar ? menuBar()->addMenu(QString::fromUtf8(caption)) : new QMenu(QString::fromUtf8(caption), this);
    m->setObjectName(QString::fromLatin1(name));
    return m;
  };
  fileMenu = menu("fileMenu", "檔案(&F)");
  openDatabaseAction = add(fileMenu, "openDatabaseAction", "開啟資料庫(&L)");
  saveDatabaseAction = add(fileMenu, "saveDatabaseAction", "儲存資料庫(&S)");
  fileMenu->addSeparator()->setObjectName(QStringLiteral("fileLine1"));
  exitAction = add(fileMenu, "exitAction", "結束(&X)");

  orderMenu = menu("orderMenu", "訂單(&O)");
  newOrderAction = add(orderMenu, "newOrderAction", "新增訂單(&N)");
  editOrderAction = add(orderMenu, "editOrderAction", "編輯訂單(&E)");
  deleteOrdersAction = add(orderMenu, "deleteOrdersAction", "刪除訂單(&D)");
  orderMenu->addSeparator()->setObjectName(QStringLiteral("orderLine1"));
  clearShippedOrdersAction = add(orderMenu, "clearShippedOrdersAction", "清除已出貨訂單(&C)");

  selectionMenu = menu("selectionMenu", "選取(&S)");
  exportSelectedAction = add(selectionMenu, "exportSelectedAction", "匯出到記事本(&E)");
  selectedLabelsAction = add(selectionMenu, "selectedLabelsAction", "匯出郵寄名條(&A)");
  selectedShippingNotesAction = add(selectionMenu, "selectedShippingNotesAction", "匯出出貨單(&S)");
  selectionMenu->addSeparator()->setObjectName(QStringLiteral("selectionLine1"));
  markSelectedPaidAction = add(selectionMenu, "markSelectedPaidAction", "設為已匯款");
  markSelectedShippedAction = add(selectionMenu, "markSelectedShippedAction", "設為已出貨");
  emailSelectedAction = add(selectionMenu, "emailSelectedAction", "寫Email");
  selectionMenu->addSeparator()->setObjectName(QStringLiteral("selectionLine2"));
  selectedTotalsAction = add(selectionMenu, "selectedTotalsAction", "計算選擇訂單的金額");
  pickingListAction = add(selectionMenu, "pickingListAction", "列出撿貨單");

  dataMenu = menu("dataMenu", "資料(&D)");
  customersAction = add(dataMenu, "customersAction", "客戶管理(&G)");
  productsAction = add(dataMenu, "productsAction", "商品管理(&M)");

  passwordMenu = menu("passwordMenu", "密碼(&P)");
  setPasswordAction = add(passwordMenu, "setPasswordAction", "建立資料庫密碼(&P)");
  clearPasswordAction = add(passwordMenu, "clearPasswordAction", "刪除資料庫密碼(&C)");

  backupMenu = menu("backupMenu", "備份(&B)");
  backupAction = add(backupMenu, "backupAction", "備份資料(&B)");
  restoreAction = add(backupMenu, "restoreAction", "還原資料(&U)");
  backupMenu->addSeparator()->setObjectName(QStringLiteral("backupLine"));
  restoreDailyBackupAction = add(backupMenu, "restoreDailyBackupAction", "還原系統自動備份的資料(&A)");

  settingsMenu = menu("settingsMenu", "設定(&S)");
  generalSettingsAction = add(settingsMenu, "generalSettingsAction", "一般設定(&O)");
  importFormatsAction = add(settingsMenu, "importFormatsAction", "設定匯入客戶格式(&I)");
  backupFolderAction = add(settingsMenu, "backupFolderAction", "設定自動備份的儲存路徑(&A)");
  tempFolderAction = add(settingsMenu, "tempFolderAction", "設定暫存檔案的產生路徑");

  viewMenu = menu("viewMenu", "檢視(&V)");
  showNamesAction = add(viewMenu, "showNamesAction", "顯示客戶姓名");
  showMoneyAction = add(viewMenu, "showMoneyAction", "顯示金額統計");
  countExpensesAction = add(viewMenu, "countExpensesAction", "雜支費用列入成本統計");
  for (QAction* a : {showNamesAction, showMoneyAction, countExpensesAction}) a->setCheckable(true);
  showMoneyAction->setChecked(true);

  helpMenu = menu("helpMenu", "說明(&H)");
  manualAction = add(helpMenu, "manualAction", "使用說明(&H)");
  helpMenu->addSeparator()->setObjectName(QStringLiteral("helpLine1"));
  websiteAction = add(helpMenu, "websiteAction", "Kestrin 網站(&W)");
  fanPageAction = add(helpMenu, "fanPageAction", "Kestrin FB專頁(&F)");
  helpMenu->addSeparator()->setObjectName(QStringLiteral("helpLine2"));
  aboutAction = add(helpMenu, "aboutAction", "關於 Kestrin (&A)");

  // Popup menus, never in the bar.
  orderListPopup = menu("orderListPopup", "功能", false);
  popupSelectAllAction = add(orderListPopup, "popupSelectAllAction", "全選(&A)");
  popupDeleteAction = add(orderListPopup, "popupDeleteAction", "刪除(&D)");
  orderListPopup->addSeparator()->setObjectName(QStringLiteral("popupLine1"));
  popupExportAction = add(orderListPopup, "popupExportAction", "匯出到記事本");
  popupLabelsAction = add(orderListPopup, "popupLabelsAction", "匯出郵寄名條");
  popupShippingNotesAction = add(orderListPopup, "popupShippingNotesAction", "匯出出貨單");
  orderListPopup->addSeparator()->setObjectName(QStringLiteral("popupLine2"));
  popupMarkPaidAction = add(orderListPopup, "popupMarkPaidAction", "設為已匯款");
  popupMarkShippedAction = add(orderListPopup, "popupMarkShippedAction", "設為已出貨");
  popupEmailAction = add(orderListPopup, "popupEmailAction", "寫Email");
  orderListPopup->addSeparator()->setObjectName(QStringLiteral("popupLine3"));
  popupTotalsAction = add(orderListPopup, "popupTotalsAction", "計算選擇訂單的金額");
  popupPickingListAction = add(orderListPopup, "popupPickingListAction", "列出撿貨單");

  trayMenu = menu("trayMenu", "工作列", false);
  trayOpenAction = add(trayMenu, "trayOpenAction", "開啟 Kestrin(&O)");

  connect(importFormatsAction, &QAction::triggered, this, [this] { onImportFormats(); });

  connect(openDatabaseAction, &QAction::triggered, this, [this] { onOpenDatabase(); });
  connect(saveDatabaseAction, &QAction::triggered, this, [this] { onSaveDatabase(); });
  connect(exitAction, &QAction::triggered, this, [this] { onExit(); });
  connect(setPasswordAction, &QAction::triggered, this, [this] { onSetPassword(); });
  connect(clearPasswordAction, &QAction::triggered, this, [this] { onClearPassword(); });
  connect(showNamesAction, &QAction::triggered, this, [this] { onShowNames(); });
  connect(showMoneyAction, &QAction::triggered, this, [this] { onShowMoney(); });
  connect(countExpensesAction, &QAction::triggered, this, [this] { onCountExpenses(); });
  connect(popupSelectAllAction, &QAction::triggered, this, [this] { onSelectAll(); });
  connect(trayOpenAction, &QAction::triggered, this, [this] { onTrayOpen(); });
  connect(customersAction, &QAction::triggered, this, [this] { onCustomers(); });
  connect(productsAction, &QAction::triggered, this, [this] { onProducts(); });
  connect(generalSettingsAction, &QAction::triggered, this, [this] { onGeneralSettings(); });
  connect(backupFolderAction, &QAction::triggered, this, [this] { onBackupFolder(); });
  connect(tempFolderAction, &QAction::triggered, this, [this] { onTempFolder(); });
  connect(backupAction, &QAction::triggered, this, [this] { onBackup(); });
  connect(restoreAction, &QAction::triggered, this, [this] { onRestore(); });
  connect(restoreDailyBackupAction, &QAction::triggered, this, [this] { onRestoreDailyBackup(); });
  connect(clearShippedOrdersAction, &QAction::triggered, this, [this] { onClearShippedOrders(); });
  connect(manualAction, &QAction::triggered, this, [this] { onManual(); });
  connect(websiteAction, &QAction::triggered, this, [this] { onWebsite(); });
  connect(fanPageAction, &QAction::triggered, this, [this] { onFanPage(); });
  connect(aboutAction, &QAction::triggered, this, [this] { onAbout(); });
  connect(newOrderAction, &QAction::triggered, this, [this] { onNewOrder(); });
  connect(deleteOrdersAction, &QAction::triggered, this, [this] { onDeleteOrders(); });
  connect(editOrderAction, &QAction::triggered, this, [this] { onEditOrder(); });
  connect(popupDeleteAction, &QAction::triggered, this, [this] { onDeleteOrders(); });
  connect(markSelectedPaidAction, &QAction::triggered, this, [this] { onMarkSelectedPaid(); });
  connect(popupMarkPaidAction, &QAction::triggered, this, [this] { onMarkSelectedPaid(); });
  connect(markSelectedShippedAction, &QAction::triggered, this, [this] { onMarkSelectedShipped(); });
  connect(popupMarkShippedAction, &QAction::triggered, this, [this] { onMarkSelectedShipped(); });
  connect(emailSelectedAction, &QAction::triggered, this, [this] { onEmailSelected(); });
  connect(popupEmailAction, &QAction::triggered, this, [this] { onEmailSelected(); });
  connect(selectedTotalsAction, &QAction::triggered, this, [this] { onSelectedTotals(); });
  connect(popupTotalsAction, &QAction::triggered, this, [this] { onSelectedTotals(); });
  // Printouts and the export of the selected orders.
  connect(selectedShippingNotesAction, &QAction::triggered, this, [this] { onSelectedShippingNotes(); });
  connect(popupShippingNotesAction, &QAction::triggered, this, [this] { onSelectedShippingNotes(); });
  connect(selectedLabelsAction, &QAction::triggered, this, [this] { onSelectedLabels(); });
  connect(popupLabelsAction, &QAction::triggered, this, [this] { onSelectedLabels(); });
  connect(pickingListAction, &QAction::triggered, this, [this] { onPickingList(); });
  connect(popupPickingListAction, &QAction::triggered, this, [this] { onPickingList(); });
  connect(exportSelectedAction, &QAction::triggered, this, [this] { onExportSelected(); });
  connect(popupExportAction, &QAction::triggered, this, [this] { onExportSelected(); });
}

void OrderForm::onSelectedShippingNotes() { PrintoutCommands::shippingNotes(db_, prompt_, this, *orderList); }
void OrderForm::onSelectedLabels() { PrintoutCommands::orderLabels(db_, prompt_, this, *orderList); }
void OrderForm::onPickingList() { PrintoutCommands::pickingList(db_, prompt_, this, *orderList); }
void OrderForm::onExportSelected() { PrintoutCommands::exportOrders(db_, prompt_, this, *orderList); }
void OrderForm::shippingNote(OrderInput& e) { EditorPrintouts::shippingNote(db_, prompt_, e); }
void OrderForm::mailingLabel(OrderInput& e) { EditorPrintouts::mailingLabel(db_, prompt_, e); }
void OrderForm::exportLines(OrderInput& e) { EditorPrintouts::exportLines(db_, prompt_, e); }

void OrderForm::buildToolbar() {
  toolbar = addToolBar(QStringLiteral("Toolbar1"));
  toolbar->setObjectName(QStringLiteral("toolbar"));
  toolbar->setMovable(false);
  toolbar->setFloatable(false);
  toolbar->setIconSize(QSize(24, 24));
  toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  toolbar->toggleViewAction()->setEnabled(false);
  struct Button {
    int index;
    const char* caption;
    QStyle::StandardPixmap icon;
  };
  const Button buttons[] = {{2, "開啟資料庫", QStyle::SP_DialogOpenButton},
                            {3, "儲存資料庫", QStyle::SP_DialogSaveButton},
                            {5, "新增訂單", QStyle::SP_FileIcon},
                            {6, "編輯訂單", QStyle::SP_FileDialogDetailedView},
                            {7, "刪除訂單", QStyle::SP_TrashIcon},
                            {9, "客戶管理", QStyle::SP_DirHomeIcon},
                            {10, "商品管理", QStyle::SP_FileDialogContentsView},
                            {12, "一般設定", QStyle::SP_FileDialogListView},
                            {14, "關於Kestrin", QStyle::SP_MessageBoxInformation}};
  int next = 1;
  for (const Button& b : buttons) {
    for (; next < b.index; ++next) toolbar->addSeparator();
    QAction* a = toolbar->addAction(style()->standardIcon(b.icon), QString::fromUtf8(b.caption));
    a->setObjectName(QStringLiteral("toolButton%1").arg(b.index));
    const int index = b.index;
    connect(a, &QAction::triggered, this, [this, index] { onToolButton(index); });
    toolButtons_[index] = a;
    next = index + 1;
  }
}

QAction* OrderForm::toolButton(int index) const { return index >= 1 && index <= 14 ? toolButtons_[index] : nullptr; }

QLabel* OrderForm::panel(int index) const { return index >= 1 && index <= 7 ? panels_[index] : nullptr; }

void OrderForm::buildBody() {
  auto* host = new LayoutHost(this);
  body_ = host;
  setCentralWidget(host);

  QFont buttonFont = font();
  buttonFont.setFamilies({QStringLiteral("微軟正黑體"), buttonFont.family()});
  buttonFont.setPointSizeF(9.75);

  filterStrip = new QWidget(host);
  filterStrip->setObjectName(QStringLiteral("filterStrip"));
  filterStrip->setAutoFillBackground(true);
  QPalette pal = filterStrip->palette();
  pal.setBrush(QPalette::Window, QBrush(stripTile()));
  filterStrip->setPalette(pal);
  filterStrip->setGeometry(0, 0, 900, kStripHeight);
  stripRule = new QFrame(filterStrip);
  stripRule->setFrameShape(QFrame::HLine);
  stripRule->setStyleSheet(QStringLiteral("color: rgb(160,160,160);"));

  customerSearchEdit = new QLineEdit(filterStrip);
  customerSearchEdit->setGeometry(kMargin, kMargin, 160, 26);
  customerSearchButton = new QPushButton(QStringLiteral("客戶搜尋"), filterStrip);
  customerSearchButton->setGeometry(customerSearchEdit->geometry().right() + 6, kMargin - 1, 80, 28);
  advancedSearchButton = new QPushButton(QStringLiteral("進階搜尋"), filterStrip);
  advancedSearchButton->setGeometry(customerSearchButton->geometry().right() + 6, kMargin - 1, 80, 28);
  yearEdit = new QLineEdit(filterStrip);
  yearEdit->setMaxLength(4);
  yearEdit->resize(52, 26);
  periodCombo = new QComboBox(filterStrip);
  periodCombo->addItems({QStringLiteral("全部"), QStringLiteral("整年")});
  for (int m = 1; m <= 12; ++m) periodCombo->addItem(QStringLiteral("%1月").arg(m, 2, 10, QLatin1Char('0')));
  periodCombo->resize(80, 26);

  unshippedOption = new QRadioButton(QStringLiteral("未出貨"), host);
  shippedOption = new QRadioButton(QStringLiteral("已出貨"), host);
  unshippedOption->setChecked(true);
  unshippedOption->resize(72, 26);
  shippedOption->resize(72, 26);
  categoryCombo = new QComboBox(host);
  categoryCombo->resize(150, 26);
  editCategoriesButton = new QPushButton(QStringLiteral("編輯分類"), host);
  editCategoriesButton->resize(80, 28);
  for (QWidget* w : std::initializer_list<QWidget*>{customerSearchEdit, yearEdit, categoryCombo, periodCombo})
    w->move(w->x(), kMargin);

  orderList = new ListView(host);
  orderList->setObjectName(QStringLiteral("orderList"));
  QStringList captions;
  for (const Column& c : kColumns) captions << QString::fromUtf8(c.caption);
  orderList->setColumns(captions);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) orderList->setColumnWidthTwips(i, kColumns[i].width);
  orderList->setIndexColumn(kDisplayColumns);
  orderList->setMultiSelect(true);
  QFont listFont = orderList->font();
  listFont.setFamilies({QStringLiteral("新細明體"), listFont.family()});
  listFont.setPointSizeF(kListFontSize);
  orderList->setFont(listFont);
  WindowTweaks::fitColumnsTo(orderList, {{OrderListCol::OrderDate, WindowTweaks::kDateSample},
                                         {OrderListCol::ShippingFee, WindowTweaks::kAmountSample},
                                         {OrderListCol::Receivable, WindowTweaks::kAmountSample},
                                         {OrderListCol::DiscountText, WindowTweaks::kAmountSample},
                                         {OrderListCol::PaymentDate, WindowTweaks::kDateSample},
                                         {OrderListCol::ShipDate, WindowTweaks::kDateSample}});

  shortageList = new ListView(host);
  shortageList->setObjectName(QStringLiteral("shortageList"));
  shortageList->setColumns({QStringLiteral("訂單編號"), QStringLiteral("日期"), QStringLiteral("名稱"),
                            QStringLiteral("數量"), QStringLiteral("狀態")});
  shortageList->hide();

  recountButton = new QPushButton(QStringLiteral("重新統計"), host);
  expensesButton = new QPushButton(QStringLiteral("雜支費用"), host);
  orderProductsButton = new QPushButton(QStringLiteral("訂單商品"), host);
  for (QPushButton* b : {recountButton, expensesButton, orderProductsButton}) b->resize(90, 28);
  const std::pair<QWidget*, const char*> named[] = {{advancedSearchButton, "advancedSearchButton"},
                                                    {orderProductsButton, "orderProductsButton"},
                                                    {recountButton, "recountButton"},
                                                    {expensesButton, "expensesButton"},
                                                    {editCategoriesButton, "editCategoriesButton"},
                                                    {customerSearchButton, "customerSearchButton"},
                                                    {customerSearchEdit, "customerSearchEdit"}};
  for (const auto& [w, name] : named) w->setObjectName(QString::fromLatin1(name));
  for (QWidget* w :
       std::initializer_list<QWidget*>{advancedSearchButton, orderProductsButton, recountButton, expensesButton,
                                       editCategoriesButton, customerSearchButton, unshippedOption, shippedOption})
    w->setFont(buttonFont);

  totalsBar = statusBar();
  totalsBar->setFont(buttonFont);
  totalsBar->setSizeGripEnabled(true);
  for (int i = 1; i <= 7; ++i) {
    panels_[i] = new QLabel(totalsBar);
    panels_[i]->setObjectName(QStringLiteral("panel%1").arg(i));
    panels_[i]->setFont(orderList->font());
    panels_[i]->setFrameShape(QFrame::StyledPanel);
    totalsBar->addWidget(panels_[i], i == 7 ? 1 : 0);
  }

  host->onResize = [this] { Form_Resize(); };

  // Filters and list events.
  connect(categoryCombo, &QComboBox::activated, this, [this](int) { onCategoryChosen(); });
  connect(periodCombo, &QComboBox::activated, this, [this](int) { onPeriodChosen(); });
  connect(unshippedOption, &QRadioButton::clicked, this, [this] { onUnshippedChosen(); });
  connect(shippedOption, &QRadioButton::clicked, this, [this] { onShippedChosen(); });
  connect(recountButton, &QPushButton::clicked, this, [this] { onRecount(); });
  connect(expensesButton, &QPushButton::clicked, this, [this] { onExpenses(); });
  connect(editCategoriesButton, &QPushButton::clicked, this, [this] { onEditCategories(); });
  connect(customerSearchButton, &QPushButton::clicked, this, [this] { onCustomerSearch(); });
  connect(advancedSearchButton, &QPushButton::clicked, this, [this] { onAdvancedSearch(); });
  connect(orderProductsButton, &QPushButton::clicked, this, [this] { onOrderProducts(); });
  connect(customerSearchEdit, &QLineEdit::returnPressed, this, [this] { onCustomerSearch(); });
  connect(orderList, &ListView::headerClicked, this, [this](int c) { onOrderListHeaderClicked(c); });
  connect(orderList, &ListView::keyPressed, this, [this](int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Delete) onDeleteOrders();
  });
  // Double click and Enter.
  connect(orderList, &ListView::rowActivated, this, [this](int) { onEditOrder(); });
  connect(orderList, &ListView::contextMenuAt, this, [this](const QPoint& at) { orderListPopup->popup(at); });
}

// ---- layout --------------------------------------------------------------

void OrderForm::Form_Resize() {
  if (isMinimized()) {
    // Behind the notification icon, only where the desktop has a tray.
    if (db_.SystemTray && TrayIconId == 0 && QSystemTrayIcon::isSystemTrayAvailable()) {
      TrayIconId = AddTrayIcon(QStringLiteral("青鳥帳房通"));
      hide();
    }
    return;
  }
  if (!body_) return;
  const int W = body_->width();
  const int H = body_->height();
  const int m = kMargin;
  filterStrip->setGeometry(0, 0, qMax(0, W - 3), kStripHeight);
  stripRule->setGeometry(0, kStripHeight - 2, qMax(0, W - 6), 2);
  const int listTop = kStripHeight;
  orderList->setGeometry(0, listTop, W, qMax(0, H - (listTop + orderProductsButton->height() + 2 * m)));
  orderProductsButton->move(W - (orderProductsButton->width() + m), H - (orderProductsButton->height() + m));
  recountButton->move(m, orderProductsButton->y());
  expensesButton->move(orderProductsButton->x() - expensesButton->width() - m, orderProductsButton->y());
  editCategoriesButton->move(W - (editCategoriesButton->width() + m), m - 1);
  categoryCombo->move(editCategoriesButton->x() - (categoryCombo->width() + m), m);
  shippedOption->move(categoryCombo->x() - (shippedOption->width() + m), m);
  unshippedOption->move(shippedOption->x() - (unshippedOption->width() + 5), m);
  periodCombo->move(unshippedOption->x() - (periodCombo->width() + m), m);
  yearEdit->move(periodCombo->x() - (yearEdit->width() + 5), m);
  for (QWidget* w :
       std::initializer_list<QWidget*>{unshippedOption, shippedOption, categoryCombo, editCategoriesButton})
    w->raise();
  TrayRestoreState = isMaximized() ? 2 : 0;
}

void OrderForm::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) Form_Resize();
}

// ---- notification area ---------------------------------------------------

int OrderForm::AddTrayIcon(const QString& tip) {
  if (!tray_) {
    tray_ = new QSystemTrayIcon(this);
    tray_->setIcon(windowIcon().isNull() ? style()->standardIcon(QStyle::SP_ComputerIcon) : windowIcon());
    tray_->setContextMenu(trayMenu);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
      if (r == QSystemTrayIcon::Trigger) onTrayOpen();
    });
  }
  tray_->setToolTip(tip);
  tray_->show();
  return ++nextTrayId_;
}

void OrderForm::RemoveTrayIcon(int id) {
  if (tray_ && id == nextTrayId_) tray_->hide();
}

void OrderForm::onTrayOpen() {
  if (TrayIconId != 0) {
    RemoveTrayIcon(TrayIconId);
    TrayIconId = 0;
  }
  setWindowState(TrayRestoreState == 2 ? Qt::WindowMaximized : Qt::WindowNoState);
  show();
  activateWindow();
  raise();
}

// ---- start-up --------------------------------------------------------------

QString OrderForm::titleBase() const {
  return QStringLiteral("Kestrin 青鳥帳房通 v") + QString::fromLatin1(kVersion);
}

void OrderForm::setTitle() {
  setWindowTitle(titleBase() + QStringLiteral(" - [") + db_.DataBaseName + QStringLiteral("：") + db_.DataBasePath +
                 QStringLiteral("]"));
}

void OrderForm::Form_Load() {
  // 1-2. The program folder and its known leftovers.
  db_.AppPath = AppPaths::appPath();
  removeScratchFiles(db_.AppPath);
  for (const char* n : {"Kestrin.exe.manifest", "Renovix.exe.manifest", "Renovix.ini"})
    removeIfPresent(db_.AppPath, QString::fromLatin1(n));

  // 3. Drop-down lists.
  WindowTweaks::setDropDownHeight(categoryCombo, 300);
  WindowTweaks::setDropDownHeight(periodCombo, 300);

  // 4-5. Column widths and sort.
  WindowTweaks::restoreColumnWidths(orderList, kSection, kDisplayColumns);
  const int sortKey =
      static_cast<int>(SettingsStore::getNumber(kSection, QStringLiteral("SortKey"), qMax(0, orderList->sortColumn())));
  const int sortOrder = static_cast<int>(SettingsStore::getNumber(
      kSection, QStringLiteral("SortOrder"), orderList->sortOrder() == Qt::DescendingOrder ? 1 : 0));
  if (sortKey >= 0 && sortKey < kDisplayColumns)
    orderList->sortRows(sortKey, sortOrder == 1 ? Qt::DescendingOrder : Qt::AscendingOrder);

  // 6-7. Size and state; a stored minimised state is not restored.
  WindowTweaks::restoreSize(this, kSection);
  WindowTweaks::restoreState(this, kSection, 2);

  // 8. View switches.
  showNamesAction->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Username"), false));
  showMoneyAction->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Money"), true));
  countExpensesAction->setChecked(SettingsStore::getBool(kSetting, QStringLiteral("Expend"), false));

  // 9. For the update tool.
  SettingsStore::set(kUpdate, QStringLiteral("Ver"), QString::fromLatin1(kVersion));
  SettingsStore::set(kUpdate, QStringLiteral("State"), QStringLiteral("1"));

  // 10-11. Switches.
  db_.SetView = static_cast<int>(SettingsStore::getNumber(kSetting, QStringLiteral("SetView"), 1));
  db_.SystemTray = SettingsStore::getBool(kSetting, QStringLiteral("SystemTray"), false);
  db_.CheckLacks = SettingsStore::getBool(kSetting, QStringLiteral("CheckLacks"), false);
  db_.HideCost = SettingsStore::getBool(kSetting, QStringLiteral("HideCost"), false);
  db_.Rate = SettingsStore::getBool(kSetting, QStringLiteral("Rate"), false);
  CheckViewMoney();

  // 12-13. Folders and the open database.
  db_.BackupPath = SettingsStore::get(kSetting, QStringLiteral("BackupPath"), QString());
  db_.DataBaseName = SettingsStore::get(kSetting, QStringLiteral("DataBaseName"), QString::fromUtf8(DatabaseList::kDefaultName));
  db_.DataBasePath = AppPaths::withSlash(SettingsStore::get(kSetting, QStringLiteral("DataBasePath"), db_.AppPath));
  db_.TempPath = SettingsStore::get(kSetting, QStringLiteral("TempPath"), QStringLiteral("123"));
  if (db_.TempPath == QStringLiteral("123") &&
      !(AppPaths::folderExists(db_.DataBasePath) && AppPaths::isRefusedFolder(db_.DataBasePath)))
    db_.TempPath = db_.DataBasePath;

  // 14. List font size, written back as in force.
  const double size = SettingsStore::getNumber(kSetting, QStringLiteral("FontSize"), orderList->font().pointSizeF());
  if (size >= 9 && size <= 24) {
    QFont f = orderList->font();
    f.setPointSizeF(size);
    orderList->setFont(f);
    for (int i = 1; i <= 7; ++i) panels_[i]->setFont(f);
  }
  SettingsStore::setNumber(kSetting, QStringLiteral("FontSize"), orderList->font().pointSizeF());
  db_.FontSize = static_cast<int>(orderList->font().pointSizeF());

  // 15-16. The database's Backup folder; its scratch files. The folder itself
  // is never created here: a missing database stays missing.
  if (AppPaths::folderExists(db_.DataBasePath)) {
    if (!AppPaths::folderExists(db_.DataBasePath + QStringLiteral("Backup")))
      QDir().mkdir(db_.DataBasePath + QStringLiteral("Backup"));
    removeScratchFiles(db_.DataBasePath);
  }

  // 17-20. Title, flag, year and period.
  setWindowTitle(titleBase());
  db_.setDirty(false);
  yearEdit->setText(QString::number(QDate::currentDate().year()));
  se = true;
  if (db_.SetView == 1) periodCombo->setCurrentIndex(0);
  else if (db_.SetView == 2) periodCombo->setCurrentIndex(1);
  else if (db_.SetView == 3) periodCombo->setCurrentIndex(QDate::currentDate().month() + 1);
  se = false;

  // 21-22. The database list; the window shows, still empty.
  DatabaseList::DataBaseInit(db_, prompt_);
  show();

  // 23-26. The stored database, when it can be opened.
  bool failed = false;
  bool listed = false;
  for (const QString& e : db_.DataBaseList) {
    if (e.contains(DatabaseList::kSeparator) && DatabaseList::folderOf(e) == db_.DataBasePath) {
      listed = true;
      break;
    }
  }
  const QString which = QStringLiteral("[") + db_.DataBaseName + QStringLiteral("：") + db_.DataBasePath +
                        QStringLiteral("]\r\n\r\n");
  if (!listed &&
      prompt_.message(which + QStringLiteral("目前開啟的這個資料庫不存在資料庫清單中，確定要開啟嗎?"),
                      Prompt::Icon::Exclamation, Prompt::Buttons::YesNo) != Prompt::Answer::Yes) {
    db_.DataBasePath.clear();
    failed = true;
  }
  if (!failed && !AppPaths::folderExists(db_.DataBasePath)) {
    prompt_.message(which + QStringLiteral("目前開啟的資料庫路徑不存在，請重新選擇資料庫!"), Prompt::Icon::Exclamation);
    db_.DataBasePath.clear();
    failed = true;
  }
  if (!failed) {
    if (!PasswordFile::exists(db_.DataBasePath)) {
      showPasswordFile(false);
      PassChk = true;
    } else {
      PassInput pass(db_, prompt_, *this, this);
      if (pass.Form_Load() && runPassInput) runPassInput(pass);
      if (!PassChk) {
        prompt_.message(QStringLiteral("密碼不正確，請重新輸入!"), Prompt::Icon::Exclamation);
        failed = true;
      }
    }
  }

  // 27. Open it, or let the user choose (PassChk is false on every failure).
  if (failed) {
    PassChk = false;
    onOpenDatabase();
  } else {
    DataBaseLoad();
  }
}

// ---- loading and saving ---------------------------------------------------

void OrderForm::refillCategoryCombo() {
  {
    const QSignalBlocker quiet(categoryCombo);
    categoryCombo->clear();
    categoryCombo->addItem(QStringLiteral("全部"));
    categoryCombo->addItems(db_.settings.CustomerCategories);
    categoryCombo->addItem(QStringLiteral("未分類"));
    categoryCombo->addItem(kEditCategories);
    categoryCombo->setCurrentIndex(0);
  }
  onCategoryChosen();
}

void OrderForm::DataBaseLoad() {
  DataStore store(db_, prompt_, loadForm_);
  store.loadDatabase();
  refillCategoryCombo();
  db_.setDirty(false);
  db_.ExpendDirty = false;
  setTitle();
  Q_EMIT databaseLoaded();
  // Once the filled list was shown: the list is painted a few milliseconds
  // after it was filled, and the user should not wait for this.
  QTimer::singleShot(kReturnMemoryDelayMs, this, [] { DataStore::returnFreedMemory(); });
}

bool OrderForm::DataBaseSave() {
  DataStore store(db_, prompt_, loadForm_);
  return store.DataBaseSave();
}

void OrderForm::onSaveDatabase() {
  try {
    if (DataBaseSave()) db_.setDirty(false);
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void OrderForm::onOpenDatabase() {
  try {
    const bool usable = AppPaths::folderExists(db_.DataBasePath) && PassChk;
    if (usable) {
      if (db_.dirty()) {
        const Prompt::Answer a = prompt_.message(
            QStringLiteral("[") + db_.DataBaseName + QStringLiteral("：") + db_.DataBasePath +
                QStringLiteral("]\r\n\r\n這個資料庫中的資料已經改變，要儲存資料嗎？"),
            Prompt::Icon::Exclamation, Prompt::Buttons::YesNoCancel);
        if (a == Prompt::Answer::Cancel) return;
        if (a == Prompt::Answer::Yes) {
          if (!DataBaseSave()) return;
          db_.setDirty(false);
        }
      }
      if (AutoBackup) AutoBackup();
    }
    OpenForm manager(db_, prompt_, *this, this);
    if (!usable) manager.leaveButton->setText(QStringLiteral("結束"));
    manager.endProgram = endProgram;
    manager.runPassInput = runPassInput;
    manager.Form_Load();
    if (runOpenForm) runOpenForm(manager);
    if (manager.ended()) {
      programEnded_ = true;
      return;
    }
    if (!manager.ChosenDataBasePath.isEmpty()) {
      db_.DataBasePath = manager.ChosenDataBasePath;
      if (!AppPaths::folderExists(db_.DataBasePath + QStringLiteral("Backup")))
        QDir().mkdir(db_.DataBasePath + QStringLiteral("Backup"));
      DataBaseLoad();
    } else {
      setTitle();
    }
  } catch (const std::exception& e) {
    prompt_.message(QString::fromLocal8Bit(e.what()));
    prompt_.error();
  }
}

// ---- exit ------------------------------------------------------------------

void OrderForm::onExit() { close(); }

bool OrderForm::Form_Unload() {
  if (db_.dirty()) {
    const Prompt::Answer a = prompt_.message(QStringLiteral("結束前要儲存資料嗎？"), Prompt::Icon::Exclamation,
                                             Prompt::Buttons::YesNoCancel);
    if (a == Prompt::Answer::Cancel) return false;
    if (a == Prompt::Answer::Yes) {
      if (!DataBaseSave()) return false;
      db_.setDirty(false);
    }
  }
  if (exitStarted) exitStarted();
  if (AutoBackup) AutoBackup();
  SettingsStore::set(kSetting, QStringLiteral("DataBaseName"), db_.DataBaseName);
  SettingsStore::set(kSetting, QStringLiteral("DataBasePath"), db_.DataBasePath);
  WindowTweaks::saveColumnWidths(orderList, kSection, kDisplayColumns);
  SettingsStore::setNumber(kSection, QStringLiteral("SortKey"), qMax(0, orderList->sortColumn()));
  SettingsStore::setNumber(kSection, QStringLiteral("SortOrder"),
                           orderList->sortOrder() == Qt::DescendingOrder ? 1 : 0);
  // Maximised or minimised (also behind the notification icon): the designed size.
  WindowTweaks::saveSize(this, kSection, QSize(kDesignedWidth, kDesignedHeight));
  WindowTweaks::saveState(this, kSection);
  SettingsStore::set(kUpdate, QStringLiteral("State"), QStringLiteral("0"));
  SettingsStore::sync();
  return true;
}

void OrderForm::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  if (!Form_Unload()) {
    event->ignore();
    return;
  }
  closing_ = true;
  if (TrayIconId != 0) {
    RemoveTrayIcon(TrayIconId);
    TrayIconId = 0;
  }
  event->accept();
  if (quitProgram) quitProgram();
}

// ---- order list and filters -------------------------------------------------

OrderList::OrderFilter OrderForm::currentFilter() const {
  return OrderList::OrderFilter{categoryCombo->currentText(), periodCombo->currentText(), yearEdit->text(),
                                unshippedOption->isChecked(), shippedOption->isChecked()};
}

OrderList::OrderListView OrderForm::currentView() const {
  return OrderList::OrderListView{showNamesAction->isChecked(), countExpensesAction->isChecked()};
}

std::vector<int> OrderForm::listedIndexes(bool selectedOnly) const {
  std::vector<int> out;
  if (selectedOnly) {
    for (int r : orderList->selectedRows()) out.push_back(orderList->tableIndex(r));
  } else {
    out.reserve(static_cast<size_t>(orderList->rowCount()));
    for (int r = 0; r < orderList->rowCount(); ++r) out.push_back(orderList->tableIndex(r));
  }
  return out;
}

void OrderForm::showOrderList(const OrderList::OrderListResult& result) {
  const int sortColumn = orderList->sortColumn();
  const Qt::SortOrder sortOrder = orderList->sortOrder();
  orderList->setRowSource(result.source());  // texts and colours are read when painted
  for (int p = 0; p < 7 && p < result.panels.size(); ++p) panels_[p + 1]->setText(result.panels[p]);
  if (sortColumn >= 0) orderList->sortRows(sortColumn, sortOrder);
}

void OrderForm::showOrderListWithShortage(const OrderList::OrderListResult& result) {
  showOrderList(result);
  shortageList->setRows(result.shortage.rows);
  shortageIndexed_ = false;
  if (result.shortage.failed) prompt_.message(ShortageFailedText, Prompt::Icon::Exclamation);
}

bool OrderForm::unshippedOptionSelected() const { return unshippedOption->isChecked(); }

void OrderForm::setShippingOptionsQuietly(bool unshipped, bool shipped) {
  const bool was = se;
  se = true;
  setShippingOptions(unshipped, shipped);
  se = was;
}

int OrderForm::categoryFilterIndex() const { return categoryCombo->currentIndex(); }

void OrderForm::setCategoryFilterQuietly(int index) {
  const bool was = se;
  se = true;
  categoryCombo->setCurrentIndex(index);
  se = was;
}

void OrderForm::clearShortageList() {
  shortageList->clear();
  shortageIndexed_ = false;
}

void OrderForm::bringToFront() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void OrderForm::OrderShow() { showOrderListWithShortage(OrderList::OrderShow(db_, currentFilter(), currentView())); }

void OrderForm::applyShortage(const ShortageResult& r) {
  shortageList->setRows(r.rows);
  shortageIndexed_ = false;
  orderList->setColumnTexts(ShortageOrderListCol::ShipDate, r.shipDates);
  if (r.failed) prompt_.message(ShortageFailedText, Prompt::Icon::Exclamation);
}

void OrderForm::CheckStockShortage() {
  applyShortage(::CheckStockShortage(db_, orderList->rowCount(),
                                     [this](int row, int column) { return orderList->text(row, column); }));
}

void OrderForm::onCustomerSearch() {
  const auto s = OrderList::CustomerSearch(db_, currentFilter(), currentView(), customerSearchEdit->text());
  if (s.refused) {
    prompt_.warn(OrderList::CustomerSearchEmptyText);
    return;
  }
  customerSearchEdit->setText(s.searchText);
  showOrderListWithShortage(s.list);
}

void OrderForm::onRecount() {
  const auto panels = OrderList::Recount(db_, currentFilter(), currentView(), listedIndexes(false));
  if (!panels) {
    prompt_.message(OrderList::RecountFailedText, Prompt::Icon::Exclamation);
    return;
  }
  for (int p = 0; p < 7 && p < panels->size(); ++p) panels_[p + 1]->setText((*panels)[p]);
}

void OrderForm::onSelectedTotals() {
  if (orderList->rowCount() == 0) return;
  const auto panels = OrderList::SelectionTotals(db_, listedIndexes(true));
  if (!panels) {
    prompt_.error();
    return;
  }
  for (int p = 0; p < 7 && p < panels->size(); ++p) panels_[p + 1]->setText((*panels)[p]);
}

namespace {
std::vector<SelectedOrder> selectedOrders(const ListView* list) {
  std::vector<SelectedOrder> out;
  for (int r : list->selectedRows())
    out.push_back({list->tableIndex(r), list->text(r, OrderListCol::PaymentDate), list->text(r, OrderListCol::ShippingMethod)});
  return out;
}
}  // namespace

void OrderForm::onMarkSelectedPaid() {
  if (SelectionTools::markPaid(db_, prompt_, orderList->rowCount(), selectedOrders(orderList))) OrderShow();
}

void OrderForm::onMarkSelectedShipped() {
  if (SelectionTools::markShipped(db_, prompt_, orderList->rowCount(), selectedOrders(orderList))) OrderShow();
}

void OrderForm::onEmailSelected() {
  const QUrl url = SelectionTools::emailSelected(db_, prompt_, listedIndexes(true));
  if (!url.isEmpty()) Shell::openUrl(url.toString(), prompt_);
}

void OrderForm::CheckViewMoney() {
  const auto v = OrderList::CheckViewMoney(showMoneyAction->isChecked(), db_.HideCost);
  recountButton->setVisible(v.recount);
  for (int i = 1; i <= 6; ++i) panels_[i]->setVisible(v.panel[static_cast<size_t>(i - 1)]);
}

void OrderForm::onEditCategories() {
  try {
    CateForm::edit(db_, prompt_, CategoryEdit::Kind::Customer, this);
    refillCategoryCombo();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

// ---- order commands ----------------------------------------------------------

void OrderForm::onNewOrder() {
  OrderInput dlg(db_, prompt_, *this, this);
  const auto n = OrderCommands::prepareNewOrder(db_, QDate::currentDate());
  if (!n) {
    prompt_.error();
    return;
  }
  dlg.setupNewOrder(*n);
  runEditor(dlg);
  OrderShow();
}

void OrderForm::runEditor(OrderInput& editor) {
  editorOpen_ = true;
  runOrderInput(editor);
  editorOpen_ = false;
  const bool refill = filterRefillDeferred_;
  const bool rebuild = listRebuildDeferred_;
  filterRefillDeferred_ = listRebuildDeferred_ = false;
  if (refill)
    refillCategoryCombo();  // selecting "全部" rebuilds the list as well
  else if (rebuild)
    OrderShow();
}

void OrderForm::OrderShowWhenFree() {
  if (editorOpen_)
    listRebuildDeferred_ = true;
  else
    OrderShow();
}

void OrderForm::onDeleteOrders() {
  if (OrderCommands::deleteSelectedOrders(db_, prompt_, orderList->rowCount(), listedIndexes(true))) OrderShow();
}

int OrderForm::orderListIndex(int listRow) const {
  return listRow >= 0 && listRow < orderList->rowCount() ? orderList->tableIndex(listRow) : 0;
}

int OrderForm::orderListRowCount() const { return orderList->rowCount(); }

void OrderForm::rewriteOrderListRow(int listRow, const OrderListRow& row) {
  if (listRow < 0 || listRow >= orderList->rowCount()) return;
  for (int c = 0; c < row.cells.size() && c < OrderListCol::OrderIndex; ++c)
    orderList->setText(listRow, c, row.cells[c]);
  orderList->setRowColor(listRow, QColor());
  orderList->setCellColor(listRow, OrderListCol::Receivable, OrderList::ReceivableColor);
  orderList->setCellColor(listRow, OrderListCol::PaymentDate, row.unpaid ? OrderList::DarkRedColor : QColor());
  orderList->setCellColor(listRow, OrderListCol::ShipDate, row.unshipped ? OrderList::DarkRedColor : QColor());
}

void OrderForm::selectOrderListRow(int listRow) {
  if (listRow >= 0 && listRow < orderList->rowCount()) orderList->setCurrentRow(listRow);
}

void OrderForm::showNewOrder(const QString& category) {
  if (categoryCombo->currentText() != OrderList::AllText) {
    se = true;
    const int i = categoryCombo->findText(category);
    categoryCombo->setCurrentIndex(i >= 0 ? i : categoryCombo->findText(QStringLiteral("未分類")));
    se = false;
  }
  OrderShow();
}

bool OrderForm::listsUnshippedOrders() const { return unshippedOption->isChecked(); }

bool OrderForm::viewUsername() const { return showNamesAction->isChecked(); }

QString OrderForm::lineShortage(const QString& orderNo, int k) const {
  // shortageList holds every line of the unshipped orders, grouped by order number.
  if (!shortageIndexed_) {
    shortageStart_.clear();
    for (int r = shortageList->rowCount() - 1; r >= 0; --r)
      shortageStart_.insert(shortageList->text(r, ShortageCol::OrderNo), r);
    shortageIndexed_ = true;
  }
  const auto it = shortageStart_.constFind(orderNo);
  if (it == shortageStart_.constEnd()) return {};
  const int r = *it + k;
  if (k < 0 || r >= shortageList->rowCount() || shortageList->text(r, ShortageCol::OrderNo) != orderNo) return {};
  return shortageList->text(r, ShortageCol::ShortageQty);
}

void OrderForm::onEditOrder() {
  if (orderList->rowCount() == 0) return;
  const int row = orderList->currentRow();
  if (row < 0) return;
  OrderInput dlg(db_, prompt_, *this, this);
  if (!dlg.setupEditOrder(row)) {
    prompt_.error();
    return;
  }
  orderList->setSelected(row, false);
  runEditor(dlg);
}

// ---- commands that open other windows ------------------------------------

GuestForm* OrderForm::guestWindow() const { return guestForm_; }
ManufForm* OrderForm::manufWindow() const { return manufForm_; }
ExpendForm* OrderForm::expendWindow() const { return expendForm_; }

void OrderForm::closeRowWindows() {
  // Closing runs their own closing steps (settings), as a user's close would.
  if (guestForm_) guestForm_->close();
  if (manufForm_) manufForm_->close();
  if (expendForm_) expendForm_->close();
  PurchaseWindows::closeSheets();
}

void OrderForm::onCustomers() {
  try {
    if (!guestForm_) {
      guestForm_ = new GuestForm(db_, prompt_, this);
      guestForm_->setOrderListHost(this);
      guestForm_->onCategoriesEdited = [this] {
        if (editorOpen_)
          filterRefillDeferred_ = true;
        else
          refillCategoryCombo();
      };
    }
    if (guestForm_->openAsManager()) OrderShow();  // a failure was told and ends the command
  } catch (const std::exception&) {
    prompt_.message(QStringLiteral("載入客戶分類發生錯誤!"), Prompt::Icon::Exclamation);
  }
}

void OrderForm::onProducts() {
  if (!manufForm_) {
    manufForm_ = new ManufForm(db_, prompt_, this);
    manufForm_->setAttribute(Qt::WA_DeleteOnClose);
    manufForm_->setManagementUse();
    manufForm_->setOrderListHost(this);  // "列出訂單" fills this window's list
    manufForm_->setSalesRanking([this] { ManufTop::showBeside(db_, prompt_, manufForm_); });
    // Stock may have changed while it was open: the shortage marks follow.
    // The listed orders stay (they may be the product window's "列出訂單").
    manufForm_->onManagementClosed = [this] {
      if (!unshippedOption->isChecked()) return;
      if (editorOpen_)
        listRebuildDeferred_ = true;
      else
        CheckStockShortage();
    };
    manufForm_->setCategoryEditor([this] {
      CateForm::edit(db_, prompt_, CategoryEdit::Kind::Product, manufForm_);
      manufForm_->refillCategoryFilter();
    });
  }
  manufForm_->show();
  manufForm_->raise();
  manufForm_->activateWindow();
}

void OrderForm::onImportFormats() {
  ImportForm dlg(db_, prompt_, this);
  dlg.exec();
}

void OrderForm::onBackupFolder() {
  SetAtuoBackupForm dlg(db_, prompt_, this);
  dlg.SelState = 1;
  dlg.Form_Load();
  dlg.exec();
}

void OrderForm::onExpenses() {
  try {
    if (!expendForm_) {
      expendForm_ = new ExpendForm(db_, prompt_, this);
      expendForm_->setAttribute(Qt::WA_DeleteOnClose);
      // The expenses counted into cost follow at once.
      expendForm_->onExpensesChanged = [this] {
        if (countExpensesAction->isChecked()) onRecount();
      };
    }
    expendForm_->openFromMain(yearEdit->text(), periodCombo->currentIndex());
    if (expendForm_->isMinimized()) expendForm_->showNormal();
    expendForm_->show();
    expendForm_->raise();
    expendForm_->activateWindow();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void OrderForm::onGeneralSettings() {
  SetForm::Hooks hooks;
  hooks.listFontSize = [this] { return orderList->font().pointSizeF(); };
  hooks.applyListFontSize = [this](int size) {
    QFont f = orderList->font();
    f.setPointSize(size);
    orderList->setFont(f);
    for (int i = 1; i <= 7; ++i) panels_[i]->setFont(f);
    db_.FontSize = size;
  };
  hooks.CheckViewMoney = [this] { CheckViewMoney(); };
  SetForm dlg(db_, prompt_, hooks, this);
  dlg.exec();
}

void OrderForm::onTempFolder() {
  SetAtuoBackupForm dlg(db_, prompt_, this);
  dlg.setTempMode();
  dlg.Form_Load();
  dlg.exec();
}

BackupCommands OrderForm::backupCommands() {
  BackupCommands::Hooks h;
  h.DataBaseSave = [this] { return DataBaseSave(); };
  h.DataBaseLoad = [this] { DataBaseLoad(); };
  h.openDatabaseManager = [this] { onOpenDatabase(); };
  h.setPassChk = [this](bool on) { PassChk = on; };
  h.setPasswordMenu = [this](bool hasPassword) { setPassMenu(!hasPassword, hasPassword); };
  return BackupCommands(db_, prompt_, h);
}

void OrderForm::onBackup() { backupCommands().backUp(); }
void OrderForm::onRestore() { backupCommands().restore(); }
void OrderForm::onRestoreDailyBackup() { backupCommands().restoreDailyBackup(); }

void OrderForm::onClearShippedOrders() {
  DelForm dlg(db_, prompt_, this);
  dlg.exec();
  OrderShow();
}

void OrderForm::onManual() {
  // The manual ships beside the program (installed) or in the source tree.
  const QString page = AboutForm::manualPage();
  if (!page.isEmpty()) Shell::showLocalFile(page, prompt_);
}

// The program's own pages are the manual shipped with it; no outside address.
void OrderForm::onWebsite() { onManual(); }
void OrderForm::onFanPage() { onManual(); }

void OrderForm::onAbout() {
  try {
    AboutForm dlg(QString::fromLatin1(kVersion), prompt_, this);
    dlg.exec();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void OrderForm::onAdvancedSearch() {
  try {
    OrderSearch::open(db_, prompt_, *this, this, unshippedOption->isChecked(), shippedOption->isChecked());
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void OrderForm::onOrderProducts() {
  try {
    StockForm::MainFilters main;
    main.category = categoryCombo->currentIndex();
    main.unshipped = unshippedOption->isChecked();
    main.shipped = shippedOption->isChecked();
    main.period = periodCombo->currentIndex();
    main.year = yearEdit->text();
    main.viewMoney = showMoneyAction->isChecked();
    StockForm::open(db_, prompt_, *this, this, main);
  } catch (const std::exception&) {
    prompt_.error();
  }
}

bool OrderForm::showPicture(const QString& path) {
  QWidget* over = QApplication::activeModalWidget();
  ImagesForm::showPicture(prompt_, over ? over : this, path);
  return true;
}

void OrderForm::onCategoryChosen() {
  if (categoryCombo->currentText() == kEditCategories) {
    onEditCategories();
    return;
  }
  if (!se) OrderShow();
}

void OrderForm::onPeriodChosen() {
  if (!se) OrderShow();
}

void OrderForm::onUnshippedChosen() {
  if (se) return;
  OrderShow();
  for (QAction* a : {markSelectedShippedAction, pickingListAction, popupMarkShippedAction}) a->setEnabled(true);
}

void OrderForm::onShippedChosen() {
  if (se) return;
  OrderShow();
  for (QAction* a : {markSelectedShippedAction, pickingListAction, popupMarkShippedAction}) a->setEnabled(false);
}

void OrderForm::setShippingOptions(bool unshipped, bool shipped) {
  // An exclusive radio button cannot be cleared while it is the checked one.
  for (QRadioButton* b : {unshippedOption, shippedOption}) b->setAutoExclusive(false);
  unshippedOption->setChecked(unshipped && !shipped);
  shippedOption->setChecked(shipped);
  for (QRadioButton* b : {unshippedOption, shippedOption}) b->setAutoExclusive(true);
}

void OrderForm::onShowNames() {
  OrderShow();
  SettingsStore::setBool(kSection, QStringLiteral("Username"), showNamesAction->isChecked());
}

void OrderForm::onShowMoney() {
  CheckViewMoney();
  SettingsStore::setBool(kSection, QStringLiteral("Money"), showMoneyAction->isChecked());
}

void OrderForm::onCountExpenses() {
  onRecount();
  SettingsStore::setBool(kSetting, QStringLiteral("Expend"), countExpensesAction->isChecked());
}

void OrderForm::onOrderListHeaderClicked(int column) {
  Qt::SortOrder order = orderList->sortOrder();
  if (orderList->sortColumn() == column)
    order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  orderList->sortRows(column, order);
}

void OrderForm::onSelectAll() {
  orderList->selectAll();  // every row, first to last, as one selection
}

void OrderForm::onToolButton(int index) {
  switch (index) {
    case 2:
      onOpenDatabase();
      break;
    case 3:
      onSaveDatabase();
      break;
    case 5:
      onNewOrder();
      break;
    case 6:
      onEditOrder();
      break;
    case 7:
      onDeleteOrders();
      break;
    case 9:
      onCustomers();
      break;
    case 10:
      onProducts();
      break;
    case 12:
      onGeneralSettings();
      break;
    case 14:
      onAbout();
      break;
    default:
      // The separators (1, 4, 8, 11, 13) and any other number do nothing.
      break;
  }
}

// ---- database password ------------------------------------------------------

bool OrderForm::passSetEnabled() const { return setPasswordAction->isEnabled(); }
bool OrderForm::passClearEnabled() const { return clearPasswordAction->isEnabled(); }

void OrderForm::setPassMenu(bool setEnabled, bool clearEnabled) {
  setPasswordAction->setEnabled(setEnabled);
  clearPasswordAction->setEnabled(clearEnabled);
}

bool OrderForm::PassInit() { return DatabasePassword::PassInit(db_, prompt_, *this); }
void OrderForm::onSetPassword() { DatabasePassword::setPassword(db_, prompt_, *this); }
void OrderForm::onClearPassword() { DatabasePassword::clearPassword(db_, prompt_, *this); }
