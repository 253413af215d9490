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
  Menu_Sel = bar->addMenu(QStringLiteral("選取(&S)"));
  Sel_Note = Menu_Sel->addAction(QStringLiteral("匯出到記事本(&N)"));

  auto* body = new QVBoxLayout;
  body->setContentsMargins(8, 8, 8, 8);
  body->setSpacing(6);  // the rows inside take it too (the outer layout has none)
  outer->addLayout(body, 1);
  auto* top = new QHBoxLayout;
  body->addLayout(top);
  Text5 = new QLineEdit(this);
  Text5->setFixedWidth(60);
  Combo2 = new QComboBox(this);
  Combo2->addItem(QStringLiteral("全部"));
  Combo2->addItem(QStringLiteral("整年"));
  for (int m = 1; m <= 12; ++m) Combo2->addItem(QStringLiteral("%1月").arg(m, 2, 10, QLatin1Char('0')));
  WindowTweaks::setDropDownHeight(Combo2, 300);
  Option1 = new QRadioButton(QStringLiteral("全部商品"), this);
  Option2 = new QRadioButton(this);
  Combo1 = new QComboBox(this);
  Combo1->setMinimumWidth(150);
  WindowTweaks::setDropDownHeight(Combo1, 300);
  Command3 = new QPushButton(QStringLiteral("廠商資料"), this);
  for (QWidget* w : {static_cast<QWidget*>(Text5), static_cast<QWidget*>(Combo2), static_cast<QWidget*>(Option1),
                     static_cast<QWidget*>(Option2)})
    top->addWidget(w);
  top->addStretch(1);
  top->addWidget(new QLabel(QStringLiteral("廠商"), this));
  top->addWidget(Combo1);
  top->addWidget(Command3);

  Liv1 = new ListView(this);
  Liv1->setColumns({QStringLiteral("日期"), QStringLiteral("商品名稱"), QStringLiteral("狀態"), QStringLiteral("金額"),
                    QStringLiteral("數量"), QStringLiteral("廠商"), QStringLiteral("進貨單號"), QStringLiteral("備註"),
                    QStringLiteral("Index")});
  Liv1->setIndexColumn(PurchaseRecords::Column::Index);
  Liv1->setMultiSelect(true);
  for (int c = 0; c < PurchaseRecords::Column::Count; ++c) Liv1->setColumnWidthTwips(c, kWidths[c]);
  body->addWidget(Liv1, 1);

  auto* bottom = new QHBoxLayout;
  body->addLayout(bottom);
  Label1 = new QLabel(QStringLiteral("進貨單號"), this);
  Text1 = new QLineEdit(this);
  Text1->setFixedWidth(160);
  Command1 = new QPushButton(QStringLiteral("搜尋"), this);
  Command4 = new QPushButton(QStringLiteral("編輯記錄"), this);
  Command2 = new QPushButton(QStringLiteral("刪除記錄"), this);
  for (QPushButton* b : {Command1, Command2, Command3, Command4}) b->setAutoDefault(false);
  bottom->addWidget(Label1);
  bottom->addWidget(Text1);
  bottom->addWidget(Command1);
  bottom->addStretch(1);
  bottom->addWidget(Command4);
  bottom->addWidget(Command2);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setSizeGripEnabled(false);
  Panel1 = new QLabel(StatusBar1);
  Panel2 = new QLabel(StatusBar1);
  StatusBar1->addWidget(Panel1, 1);
  StatusBar1->addWidget(Panel2);
  outer->addWidget(StatusBar1);
  setFixedSize(WindowTweaks::pixelsFromTwips(14000), WindowTweaks::pixelsFromTwips(7200));

  // Form_Load: font, widths, the current year, period "全部" without a list.
  WindowTweaks::applyFontSize(
      Liv1, StatusBar1,
      static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::fitColumnsTo(Liv1, {{PurchaseRecords::Column::Date, WindowTweaks::kDateSample},
                                    {PurchaseRecords::Column::Amount, WindowTweaks::kAmountSample}});
  WindowTweaks::restoreColumnWidths(Liv1, kSection, kStoredColumns);
  Text5->setText(QString::number(QDate::currentDate().year()));
  Combo2->setCurrentIndex(0);
  Option2->setChecked(true);

  auto rebuild = [this] { ManufStockShow(); };
  connect(Combo1, &QComboBox::currentIndexChanged, this, rebuild);
  connect(Combo2, &QComboBox::currentIndexChanged, this, rebuild);
  connect(Option1, &QRadioButton::clicked, this, rebuild);
  connect(Option2, &QRadioButton::clicked, this, rebuild);
  connect(Command1, &QPushButton::clicked, this, &ManufStock::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &ManufStock::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &ManufStock::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &ManufStock::Command4_Click);
  connect(Liv1, &ListView::rowActivated, this, [this](int) { Command4_Click(); });
  connect(Sel_Note, &QAction::triggered, this, &ManufStock::Sel_Note_Click);
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
    const QSignalBlocker quiet(Combo1);
    Combo1->clear();
    Combo1->addItem(PurchaseRecords::kAll);
    Combo1->addItems(db_.settings.SupplierNames);
    Combo1->setCurrentIndex(-1);
  }
  Combo1->setCurrentIndex(0);  // builds the list
}

void ManufStock::openFor(const QString& product) {
  product_ = product;
  QString caption = product;
  Option2->setText(caption.replace(u'&', QStringLiteral("&&")));  // shown as typed, no shortcut
  fillSupplierFilter();
}

void ManufStock::showListing(PurchaseRecords::Listing l) {
  Panel1->setText(l.moneyText());
  Panel2->setText(l.countText());
  Liv1->setRows(std::move(l.rows));
  Liv1->clearSelection();
}

void ManufStock::ManufStockShow() {
  try {
    PurchaseRecords::Filter f;
    f.supplier = Combo1->currentText();
    f.allProducts = Option1->isChecked();
    f.product = product_;
    f.period = Combo2->currentIndex() < 0 ? 0 : Combo2->currentIndex();
    f.year = Text5->text();
    showListing(PurchaseRecords::list(db_, f));
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void ManufStock::Command1_Click() {
  if (Text1->text().isEmpty()) {
    prompt_.warn(QStringLiteral("請先輸入進貨單號"));
    return;
  }
  try {
    showListing(PurchaseRecords::search(db_, Combo1->currentText(), Text1->text()));
  } catch (const std::exception&) {
    prompt_.error();
  }
}

int ManufStock::editedRow() const {
  const int current = Liv1->currentRow();
  if (current >= 0 && Liv1->isSelected(current)) return current;
  const std::vector<int> selected = Liv1->selectedRows();
  return selected.empty() ? -1 : selected.front();
}

void ManufStock::Command4_Click() {
  if (Liv1->rowCount() == 0) return;
  const int row = editedRow();
  if (row < 0) return;  // nothing chosen to edit
  try {
    const int record = Liv1->tableIndex(row);
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

void ManufStock::Command2_Click() {
  if (Liv1->rowCount() == 0) return;
  if (prompt_.message(QStringLiteral("確定刪除選取的進貨記錄嗎？"), Prompt::Icon::Exclamation, Prompt::Buttons::YesNo,
                      QStringLiteral("刪除")) != Prompt::Answer::Yes)
    return;
  const bool recompute = prompt_.message(QStringLiteral("刪除後要重新計算商品成本嗎？"), Prompt::Icon::Exclamation,
                                         Prompt::Buttons::YesNo, QStringLiteral("刪除")) == Prompt::Answer::Yes;
  if (recompute) isEdit = true;
  try {
    std::vector<int> records;
    for (int r : Liv1->selectedRows()) records.push_back(Liv1->tableIndex(r));
    PurchaseRecords::remove(db_, records, recompute);
    db_.setDirty(true);
    ManufStockShow();
  } catch (const std::exception&) {
    db_.setDirty(true);
    prompt_.error();
  }
}

void ManufStock::Command3_Click() {
  ManufMerchant::edit(db_, prompt_, this);
  fillSupplierFilter();
}

void ManufStock::Sel_Note_Click() {
  ExportForm::run(db_, prompt_, this, 7, kSection, *Liv1, ExportForm::listOffers(*Liv1, {0, 1, 2, 3, 4, 5, 6, 7}));
}

void ManufStock::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (isEdit && onProductsChanged) onProductsChanged();
  WindowTweaks::saveColumnWidths(Liv1, kSection, kStoredColumns);
}

void ManufStock::done(int result) {
  Form_Unload();
  QDialog::done(result);
}
