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
  statusBar = new QStatusBar(this);
  statusBar->setSizeGripEnabled(false);
  for (QLabel*& p : statusPanels) {
    p = new QLabel(statusBar);
    statusBar->addWidget(p);
  }
  outer->addWidget(statusBar);

  searchLabel = new QLabel(QStringLiteral("商品名稱或備註"), client_);
  searchEdit = new QLineEdit(client_);
  auto button = [this](const QString& caption) {
    auto* b = new QPushButton(caption, client_);
    b->setAutoDefault(false);
    return b;
  };
  searchButton = button(QStringLiteral("搜尋"));
  searchAllButton = button(QStringLiteral("全區搜尋"));
  categoryCombo = new QComboBox(client_);
  editCategoriesButton = button(QStringLiteral("編輯分類"));
  productList = new ListView(client_);
  newProductButton = button(QStringLiteral("新增商品"));
  editProductButton = button(QStringLiteral("編輯商品"));
  deleteProductsButton = button(QStringLiteral("刪除商品"));
  sortProductsButton = button(QStringLiteral("排序商品"));
  salesRankingButton = button(QStringLiteral("銷售排行"));
  listOrdersButton = button(QStringLiteral("列出訂單"));
  purchaseRecordsButton = button(QStringLiteral("進貨記錄"));
  moveUpButton = button(QStringLiteral("上移"));
  moveDownButton = button(QStringLiteral("下移"));
  addButton = button(kAddToOrder);
  closeButton = button(QStringLiteral("結束"));
  // The ranking, the order listing and the category editor are handed in
  // by the opener; until then their buttons stand disabled. The purchase
  // entries are enabled by the purchasing side when the window is built.
  for (QPushButton* b : {salesRankingButton, listOrdersButton, purchaseRecordsButton}) b->setEnabled(false);
  editCategoriesButton->setEnabled(false);  // until a category editor is set
  connect(editCategoriesButton, &QPushButton::clicked, this, [this] {
    if (editCategories) editCategories();
  });

  productList->setColumns({QStringLiteral("商品名稱"), QStringLiteral("商品分類"), QStringLiteral("售價"),
                    QStringLiteral("成本"), QStringLiteral("庫存"), QStringLiteral("備註"),
                    QStringLiteral("安全存量"), QStringLiteral("重量"), QStringLiteral("Index")});
  productList->setIndexColumn(ProductList::Index);
  productList->setMultiSelect(true);
  productList->setColumnSortMode(ProductList::Stock, ListView::SortMode::Number);
  for (int c = 0; c < ProductList::ColumnCount; ++c) productList->setColumnWidthTwips(c, kFirstWidths[c]);

  // Menus.
  fileMenu = MenuBar->addMenu(QStringLiteral("檔案(&F)"));
  importCsvAction = fileMenu->addAction(QStringLiteral("匯入CSV檔(&I)"));
  QMenu* exportMenu = fileMenu->addMenu(QStringLiteral("匯出CSV檔(&E)"));
  exportMenuAction = exportMenu->menuAction();
  exportAllAction = exportMenu->addAction(QStringLiteral("全部"));
  exportSelectedAction = exportMenu->addAction(QStringLiteral("選擇的部分"));
  fileMenu->addSeparator();
  addPicturesAction = fileMenu->addAction(QStringLiteral("批次加入圖片"));
  QMenu* exportImg = fileMenu->addMenu(QStringLiteral("匯出圖片路徑"));
  exportPicturePathsMenuAction = exportImg->menuAction();
  exportAllPicturePathsAction = exportImg->addAction(QStringLiteral("全部"));
  exportSelectedPicturePathsAction = exportImg->addAction(QStringLiteral("選擇的部分"));
  fileMenu->addSeparator();
  purchaseSheetAction = fileMenu->addAction(QStringLiteral("進貨單"));
  fileMenu->addSeparator();
  exitAction = fileMenu->addAction(QStringLiteral("結束(&X)"));

  selectionMenu = MenuBar->addMenu(QStringLiteral("選取(&S)"));
  exportSelectedToNotepadAction = selectionMenu->addAction(QStringLiteral("匯出到記事本(&N)"));
  addSelectedToSheetAction = selectionMenu->addAction(QStringLiteral("新增到進貨單"));

  viewMenu = MenuBar->addMenu(QStringLiteral("檢視(&V)"));
  auto check = [](QMenu* m, const QString& caption) {
    QAction* a = m->addAction(caption);
    a->setCheckable(true);
    return a;
  };
  showPriceAction = check(viewMenu, QStringLiteral("售價"));
  showCostAction = check(viewMenu, QStringLiteral("成本"));
  showStockAction = check(viewMenu, QStringLiteral("庫存"));
  showNoteAction = check(viewMenu, QStringLiteral("備註"));
  viewMenu->addSeparator();
  highlightUnderSafetyAction = check(viewMenu, QStringLiteral("安全存量警示(顯示紅色)"));
  viewMenu->addSeparator();
  onlyInStockAction = check(viewMenu, QStringLiteral("只顯示有庫存的商品"));
  onlyOutOfStockAction = check(viewMenu, QStringLiteral("只顯示無庫存的商品"));
  onlyUnderSafetyAction = check(viewMenu, QStringLiteral("只顯示安全存量警示的商品"));

  listOrdersMenu = MenuBar->addMenu(QStringLiteral("列出訂單(&L)"));
  listAllOrdersAction = check(listOrdersMenu, QStringLiteral("列出全部"));
  listUnshippedOrdersAction = check(listOrdersMenu, QStringLiteral("列出未出貨"));
  listShippedOrdersAction = check(listOrdersMenu, QStringLiteral("列出已出貨"));

  settingsMenu = MenuBar->addMenu(QStringLiteral("設定(&S)"));
  askQuantityAction = check(settingsMenu, QStringLiteral("商品加入訂單時輸入數量 (限定單筆)"));
  stayOpenAfterAddAction = check(settingsMenu, QStringLiteral("商品加入訂單後不要馬上關閉"));
  noStockWarningAction = check(settingsMenu, QStringLiteral("商品加入訂單時不要跳出無庫存警示"));

  popupMenu = new QMenu(QStringLiteral("功能"), this);
  addProductAction = popupMenu->addAction(QStringLiteral("加入商品(&A)"));
  popupMenu->addSeparator();
  newLikeSelectedAction = popupMenu->addAction(QStringLiteral("新增(&N)"));
  editProductAction = popupMenu->addAction(QStringLiteral("編輯(&E)"));
  deleteProductsAction = popupMenu->addAction(QStringLiteral("刪除(&D)"));
  popupMenu->addSeparator();
  changeCategoryAction = popupMenu->addAction(QStringLiteral("變更多筆商品的分類"));
  changePriceAction = popupMenu->addAction(QStringLiteral("變更多筆商品的售價"));
  changeCostAction = popupMenu->addAction(QStringLiteral("變更多筆商品的成本"));
  changeStockAction = popupMenu->addAction(QStringLiteral("變更多筆商品的庫存"));
  popupMenu->addSeparator();
  addToSheetAction = popupMenu->addAction(QStringLiteral("新增到進貨單"));
  viewPicturesAction = popupMenu->addAction(QStringLiteral("檢視圖片(&V)"));
  popupMenu->addSeparator();
  moveUpAction = popupMenu->addAction(QStringLiteral("上移"));
  moveDownAction = popupMenu->addAction(QStringLiteral("下移"));

  // Entries whose commands come with the purchase sheet stand disabled (its side enables them).
  for (QAction* a : {purchaseSheetAction, addSelectedToSheetAction, addToSheetAction}) a->setEnabled(false);

  // Events.
  connect(addButton, &QPushButton::clicked, this, &ManufForm::onAdd);
  connect(newProductButton, &QPushButton::clicked, this, &ManufForm::onNewProduct);
  connect(editProductButton, &QPushButton::clicked, this, &ManufForm::onEditProduct);
  connect(deleteProductsButton, &QPushButton::clicked, this, &ManufForm::onDeleteProducts);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
  connect(exitAction, &QAction::triggered, this, &QDialog::close);
  connect(addProductAction, &QAction::triggered, this, &ManufForm::onAdd);
  connect(newLikeSelectedAction, &QAction::triggered, this, &ManufForm::onNewProductLikeSelected);
  connect(editProductAction, &QAction::triggered, this, &ManufForm::onEditProduct);
  connect(deleteProductsAction, &QAction::triggered, this, &ManufForm::onDeleteProducts);
  connect(exportSelectedToNotepadAction, &QAction::triggered, this, [this] { PrintoutCommands::exportProducts(db_, prompt_, this, *productList); });
  connect(categoryCombo, &QComboBox::currentIndexChanged, this, [this](int) {
    if (!se_) onCategoryChosen();
  });
  connect(productList, &ListView::headerClicked, this, &ManufForm::onColumnClicked);
  connect(productList, &ListView::rowActivated, this, [this](int) {
    if (addButton->isVisibleTo(this))
      onAdd();
    else
      onEditProduct();
  });
  connect(productList, &ListView::keyPressed, this, [this](int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Delete) onDeleteProducts();
  });
  connect(productList, &ListView::contextMenuAt, this, &ManufForm::showPopup);
  for (QAction* a : {onlyInStockAction, onlyOutOfStockAction, onlyUnderSafetyAction})
    connect(a, &QAction::triggered, this, [this, a] { stockFilterClicked(a); });
  for (QAction* a : {listAllOrdersAction, listUnshippedOrdersAction, listShippedOrdersAction})
    connect(a, &QAction::triggered, this, [this, a] { onListOrdersChoice(a); });
  connect(searchEdit, &QLineEdit::returnPressed, this, &ManufForm::onSearch);
  connect(sortProductsButton, &QPushButton::clicked, this, &ManufForm::onSortProducts);
  connect(searchButton, &QPushButton::clicked, this, &ManufForm::onSearch);
  connect(salesRankingButton, &QPushButton::clicked, this, &ManufForm::onSalesRanking);
  connect(listOrdersButton, &QPushButton::clicked, this, &ManufForm::onListOrders);
  connect(searchAllButton, &QPushButton::clicked, this, &ManufForm::onSearchAll);
  connect(moveUpButton, &QPushButton::clicked, this, &ManufForm::onMoveUp);
  connect(moveDownButton, &QPushButton::clicked, this, &ManufForm::onMoveDown);
  connect(moveUpAction, &QAction::triggered, this, &ManufForm::onMoveUp);
  connect(moveDownAction, &QAction::triggered, this, &ManufForm::onMoveDown);
  connect(viewPicturesAction, &QAction::triggered, this, &ManufForm::onViewPictures);
  connect(exportAllAction, &QAction::triggered, this, &ManufForm::onExportAll);
  connect(exportSelectedAction, &QAction::triggered, this, &ManufForm::onExportSelected);
  connect(exportAllPicturePathsAction, &QAction::triggered, this, &ManufForm::onExportAllPicturePaths);
  connect(exportSelectedPicturePathsAction, &QAction::triggered, this, &ManufForm::onExportSelectedPicturePaths);
  connect(importCsvAction, &QAction::triggered, this, &ManufForm::onImportCsv);
  connect(addPicturesAction, &QAction::triggered, this, &ManufForm::onAddPictures);
  connect(changeStockAction, &QAction::triggered, this, &ManufForm::onChangeStockOfSelected);
  connect(changePriceAction, &QAction::triggered, this, &ManufForm::onChangePriceOfSelected);
  connect(changeCostAction, &QAction::triggered, this, &ManufForm::onChangeCostOfSelected);
  connect(changeCategoryAction, &QAction::triggered, this, &ManufForm::onChangeCategoryOfSelected);
}

void ManufForm::setManagementUse() {
  addButton->setVisible(false);
  addProductAction->setEnabled(false);
  layoutControls();
}

void ManufForm::setOrderPickerUse(OrderEditorLines* lines) {
  lines_ = lines;
  addButton->setText(kAddToOrder);
  addButton->setVisible(true);
  addProductAction->setEnabled(true);
  listOrdersButton->setVisible(false);
  purchaseRecordsButton->setVisible(false);
  purchaseSheetAction->setEnabled(false);
  addToSheetAction->setEnabled(false);
  addSelectedToSheetAction->setEnabled(false);  // the purchase sheet cannot open beside the modal picker
  layoutControls();
}

// ---- the list ----

void ManufForm::ManufShow() {
  ProductList::Options o;
  o.category = categoryCombo->currentText();
  o.showPrice = showPriceAction->isChecked();
  o.showCost = showCostAction->isChecked();
  o.showStock = showStockAction->isChecked();
  o.showNote = showNoteAction->isChecked();
  o.safeRed = highlightUnderSafetyAction->isChecked();
  o.stock = onlyInStockAction->isChecked()   ? ProductList::StockFilter::WithStock
            : onlyOutOfStockAction->isChecked() ? ProductList::StockFilter::WithoutStock
            : onlyUnderSafetyAction->isChecked() ? ProductList::StockFilter::UnderSafety
                                      : ProductList::StockFilter::All;
  // Manual reordering works on the unfiltered list only.
  setMoveCommandsEnabled(o.category == kAll);
  showListing(ProductList::build(db_, o));
}

void ManufForm::showListing(ProductList::Listing l) {
  const QStringList status = l.statusTexts();
  productList->setRows(std::move(l.rows));
  for (int r : l.redRows) productList->setRowColor(r, QColor(255, 0, 0));
  for (int i = 0; i < 4; ++i) statusPanels[i]->setText(status[i]);
  productList->clearSelection();
}

void ManufForm::setMoveCommandsEnabled(bool on) {
  for (QPushButton* b : {moveUpButton, moveDownButton}) b->setEnabled(on);
  for (QAction* a : {moveUpAction, moveDownAction}) a->setEnabled(on);
}

std::vector<int> ManufForm::listedIndexes(bool selectedOnly) const {
  std::vector<int> out;
  if (selectedOnly) {
    for (int r : productList->selectedRows()) out.push_back(productList->tableIndex(r));
  } else {
    out.reserve(static_cast<size_t>(productList->rowCount()));
    for (int r = 0, n = productList->rowCount(); r < n; ++r) out.push_back(productList->tableIndex(r));
  }
  return out;
}

void ManufForm::fillCategoryFilter() {
  se_ = true;
  categoryCombo->clear();
  categoryCombo->addItems(ProductList::categoryFilterEntries(db_));
  se_ = false;
}

void ManufForm::setFilterQuietly(int index) {
  se_ = true;
  categoryCombo->setCurrentIndex(index);
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
  categoryCombo->insertItem(categoryCombo->count() - 2, category);
  se_ = false;
}

void ManufForm::setCategoryEditor(std::function<void()> editor) {
  editCategories = std::move(editor);
  editCategoriesButton->setEnabled(static_cast<bool>(editCategories));
}

void ManufForm::setOrderListHost(OrderListHost* host) {
  orderList_ = host;
  listOrdersButton->setEnabled(host != nullptr);
}

void ManufForm::setSalesRanking(std::function<void()> open) {
  openSalesRanking_ = std::move(open);
  salesRankingButton->setEnabled(static_cast<bool>(openSalesRanking_));
}


void ManufForm::onCategoryChosen() {
  if (categoryCombo->currentText() == kEditCategories) {
    if (editCategories) {
      editCategories();
    } else {
      setFilterQuietly(filterIndex_ < categoryCombo->count() - 1 ? filterIndex_ : 0);
      ManufShow();
    }
    return;
  }
  filterIndex_ = categoryCombo->currentIndex();
  ManufShow();
}

void ManufForm::stockFilterClicked(QAction* clicked) {
  for (QAction* a : {onlyInStockAction, onlyOutOfStockAction, onlyUnderSafetyAction})
    if (a != clicked) a->setChecked(false);
  ManufShow();
}

void ManufForm::onColumnClicked(int column) {
  if (column == sortColumn_)
    sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  else
    sortColumn_ = column;
  // The stock column sorts by value; the shown cells stay as they are.
  productList->sortRows(column, sortOrder_);
}

int ManufForm::currentListRow() const {
  int r = productList->currentRow();
  if (r < 0) {
    const auto sel = productList->selectedRows();
    if (!sel.empty()) r = sel.front();
  }
  return r;
}

void ManufForm::showPopup(const QPoint& pos) {
  // The bulk changes of category, price and cost want two products or more;
  // the stock change stays as it is.
  const bool several = productList->selectedRows().size() >= 2;
  for (QAction* a : {changeCategoryAction, changePriceAction, changeCostAction}) a->setEnabled(several);
  popupMenu->popup(pos);
}

// ---- commands ----

void ManufForm::onAdd() {
  if (productList->rowCount() == 0) return;
  if (addButton->text() == kAddToSheet) {
    PurchaseWindows::feedSheet(*this, db_, prompt_);
    return;
  }
  if (!lines_) {
    prompt_.message(QStringLiteral("加入商品發生錯誤!"), Prompt::Icon::Exclamation);
    return;
  }
  const std::vector<int> selected = productList->selectedRows();
  std::vector<int> rows;
  rows.reserve(selected.size());
  for (int r : selected) rows.push_back(productList->tableIndex(r));
  ProductPicker::Options o;
  o.askQuantity = askQuantityAction->isChecked();
  o.stayOpen = stayOpenAfterAddAction->isChecked();
  o.noStockAlert = noStockWarningAction->isChecked();
  const auto res = ProductPicker::addToOrder(db_, prompt_, rows, productList->rowCount(), o, *lines_);
  if (res.outcome != ProductPicker::Outcome::Added && res.outcome != ProductPicker::Outcome::AddedClose) return;
  for (int r : selected) {
    const QString shown = productList->text(r, ProductList::Stock);
    if (!shown.isEmpty()) productList->setText(r, ProductList::Stock, Num::format(Num::leading(shown) - res.qty));
  }
  if (res.outcome == ProductPicker::Outcome::AddedClose) close();
}

void ManufForm::prepareNew(ManufInput& dlg) {
  followSaves(dlg, *this);
  dlg.prepareNewProduct(categoryCombo->currentText());
}

bool ManufForm::prepareCopy(ManufInput& dlg) {
  const int row = currentListRow();
  const int r = row >= 0 ? productList->tableIndex(row) : 0;
  if (r < 1 || r > db_.Manuf.count()) {
    prompt_.error();
    return false;
  }
  followSaves(dlg, *this);
  dlg.prepareCopy(r, categoryCombo->currentText());
  return true;
}

bool ManufForm::prepareEdit(ManufInput& dlg) {
  const int row = currentListRow();
  const int r = row >= 0 ? productList->tableIndex(row) : 0;
  if (r < 1 || r > db_.Manuf.count()) {
    prompt_.error();
    return false;
  }
  editedListRow_ = row;
  followSaves(dlg, *this);
  dlg.prepareEditProduct(r, addButton->isVisibleTo(this));
  return true;
}

void ManufForm::onNewProduct() {
  ManufInput dlg(db_, prompt_, this);
  prepareNew(dlg);
  dlg.exec();
}

void ManufForm::onNewProductLikeSelected() {
  ManufInput dlg(db_, prompt_, this);
  if (prepareCopy(dlg)) dlg.exec();
}

void ManufForm::onEditProduct() {
  if (productList->rowCount() == 0) return;
  ManufInput dlg(db_, prompt_, this);
  if (prepareEdit(dlg)) dlg.exec();
  editedListRow_ = -1;
}

void ManufForm::onDeleteProducts() {
  if (productList->rowCount() == 0) return;
  if (prompt_.message(QStringLiteral("確定刪除選取的商品資料嗎？"), Prompt::Icon::Exclamation, Prompt::Buttons::YesNo,
                      QStringLiteral("刪除")) != Prompt::Answer::Yes)
    return;
  std::vector<std::pair<QString, QString>> products;
  for (int r : productList->selectedRows())
    products.emplace_back(productList->text(r, ProductList::Name), productList->text(r, ProductList::Category));
  ProductDelete::remove(db_, products);
  ManufShow();
}

// ---- search ----

void ManufForm::search(bool allCategories) {
  ProductList::Options o;
  o.category = categoryCombo->currentText();
  o.showPrice = showPriceAction->isChecked();
  o.showCost = showCostAction->isChecked();
  o.showStock = showStockAction->isChecked();
  o.showNote = showNoteAction->isChecked();
  o.safeRed = highlightUnderSafetyAction->isChecked();
  ProductSearch::Result r = ProductSearch::run(db_, searchEdit->text(), o, allCategories);
  if (r.refused) {
    prompt_.warn(ProductSearch::EmptyText);
    return;
  }
  // Moving needs the whole unfiltered list: a search result never offers it.
  setMoveCommandsEnabled(false);
  searchEdit->setText(r.searchText);
  const bool none = r.listing.rows.empty();
  showListing(std::move(r.listing));
  if (none) prompt_.message(ProductSearch::NothingFoundText, Prompt::Icon::Exclamation);
}

void ManufForm::onSearch() { search(false); }
void ManufForm::onSearchAll() { search(true); }

// ---- other windows ----

void ManufForm::onSalesRanking() {
  if (db_.Manuf.isEmpty()) {
    prompt_.info(QStringLiteral("目前尚無資料，無法統計"));
    return;
  }
  if (openSalesRanking_) openSalesRanking_();
}

void ManufForm::onViewPictures() {
  if (productList->rowCount() == 0) return;
  const int row = currentListRow();
  if (row < 0) return;
  const QString path =
      ProductLookup::picturePathOf(db_, productList->text(row, ProductList::Name), productList->text(row, ProductList::Category));
  if (path.isEmpty()) return;
  const QFileInfo file(path);
  if (!file.exists() || file.isDir()) {
    prompt_.warn(QStringLiteral("找不到圖片檔案!"));
    return;
  }
  ImagesForm::showPicture(prompt_, this, path);
}

// ---- the orders holding the selected products ----

void ManufForm::onListOrdersChoice(QAction* clicked) {
  for (QAction* a : {listAllOrdersAction, listUnshippedOrdersAction, listShippedOrdersAction}) a->setChecked(a == clicked);
}

void ManufForm::onListOrders() {
  if (!orderList_) return;
  try {
    std::vector<std::pair<QString, QString>> products;
    for (int r : productList->selectedRows())
      products.emplace_back(productList->text(r, ProductList::Name), productList->text(r, ProductList::Category));
    const auto choice = listAllOrdersAction->isChecked()   ? ProductOrders::ShipChoice::All
                        : listUnshippedOrdersAction->isChecked() ? ProductOrders::ShipChoice::Unshipped
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
  const int n = productList->rowCount();
  const std::vector<int> indexes = listedIndexes(false);
  std::vector<bool> selected(static_cast<size_t>(n), false);
  for (int r : productList->selectedRows()) selected[static_cast<size_t>(r)] = true;
  const std::vector<bool> before = selected;
  const auto made = ProductOrdering::moveSelected(db_, indexes, selected, up);
  if (!made) {
    prompt_.error();
    return;
  }
  const Table& t = db_.Manuf;
  for (const auto& [i, j] : *made) {
    for (int c = ProductList::Name; c <= ProductList::Weight; ++c) {
      const QString a = productList->text(i, c);
      productList->setText(i, c, productList->text(j, c));
      productList->setText(j, c, a);
    }
    if (!highlightUnderSafetyAction->isChecked()) continue;
    // Both rows take the colour of the product they show now, judged by its
    // stored stock as the list does (a hidden stock column counts for nothing).
    for (int row : {i, j}) {
      const int m = indexes[static_cast<size_t>(row)];
      const bool red =
          ProductList::underSafetyStock(t.cell(m, ManufCell::SafetyStock), t.cell(m, ManufCell::ProductStock));
      productList->setRowColor(row, red ? QColor(255, 0, 0) : QColor());
      for (int c = ProductList::Name; c <= ProductList::Weight; ++c) productList->setCellColor(row, c, QColor());
    }
  }
  for (int r = 0; r < n; ++r)
    if (selected[static_cast<size_t>(r)] != before[static_cast<size_t>(r)]) productList->setSelected(r, selected[static_cast<size_t>(r)]);
}

void ManufForm::onMoveUp() { moveSelection(true); }
void ManufForm::onMoveDown() { moveSelection(false); }

void ManufForm::onSortProducts() {
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

void ManufForm::onExportAll() { exportProducts(false); }
void ManufForm::onExportSelected() { exportProducts(true); }
void ManufForm::onExportAllPicturePaths() { exportPicturePaths(false); }
void ManufForm::onExportSelectedPicturePaths() { exportPicturePaths(true); }

void ManufForm::onImportCsv() {
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

void ManufForm::onAddPictures() {
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

void ManufForm::onChangeStockOfSelected() { bulkValue(static_cast<int>(ProductBulk::Field::Stock)); }
void ManufForm::onChangePriceOfSelected() { bulkValue(static_cast<int>(ProductBulk::Field::Price)); }
void ManufForm::onChangeCostOfSelected() { bulkValue(static_cast<int>(ProductBulk::Field::Cost)); }

void ManufForm::onChangeCategoryOfSelected() {
  const ProductBulk::CategoryResult r = ProductBulk::setCategory(db_, prompt_, listedIndexes(true));
  if (r.categoryAdded) addFilterEntry(r.category);
  if (r.changed) ManufShow();
}

// ---- the purchase sheet ----

void ManufForm::refreshProducts() { ManufShow(); }

void ManufForm::setSheetUse(bool on) {
  if (on) {
    addButton->setText(kAddToSheet);
    addButton->setVisible(true);
    addProductAction->setEnabled(true);
  } else if (addButton->text() == kAddToSheet) {
    addButton->setVisible(false);
    addButton->setText(kAddToOrder);
    addProductAction->setEnabled(false);
  }
}

// ---- after the product dialog ----

void ManufForm::productAdded(const QString& category, bool categoryAdded) {
  if (categoryAdded) addFilterEntry(category);
  const int i = categoryCombo->findText(category);
  const bool follow = categoryCombo->currentText() != kAll && i > 0;
  setFilterQuietly(follow ? i : 0);
  ManufShow();
  if (productList->rowCount() > 0) productList->setCurrentRow(productList->rowCount() - 1);
}

void ManufForm::productEdited(int r, bool categoryAdded) {
  if (categoryAdded) addFilterEntry(db_.Manuf.cell(r, ManufCell::ProductCategory));
  const int row = editedListRow_;
  if (row < 0 || row >= productList->rowCount()) return;
  // The row keeps its place even when it no longer matches the filters.
  const Table& t = db_.Manuf;
  for (int c = ProductList::Name; c <= ProductList::Weight; ++c) productList->setText(row, c, t.cell(r, c));
  const bool red = ProductList::underSafetyStock(t.cell(r, ManufCell::SafetyStock), t.cell(r, ManufCell::ProductStock));
  // The stock cell tells the new state whether or not the highlighting is
  // on; with it on, the rest of the row follows too.
  if (highlightUnderSafetyAction->isChecked()) productList->setRowColor(row, red ? QColor(255, 0, 0) : QColor());
  productList->setCellColor(row, ProductList::Stock, red ? QColor(255, 0, 0) : QColor(0, 0, 0));
}

// ---- opening, closing, layout ----

void ManufForm::loadSettings() {
  WindowTweaks::setDropDownHeight(categoryCombo, 300);
  WindowTweaks::applyFontSize(productList, statusBar, static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::fitColumnsTo(productList, {{ProductList::Price, WindowTweaks::kAmountSample},
                                    {ProductList::Cost, WindowTweaks::kAmountSample}});
  WindowTweaks::restoreColumnWidths(productList, kSection, 6);
  resize(px(kDesignWidth), px(kDesignHeight));
  WindowTweaks::restoreSize(this, kSection);
  WindowTweaks::restoreState(this, kSection);

  const struct {
    QAction* a;
    const char* key;
    bool def;
  } switches[] = {{showPriceAction, "no2", true},
                  {showCostAction, "no3", true},
                  {showStockAction, "no4", true},
                  {showNoteAction, "no5", true},
                  {highlightUnderSafetyAction, "Safe", true},
                  {onlyInStockAction, "show1", false},
                  {onlyOutOfStockAction, "show2", false},
                  {onlyUnderSafetyAction, "show3", false},
                  {stayOpenAfterAddAction, "AddManuf", false},
                  {askQuantityAction, "AddManuf2", false},
                  {noStockWarningAction, "ManufAlert", false},
                  {listAllOrdersAction, "List1", true},
                  {listUnshippedOrdersAction, "List2", false},
                  {listShippedOrdersAction, "List3", false}};
  for (const auto& s : switches) s.a->setChecked(SettingsStore::getBool(kSection, QString::fromLatin1(s.key), s.def));
  // At most one stock filter.
  if (onlyInStockAction->isChecked()) onlyOutOfStockAction->setChecked(false);
  if (onlyInStockAction->isChecked() || onlyOutOfStockAction->isChecked()) onlyUnderSafetyAction->setChecked(false);

  fillCategoryFilter();
  int pos = static_cast<int>(SettingsStore::getNumber(kSection, QStringLiteral("Combo1"), 0));
  if (pos < 0 || pos + 1 > categoryCombo->count()) pos = 0;
  setFilterQuietly(pos);
  onCategoryChosen();

  if (db_.HideCost) {
    productList->setColumnWidthTwips(ProductList::Cost, 0);
    statusPanels[1]->setVisible(false);
  }
}

void ManufForm::saveSettings() {
  WindowTweaks::saveColumnWidths(productList, kSection, 6);
  WindowTweaks::saveSize(this, kSection, QSize(kDesignWidth, kDesignHeight));
  // A window closed minimised opens normal again.
  SettingsStore::setNumber(kSection, QStringLiteral("WinState"), isMinimized() ? 1 : isMaximized() ? 2 : 0);
  const std::pair<QAction*, const char*> switches[] = {
      {showPriceAction, "no2"},           {showCostAction, "no3"},
      {showStockAction, "no4"},           {showNoteAction, "no5"},
      {highlightUnderSafetyAction, "Safe"},                {onlyInStockAction, "show1"},
      {onlyOutOfStockAction, "show2"},    {onlyUnderSafetyAction, "show3"},
      {stayOpenAfterAddAction, "AddManuf"},         {askQuantityAction, "AddManuf2"},
      {noStockWarningAction, "ManufAlert"},     {listAllOrdersAction, "List1"},
      {listUnshippedOrdersAction, "List2"}, {listShippedOrdersAction, "List3"}};
  for (const auto& [a, key] : switches) SettingsStore::setBool(kSection, QString::fromLatin1(key), a->isChecked());
  SettingsStore::setNumber(kSection, QStringLiteral("Combo1"),
                           categoryCombo->currentText().isEmpty() ? 0 : categoryCombo->currentIndex());
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
  searchLabel->setGeometry(px(225), px(165), px(1575), px(285));
  searchEdit->setGeometry(px(1920), px(120), px(3615), px(375));
  searchButton->setGeometry(px(5640), px(120), px(975), px(375));
  searchAllButton->setGeometry(px(6720), px(120), px(975), px(375));
  editCategoriesButton->setGeometry(cw - m - px(975), px(120), px(975), px(375));
  categoryCombo->setGeometry(editCategoriesButton->x() - m - px(2895), px(135), px(2895), px(345));
  const int buttonH = px(735);
  productList->setGeometry(m, px(600), std::max(0, cw - 2 * m), std::max(0, ch - (px(600) + buttonH + 2 * m)));
  const int top = ch - buttonH - m;
  const std::pair<QPushButton*, int> row[] = {{newProductButton, 120},      {editProductButton, 1200},
                                               {deleteProductsButton, 2280}, {sortProductsButton, 3360},
                                               {salesRankingButton, 4440},   {listOrdersButton, 5520},
                                               {purchaseRecordsButton, 6600}};
  for (const auto& [b, left] : row) b->setGeometry(px(left), top, px(975), buttonH);
  closeButton->setGeometry(cw - m - px(975), top, px(975), buttonH);
  addButton->setGeometry(closeButton->x() - m - px(1215), top, px(1215), buttonH);
  int moveLeft = px(7680);
  if (addButton->isVisibleTo(this) && addButton->text() == kAddToOrder) moveLeft = salesRankingButton->x() + salesRankingButton->width() + 1;
  moveUpButton->setGeometry(moveLeft, top, px(855), px(330));
  moveDownButton->setGeometry(moveLeft, top + px(330) + 1, px(855), px(330));
}

// ---- what the sales ranking shows here ----

ProductList::Options ManufForm::listOptions() const {
  ProductList::Options o;
  o.showPrice = showPriceAction->isChecked();
  o.showCost = showCostAction->isChecked();
  o.showStock = showStockAction->isChecked();
  o.showNote = showNoteAction->isChecked();
  o.safeRed = highlightUnderSafetyAction->isChecked();
  return o;
}

void ManufForm::showRows(std::vector<QStringList> rows, const std::vector<int>& redRows) {
  productList->setRows(std::move(rows));
  for (int r : redRows) productList->setRowColor(r, QColor(255, 0, 0));
  productList->clearSelection();
}
