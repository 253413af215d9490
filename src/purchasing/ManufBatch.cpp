#include "purchasing/ManufBatch.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/ListView.h"
#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"
#include "purchasing/ManufMerchant.h"
#include "purchasing/SheetFeeder.h"
#include "store/CsvFile.h"
#include "store/Database.h"
#include "store/TextEntry.h"

namespace {

const QString kSection = QStringLiteral("ManufBatch");
const QString kCsvFilter = QStringLiteral("CSV檔案 (*.csv)");
const QString kTotal = QStringLiteral("金額總計: ");
constexpr int kWidths[PurchaseSheet::Column::Count] = {3150, 1800, 1050, 900, 1650, 3150, 0};

}  // namespace

ManufBatch::ManufBatch(Database& db, Prompt& prompt, QWidget* parent)
    : QMainWindow(parent, Qt::Window), db_(db), prompt_(prompt) {
  setWindowTitle(QStringLiteral("進貨單"));
  fileMenu = menuBar()->addMenu(QStringLiteral("檔案(&F)"));
  loadSheetAction = fileMenu->addAction(QStringLiteral("讀入進貨單"));
  saveSheetAction = fileMenu->addAction(QStringLiteral("儲存進貨單"));
  fileMenu->addSeparator();
  exitAction = fileMenu->addAction(QStringLiteral("結束(&X)"));

  auto* client = new QWidget(this);
  setCentralWidget(client);
  auto* body = new QVBoxLayout(client);
  auto button = [client](const QString& caption) {
    auto* b = new QPushButton(caption, client);
    b->setAutoDefault(false);
    return b;
  };

  auto* top = new QHBoxLayout;
  body->addLayout(top);
  dateLabel = new QLabel(QStringLiteral("日期"), client);
  dateEdit = new QLineEdit(client);
  dateEdit->setFixedWidth(100);
  sheetNoLabel = new QLabel(QStringLiteral("進貨單號"), client);
  sheetNoEdit = new QLineEdit(client);
  sheetNoEdit->setFixedWidth(140);
  applyNoToAllButton = button(QStringLiteral("套用至全部"));
  supplierCombo = new QComboBox(client);
  supplierCombo->setMinimumWidth(160);
  WindowTweaks::setDropDownHeight(supplierCombo, 300);
  suppliersButton = button(QStringLiteral("廠商資料"));
  top->addWidget(dateLabel);
  top->addWidget(dateEdit);
  top->addSpacing(12);
  top->addWidget(sheetNoLabel);
  top->addWidget(sheetNoEdit);
  top->addWidget(applyNoToAllButton);
  top->addStretch(1);
  top->addWidget(new QLabel(QStringLiteral("廠商"), client));
  top->addWidget(supplierCombo);
  top->addWidget(suppliersButton);

  sheetList = new ListView(client);
  sheetList->setColumns({QStringLiteral("商品名稱"), QStringLiteral("商品分類"), QStringLiteral("金額"),
                         QStringLiteral("數量"), QStringLiteral("進貨單號"), QStringLiteral("備註"),
                         QStringLiteral("Index")});
  sheetList->setIndexColumn(PurchaseSheet::Column::Index);
  sheetList->setMultiSelect(true);
  for (int c = 0; c < PurchaseSheet::Column::Count; ++c) sheetList->setColumnWidthTwips(c, kWidths[c]);
  body->addWidget(sheetList, 1);

  auto* editRow = new QHBoxLayout;
  body->addLayout(editRow);
  amountLabel = new QLabel(QStringLiteral("金額"), client);
  amountEdit = new QLineEdit(client);
  qtyLabel = new QLabel(QStringLiteral("數量"), client);
  qtyEdit = new QLineEdit(client);
  purchaseNoLabel = new QLabel(QStringLiteral("進貨單號"), client);
  purchaseNoEdit = new QLineEdit(client);
  noteLabel = new QLabel(QStringLiteral("備註 "), client);
  noteEdit = new QLineEdit(client);
  changeSelectedButton = button(QStringLiteral("修改"));
  amountEdit->setFixedWidth(80);
  qtyEdit->setFixedWidth(60);
  purchaseNoEdit->setFixedWidth(120);
  for (QWidget* w :
       {static_cast<QWidget*>(amountLabel), static_cast<QWidget*>(amountEdit), static_cast<QWidget*>(qtyLabel),
        static_cast<QWidget*>(qtyEdit), static_cast<QWidget*>(purchaseNoLabel), static_cast<QWidget*>(purchaseNoEdit),
        static_cast<QWidget*>(noteLabel)})
    editRow->addWidget(w);
  editRow->addWidget(noteEdit, 1);
  editRow->addWidget(changeSelectedButton);

  auto* bottom = new QHBoxLayout;
  body->addLayout(bottom);
  addProductsButton = button(QStringLiteral("加入商品"));
  removeProductsButton = button(QStringLiteral("刪除商品"));
  clearSheetButton = button(QStringLiteral("清空進貨單"));
  recomputeCostCheck = new QCheckBox(QStringLiteral("進貨後重新計算商品成本"), client);
  bookSheetButton = button(QStringLiteral("開始進貨"));
  bottom->addWidget(addProductsButton);
  bottom->addWidget(removeProductsButton);
  bottom->addWidget(clearSheetButton);
  bottom->addStretch(1);
  bottom->addWidget(recomputeCostCheck);
  bottom->addWidget(bookSheetButton);

  statusBar()->setSizeGripEnabled(false);
  totalLabel = new QLabel(statusBar());
  statusBar()->addWidget(totalLabel, 1);
  resize(WindowTweaks::pixelsFromTwips(12000), WindowTweaks::pixelsFromTwips(6600));

  // Form_Load.
  WindowTweaks::applyFontSize(
      sheetList, statusBar(),
      static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::fitColumnsTo(sheetList, {{PurchaseSheet::Column::Amount, WindowTweaks::kAmountSample}});
  dateEdit->setText(DateText::today());
  fillSuppliers();
  recomputeCostCheck->setChecked(SettingsStore::get(kSection, QStringLiteral("Check1")) == QStringLiteral("1"));
  setEditRowVisible(false);

  connect(sheetList, &ListView::rowsSelectionChanged, this, [this] {
    if (!se_) onSheetRowsClicked();
  });
  connect(sheetList, &ListView::keyPressed, this, [this](int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Delete) onRemoveProducts();
  });
  for (QLineEdit* e : {amountEdit, qtyEdit, purchaseNoEdit, noteEdit})
    connect(e, &QLineEdit::returnPressed, this, &ManufBatch::onChangeSelected);
  connect(changeSelectedButton, &QPushButton::clicked, this, &ManufBatch::onChangeSelected);
  connect(bookSheetButton, &QPushButton::clicked, this, &ManufBatch::onBookSheet);
  connect(suppliersButton, &QPushButton::clicked, this, &ManufBatch::onEditSuppliers);
  connect(applyNoToAllButton, &QPushButton::clicked, this, &ManufBatch::onApplyNoToAll);
  connect(clearSheetButton, &QPushButton::clicked, this, &ManufBatch::onClearSheet);
  connect(addProductsButton, &QPushButton::clicked, this, &ManufBatch::onAddProducts);
  connect(removeProductsButton, &QPushButton::clicked, this, &ManufBatch::onRemoveProducts);
  connect(saveSheetAction, &QAction::triggered, this, &ManufBatch::onSaveSheet);
  connect(loadSheetAction, &QAction::triggered, this, &ManufBatch::onLoadSheet);
  connect(exitAction, &QAction::triggered, this, &QWidget::close);
}

ManufBatch::~ManufBatch() = default;

void ManufBatch::fillSuppliers() {
  supplierCombo->clear();
  supplierCombo->addItems(db_.settings.SupplierNames);
  supplierCombo->setCurrentIndex(0);
}

void ManufBatch::setEditRowVisible(bool on) {
  for (QWidget* w :
       {static_cast<QWidget*>(amountLabel), static_cast<QWidget*>(amountEdit), static_cast<QWidget*>(qtyLabel),
        static_cast<QWidget*>(qtyEdit), static_cast<QWidget*>(purchaseNoLabel), static_cast<QWidget*>(purchaseNoEdit),
        static_cast<QWidget*>(noteLabel), static_cast<QWidget*>(noteEdit), static_cast<QWidget*>(changeSelectedButton)})
    w->setVisible(on);
}

void ManufBatch::showRows() {
  se_ = true;
  std::vector<QStringList> cells;
  cells.reserve(rows_.size());
  for (const SheetRow& r : rows_) cells.push_back(r.cells());
  sheetList->setRows(std::move(cells));
  se_ = false;
}

void ManufBatch::addProducts(const std::vector<int>& manufRows) {
  se_ = true;
  for (int r : manufRows) {
    if (r < 1 || r > db_.Manuf.count()) continue;
    const SheetRow row = PurchaseSheet::fromProduct(db_, r);
    const int pos = PurchaseSheet::insert(rows_, row);
    sheetList->insertRow(pos, row.cells());
  }
  if (sheetList->rowCount() > 0) sheetList->setSelected(sheetList->rowCount() - 1, false);
  se_ = false;
}

void ManufBatch::MoneyShow() { totalLabel->setText(kTotal + PurchaseSheet::total(rows_).toText()); }

void ManufBatch::onSheetRowsClicked() {
  const std::vector<int> selected = sheetList->selectedRows();
  if (selected.size() == 1) {
    const SheetRow& r = rows_[static_cast<size_t>(selected.front())];
    amountEdit->setText(r.amount);
    qtyEdit->setText(r.qty);
    purchaseNoEdit->setText(r.no);
    noteEdit->setText(r.note);
  } else {
    for (QLineEdit* e : {amountEdit, qtyEdit, purchaseNoEdit, noteEdit}) e->clear();
  }
  setEditRowVisible(true);
  totalLabel->setText(kTotal + PurchaseSheet::total(rows_).toText() + QStringLiteral("，選擇的商品金額：") +
                      PurchaseSheet::total(rows_, selected).toText());
}

void ManufBatch::onChangeSelected() {
  if (!TextEntry::acceptable(prompt_, {{amountLabel->text(), amountEdit->text()},
                                       {qtyLabel->text(), qtyEdit->text()},
                                       {purchaseNoLabel->text(), purchaseNoEdit->text()},
                                       {noteLabel->text().trimmed(), noteEdit->text()}}))
    return;
  const QString amount = amountEdit->text(), qty = qtyEdit->text();
  const QString no = TextEntry::clean(purchaseNoEdit->text()), note = TextEntry::clean(noteEdit->text());
  for (int i : sheetList->selectedRows()) {
    SheetRow& r = rows_[static_cast<size_t>(i)];
    if (!amount.isEmpty()) r.amount = Num::format(Num::leading(amount));
    if (!qty.isEmpty()) r.qty = Num::format(Num::leading(qty));
    if (!purchaseNoEdit->text().isEmpty()) r.no = no;
    if (!noteEdit->text().isEmpty()) r.note = note;
    const QStringList cells = r.cells();
    for (int c = PurchaseSheet::Column::Amount; c <= PurchaseSheet::Column::Note; ++c)
      sheetList->setText(i, c, cells[c]);
  }
  MoneyShow();
}

void ManufBatch::onApplyNoToAll() {
  if (!TextEntry::acceptable(prompt_, {{sheetNoLabel->text(), sheetNoEdit->text()}})) return;
  const QString no = TextEntry::clean(sheetNoEdit->text());
  for (size_t i = 0; i < rows_.size(); ++i) {
    rows_[i].no = no;
    sheetList->setText(static_cast<int>(i), PurchaseSheet::Column::No, no);
  }
}

void ManufBatch::onClearSheet() {
  rows_.clear();
  showRows();
  totalLabel->clear();
}

void ManufBatch::onRemoveProducts() {
  const std::vector<int> selected = sheetList->selectedRows();
  se_ = true;
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    rows_.erase(rows_.begin() + *it);
    sheetList->removeRow(*it);
  }
  se_ = false;
  MoneyShow();
}

void ManufBatch::onEditSuppliers() {
  ManufMerchant::edit(db_, prompt_, this);
  fillSuppliers();
}

QWidget* ManufBatch::findProductWindow() const {
  if (productWindow) return productWindow;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (dynamic_cast<SheetFeeder*>(w) && !w->isModal() && w->isVisible()) return w;
  return nullptr;
}

SheetFeeder* ManufBatch::feeder() const { return dynamic_cast<SheetFeeder*>(findProductWindow()); }

void ManufBatch::onAddProducts() {
  QWidget* f = findProductWindow();
  if (!f && openProductWindow) f = openProductWindow();
  auto* products = dynamic_cast<SheetFeeder*>(f);
  if (!products) return;
  productWindow = f;
  products->setSheetUse(true);
  f->show();
  f->raise();
  f->activateWindow();
}

void ManufBatch::onBookSheet() {
  if (!TextEntry::acceptable(prompt_, {{dateLabel->text(), dateEdit->text()}})) return;
  PurchaseSheet::Header h;
  h.date = TextEntry::clean(dateEdit->text());
  h.no = sheetNoEdit->text();
  h.supplier = supplierCombo->currentText();
  const PurchaseSheet::BookResult res =
      PurchaseSheet::book(db_, prompt_, h, rows_, recomputeCostCheck->isChecked(), beforeBookingRow);
  if (!res.ok) {
    // Rows booked so far have left the sheet; the rest wait for a retry.
    showRows();
    MoneyShow();
    if (SheetFeeder* f = feeder()) f->refreshProducts();
    prompt_.error();
    return;
  }
  SettingsStore::set(kSection, QStringLiteral("Check1"),
                     recomputeCostCheck->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
  db_.setDirty(true);
  prompt_.message(QStringLiteral("進貨完成!"));
  if (SheetFeeder* f = feeder()) f->refreshProducts();
  rows_.clear();
  close();
}

void ManufBatch::onSaveSheet() {
  if (!TextEntry::acceptable(prompt_,
                             {{dateLabel->text(), dateEdit->text()}, {sheetNoLabel->text(), sheetNoEdit->text()}}))
    return;
  const QString path =
      prompt_.saveFile(QStringLiteral("儲存"), kCsvFilter, {}, QStringLiteral("進貨單 ") + sheetNoEdit->text());
  if (path.isEmpty()) return;
  const PurchaseSheet::Header h{dateEdit->text(), sheetNoEdit->text(), supplierCombo->currentText()};
  if (!Csv::writeFile(path, PurchaseSheet::fileText(h, rows_))) {
    prompt_.error();
    return;
  }
  prompt_.warn(QStringLiteral("進貨單儲存完成!"));
}

void ManufBatch::onLoadSheet() {
  const QString path = prompt_.openFile(QStringLiteral("匯入"), kCsvFilter);
  if (path.isEmpty()) return;
  QString text;
  const Csv::ReadStatus status = Csv::readFile(path, &text);
  PurchaseSheet::Loaded loaded;
  if (status != Csv::ReadStatus::Ok || !PurchaseSheet::parseFile(text, &loaded)) {
    // The sheet stays as it was.
    prompt_.message(status != Csv::ReadStatus::Ok ? Csv::readFailureText(status) : QStringLiteral("發生錯誤!"),
                    Prompt::Icon::Exclamation);
    return;
  }
  if (loaded.header.size() > 0) dateEdit->setText(loaded.header[0]);
  if (loaded.header.size() > 1) sheetNoEdit->setText(loaded.header[1]);
  if (loaded.header.size() > 2) {
    const int i = supplierCombo->findText(loaded.header[2], Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i >= 0) supplierCombo->setCurrentIndex(i);
  }
  rows_ = std::move(loaded.rows);
  showRows();
  prompt_.info(QStringLiteral("讀入進貨單完成!"));
  MoneyShow();
}

void ManufBatch::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (auto* products = dynamic_cast<SheetFeeder*>(productWindow.data())) products->setSheetUse(false);
}

void ManufBatch::closeEvent(QCloseEvent* event) {
  Form_Unload();
  QMainWindow::closeEvent(event);
}
