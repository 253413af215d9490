#include "purchasing/ManufStock.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>
#include <exception>
#include <stdexcept>

#include "platform/ListView.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"
#include "printouts/ExportForm.h"
#include "purchasing/ManufMerchant.h"
#include "purchasing/ManufStockInput.h"
#include "purchasing/PurchaseRecords.h"
#include "store/Database.h"

namespace {

const QString kSection = QStringLiteral("ManufStock");
constexpr int kWidths[PurchaseRecords::Column::Count] = {1200, 3000, 750, 900, 750, 2250, 1500, 3000, 0};
constexpr int kStoredColumns = 8;  // the Index column's width is never stored

}  // namespace

ManufStock::ManufStock(Database& db, Prompt& prompt, QWidget* parent) : QDialog(parent), db_(db), prompt_(prompt) {
  setWindowTitle(QStringLiteral("進貨記錄"));
  setModal(true);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  auto* bar = new QMenuBar(this);
  outer->setMenuBar(bar);
  selectionMenu = bar->addMenu(QStringLiteral("選取(&S)"));
  exportToNotepadAction = selectionMenu->addAction(QStringLiteral("匯出到記事本(&N)"));

  auto* body = new QVBoxLayout;
  body->setContentsMargins(8, 8, 8, 8);
  body->setSpacing(6);  // the rows inside take it too (the outer layout has none)
  outer->addLayout(body, 1);
  auto* top = new QHBoxLayout;
  body->addLayout(top);
  yearEdit = new QLineEdit(this);
  yearEdit->setFixedWidth(60);
  periodCombo = new QComboBox(this);
  periodCombo->addItem(QStringLiteral("全部"));
  periodCombo->addItem(QStringLiteral("整年"));
  for (int m = 1; m <= 12; ++m) periodCombo->addItem(QStringLiteral("%1月").arg(m, 2, 10, QLatin1Char('0')));
  WindowTweaks::setDropDownHeight(periodCombo, 300);
  allProductsOption = new QRadioButton(QStringLiteral("全部商品"), this);
  productOption = new QRadioButton(this);
  supplierCombo = new QComboBox(this);
  supplierCombo->setMinimumWidth(150);
  WindowTweaks::setDropDownHeight(supplierCombo, 300);
  suppliersButton = new QPushButton(QStringLiteral("廠商資料"), this);
  for (QWidget* w : {static_cast<QWidget*>(yearEdit), static_cast<QWidget*>(periodCombo),
                     static_cast<QWidget*>(allProductsOption), static_cast<QWidget*>(productOption)})
    top->addWidget(w);
  top->addStretch(1);
  top->addWidget(new QLabel(QStringLiteral("廠商"), this));
  top->addWidget(supplierCombo);
  top->addWidget(suppliersButton);

  recordList = new ListView(this);
  recordList->setColumns({QStringLiteral("日期"), QStringLiteral("商品名稱"), QStringLiteral("狀態"),
                          QStringLiteral("金額"), QStringLiteral("數量"), QStringLiteral("廠商"),
                          QStringLiteral("進貨單號"), QStringLiteral("備註"), QStringLiteral("Index")});
  recordList->setIndexColumn(PurchaseRecords::Column::Index);
  recordList->setMultiSelect(true);
  for (int c = 0; c < PurchaseRecords::Column::Count; ++c) recordList->setColumnWidthTwips(c, kWidths[c]);
  body->addWidget(recordList, 1);

  auto* bottom = new QHBoxLayout;
  body->addLayout(bottom);
  purchaseNoLabel = new QLabel(QStringLiteral("進貨單號"), this);
  purchaseNoEdit = new QLineEdit(this);
  purchaseNoEdit->setFixedWidth(160);
  searchButton = new QPushButton(QStringLiteral("搜尋"), this);
  editRecordButton = new QPushButton(QStringLiteral("編輯記錄"), this);
  deleteRecordsButton = new QPushButton(QStringLiteral("刪除記錄"), this);
  for (QPushButton* b : {searchButton, deleteRecordsButton, suppliersButton, editRecordButton})
    b->setAutoDefault(false);
  bottom->addWidget(purchaseNoLabel);
  bottom->addWidget(purchaseNoEdit);
  bottom->addWidget(searchButton);
  bottom->addStretch(1);
  bottom->addWidget(editRecordButton);
  bottom->addWidget(deleteRecordsButton);

  statusBar = new QStatusBar(this);
  statusBar->setSizeGripEnabled(false);
  moneyLabel = new QLabel(statusBar);
  countLabel = new QLabel(statusBar);
  statusBar->addWidget(moneyLabel, 1);
  statusBar->addWidget(countLabel);
  outer->addWidget(statusBar);
  setFixedSize(WindowTweaks::pixelsFromTwips(14000), WindowTweaks::pixelsFromTwips(7200));

  // Form_Load: font, widths, the current year, period "全部" without a list.
  WindowTweaks::applyFontSize(
      recordList, statusBar,
      static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::fitColumnsTo(recordList, {{PurchaseRecords::Column::Date, WindowTweaks::kDateSample},
                                          {PurchaseRecords::Column::Amount, WindowTweaks::kAmountSample}});
  WindowTweaks::restoreColumnWidths(recordList, kSection, kStoredColumns);
  yearEdit->setText(QString::number(QDate::currentDate().year()));
  periodCombo->setCurrentIndex(0);
  productOption->setChecked(true);

  auto rebuild = [this] { ManufStockShow(); };
  connect(supplierCombo, &QComboBox::currentIndexChanged, this, rebuild);
  connect(periodCombo, &QComboBox::currentIndexChanged, this, rebuild);
  connect(allProductsOption, &QRadioButton::clicked, this, rebuild);
  connect(productOption, &QRadioButton::clicked, this, rebuild);
  connect(searchButton, &QPushButton::clicked, this, &ManufStock::onSearch);
  connect(deleteRecordsButton, &QPushButton::clicked, this, &ManufStock::onDeleteRecords);
  connect(suppliersButton, &QPushButton::clicked, this, &ManufStock::onEditSuppliers);
  connect(editRecordButton, &QPushButton::clicked, this, &ManufStock::onEditRecord);
  connect(recordList, &ListView::rowActivated, this, [this](int) { onEditRecord(); });
  connect(exportToNotepadAction, &QAction::triggered, this, &ManufStock::onExportToNotepad);
}

ManufStock::~ManufStock() = default;

void ManufStock::run(Database& db, Prompt& prompt, QWidget* parent, const QString& product,
                     std::function<void()> onProductsChanged) {
  ManufStock w(db, prompt, parent);
  w.onProductsChanged = std::move(onProductsChanged);
  w.openFor(product);
  w.exec();
}

void ManufStock::fillSupplierFilter() {
  {
    const QSignalBlocker quiet(supplierCombo);
    supplierCombo->clear();
    supplierCombo->addItem(PurchaseRecords::kAll);
    supplierCombo->addItems(db_.settings.SupplierNames);
    supplierCombo->setCurrentIndex(-1);
  }
  supplierCombo->setCurrentIndex(0);  // builds the list
}

void ManufStock::openFor(const QString& product) {
  product_ = product;
  QString caption = product;
  productOption->setText(caption.replace(u'&', QStringLiteral("&&")));  // shown as typed, no shortcut
  fillSupplierFilter();
}

void ManufStock::showListing(PurchaseRecords::Listing l) {
  moneyLabel->setText(l.moneyText());
  countLabel->setText(l.countText());
  recordList->setRows(std::move(l.rows));
  recordList->clearSelection();
}

void ManufStock::ManufStockShow() {
  try {
    PurchaseRecords::Filter f;
    f.supplier = supplierCombo->currentText();
    f.allProducts = allProductsOption->isChecked();
    f.product = product_;
    f.period = periodCombo->currentIndex() < 0 ? 0 : periodCombo->currentIndex();
    f.year = yearEdit->text();
    showListing(PurchaseRecords::list(db_, f));
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void ManufStock::onSearch() {
  if (purchaseNoEdit->text().isEmpty()) {
    prompt_.warn(QStringLiteral("請先輸入進貨單號"));
    return;
  }
  try {
    showListing(PurchaseRecords::search(db_, supplierCombo->currentText(), purchaseNoEdit->text()));
  } catch (const std::exception&) {
    prompt_.error();
  }
}

int ManufStock::editedRow() const {
  const int current = recordList->currentRow();
  if (current >= 0 && recordList->isSelected(current)) return current;
  const std::vector<int> selected = recordList->selectedRows();
  return selected.empty() ? -1 : selected.front();
}

void ManufStock::onEditRecord() {
  if (recordList->rowCount() == 0) return;
  const int row = editedRow();
  if (row < 0) return;  // nothing chosen to edit
  try {
    const int record = recordList->tableIndex(row);
    if (record < 1 || record > db_.ManufStock.count()) throw std::out_of_range("record");
    ManufStockInput dlg(db_, prompt_, this);
    dlg.prepareEdit(record);
    dlg.exec();
    if (dlg.recomputed()) isEdit = true;
    ManufStockShow();
    db_.setDirty(true);
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void ManufStock::onDeleteRecords() {
  if (recordList->rowCount() == 0) return;
  if (prompt_.message(QStringLiteral("確定刪除選取的進貨記錄嗎？"), Prompt::Icon::Exclamation, Prompt::Buttons::YesNo,
                      QStringLiteral("刪除")) != Prompt::Answer::Yes)
    return;
  const bool recompute = prompt_.message(QStringLiteral("刪除後要重新計算商品成本嗎？"), Prompt::Icon::Exclamation,
                                         Prompt::Buttons::YesNo, QStringLiteral("刪除")) == Prompt::Answer::Yes;
  if (recompute) isEdit = true;
  try {
    std::vector<int> records;
    for (int r : recordList->selectedRows()) records.push_back(recordList->tableIndex(r));
    PurchaseRecords::remove(db_, records, recompute);
    db_.setDirty(true);
    ManufStockShow();
  } catch (const std::exception&) {
    db_.setDirty(true);
    prompt_.error();
  }
}

void ManufStock::onEditSuppliers() {
  ManufMerchant::edit(db_, prompt_, this);
  fillSupplierFilter();
}

void ManufStock::onExportToNotepad() {
  ExportForm::run(db_, prompt_, this, 7, kSection, *recordList,
                  ExportForm::listOffers(*recordList, {0, 1, 2, 3, 4, 5, 6, 7}));
}

void ManufStock::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (isEdit && onProductsChanged) onProductsChanged();
  WindowTweaks::saveColumnWidths(recordList, kSection, kStoredColumns);
}

void ManufStock::done(int result) {
  Form_Unload();
  QDialog::done(result);
}
