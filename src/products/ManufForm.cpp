#include "products/ManufForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

#include <QFileInfo>

#include "admin/ImagesForm.h"
#include "models/OrderListHost.h"
#include "models/ProductList.h"
#include "models/ProductLookup.h"
#include "platform/ListView.h"
#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"
#include "printouts/PrintoutCommands.h"
#include "products/ProductBulk.h"
#include "products/ProductCsv.h"
#include "products/ProductDelete.h"
#include "products/ProductOrdering.h"
#include "products/ProductOrders.h"
#include "products/ProductPicker.h"
#include "products/ProductSearch.h"
#include "products/PurchaseWindows.h"
#include "purchasing/ManufInput.h"
#include "store/CsvFile.h"
#include "store/Database.h"

namespace {

const QString kSection = QStringLiteral("ManufForm");
const QString kAll = QStringLiteral("全部");
const QString kEditCategories = QStringLiteral("編輯商品分類");
const QString kAddToOrder = QStringLiteral("加入訂單");
const QString kAddToSheet = QStringLiteral("加入進貨單");
const QString kCsvFilter = QStringLiteral("CSV檔案 (*.csv)");
constexpr int kDesignWidth = 12030;   // outer size in twips
constexpr int kDesignHeight = 8535;
constexpr int kFirstWidths[ProductList::ColumnCount] = {4050, 1650, 1350, 1350, 1350, 4500, 1350, 1350, 0};

int px(int twips) { return twips / 15; }

// The product dialog keeps the window in step after a product is saved.
void followSaves(ManufInput& dlg, ManufForm& window) {
  dlg.productAdded = [&window](const QString& category, bool categoryAdded) {
    window.productAdded(category, categoryAdded);
  };
  dlg.productEdited = [&window](int manufRow, bool categoryAdded) { window.productEdited(manufRow, categoryAdded); };
}

}  // namespace

ManufForm::ManufForm(Database& db, Prompt& prompt, QWidget* parent) : QDialog(parent), db_(db), prompt_(prompt) {
  setWindowTitle(QStringLiteral("商品管理"));
  setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
  setSizeGripEnabled(true);
  buildControls();
  loadSettings();
  PurchaseWindows::attach(*this, db_, prompt_);
}

ManufForm::~ManufForm() = default;

void ManufForm::buildControls() {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  MenuBar = new QMenuBar(this);
  outer->setMenuBar(MenuBar);
  client_ = new QWidget(this);
  client_->installEventFilter(this);
  outer->addWidget(client_, 1);
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setSizeGripEnabled(false);
  for (QLabel*& p : Panel) {
    p = new QLabel(StatusBar1);
    StatusBar1->addWidget(p);
  }
  outer->addWidget(StatusBar1);

  Label1 = new QLabel(QStringLiteral("商品名稱或備註"), client_);
  Text1 = new QLineEdit(client_);
  auto button = [this](const QString& caption) {
    auto* b = new QPushButton(caption, client_);
    b->setAutoDefault(false);
    return b;
  };
  Command6 = button(QStringLiteral("搜尋"));
  Command9 = button(QStringLiteral("全區搜尋"));
  Combo1 = new QComboBox(client_);
  Command13 = button(QStringLiteral("編輯分類"));
  Liv1 = new ListView(client_);
  Command1 = button(QStringLiteral("新增商品"));
  Command2 = button(QStringLiteral("編輯商品"));
  Command3 = button(QStringLiteral("刪除商品"));
  Command5 = button(QStringLiteral("排序商品"));
  Command7 = button(QStringLiteral("銷售排行"));
  Command8 = button(QStringLiteral("列出訂單"));
  Command10 = button(QStringLiteral("進貨記錄"));
  Command11 = button(QStringLiteral("上移"));
  Command12 = button(QStringLiteral("下移"));
  Command0 = button(kAddToOrder);
  Command4 = button(QStringLiteral("結束"));
  // The ranking, the order listing and the category editor are handed in
  // by the opener; until then their buttons stand disabled. The purchase
  // entries are enabled by the purchasing side when the window is built.
  for (QPushButton* b : {Command7, Command8, Command10}) b->setEnabled(false);
  Command13->setEnabled(false);  // until a category editor is set
  connect(Command13, &QPushButton::clicked, this, [this] {
    if (editCategories) editCategories();
  });

  Liv1->setColumns({QStringLiteral("商品名稱"), QStringLiteral("商品分類"), QStringLiteral("售價"),
                    QStringLiteral("成本"), QStringLiteral("庫存"), QStringLiteral("備註"),
                    QStringLiteral("安全存量"), QStringLiteral("重量"), QStringLiteral("Index")});
  Liv1->setIndexColumn(ProductList::Index);
  Liv1->setMultiSelect(true);
  Liv1->setColumnSortMode(ProductList::Stock, ListView::SortMode::Number);
  for (int c = 0; c < ProductList::ColumnCount; ++c) Liv1->setColumnWidthTwips(c, kFirstWidths[c]);

  // Menus.
  Menu_File = MenuBar->addMenu(QStringLiteral("檔案(&F)"));
  File_Import = Menu_File->addAction(QStringLiteral("匯入CSV檔(&I)"));
  QMenu* exportMenu = Menu_File->addMenu(QStringLiteral("匯出CSV檔(&E)"));
  File_Export = exportMenu->menuAction();
  Export_All = exportMenu->addAction(QStringLiteral("全部"));
  Export_Sel = exportMenu->addAction(QStringLiteral("選擇的部分"));
  Menu_File->addSeparator();
  File_Importimg = Menu_File->addAction(QStringLiteral("批次加入圖片"));
  QMenu* exportImg = Menu_File->addMenu(QStringLiteral("匯出圖片路徑"));
  File_Exportimg = exportImg->menuAction();
  Exportimg_All = exportImg->addAction(QStringLiteral("全部"));
  Exportimg_Sel = exportImg->addAction(QStringLiteral("選擇的部分"));
  Menu_File->addSeparator();
  File_Batch = Menu_File->addAction(QStringLiteral("進貨單"));
  Menu_File->addSeparator();
  File_Exit = Menu_File->addAction(QStringLiteral("結束(&X)"));

  Menu_Sel = MenuBar->addMenu(QStringLiteral("選取(&S)"));
  Sel_Note = Menu_Sel->addAction(QStringLiteral("匯出到記事本(&N)"));
  Sel_Batch = Menu_Sel->addAction(QStringLiteral("新增到進貨單"));

  Menu_View = MenuBar->addMenu(QStringLiteral("檢視(&V)"));
  auto check = [](QMenu* m, const QString& caption) {
    QAction* a = m->addAction(caption);
    a->setCheckable(true);
    return a;
  };
  View_no2 = check(Menu_View, QStringLiteral("售價"));
  View_no3 = check(Menu_View, QStringLiteral("成本"));
  View_no4 = check(Menu_View, QStringLiteral("庫存"));
  View_no5 = check(Menu_View, QStringLiteral("備註"));
  Menu_View->addSeparator();
  View_Safe = check(Menu_View, QStringLiteral("安全存量警示(顯示紅色)"));
  Menu_View->addSeparator();
  View_show1 = check(Menu_View, QStringLiteral("只顯示有庫存的商品"));
  View_show2 = check(Menu_View, QStringLiteral("只顯示無庫存的商品"));
  View_show3 = check(Menu_View, QStringLiteral("只顯示安全存量警示的商品"));

  Menu_List = MenuBar->addMenu(QStringLiteral("列出訂單(&L)"));
  List_List1 = check(Menu_List, QStringLiteral("列出全部"));
  List_List2 = check(Menu_List, QStringLiteral("列出未出貨"));
  List_List3 = check(Menu_List, QStringLiteral("列出已出貨"));

  Menu_Set = MenuBar->addMenu(QStringLiteral("設定(&S)"));
  Set_AddManuf2 = check(Menu_Set, QStringLiteral("商品加入訂單時輸入數量 (限定單筆)"));
  Set_AddManuf = check(Menu_Set, QStringLiteral("商品加入訂單後不要馬上關閉"));
  Set_ManufAlert = check(Menu_Set, QStringLiteral("商品加入訂單時不要跳出無庫存警示"));

  Menu_Tools = new QMenu(QStringLiteral("功能"), this);
  Menu_Add = Menu_Tools->addAction(QStringLiteral("加入商品(&A)"));
  Menu_Tools->addSeparator();
  Menu_New = Menu_Tools->addAction(QStringLiteral("新增(&N)"));
  Menu_Edit = Menu_Tools->addAction(QStringLiteral("編輯(&E)"));
  Menu_Del = Menu_Tools->addAction(QStringLiteral("刪除(&D)"));
  Menu_Tools->addSeparator();
  Menu_EditType = Menu_Tools->addAction(QStringLiteral("變更多筆商品的分類"));
  Menu_EditPrice = Menu_Tools->addAction(QStringLiteral("變更多筆商品的售價"));
  Menu_EditCost = Menu_Tools->addAction(QStringLiteral("變更多筆商品的成本"));
  Menu_EditStock = Menu_Tools->addAction(QStringLiteral("變更多筆商品的庫存"));
  Menu_Tools->addSeparator();
  Menu_Batch = Menu_Tools->addAction(QStringLiteral("新增到進貨單"));
  Menu_ViewImages = Menu_Tools->addAction(QStringLiteral("檢視圖片(&V)"));
  Menu_Tools->addSeparator();
  Menu_Up = Menu_Tools->addAction(QStringLiteral("上移"));
  Menu_Down = Menu_Tools->addAction(QStringLiteral("下移"));

  // Entries whose commands come with the purchase sheet stand disabled (its side enables them).
  for (QAction* a : {File_Batch, Sel_Batch, Menu_Batch}) a->setEnabled(false);

  // Events.
  connect(Command0, &QPushButton::clicked, this, &ManufForm::Command0_Click);
  connect(Command1, &QPushButton::clicked, this, &ManufForm::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &ManufForm::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &ManufForm::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &QDialog::close);
  connect(File_Exit, &QAction::triggered, this, &QDialog::close);
  connect(Menu_Add, &QAction::triggered, this, &ManufForm::Command0_Click);
  connect(Menu_New, &QAction::triggered, this, &ManufForm::Menu_New_Click);
  connect(Menu_Edit, &QAction::triggered, this, &ManufForm::Command2_Click);
  connect(Menu_Del, &QAction::triggered, this, &ManufForm::Command3_Click);
  connect(Sel_Note, &QAction::triggered, this, [this] { PrintoutCommands::exportProducts(db_, prompt_, this, *Liv1); });
  connect(Combo1, &QComboBox::currentIndexChanged, this, [this](int) {
    if (!se_) Combo1_Click();
  });
  connect(Liv1, &ListView::headerClicked, this, &ManufForm::Liv1_ColumnClick);
  connect(Liv1, &ListView::rowActivated, this, [this](int) {
    if (Command0->isVisibleTo(this))
      Command0_Click();
    else
      Command2_Click();
  });
  connect(Liv1, &ListView::keyPressed, this, [this](int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Delete) Command3_Click();
  });
  connect(Liv1, &ListView::contextMenuAt, this, &ManufForm::showPopup);
  for (QAction* a : {View_show1, View_show2, View_show3})
    connect(a, &QAction::triggered, this, [this, a] { stockFilterClicked(a); });
  for (QAction* a : {List_List1, List_List2, List_List3})
    connect(a, &QAction::triggered, this, [this, a] { List_Click(a); });
  connect(Text1, &QLineEdit::returnPressed, this, &ManufForm::Command6_Click);
  connect(Command5, &QPushButton::clicked, this, &ManufForm::Command5_Click);
  connect(Command6, &QPushButton::clicked, this, &ManufForm::Command6_Click);
  connect(Command7, &QPushButton::clicked, this, &ManufForm::Command7_Click);
  connect(Command8, &QPushButton::clicked, this, &ManufForm::Command8_Click);
  connect(Command9, &QPushButton::clicked, this, &ManufForm::Command9_Click);
  connect(Command11, &QPushButton::clicked, this, &ManufForm::Menu_Up_Click);
  connect(Command12, &QPushButton::clicked, this, &ManufForm::Menu_Down_Click);
  connect(Menu_Up, &QAction::triggered, this, &ManufForm::Menu_Up_Click);
  connect(Menu_Down, &QAction::triggered, this, &ManufForm::Menu_Down_Click);
  connect(Menu_ViewImages, &QAction::triggered, this, &ManufForm::Menu_ViewImages_Click);
  connect(Export_All, &QAction::triggered, this, &ManufForm::Export_All_Click);
  connect(Export_Sel, &QAction::triggered, this, &ManufForm::Export_Sel_Click);
  connect(Exportimg_All, &QAction::triggered, this, &ManufForm::Exportimg_All_Click);
  connect(Exportimg_Sel, &QAction::triggered, this, &ManufForm::Exportimg_Sel_Click);
  connect(File_Import, &QAction::triggered, this, &ManufForm::File_Import_Click);
  connect(File_Importimg, &QAction::triggered, this, &ManufForm::File_Importimg_Click);
  connect(Menu_EditStock, &QAction::triggered, this, &ManufForm::Menu_EditStock_Click);
  connect(Menu_EditPrice, &QAction::triggered, this, &ManufForm::Menu_EditPrice_Click);
  connect(Menu_EditCost, &QAction::triggered, this, &ManufForm::Menu_EditCost_Click);
  connect(Menu_EditType, &QAction::triggered, this, &ManufForm::Menu_EditType_Click);
}

void ManufForm::setManagementUse() {
  Command0->setVisible(false);
  Menu_Add->setEnabled(false);
  layoutControls();
}

void ManufForm::setOrderPickerUse(OrderEditorLines* lines) {
  lines_ = lines;
  Command0->setText(kAddToOrder);
  Command0->setVisible(true);
  Menu_Add->setEnabled(true);
  Command8->setVisible(false);
  Command10->setVisible(false);
  File_Batch->setEnabled(false);
  Menu_Batch->setEnabled(false);
  Sel_Batch->setEnabled(false);  // the purchase sheet cannot open beside the modal picker
  layoutControls();
}

// ---- the list ----

void ManufForm::ManufShow() {
  ProductList::Options o;
  o.category = Combo1->currentText();
  o.showPrice = View_no2->isChecked();
  o.showCost = View_no3->isChecked();
  o.showStock = View_no4->isChecked();
  o.showNote = View_no5->isChecked();
  o.safeRed = View_Safe->isChecked();
  o.stock = View_show1->isChecked()   ? ProductList::StockFilter::WithStock
            : View_show2->isChecked() ? ProductList::StockFilter::WithoutStock
            : View_show3->isChecked() ? ProductList::StockFilter::UnderSafety
                                      : ProductList::StockFilter::All;
  // Manual reordering works on the unfiltered list only.
  setMoveCommandsEnabled(o.category == kAll);
  showListing(ProductList::build(db_, o));
}

void ManufForm::showListing(ProductList::Listing l) {
  const QStringList status = l.statusTexts();
  Liv1->setRows(std::move(l.rows));
  for (int r : l.redRows) Liv1->setRowColor(r, QColor(255, 0, 0));
  for (int i = 0; i < 4; ++i) Panel[i]->setText(status[i]);
  Liv1->clearSelection();
}

void ManufForm::setMoveCommandsEnabled(bool on) {
  for (QPushButton* b : {Command11, Command12}) b->setEnabled(on);
  for (QAction* a : {Menu_Up, Menu_Down}) a->setEnabled(on);
}

std::vector<int> ManufForm::listedIndexes(bool selectedOnly) const {
  std::vector<int> out;
  if (selectedOnly) {
    for (int r : Liv1->selectedRows()) out.push_back(Liv1->tableIndex(r));
  } else {
    out.reserve(static_cast<size_t>(Liv1->rowCount()));
    for (int r = 0, n = Liv1->rowCount(); r < n; ++r) out.push_back(Liv1->tableIndex(r));
  }
  return out;
}

void ManufForm::fillCategoryFilter() {
  se_ = true;
  Combo1->clear();
  Combo1->addItems(ProductList::categoryFilterEntries(db_));
  se_ = false;
}

void ManufForm::setFilterQuietly(int index) {
  se_ = true;
  Combo1->setCurrentIndex(index);
  se_ = false;
  filterIndex_ = index;
}

void ManufForm::refillCategoryFilter() {
  fillCategoryFilter();
  setFilterQuietly(0);
  ManufShow();
}

void ManufForm::addFilterEntry(const QString& category) {
  se_ = true;
  Combo1->insertItem(Combo1->count() - 2, category);
  se_ = false;
}

void ManufForm::setCategoryEditor(std::function<void()> editor) {
  editCategories = std::move(editor);
  Command13->setEnabled(static_cast<bool>(editCategories));
}

void ManufForm::setOrderListHost(OrderListHost* host) {
  orderList_ = host;
  Command8->setEnabled(host != nullptr);
}

void ManufForm::setSalesRanking(std::function<void()> open) {
  openSalesRanking_ = std::move(open);
  Command7->setEnabled(static_cast<bool>(openSalesRanking_));
}


void ManufForm::Combo1_Click() {
  if (Combo1->currentText() == kEditCategories) {
    if (editCategories) {
      editCategories();
    } else {
      setFilterQuietly(filterIndex_ < Combo1->count() - 1 ? filterIndex_ : 0);
      ManufShow();
    }
    return;
  }
  filterIndex_ = Combo1->currentIndex();
  ManufShow();
}

void ManufForm::stockFilterClicked(QAction* clicked) {
  for (QAction* a : {View_show1, View_show2, View_show3})
    if (a != clicked) a->setChecked(false);
  ManufShow();
}

void ManufForm::Liv1_ColumnClick(int column) {
  if (column == sortColumn_)
    sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  else
    sortColumn_ = column;
  // The stock column sorts by value; the shown cells stay as they are.
  Liv1->sortRows(column, sortOrder_);
}

int ManufForm::currentListRow() const {
  int r = Liv1->currentRow();
  if (r < 0) {
    const auto sel = Liv1->selectedRows();
    if (!sel.empty()) r = sel.front();
  }
  return r;
}

void ManufForm::showPopup(const QPoint& pos) {
  // The bulk changes of category, price and cost want two products or more;
  // the stock change stays as it is.
  const bool several = Liv1->selectedRows().size() >= 2;
  for (QAction* a : {Menu_EditType, Menu_EditPrice, Menu_EditCost}) a->setEnabled(several);
  Menu_Tools->popup(pos);
}

// ---- commands ----

void ManufForm::Command0_Click() {
  if (Liv1->rowCount() == 0) return;
  if (Command0->text() == kAddToSheet) {
    PurchaseWindows::feedSheet(*this, db_, prompt_);
    return;
  }
  if (!lines_) {
    prompt_.message(QStringLiteral("加入商品發生錯誤!"), Prompt::Icon::Exclamation);
    return;
  }
  const std::vector<int> selected = Liv1->selectedRows();
  std::vector<int> rows;
  rows.reserve(selected.size());
  for (int r : selected) rows.push_back(Liv1->tableIndex(r));
  ProductPicker::Options o;
  o.askQuantity = Set_AddManuf2->isChecked();
  o.stayOpen = Set_AddManuf->isChecked();
  o.noStockAlert = Set_ManufAlert->isChecked();
  const auto res = ProductPicker::addToOrder(db_, prompt_, rows, Liv1->rowCount(), o, *lines_);
  if (res.outcome != ProductPicker::Outcome::Added && res.outcome != ProductPicker::Outcome::AddedClose) return;
  for (int r : selected) {
    const QString shown = Liv1->text(r, ProductList::Stock);
    if (!shown.isEmpty()) Liv1->setText(r, ProductList::Stock, Num::format(Num::leading(shown) - res.qty));
  }
  if (res.outcome == ProductPicker::Outcome::AddedClose) close();
}

void ManufForm::prepareNew(ManufInput& dlg) {
  followSaves(dlg, *this);
  dlg.prepareNewProduct(Combo1->currentText());
}

bool ManufForm::prepareCopy(ManufInput& dlg) {
  const int row = currentListRow();
  const int r = row >= 0 ? Liv1->tableIndex(row) : 0;
  if (r < 1 || r > db_.Manuf.count()) {
    prompt_.error();
    return false;
  }
  followSaves(dlg, *this);
  dlg.prepareCopy(r, Combo1->currentText());
  return true;
}

bool ManufForm::prepareEdit(ManufInput& dlg) {
  const int row = currentListRow();
  const int r = row >= 0 ? Liv1->tableIndex(row) : 0;
  if (r < 1 || r > db_.Manuf.count()) {
    prompt_.error();
    return false;
  }
  editedListRow_ = row;
  followSaves(dlg, *this);
  dlg.prepareEditProduct(r, Command0->isVisibleTo(this));
  return true;
}

void ManufForm::Command1_Click() {
  ManufInput dlg(db_, prompt_, this);
  prepareNew(dlg);
  dlg.exec();
}

void ManufForm::Menu_New_Click() {
  ManufInput dlg(db_, prompt_, this);
  if (prepareCopy(dlg)) dlg.exec();
}

void ManufForm::Command2_Click() {
  if (Liv1->rowCount() == 0) return;
  ManufInput dlg(db_, prompt_, this);
  if (prepareEdit(dlg)) dlg.exec();
  editedListRow_ = -1;
}

void ManufForm::Command3_Click() {
  if (Liv1->rowCount() == 0) return;
  if (prompt_.message(QStringLiteral("確定刪除選取的商品資料嗎？"), Prompt::Icon::Exclamation, Prompt::Buttons::YesNo,
                      QStringLiteral("刪除")) != Prompt::Answer::Yes)
    return;
  std::vector<std::pair<QString, QString>> products;
  for (int r : Liv1->selectedRows())
    products.emplace_back(Liv1->text(r, ProductList::Name), Liv1->text(r, ProductList::Category));
  ProductDelete::remove(db_, products);
  ManufShow();
}

// ---- search ----

void ManufForm::search(bool allCategories) {
  ProductList::Options o;
  o.category = Combo1->currentText();
  o.showPrice = View_no2->isChecked();
  o.showCost = View_no3->isChecked();
  o.showStock = View_no4->isChecked();
  o.showNote = View_no5->isChecked();
  o.safeRed = View_Safe->isChecked();
  ProductSearch::Result r = ProductSearch::run(db_, Text1->text(), o, allCategories);
  if (r.refused) {
    prompt_.warn(ProductSearch::EmptyText);
    return;
  }
  // Moving needs the whole unfiltered list: a search result never offers it.
  setMoveCommandsEnabled(false);
  Text1->setText(r.searchText);
  const bool none = r.listing.rows.empty();
  showListing(std::move(r.listing));
  if (none) prompt_.message(ProductSearch::NothingFoundText, Prompt::Icon::Exclamation);
}

void ManufForm::Command6_Click() { search(false); }
void ManufForm::Command9_Click() { search(true); }

// ---- other windows ----

void ManufForm::Command7_Click() {
  if (db_.Manuf.isEmpty()) {
    prompt_.info(QStringLiteral("目前尚無資料，無法統計"));
    return;
  }
  if (openSalesRanking_) openSalesRanking_();
}

void ManufForm::Menu_ViewImages_Click() {
  if (Liv1->rowCount() == 0) return;
  const int row = currentListRow();
  if (row < 0) return;
  const QString path =
      ProductLookup::picturePathOf(db_, Liv1->text(row, ProductList::Name), Liv1->text(row, ProductList::Category));
  if (path.isEmpty()) return;
  const QFileInfo file(path);
  if (!file.exists() || file.isDir()) {
    prompt_.warn(QStringLiteral("找不到圖片檔案!"));
    return;
  }
  ImagesForm::showPicture(prompt_, this, path);
}

// ---- the orders holding the selected products ----

void ManufForm::List_Click(QAction* clicked) {
  for (QAction* a : {List_List1, List_List2, List_List3}) a->setChecked(a == clicked);
}

void ManufForm::Command8_Click() {
  if (!orderList_) return;
  try {
    std::vector<std::pair<QString, QString>> products;
    for (int r : Liv1->selectedRows())
      products.emplace_back(Liv1->text(r, ProductList::Name), Liv1->text(r, ProductList::Category));
    const auto choice = List_List1->isChecked()   ? ProductOrders::ShipChoice::All
                        : List_List2->isChecked() ? ProductOrders::ShipChoice::Unshipped
                                                  : ProductOrders::ShipChoice::Shipped;
    const OrderList::OrderListResult r = ProductOrders::list(db_, products, choice, orderList_->viewUsername());
    const bool wasUnshipped = orderList_->unshippedOptionSelected();
    orderList_->showOrderList(r);
    if (wasUnshipped)
      orderList_->CheckStockShortage();
    else
      orderList_->clearShortageList();
    const bool unshipped = choice != ProductOrders::ShipChoice::Shipped;
    orderList_->setShippingOptionsQuietly(unshipped, !unshipped);
    orderList_->bringToFront();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

// ---- manual ordering ----

void ManufForm::moveSelection(bool up) {
  const int n = Liv1->rowCount();
  const std::vector<int> indexes = listedIndexes(false);
  std::vector<bool> selected(static_cast<size_t>(n), false);
  for (int r : Liv1->selectedRows()) selected[static_cast<size_t>(r)] = true;
  const std::vector<bool> before = selected;
  const auto made = ProductOrdering::moveSelected(db_, indexes, selected, up);
  if (!made) {
    prompt_.error();
    return;
  }
  const Table& t = db_.Manuf;
  for (const auto& [i, j] : *made) {
    for (int c = ProductList::Name; c <= ProductList::Weight; ++c) {
      const QString a = Liv1->text(i, c);
      Liv1->setText(i, c, Liv1->text(j, c));
      Liv1->setText(j, c, a);
    }
    if (!View_Safe->isChecked()) continue;
    // Both rows take the colour of the product they show now, judged by its
    // stored stock as the list does (a hidden stock column counts for nothing).
    for (int row : {i, j}) {
      const int m = indexes[static_cast<size_t>(row)];
      const bool red =
          ProductList::underSafetyStock(t.cell(m, ManufCell::SafetyStock), t.cell(m, ManufCell::ProductStock));
      Liv1->setRowColor(row, red ? QColor(255, 0, 0) : QColor());
      for (int c = ProductList::Name; c <= ProductList::Weight; ++c) Liv1->setCellColor(row, c, QColor());
    }
  }
  for (int r = 0; r < n; ++r)
    if (selected[static_cast<size_t>(r)] != before[static_cast<size_t>(r)]) Liv1->setSelected(r, selected[static_cast<size_t>(r)]);
}

void ManufForm::Menu_Up_Click() { moveSelection(true); }
void ManufForm::Menu_Down_Click() { moveSelection(false); }

void ManufForm::Command5_Click() {
  if (ProductOrdering::sortByName(db_, prompt_)) ManufShow();
}

// ---- CSV files ----

void ManufForm::exportProducts(bool selectedOnly) {
  const QString path = prompt_.saveFile(QStringLiteral("匯出"), kCsvFilter, QString(), QStringLiteral("商品資料"));
  if (path.isEmpty()) return;
  if (!Csv::writeFile(path, ProductCsv::productText(db_, listedIndexes(selectedOnly)))) {
    prompt_.error();
    return;
  }
  prompt_.info(QStringLiteral("匯出CSV完成!"));
}

void ManufForm::exportPicturePaths(bool selectedOnly) {
  const QString path = prompt_.saveFile(QStringLiteral("匯出"), kCsvFilter, QString(), QStringLiteral("img"));
  if (path.isEmpty()) return;
  if (!Csv::writeFile(path, ProductCsv::picturePathText(db_, listedIndexes(selectedOnly)))) {
    prompt_.error();
    return;
  }
  prompt_.info(QStringLiteral("匯出完成!"));
}

void ManufForm::Export_All_Click() { exportProducts(false); }
void ManufForm::Export_Sel_Click() { exportProducts(true); }
void ManufForm::Exportimg_All_Click() { exportPicturePaths(false); }
void ManufForm::Exportimg_Sel_Click() { exportPicturePaths(true); }

void ManufForm::File_Import_Click() {
  const QString path = prompt_.openFile(QStringLiteral("匯入"), kCsvFilter);
  if (path.isEmpty()) return;
  // The whole file is read first: one that cannot be read changes nothing.
  QString text;
  const Csv::ReadStatus status = Csv::readFile(path, &text);
  if (status != Csv::ReadStatus::Ok) {
    prompt_.message(Csv::readFailureText(status), Prompt::Icon::Exclamation);
    return;
  }
  const bool replace =
      prompt_.message(QStringLiteral("匯入的資料中如果包含已存在的商品，要用匯入的資料取代原商品資料嗎？"),
                      Prompt::Icon::Question, Prompt::Buttons::YesNo) == Prompt::Answer::Yes;
  ProductCsv::importProducts(db_, text, replace);
  prompt_.info(QStringLiteral("匯入CSV完成!"));
  ManufShow();
}

void ManufForm::File_Importimg_Click() {
  const QString path = prompt_.openFile(QStringLiteral("匯入"), kCsvFilter);
  if (path.isEmpty()) return;
  QString text;
  const Csv::ReadStatus status = Csv::readFile(path, &text);
  if (status != Csv::ReadStatus::Ok) {
    prompt_.message(Csv::readFailureText(status), Prompt::Icon::Exclamation);
    return;
  }
  ProductCsv::importPicturePaths(db_, text);
  prompt_.info(QStringLiteral("匯入圖片完成!"));
  ManufShow();
}

// ---- bulk changes ----

void ManufForm::bulkValue(int field) {
  if (ProductBulk::setValue(db_, prompt_, static_cast<ProductBulk::Field>(field), listedIndexes(true))) ManufShow();
}

void ManufForm::Menu_EditStock_Click() { bulkValue(static_cast<int>(ProductBulk::Field::Stock)); }
void ManufForm::Menu_EditPrice_Click() { bulkValue(static_cast<int>(ProductBulk::Field::Price)); }
void ManufForm::Menu_EditCost_Click() { bulkValue(static_cast<int>(ProductBulk::Field::Cost)); }

void ManufForm::Menu_EditType_Click() {
  const ProductBulk::CategoryResult r = ProductBulk::setCategory(db_, prompt_, listedIndexes(true));
  if (r.categoryAdded) addFilterEntry(r.category);
  if (r.changed) ManufShow();
}

// ---- the purchase sheet ----

void ManufForm::refreshProducts() { ManufShow(); }

void ManufForm::setSheetUse(bool on) {
  if (on) {
    Command0->setText(kAddToSheet);
    Command0->setVisible(true);
    Menu_Add->setEnabled(true);
  } else if (Command0->text() == kAddToSheet) {
    Command0->setVisible(false);
    Command0->setText(kAddToOrder);
    Menu_Add->setEnabled(false);
  }
}

// ---- after the product dialog ----

void ManufForm::productAdded(const QString& category, bool categoryAdded) {
  if (categoryAdded) addFilterEntry(category);
  const int i = Combo1->findText(category);
  const bool follow = Combo1->currentText() != kAll && i > 0;
  setFilterQuietly(follow ? i : 0);
  ManufShow();
  if (Liv1->rowCount() > 0) Liv1->setCurrentRow(Liv1->rowCount() - 1);
}

void ManufForm::productEdited(int r, bool categoryAdded) {
  if (categoryAdded) addFilterEntry(db_.Manuf.cell(r, ManufCell::ProductCategory));
  const int row = editedListRow_;
  if (row < 0 || row >= Liv1->rowCount()) return;
  // The row keeps its place even when it no longer matches the filters.
  const Table& t = db_.Manuf;
  for (int c = ProductList::Name; c <= ProductList::Weight; ++c) Liv1->setText(row, c, t.cell(r, c));
  const bool red = ProductList::underSafetyStock(t.cell(r, ManufCell::SafetyStock), t.cell(r, ManufCell::ProductStock));
  // The stock cell tells the new state whether or not the highlighting is
  // on; with it on, the rest of the row follows too.
  if (View_Safe->isChecked()) Liv1->setRowColor(row, red ? QColor(255, 0, 0) : QColor());
  Liv1->setCellColor(row, ProductList::Stock, red ? QColor(255, 0, 0) : QColor(0, 0, 0));
}

// ---- opening, closing, layout ----

void ManufForm::loadSettings() {
  WindowTweaks::setDropDownHeight(Combo1, 300);
  WindowTweaks::applyFontSize(Liv1, StatusBar1, static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::fitColumnsTo(Liv1, {{ProductList::Price, WindowTweaks::kAmountSample},
                                    {ProductList::Cost, WindowTweaks::kAmountSample}});
  WindowTweaks::restoreColumnWidths(Liv1, kSection, 6);
  resize(px(kDesignWidth), px(kDesignHeight));
  WindowTweaks::restoreSize(this, kSection);
  WindowTweaks::restoreState(this, kSection);

  const struct {
    QAction* a;
    const char* key;
    bool def;
  } switches[] = {{View_no2, "no2", true},      {View_no3, "no3", true},          {View_no4, "no4", true},
                  {View_no5, "no5", true},      {View_Safe, "Safe", true},        {View_show1, "show1", false},
                  {View_show2, "show2", false}, {View_show3, "show3", false},      {Set_AddManuf, "AddManuf", false},
                  {Set_AddManuf2, "AddManuf2", false}, {Set_ManufAlert, "ManufAlert", false},
                  {List_List1, "List1", true},  {List_List2, "List2", false},     {List_List3, "List3", false}};
  for (const auto& s : switches) s.a->setChecked(SettingsStore::getBool(kSection, QString::fromLatin1(s.key), s.def));
  // At most one stock filter.
  if (View_show1->isChecked()) View_show2->setChecked(false);
  if (View_show1->isChecked() || View_show2->isChecked()) View_show3->setChecked(false);

  fillCategoryFilter();
  int pos = static_cast<int>(SettingsStore::getNumber(kSection, QStringLiteral("Combo1"), 0));
  if (pos < 0 || pos + 1 > Combo1->count()) pos = 0;
  setFilterQuietly(pos);
  Combo1_Click();

  if (db_.HideCost) {
    Liv1->setColumnWidthTwips(ProductList::Cost, 0);
    Panel[1]->setVisible(false);
  }
}

void ManufForm::saveSettings() {
  WindowTweaks::saveColumnWidths(Liv1, kSection, 6);
  WindowTweaks::saveSize(this, kSection, QSize(kDesignWidth, kDesignHeight));
  // A window closed minimised opens normal again.
  SettingsStore::setNumber(kSection, QStringLiteral("WinState"), isMinimized() ? 1 : isMaximized() ? 2 : 0);
  const std::pair<QAction*, const char*> switches[] = {
      {View_no2, "no2"},     {View_no3, "no3"},         {View_no4, "no4"},           {View_no5, "no5"},
      {View_Safe, "Safe"},   {View_show1, "show1"},     {View_show2, "show2"},       {View_show3, "show3"},
      {Set_AddManuf, "AddManuf"}, {Set_AddManuf2, "AddManuf2"}, {Set_ManufAlert, "ManufAlert"},
      {List_List1, "List1"}, {List_List2, "List2"},     {List_List3, "List3"}};
  for (const auto& [a, key] : switches) SettingsStore::setBool(kSection, QString::fromLatin1(key), a->isChecked());
  SettingsStore::setNumber(kSection, QStringLiteral("Combo1"), Combo1->currentText().isEmpty() ? 0 : Combo1->currentIndex());
}

void ManufForm::runClosingSteps() {
  if (closed_) return;
  closed_ = true;
  saveSettings();
  if (!lines_ && onManagementClosed) onManagementClosed();
}

void ManufForm::done(int result) {
  runClosingSteps();
  QDialog::done(result);
}

void ManufForm::showEvent(QShowEvent* event) {
  closed_ = false;  // shown again after closing: the next closing stores again
  QDialog::showEvent(event);
}

void ManufForm::closeEvent(QCloseEvent* event) {
  runClosingSteps();
  QDialog::closeEvent(event);
}

bool ManufForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize) layoutControls();
  return QDialog::eventFilter(watched, event);
}

void ManufForm::layoutControls() {
  if (isMinimized()) return;
  const int m = px(120);
  const int cw = client_->width();
  const int ch = client_->height();
  Label1->setGeometry(px(225), px(165), px(1575), px(285));
  Text1->setGeometry(px(1920), px(120), px(3615), px(375));
  Command6->setGeometry(px(5640), px(120), px(975), px(375));
  Command9->setGeometry(px(6720), px(120), px(975), px(375));
  Command13->setGeometry(cw - m - px(975), px(120), px(975), px(375));
  Combo1->setGeometry(Command13->x() - m - px(2895), px(135), px(2895), px(345));
  const int buttonH = px(735);
  Liv1->setGeometry(m, px(600), std::max(0, cw - 2 * m), std::max(0, ch - (px(600) + buttonH + 2 * m)));
  const int top = ch - buttonH - m;
  const std::pair<QPushButton*, int> row[] = {{Command1, 120}, {Command2, 1200}, {Command3, 2280}, {Command5, 3360},
                                               {Command7, 4440}, {Command8, 5520}, {Command10, 6600}};
  for (const auto& [b, left] : row) b->setGeometry(px(left), top, px(975), buttonH);
  Command4->setGeometry(cw - m - px(975), top, px(975), buttonH);
  Command0->setGeometry(Command4->x() - m - px(1215), top, px(1215), buttonH);
  int moveLeft = px(7680);
  if (Command0->isVisibleTo(this) && Command0->text() == kAddToOrder) moveLeft = Command7->x() + Command7->width() + 1;
  Command11->setGeometry(moveLeft, top, px(855), px(330));
  Command12->setGeometry(moveLeft, top + px(330) + 1, px(855), px(330));
}

// ---- what the sales ranking shows here ----

ProductList::Options ManufForm::listOptions() const {
  ProductList::Options o;
  o.showPrice = View_no2->isChecked();
  o.showCost = View_no3->isChecked();
  o.showStock = View_no4->isChecked();
  o.showNote = View_no5->isChecked();
  o.safeRed = View_Safe->isChecked();
  return o;
}

void ManufForm::showRows(std::vector<QStringList> rows, const std::vector<int>& redRows) {
  Liv1->setRows(std::move(rows));
  for (int r : redRows) Liv1->setRowColor(r, QColor(255, 0, 0));
  Liv1->clearSelection();
}
