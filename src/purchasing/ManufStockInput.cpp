#include "purchasing/ManufStockInput.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"
#include "purchasing/ManufInput.h"
#include "purchasing/ManufMerchant.h"
#include "purchasing/PurchaseCost.h"
#include "purchasing/PurchaseRecords.h"
#include "store/Database.h"
#include "store/LineBreaks.h"
#include "store/TextEntry.h"

namespace {

const QString kSection = QStringLiteral("ManufStockInput");
const QString kEditSuppliers = QStringLiteral("編輯廠商資料");

}  // namespace

ManufStockInput::ManufStockInput(Database& db, Prompt& prompt, QWidget* parent)
    : QDialog(parent), db_(db), prompt_(prompt) {
  setModal(true);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  auto* grid = new QGridLayout;
  grid->setContentsMargins(12, 12, 12, 8);
  grid->setSpacing(6);  // the outer layout has none, and a nested one would take that
  outer->addLayout(grid, 1);
  auto edit = [this] {
    auto* e = new QLineEdit(this);
    e->installEventFilter(this);
    return e;
  };
  dateLabel = new QLabel(QStringLiteral("日期"), this);
  dateEdit = new QLineEdit(this);
  purchaseOption = new QRadioButton(QStringLiteral("進貨"), this);
  returnOption = new QRadioButton(QStringLiteral("退貨"), this);
  productLabel = new QLabel(QStringLiteral("商品"), this);
  productEdit = new QLineEdit(this);
  amountLabel = new QLabel(QStringLiteral("金額"), this);
  amountEdit = edit();
  rateLabel = new QLabel(QStringLiteral("匯率"), this);
  rateEdit = edit();
  rateEdit->setText(QStringLiteral("1"));
  qtyLabel = new QLabel(QStringLiteral("數量"), this);
  qtyEdit = edit();
  qtyEdit->setText(QStringLiteral("1"));
  supplierLabel = new QLabel(QStringLiteral("廠商"), this);
  supplierCombo = new QComboBox(this);
  WindowTweaks::setDropDownHeight(supplierCombo, 300);
  purchaseNoLabel = new QLabel(QStringLiteral("進貨單號"), this);
  purchaseNoEdit = new QLineEdit(this);
  noteLabel = new QLabel(QStringLiteral("備註"), this);
  noteEdit = new QPlainTextEdit(this);
  noteEdit->setTabChangesFocus(true);
  noteEdit->setFixedHeight(72);
  recomputeCostCheck = new QCheckBox(QStringLiteral("重新計算商品成本"), this);
  okButton = new QPushButton(QStringLiteral("確定"), this);
  okButton->setDefault(true);
  cancelButton = new QPushButton(QStringLiteral("取消"), this);
  cancelButton->setAutoDefault(false);

  int row = 0;
  grid->addWidget(dateLabel, row, 0);
  grid->addWidget(dateEdit, row, 1);
  auto* kinds = new QHBoxLayout;
  kinds->addWidget(purchaseOption);
  kinds->addWidget(returnOption);
  kinds->addStretch(1);
  grid->addLayout(kinds, row, 2, 1, 2);
  ++row;
  grid->addWidget(productLabel, row, 0);
  grid->addWidget(productEdit, row, 1, 1, 3);
  ++row;
  grid->addWidget(amountLabel, row, 0);
  grid->addWidget(amountEdit, row, 1);
  grid->addWidget(rateLabel, row, 2, Qt::AlignRight);
  grid->addWidget(rateEdit, row, 3);
  ++row;
  grid->addWidget(qtyLabel, row, 0);
  grid->addWidget(qtyEdit, row, 1);
  ++row;
  grid->addWidget(supplierLabel, row, 0);
  grid->addWidget(supplierCombo, row, 1, 1, 3);
  ++row;
  grid->addWidget(purchaseNoLabel, row, 0);
  grid->addWidget(purchaseNoEdit, row, 1, 1, 3);
  ++row;
  grid->addWidget(noteLabel, row, 0, Qt::AlignTop);
  grid->addWidget(noteEdit, row, 1, 1, 3);
  ++row;
  grid->addWidget(recomputeCostCheck, row, 1, 1, 3);
  ++row;
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  grid->addLayout(buttons, row, 0, 1, 4);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  statusBar = new QStatusBar(this);
  statusBar->setSizeGripEnabled(false);
  costPreviewLabel = new QLabel(statusBar);
  statusBar->addWidget(costPreviewLabel, 1);
  outer->addWidget(statusBar);
  outer->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumWidth(420);
  setTabOrder(qtyEdit, supplierCombo);
  setTabOrder(supplierCombo, purchaseNoEdit);

  // Form_Load.
  {
    const QSignalBlocker quiet(purchaseOption);
    purchaseOption->setChecked(true);
  }
  setWindowTitle(QStringLiteral("進貨"));
  recomputeCostCheck->setChecked(SettingsStore::get(kSection, QStringLiteral("Check1")) == QStringLiteral("1"));
  dateEdit->setText(DateText::today());
  fillSuppliers();

  connect(purchaseOption, &QRadioButton::toggled, this, [this](bool on) {
    if (on) onPurchaseChosen();
  });
  connect(returnOption, &QRadioButton::toggled, this, [this](bool on) {
    if (on) onReturnChosen();
  });
  connect(recomputeCostCheck, &QCheckBox::toggled, this, &ManufStockInput::updateCostPreview);
  connect(okButton, &QPushButton::clicked, this, &ManufStockInput::onOk);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(supplierCombo, &QComboBox::activated, this, [this](int) { onSupplierChosen(); });
  // The preview follows what it is computed from.
  for (QLineEdit* e : {amountEdit, rateEdit, qtyEdit})
    connect(e, &QLineEdit::textChanged, this, [this] {
      if (recomputeCostCheck->isChecked()) updateCostPreview();
    });
}

ManufStockInput::~ManufStockInput() = default;

void ManufStockInput::fillSuppliers() {
  const QSignalBlocker quiet(supplierCombo);
  supplierCombo->clear();
  supplierCombo->addItems(db_.settings.SupplierNames);
  supplierCombo->addItem(kEditSuppliers);
  supplierCombo->setCurrentIndex(0);
}

bool ManufStockInput::isPurchase() const { return !returnOption->isChecked(); }

void ManufStockInput::prepareNew(const QString& product, QLineEdit* costBox, QLineEdit* stockBox) {
  SelState = 1;
  costBox_ = costBox;
  stockBox_ = stockBox;
  productEdit->setText(product);
  productEdit->setReadOnly(true);
  productEdit->setFrame(false);
  QPalette pal = productEdit->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Button));
  productEdit->setPalette(pal);
  productEdit->setFocusPolicy(Qt::NoFocus);
  amountEdit->setText(Num::format(Num::leading(costBox ? costBox->text() : QString())));
  updateCostPreview();
}

void ManufStockInput::prepareEdit(int row) {
  SelState = 2;
  SelEdit = row;
  const PurchaseRecord rec = PurchaseRecords::read(db_, row);
  dateEdit->setText(rec.date);
  productEdit->setText(rec.product);
  amountEdit->setText(rec.amount);
  qtyEdit->setText(rec.qty);
  purchaseNoEdit->setText(rec.no);
  noteEdit->setPlainText(LineBreaks::forBox(rec.note));
  rateLabel->setVisible(false);
  rateEdit->setVisible(false);
  if (rec.kind == PurchaseRecords::kPurchase)
    purchaseOption->setChecked(true);
  else
    returnOption->setChecked(true);
  purchaseOption->setEnabled(false);
  returnOption->setEnabled(false);
  const int i = static_cast<int>(db_.settings.SupplierNames.indexOf(rec.supplier));
  if (i >= 0) {
    const QSignalBlocker quiet(supplierCombo);
    supplierCombo->setCurrentIndex(i);
  }
  updateCostPreview();
}

void ManufStockInput::runForProductDialog(Database& db, Prompt& prompt, ManufInput& product) {
  ManufStockInput dlg(db, prompt, &product);
  {
    const QSignalBlocker quiet(dlg.purchaseOption);
    dlg.purchaseOption->setChecked(true);
  }
  dlg.prepareNew(db.Manuf.cell(product.SelEdit, ManufCell::ProductName), product.costEdit, product.stockEdit);
  dlg.exec();
}

int ManufStockInput::exec() {
  // Without any supplier the drop-down's first entry is the supplier list itself.
  if (db_.settings.SupplierNames.isEmpty()) onSupplierChosen();
  return QDialog::exec();
}

void ManufStockInput::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  qtyEdit->setFocus();
}

bool ManufStockInput::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn)
    if (auto* e = qobject_cast<QLineEdit*>(watched)) QTimer::singleShot(0, e, &QLineEdit::selectAll);
  return QDialog::eventFilter(watched, event);
}

void ManufStockInput::onPurchaseChosen() {
  setWindowTitle(QStringLiteral("進貨"));
  if (recomputeCostCheck->isChecked()) updateCostPreview();
}

void ManufStockInput::onReturnChosen() {
  setWindowTitle(QStringLiteral("退貨"));
  if (recomputeCostCheck->isChecked()) updateCostPreview();
}

void ManufStockInput::updateCostPreview() {
  if (SelState != 1 || !recomputeCostCheck->isChecked() || !costBox_ || !stockBox_) {
    costPreviewLabel->clear();
    return;
  }
  const double p = Num::leading(amountEdit->text()) * Num::leading(rateEdit->text());
  const auto r = PurchaseCost::afterMovement(Num::leading(costBox_->text()), Num::leading(stockBox_->text()),
                                             Num::leading(qtyEdit->text()), p, isPurchase(), db_.moneyDigits());
  costPreviewLabel->setText((isPurchase() ? QStringLiteral("本次進貨後商品成本將變為: ")
                                          : QStringLiteral("本次退貨後商品成本將變為: ")) +
                            Num::format(r.cost));
}

void ManufStockInput::onSupplierChosen() {
  if (supplierCombo->currentText() != kEditSuppliers) return;
  ManufMerchant::edit(db_, prompt_, isVisible() ? this : parentWidget());
  fillSuppliers();
}

void ManufStockInput::onOk() {
  if (dateEdit->text().isEmpty()) {
    prompt_.warn(QStringLiteral("請輸入日期"));
    return;
  }
  const double qty = Num::leading(qtyEdit->text());
  if (qty == 0) {
    prompt_.warn(QStringLiteral("數量不可以為0"));
    return;
  }
  if (!DateText::isDate(dateEdit->text())) {
    prompt_.warn(QStringLiteral("不是正確的日期格式"));
    return;
  }
  if (!TextEntry::acceptable(prompt_, {{dateLabel->text(), dateEdit->text()},
                                       {productLabel->text(), productEdit->text()},
                                       {purchaseNoLabel->text(), purchaseNoEdit->text()},
                                       {noteLabel->text(), noteEdit->toPlainText()}}))
    return;
  purchaseNoEdit->setText(TextEntry::clean(purchaseNoEdit->text()));
  noteEdit->setPlainText(TextEntry::clean(noteEdit->toPlainText()));
  productEdit->setText(TextEntry::clean(productEdit->text()));

  const int suppliers = static_cast<int>(db_.settings.SupplierNames.size());
  PurchaseRecord rec;
  rec.date = dateEdit->text();
  rec.product = productEdit->text();
  rec.kind = isPurchase() ? PurchaseRecords::kPurchase : PurchaseRecords::kReturn;
  rec.qty = Num::format(qty);
  rec.supplier = supplierCombo->currentIndex() < suppliers ? supplierCombo->currentText() : QString();
  rec.no = purchaseNoEdit->text();
  rec.note = LineBreaks::forFile(noteEdit->toPlainText());
  const bool recompute = recomputeCostCheck->isChecked();
  if (SelState == 1) {
    const double p = Num::leading(amountEdit->text()) * Num::leading(rateEdit->text());
    rec.amount = Num::format(p);
    PurchaseRecords::append(db_, rec);
    db_.setDirty(true);
    if (costBox_ && stockBox_) {
      const auto r = PurchaseCost::afterMovement(Num::leading(costBox_->text()), Num::leading(stockBox_->text()), qty,
                                                 p, isPurchase(), db_.moneyDigits());
      if (recompute) costBox_->setText(Num::format(r.cost));
      stockBox_->setText(Num::format(r.stock));
    }
  } else {
    if (SelEdit < 1 || SelEdit > db_.ManufStock.count()) {
      prompt_.error();
      return;
    }
    rec.amount = Num::format(Num::leading(amountEdit->text()));
    PurchaseRecords::edit(db_, SelEdit, rec, recompute, db_.moneyDigits());
    if (recompute) recomputed_ = true;
  }
  SettingsStore::set(kSection, QStringLiteral("Check1"), recompute ? QStringLiteral("1") : QStringLiteral("0"));
  db_.setDirty(true);
  accept();
}
