#include "customers/GuestForm.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <exception>

#include "admin/CateForm.h"
#include "customers/GuestInput.h"
#include "customers/GuestRowSource.h"
#include "platform/ListView.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"
#include "printouts/PrintoutCommands.h"
#include "store/Database.h"

namespace {

const QString kSection = QStringLiteral("GuestForm");
const QString kAll = QStringLiteral("全部");
const QString kEditCategories = QStringLiteral("編輯客戶分類");
constexpr int kTwips = WindowTweaks::kTwipsPerPixel;
constexpr int kDesignWidth = 12030;
constexpr int kDesignHeight = 8535;
const int kDesignColumnWidths[GuestList::Count] = {1950, 1500, 1500, 1500, 1500, 2250, 4500, 1500, 3000};

QPushButton* button(const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setAutoDefault(false);
  b->setMinimumSize(975 / kTwips, 735 / kTwips);
  return b;
}

}  // namespace

GuestForm::GuestForm(Database& db, Prompt& prompt, QWidget* parent)
    : QDialog(parent), db_(db), prompt_(prompt) {
  setWindowTitle(QStringLiteral("客戶管理"));
  setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setSizeGripEnabled(false);

  // ---- menus ----
  menuBar = new QMenuBar(this);
  QMenu* file = menuBar->addMenu(QStringLiteral("檔案(&F)"));
  importCsvAction = file->addAction(QStringLiteral("匯入CSV檔(&I)"));
  QMenu* exportMenu = file->addMenu(QStringLiteral("匯出CSV檔(&E)"));
  exportAllAction = exportMenu->addAction(kAll);
  exportSelectedAction = exportMenu->addAction(QStringLiteral("選擇的部分"));
  importRutenAction = file->addAction(QStringLiteral("匯入露天拍賣檔案"));
  importYahooAction = file->addAction(QStringLiteral("匯入Yahoo拍賣檔案"));
  importShopeeAction = file->addAction(QStringLiteral("匯入蝦皮拍賣檔案"));
  file->addSeparator();
  listWithoutOrdersAction = file->addAction(QStringLiteral("列出沒有訂單的客戶(&D)"));
  file->addSeparator();
  exitAction = file->addAction(QStringLiteral("結束(&X)"));
  QMenu* sel = menuBar->addMenu(QStringLiteral("選取(&S)"));
  exportSelectedToNotepadAction = sel->addAction(QStringLiteral("匯出到記事本(&N)"));
  exportSelectedLabelsAction = sel->addAction(QStringLiteral("匯出郵寄名條(&A)"));
  sel->addSeparator();
  emailSelectedAction = sel->addAction(QStringLiteral("寫Email"));
  QMenu* viewMenu = menuBar->addMenu(QStringLiteral("檢視(&V)"));
  const char* viewCaptions[] = {"姓名", "電話", "手機", "Email", "地址", "帳號後5碼", "備註"};
  columnActions[0] = columnActions[1] = nullptr;
  for (int i = 2; i <= 8; ++i) {
    columnActions[i] = viewMenu->addAction(QString::fromUtf8(viewCaptions[i - 2]));
    columnActions[i]->setCheckable(true);
  }
  QMenu* setMenu = menuBar->addMenu(QStringLiteral("進階設定(&A)"));
  noListOnOpenAction = setMenu->addAction(QStringLiteral("開啟視窗時先不要載入客戶列表"));
  noListOnOpenAction->setCheckable(true);
  rememberCategoryAction = setMenu->addAction(QStringLiteral("記錄最後儲存的客戶分類於新增客戶使用"));
  rememberCategoryAction->setCheckable(true);

  popupMenu = new QMenu(QStringLiteral("功能"), this);
  pickCustomerAction = popupMenu->addAction(QStringLiteral("加入這個客戶(&A)"));
  popupMenu->addSeparator();
  editCustomerAction = popupMenu->addAction(QStringLiteral("編輯(&E)"));
  deleteCustomerAction = popupMenu->addAction(QStringLiteral("刪除(&D)"));
  popupMenu->addSeparator();
  emailCustomerAction = popupMenu->addAction(QStringLiteral("寫Email"));
  popupMenu->addSeparator();
  purchaseHistoryAction = popupMenu->addAction(QStringLiteral("查看購物歷史清單(&M)"));

  // The Yahoo拍賣 and 蝦皮拍賣 importers are complete but not offered: their
  // entries stay hidden and disabled.
  for (QAction* a : {importYahooAction, importShopeeAction}) {
    a->setEnabled(false);
    a->setVisible(false);
  }
  // Labels and the export of the selected customers.
  connect(exportSelectedLabelsAction, &QAction::triggered, this, [this] { PrintoutCommands::customerLabels(db_, prompt_, this, *customerList); });
  connect(exportSelectedToNotepadAction, &QAction::triggered, this, [this] { PrintoutCommands::exportCustomers(db_, prompt_, this, *customerList); });

  // ---- controls ----
  searchLabel = new QLabel(QStringLiteral("帳號或姓名"), this);
  searchEdit = new QLineEdit(this);
  searchEdit->setFixedWidth(2535 / kTwips);
  searchButton = button(QStringLiteral("搜尋"), this);
  searchAllButton = button(QStringLiteral("全區搜尋"), this);
  advancedSearchButton = button(QStringLiteral("進階搜尋"), this);
  categoryCombo = new QComboBox(this);
  categoryCombo->setEditable(false);
  categoryCombo->setFixedWidth(3015 / kTwips);
  editCategoriesButton = button(QStringLiteral("分類按鈕"), this);
  for (QPushButton* b : {searchButton, searchAllButton, advancedSearchButton, editCategoriesButton}) b->setMinimumHeight(375 / kTwips);

  customerList = new ListView(this);
  customerList->setColumns({QStringLiteral("客戶帳號"), QStringLiteral("客戶分類"), QStringLiteral("姓名"),
                    QStringLiteral("電話"), QStringLiteral("手機"), QStringLiteral("Email"), QStringLiteral("地址"),
                    QStringLiteral("帳號末5碼"), QStringLiteral("備註"), QStringLiteral("Index")});
  for (int c = 0; c < GuestList::Count; ++c) customerList->setColumnWidthTwips(c, kDesignColumnWidths[c]);
  customerList->setIndexColumn(GuestList::Index);
  customerList->setMultiSelect(true);

  newCustomerButton = button(QStringLiteral("新增客戶"), this);
  editCustomerButton = button(QStringLiteral("編輯客戶"), this);
  deleteCustomersButton = button(QStringLiteral("刪除客戶"), this);
  sortCustomersButton = button(QStringLiteral("排序客戶"), this);
  historyButton = button(QStringLiteral("歷史清單"), this);
  listOrdersButton = button(QStringLiteral("列出訂單"), this);
  pickButton = button(QStringLiteral("加入客戶"), this);
  closeButton = button(QStringLiteral("結束"), this);
  listOrdersButton->setEnabled(false);  // until there is a main window to list into
  pickButton->setVisible(false);
  statusBar = new QStatusBar(this);
  statusBar->setSizeGripEnabled(false);

  auto* top = new QHBoxLayout;
  top->addWidget(searchLabel);
  top->addWidget(searchEdit);
  top->addWidget(searchButton);
  top->addWidget(searchAllButton);
  top->addWidget(advancedSearchButton);
  top->addStretch(1);
  top->addWidget(categoryCombo);
  top->addWidget(editCategoriesButton);
  auto* bottom = new QHBoxLayout;
  for (QPushButton* b : {newCustomerButton, editCustomerButton, deleteCustomersButton, sortCustomersButton, historyButton, listOrdersButton}) bottom->addWidget(b);
  bottom->addStretch(1);
  bottom->addWidget(pickButton);
  bottom->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menuBar);
  layout->setContentsMargins(120 / kTwips, 120 / kTwips, 120 / kTwips, 0);
  layout->addLayout(top);
  layout->addWidget(customerList, 1);
  layout->addLayout(bottom);
  layout->addWidget(statusBar);

  // ---- events ----
  connect(exitAction, &QAction::triggered, this, &QWidget::close);
  connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
  connect(pickButton, &QPushButton::clicked, this, &GuestForm::onPick);
  connect(newCustomerButton, &QPushButton::clicked, this, &GuestForm::onNewCustomer);
  connect(editCustomerButton, &QPushButton::clicked, this, &GuestForm::onEditCustomer);
  connect(deleteCustomersButton, &QPushButton::clicked, this, &GuestForm::onDeleteCustomers);
  connect(searchButton, &QPushButton::clicked, this, &GuestForm::onSearch);
  connect(sortCustomersButton, &QPushButton::clicked, this, &GuestForm::onSortCustomers);
  connect(searchAllButton, &QPushButton::clicked, this, &GuestForm::onSearchAll);
  connect(editCategoriesButton, &QPushButton::clicked, this, &GuestForm::onEditCategories);
  connect(searchEdit, &QLineEdit::returnPressed, this, &GuestForm::onSearch);
  connect(categoryCombo, &QComboBox::activated, this, [this](int) { onCategoryChosen(); });
  connect(pickCustomerAction, &QAction::triggered, this, &GuestForm::onPick);
  connect(editCustomerAction, &QAction::triggered, this, &GuestForm::onEditCustomer);
  connect(deleteCustomerAction, &QAction::triggered, this, &GuestForm::onDeleteCustomers);
  connect(rememberCategoryAction, &QAction::triggered, this,
          [](bool on) { SettingsStore::setBool(kSection, QStringLiteral("Set2"), on); });
  // Double click and Enter: pick in picker mode, else edit.
  connect(customerList, &ListView::rowActivated, this, [this](int) {
    if (pickButton->isVisible()) onPick();
    else onEditCustomer();
  });
  connect(customerList, &ListView::keyPressed, this, [this](int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Delete) onDeleteCustomers();
  });
  connect(customerList, &ListView::contextMenuAt, this, [this](const QPoint& at) { popupMenu->popup(at); });
  connect(customerList, &ListView::headerClicked, this, &GuestForm::columnClick);
  connectCustomerCommands();

  Form_Load();
}

GuestForm::~GuestForm() = default;

void GuestForm::Form_Load() {
  WindowTweaks::setDropDownHeight(categoryCombo, 300);
  WindowTweaks::restoreColumnWidths(customerList, kSection, 9);
  WindowTweaks::applyFontSize(customerList, statusBar, static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  resize(WindowTweaks::pixelsFromTwips(kDesignWidth), WindowTweaks::pixelsFromTwips(kDesignHeight));
  WindowTweaks::restoreSize(this, kSection);
  WindowTweaks::restoreState(this, kSection);
  for (int i = 2; i <= 8; ++i) columnActions[i]->setChecked(SettingsStore::getBool(kSection, QStringLiteral("no%1").arg(i), true));
  noListOnOpenAction->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Set1"), false));
  rememberCategoryAction->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Set2"), false));
}

void GuestForm::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  WindowTweaks::saveColumnWidths(customerList, kSection, 9);
  WindowTweaks::saveSize(this, kSection, QSize(kDesignWidth, kDesignHeight));
  const Qt::WindowStates st = windowState();
  const int state = st.testFlag(Qt::WindowMinimized) ? 1 : st.testFlag(Qt::WindowMaximized) ? 2 : 0;
  SettingsStore::setNumber(kSection, QStringLiteral("WinState"), state);
  for (int i = 2; i <= 8; ++i) SettingsStore::setBool(kSection, QStringLiteral("no%1").arg(i), columnActions[i]->isChecked());
  SettingsStore::setBool(kSection, QStringLiteral("Set1"), noListOnOpenAction->isChecked());
}

void GuestForm::done(int result) {
  Form_Unload();
  QDialog::done(result);
}

void GuestForm::keyPressEvent(QKeyEvent* event) {
  // The window is left through its buttons and its close box, not Esc.
  if (event->key() == Qt::Key_Escape) {
    event->ignore();
    return;
  }
  QDialog::keyPressEvent(event);
}

GuestList::View GuestForm::view() const {
  GuestList::View v = GuestList::allShown();
  for (int i = 2; i <= 8; ++i) v[static_cast<size_t>(i)] = columnActions[i]->isChecked();
  return v;
}

void GuestForm::setStatus(const QString& text) { statusBar->showMessage(text); }

void GuestForm::fillFilter() {
  const bool was = categoryCombo->blockSignals(true);
  categoryCombo->clear();
  categoryCombo->addItems(GuestList::filterEntries(db_));
  categoryCombo->setCurrentIndex(-1);
  categoryCombo->blockSignals(was);
}

void GuestForm::selectFilter(int index) {
  const bool was = categoryCombo->blockSignals(true);
  categoryCombo->setCurrentIndex(index);
  categoryCombo->blockSignals(was);
  onCategoryChosen();
}

bool GuestForm::openAsManager() {
  try {
    fillFilter();
    if (!noListOnOpenAction->isChecked()) selectFilter(0);
    searchEdit->setFocus();
    pickCustomerAction->setEnabled(false);
    picker_ = false;
    setAttribute(Qt::WA_DeleteOnClose);
    show();
    raise();
    activateWindow();
    return true;
  } catch (const std::exception&) {
    prompt_.message(QStringLiteral("載入客戶分類發生錯誤!"), Prompt::Icon::Exclamation);
    return false;
  }
}

int GuestForm::openAsPicker(const QString& account, const QString& category, CustomerSink editor) {
  preparePicker(account, category, std::move(editor));
  return exec();
}

void GuestForm::preparePicker(const QString& account, const QString& category, CustomerSink editor) {
  editor_ = std::move(editor);
  picker_ = true;
  categoryCombo->blockSignals(true);
  categoryCombo->addItems(GuestList::filterEntries(db_));
  categoryCombo->setCurrentIndex(-1);
  categoryCombo->blockSignals(false);
  if (!noListOnOpenAction->isChecked()) selectFilter(0);
  if (!account.isEmpty()) {
    customerList->setFocus();
    customerList->clearSelection();
    for (int r = 0; r < customerList->rowCount(); ++r) {
      if (customerList->text(r, GuestList::Account) == account && customerList->text(r, GuestList::Category) == category) {
        customerList->setCurrentRow(r);
        break;
      }
    }
  } else {
    searchEdit->setFocus();
  }
  pickButton->setVisible(true);
  listOrdersButton->setVisible(false);
  pickCustomerAction->setEnabled(true);
  setModal(true);
}

void GuestForm::GuestShow() {
  const QString filter = categoryCombo->currentText();
  customerList->setRowSource(GuestList::showRows(db_.Guest, filter, view()));
  setStatus(QStringLiteral(" 共 %1 筆客戶資料").arg(customerList->rowCount()));
  if (customerList->rowCount() > 0) customerList->setSelected(0, false);
}

void GuestForm::onCategoryChosen() {
  try {
    if (categoryCombo->currentText() == kEditCategories) {
      onEditCategories();
      return;
    }
    if (!se) GuestShow();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void GuestForm::search(bool allCategories) {
  try {
    if (searchEdit->text().isEmpty()) {
      prompt_.warn(QStringLiteral("請輸入帳號或客戶姓名"));
      return;
    }
    const QString t = GuestList::searchText(searchEdit->text());
    searchEdit->setText(t);
    customerList->setRowSource(GuestList::searchRows(db_.Guest, t, categoryCombo->currentText(), allCategories, view()));
    const int n = customerList->rowCount();
    setStatus(QStringLiteral(" 共 %1 筆資料").arg(n));
    if (n == 0) prompt_.message(QStringLiteral("沒有找到符合的客戶資料"), Prompt::Icon::Exclamation);
    else customerList->setSelected(0, false);
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void GuestForm::onSearch() { search(false); }
void GuestForm::onSearchAll() { search(true); }

void GuestForm::onPick() {
  if (customerList->rowCount() == 0) return;
  const int current = customerList->currentRow();
  const int r = current < 0 ? 0 : customerList->tableIndex(current);
  if (r < 1 || r > db_.Guest.count()) {
    prompt_.error();
    return;
  }
  CustomerFields picked = CustomerFields::fromGuestRow(db_.Guest, r);
  picked.hasSex = true;  // no separator: the editor's sex box is emptied
  if (editor_) editor_(picked);
  close();
}

void GuestForm::columnClick(int column) {
  if (column == sortColumn_)
    sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  else
    sortColumn_ = column;
  customerList->sortRows(sortColumn_, sortOrder_);
}

void GuestForm::onNewCustomer() {
  try {
    GuestInput dlg(db_, prompt_, this);
    QString category;
    const QStringList entries = GuestList::dialogCategories(db_);
    if (categoryCombo->currentText() != kAll) category = categoryCombo->currentText();
    else category = entries.value(0);
    if (rememberCategoryAction->isChecked())
      category = SettingsStore::get(kSection, QStringLiteral("Set_2_Value"), QStringLiteral("未分類"));
    dlg.openNew(GuestSave::NewFromList, category);
    // A filter without a chosen entry proposes no category (the save then
    // takes "未分類"), not the list's first one.
    if (category.isEmpty()) dlg.categoryCombo->setEditText(QString());
    dlg.list = this;
    dlg.exec();
    if (dlg.categoriesEdited) categoriesChanged();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void GuestForm::onEditCustomer() {
  if (customerList->rowCount() == 0) return;
  try {
    const int current = customerList->currentRow();
    const int r = current < 0 ? 0 : customerList->tableIndex(current);
    if (r < 1 || r > db_.Guest.count()) {
      prompt_.message(QStringLiteral("編輯客戶資料發生錯誤!"), Prompt::Icon::Exclamation);
      return;
    }
    GuestInput dlg(db_, prompt_, this);
    dlg.openEdit(GuestSave::EditFromList, r);
    dlg.list = this;
    dlg.exec();
    if (dlg.categoriesEdited) categoriesChanged();
  } catch (const std::exception&) {
    prompt_.message(QStringLiteral("編輯客戶資料發生錯誤!"), Prompt::Icon::Exclamation);
  }
}

void GuestForm::onDeleteCustomers() {
  if (customerList->rowCount() == 0) return;
  try {
    if (!prompt_.askYesNo(QStringLiteral("確定刪除選取的客戶資料嗎？"), QStringLiteral("刪除"))) return;
    std::vector<std::pair<QString, QString>> keys;
    for (int row : customerList->selectedRows())
      keys.emplace_back(customerList->text(row, GuestList::Account), customerList->text(row, GuestList::Category));
    GuestList::removeGuests(db_, keys);
    db_.setDirty(true);
    GuestShow();
  } catch (const std::exception&) {
    db_.setDirty(true);
    prompt_.error();
  }
}

void GuestForm::onSortCustomers() {
  try {
    GuestList::sortGuests(db_);
    db_.setDirty(true);
    GuestShow();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void GuestForm::onEditCategories() {
  try {
    CateForm::edit(db_, prompt_, CategoryEdit::Kind::Customer, this);
    categoriesChanged();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void GuestForm::categoriesChanged() {
  // Both filters back on "全部" and both lists rebuilt: rows listed under a
  // renamed or deleted category would otherwise name a customer key that no
  // longer exists, and a delete of such a row would remove nothing.
  fillFilter();
  selectFilter(0);
  if (onCategoriesEdited) onCategoriesEdited();
}

void GuestForm::guestSaved(int mode, const GuestSave::Result& result, const CustomerFields& saved) {
  const auto rebuildFilter = [&] {
    const bool was = categoryCombo->blockSignals(true);
    // The entry shown stays shown (without rebuilding the list), also when it
    // is "未分類", which is taken out and put back.
    const int shown = categoryCombo->currentIndex();
    const QString shownText = categoryCombo->currentText();
    const int n = categoryCombo->count();
    if (n >= 2) {
      categoryCombo->removeItem(n - 1);
      categoryCombo->removeItem(n - 2);
    }
    categoryCombo->addItem(saved.category);
    categoryCombo->addItem(QStringLiteral("未分類"));
    categoryCombo->addItem(kEditCategories);
    categoryCombo->setCurrentIndex(shown < 0 ? -1 : shown < n - 2 ? shown : categoryCombo->findText(shownText));
    categoryCombo->blockSignals(was);
  };
  if (mode == GuestSave::NewFromList) {
    if (result.categoryAdded) {
      rebuildFilter();
      selectFilter(categoryCombo->findText(saved.category));
    } else {
      customerList->addRow(GuestList::row(db_.Guest, result.row, GuestList::allShown()));
    }
    if (customerList->rowCount() > 0) customerList->setCurrentRow(customerList->rowCount() - 1);
  } else if (mode == GuestSave::EditFromList) {
    const int current = customerList->currentRow();
    if (current >= 0) {
      const QStringList cells = GuestList::row(db_.Guest, result.row, GuestList::allShown());
      for (int c = 0; c < GuestList::Index; ++c) customerList->setText(current, c, cells[c]);
    }
    if (result.categoryAdded) rebuildFilter();
  }
}
