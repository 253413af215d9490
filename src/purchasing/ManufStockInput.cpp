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
  Label1 = new QLabel(QStringLiteral("日期"), this);
  Text1 = new QLineEdit(this);
  Option1 = new QRadioButton(QStringLiteral("進貨"), this);
  Option2 = new QRadioButton(QStringLiteral("退貨"), this);
  Label2 = new QLabel(QStringLiteral("商品"), this);
  Text6 = new QLineEdit(this);
  Label3 = new QLabel(QStringLiteral("金額"), this);
  Text5 = edit();
  Label4 = new QLabel(QStringLiteral("匯率"), this);
  Text7 = edit();
  Text7->setText(QStringLiteral("1"));
  Label5 = new QLabel(QStringLiteral("數量"), this);
  Text2 = edit();
  Text2->setText(QStringLiteral("1"));
  Label6 = new QLabel(QStringLiteral("廠商"), this);
  Combo1 = new QComboBox(this);
  WindowTweaks::setDropDownHeight(Combo1, 300);
  Label7 = new QLabel(QStringLiteral("進貨單號"), this);
  Text3 = new QLineEdit(this);
  Label8 = new QLabel(QStringLiteral("備註"), this);
  Text4 = new QPlainTextEdit(this);
  Text4->setTabChangesFocus(true);
  Text4->setFixedHeight(72);
  Check1 = new QCheckBox(QStringLiteral("重新計算商品成本"), this);
  Command1 = new QPushButton(QStringLiteral("確定"), this);
  Command1->setDefault(true);
  Command2 = new QPushButton(QStringLiteral("取消"), this);
  Command2->setAutoDefault(false);

  int row = 0;
  grid->addWidget(Label1, row, 0);
  grid->addWidget(Text1, row, 1);
  auto* kinds = new QHBoxLayout;
  kinds->addWidget(Option1);
  kinds->addWidget(Option2);
  kinds->addStretch(1);
  grid->addLayout(kinds, row, 2, 1, 2);
  ++row;
  grid->addWidget(Label2, row, 0);
  grid->addWidget(Text6, row, 1, 1, 3);
  ++row;
  grid->addWidget(Label3, row, 0);
  grid->addWidget(Text5, row, 1);
  grid->addWidget(Label4, row, 2, Qt::AlignRight);
  grid->addWidget(Text7, row, 3);
  ++row;
  grid->addWidget(Label5, row, 0);
  grid->addWidget(Text2, row, 1);
  ++row;
  grid->addWidget(Label6, row, 0);
  grid->addWidget(Combo1, row, 1, 1, 3);
  ++row;
  grid->addWidget(Label7, row, 0);
  grid->addWidget(Text3, row, 1, 1, 3);
  ++row;
  grid->addWidget(Label8, row, 0, Qt::AlignTop);
  grid->addWidget(Text4, row, 1, 1, 3);
  ++row;
  grid->addWidget(Check1, row, 1, 1, 3);
  ++row;
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Command1);
  buttons->addWidget(Command2);
  grid->addLayout(buttons, row, 0, 1, 4);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setSizeGripEnabled(false);
  Panel1 = new QLabel(StatusBar1);
  StatusBar1->addWidget(Panel1, 1);
  outer->addWidget(StatusBar1);
  outer->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumWidth(420);
  setTabOrder(Text2, Combo1);
  setTabOrder(Combo1, Text3);

  // Form_Load.
  {
    const QSignalBlocker quiet(Option1);
    Option1->setChecked(true);
  }
  setWindowTitle(QStringLiteral("進貨"));
  Check1->setChecked(SettingsStore::get(kSection, QStringLiteral("Check1")) == QStringLiteral("1"));
  Text1->setText(DateText::today());
  fillSuppliers();

  connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
    if (on) Option1_Click();
  });
  connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
    if (on) Option2_Click();
  });
  connect(Check1, &QCheckBox::toggled, this, &ManufStockInput::Check1_Click);
  connect(Command1, &QPushButton::clicked, this, &ManufStockInput::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
  connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
  // The preview follows what it is computed from.
  for (QLineEdit* e : {Text5, Text7, Text2})
    connect(e, &QLineEdit::textChanged, this, [this] {
      if (Check1->isChecked()) Check1_Click();
    });
}

ManufStockInput::~ManufStockInput() = default;

void ManufStockInput::fillSuppliers() {
  const QSignalBlocker quiet(Combo1);
  Combo1->clear();
  Combo1->addItems(db_.settings.SupplierNames);
  Combo1->addItem(kEditSuppliers);
  Combo1->setCurrentIndex(0);
}

bool ManufStockInput::isPurchase() const { return !Option2->isChecked(); }

void ManufStockInput::prepareNew(const QString& product, QLineEdit* costBox, QLineEdit* stockBox) {
  SelState = 1;
  costBox_ = costBox;
  stockBox_ = stockBox;
  Text6->setText(product);
  Text6->setReadOnly(true);
  Text6->setFrame(false);
  QPalette pal = Text6->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Button));
  Text6->setPalette(pal);
  Text6->setFocusPolicy(Qt::NoFocus);
  Text5->setText(Num::format(Num::leading(costBox ? costBox->text() : QString())));
  Check1_Click();
}

void ManufStockInput::prepareEdit(int row) {
  SelState = 2;
  SelEdit = row;
  const PurchaseRecord rec = PurchaseRecords::read(db_, row);
  Text1->setText(rec.date);
  Text6->setText(rec.product);
  Text5->setText(rec.amount);
  Text2->setText(rec.qty);
  Text3->setText(rec.no);
  Text4->setPlainText(LineBreaks::forBox(rec.note));
  Label4->setVisible(false);
  Text7->setVisible(false);
  if (rec.kind == PurchaseRecords::kPurchase)
    Option1->setChecked(true);
  else
    Option2->setChecked(true);
  Option1->setEnabled(false);
  Option2->setEnabled(false);
  const int i = static_cast<int>(db_.settings.SupplierNames.indexOf(rec.supplier));
  if (i >= 0) {
    const QSignalBlocker quiet(Combo1);
    Combo1->setCurrentIndex(i);
  }
  Check1_Click();
}

void ManufStockInput::runForProductDialog(Database& db, Prompt& prompt, ManufInput& product) {
  ManufStockInput dlg(db, prompt, &product);
  {
    const QSignalBlocker quiet(dlg.Option1);
    dlg.Option1->setChecked(true);
  }
  dlg.prepareNew(db.Manuf.cell(product.SelEdit, ManufCell::ProductName), product.costEdit, product.stockEdit);
  dlg.exec();
}

int ManufStockInput::exec() {
  // Without any supplier the drop-down's first entry is the supplier list itself.
  if (db_.settings.SupplierNames.isEmpty()) Combo1_Click();
  return QDialog::exec();
}

void ManufStockInput::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Text2->setFocus();
}

bool ManufStockInput::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn)
    if (auto* e = qobject_cast<QLineEdit*>(watched)) QTimer::singleShot(0, e, &QLineEdit::selectAll);
  return QDialog::eventFilter(watched, event);
}

void ManufStockInput::Option1_Click() {
  setWindowTitle(QStringLiteral("進貨"));
  if (Check1->isChecked()) Check1_Click();
}

void ManufStockInput::Option2_Click() {
  setWindowTitle(QStringLiteral("退貨"));
  if (Check1->isChecked()) Check1_Click();
}

void ManufStockInput::Check1_Click() {
  if (SelState != 1 || !Check1->isChecked() || !costBox_ || !stockBox_) {
    Panel1->clear();
    return;
  }
  const double p = Num::leading(Text5->text()) * Num::leading(Text7->text());
  const auto r = PurchaseCost::afterMovement(Num::leading(costBox_->text()), Num::leading(stockBox_->text()),
                                             Num::leading(Text2->text()), p, isPurchase(), db_.moneyDigits());
  Panel1->setText((isPurchase() ? QStringLiteral("本次進貨後商品成本將變為: ")
                                : QStringLiteral("本次退貨後商品成本將變為: ")) +
                  Num::format(r.cost));
}

void ManufStockInput::Combo1_Click() {
  if (Combo1->currentText() != kEditSuppliers) return;
  ManufMerchant::edit(db_, prompt_, isVisible() ? this : parentWidget());
  fillSuppliers();
}

void ManufStockInput::Command1_Click() {
  if (Text1->text().isEmpty()) {
    prompt_.warn(QStringLiteral("請輸入日期"));
    return;
  }
  const double qty = Num::leading(Text2->text());
  if (qty == 0) {
    prompt_.warn(QStringLiteral("數量不可以為0"));
    return;
  }
  if (!DateText::isDate(Text1->text())) {
    prompt_.warn(QStringLiteral("不是正確的日期格式"));
    return;
  }
  if (!TextEntry::acceptable(prompt_, {{Label1->text(), Text1->text()},
                                       {Label2->text(), Text6->text()},
                                       {Label7->text(), Text3->text()},
                                       {Label8->text(), Text4->toPlainText()}}))
    return;
  Text3->setText(TextEntry::clean(Text3->text()));
  Text4->setPlainText(TextEntry::clean(Text4->toPlainText()));
  Text6->setText(TextEntry::clean(Text6->text()));

  const int suppliers = static_cast<int>(db_.settings.SupplierNames.size());
  PurchaseRecord rec;
  rec.date = Text1->text();
  rec.product = Text6->text();
  rec.kind = isPurchase() ? PurchaseRecords::kPurchase : PurchaseRecords::kReturn;
  rec.qty = Num::format(qty);
  rec.supplier = Combo1->currentIndex() < suppliers ? Combo1->currentText() : QString();
  rec.no = Text3->text();
  rec.note = LineBreaks::forFile(Text4->toPlainText());
  const bool recompute = Check1->isChecked();
  if (SelState == 1) {
    const double p = Num::leading(Text5->text()) * Num::leading(Text7->text());
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
    rec.amount = Num::format(Num::leading(Text5->text()));
    PurchaseRecords::edit(db_, SelEdit, rec, recompute, db_.moneyDigits());
    if (recompute) recomputed_ = true;
  }
  SettingsStore::set(kSection, QStringLiteral("Check1"), recompute ? QStringLiteral("1") : QStringLiteral("0"));
  db_.setDirty(true);
  accept();
}
