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
  Menu_File = menuBar()->addMenu(QStringLiteral("檔案(&F)"));
  File_Load = Menu_File->addAction(QStringLiteral("讀入進貨單"));
  File_Save = Menu_File->addAction(QStringLiteral("儲存進貨單"));
  Menu_File->addSeparator();
  File_Exit = Menu_File->addAction(QStringLiteral("結束(&X)"));

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
  Label5 = new QLabel(QStringLiteral("日期"), client);
  Text1 = new QLineEdit(client);
  Text1->setFixedWidth(100);
  Label4 = new QLabel(QStringLiteral("進貨單號"), client);
  Text6 = new QLineEdit(client);
  Text6->setFixedWidth(140);
  Command4 = button(QStringLiteral("套用至全部"));
  Combo1 = new QComboBox(client);
  Combo1->setMinimumWidth(160);
  WindowTweaks::setDropDownHeight(Combo1, 300);
  Command3 = button(QStringLiteral("廠商資料"));
  top->addWidget(Label5);
  top->addWidget(Text1);
  top->addSpacing(12);
  top->addWidget(Label4);
  top->addWidget(Text6);
  top->addWidget(Command4);
  top->addStretch(1);
  top->addWidget(new QLabel(QStringLiteral("廠商"), client));
  top->addWidget(Combo1);
  top->addWidget(Command3);

  Liv1 = new ListView(client);
  Liv1->setColumns({QStringLiteral("商品名稱"), QStringLiteral("商品分類"), QStringLiteral("金額"),
                    QStringLiteral("數量"), QStringLiteral("進貨單號"), QStringLiteral("備註"),
                    QStringLiteral("Index")});
  Liv1->setIndexColumn(PurchaseSheet::Column::Index);
  Liv1->setMultiSelect(true);
  for (int c = 0; c < PurchaseSheet::Column::Count; ++c) Liv1->setColumnWidthTwips(c, kWidths[c]);
  body->addWidget(Liv1, 1);

  auto* editRow = new QHBoxLayout;
  body->addLayout(editRow);
  Label0 = new QLabel(QStringLiteral("金額"), client);
  Text2 = new QLineEdit(client);
  Label1 = new QLabel(QStringLiteral("數量"), client);
  Text3 = new QLineEdit(client);
  Label2 = new QLabel(QStringLiteral("進貨單號"), client);
  Text4 = new QLineEdit(client);
  Label3 = new QLabel(QStringLiteral("備註 "), client);
  Text5 = new QLineEdit(client);
  Command1 = button(QStringLiteral("修改"));
  Text2->setFixedWidth(80);
  Text3->setFixedWidth(60);
  Text4->setFixedWidth(120);
  for (QWidget* w : {static_cast<QWidget*>(Label0), static_cast<QWidget*>(Text2), static_cast<QWidget*>(Label1),
                     static_cast<QWidget*>(Text3), static_cast<QWidget*>(Label2), static_cast<QWidget*>(Text4),
                     static_cast<QWidget*>(Label3)})
    editRow->addWidget(w);
  editRow->addWidget(Text5, 1);
  editRow->addWidget(Command1);

  auto* bottom = new QHBoxLayout;
  body->addLayout(bottom);
  Command6 = button(QStringLiteral("加入商品"));
  Command7 = button(QStringLiteral("刪除商品"));
  Command5 = button(QStringLiteral("清空進貨單"));
  Check1 = new QCheckBox(QStringLiteral("進貨後重新計算商品成本"), client);
  Command2 = button(QStringLiteral("開始進貨"));
  bottom->addWidget(Command6);
  bottom->addWidget(Command7);
  bottom->addWidget(Command5);
  bottom->addStretch(1);
  bottom->addWidget(Check1);
  bottom->addWidget(Command2);

  statusBar()->setSizeGripEnabled(false);
  Panel1 = new QLabel(statusBar());
  statusBar()->addWidget(Panel1, 1);
  resize(WindowTweaks::pixelsFromTwips(12000), WindowTweaks::pixelsFromTwips(6600));

  // Form_Load.
  WindowTweaks::applyFontSize(
      Liv1, statusBar(),
      static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::fitColumnsTo(Liv1, {{PurchaseSheet::Column::Amount, WindowTweaks::kAmountSample}});
  Text1->setText(DateText::today());
  fillSuppliers();
  Check1->setChecked(SettingsStore::get(kSection, QStringLiteral("Check1")) == QStringLiteral("1"));
  setEditRowVisible(false);

  connect(Liv1, &ListView::rowsSelectionChanged, this, [this] {
    if (!se_) Liv1_Click();
  });
  connect(Liv1, &ListView::keyPressed, this, [this](int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Delete) Command7_Click();
  });
  for (QLineEdit* e : {Text2, Text3, Text4, Text5}) connect(e, &QLineEdit::returnPressed, this, &ManufBatch::Command1_Click);
  connect(Command1, &QPushButton::clicked, this, &ManufBatch::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &ManufBatch::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &ManufBatch::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &ManufBatch::Command4_Click);
  connect(Command5, &QPushButton::clicked, this, &ManufBatch::Command5_Click);
  connect(Command6, &QPushButton::clicked, this, &ManufBatch::Command6_Click);
  connect(Command7, &QPushButton::clicked, this, &ManufBatch::Command7_Click);
  connect(File_Save, &QAction::triggered, this, &ManufBatch::File_Save_Click);
  connect(File_Load, &QAction::triggered, this, &ManufBatch::File_Load_Click);
  connect(File_Exit, &QAction::triggered, this, &QWidget::close);
}

ManufBatch::~ManufBatch() = default;

void ManufBatch::fillSuppliers() {
  Combo1->clear();
  Combo1->addItems(db_.settings.SupplierNames);
  Combo1->setCurrentIndex(0);
}

void ManufBatch::setEditRowVisible(bool on) {
  for (QWidget* w : {static_cast<QWidget*>(Label0), static_cast<QWidget*>(Text2), static_cast<QWidget*>(Label1),
                     static_cast<QWidget*>(Text3), static_cast<QWidget*>(Label2), static_cast<QWidget*>(Text4),
                     static_cast<QWidget*>(Label3), static_cast<QWidget*>(Text5), static_cast<QWidget*>(Command1)})
    w->setVisible(on);
}

void ManufBatch::showRows() {
  se_ = true;
  std::vector<QStringList> cells;
  cells.reserve(rows_.size());
  for (const SheetRow& r : rows_) cells.push_back(r.cells());
  Liv1->setRows(std::move(cells));
  se_ = false;
}

void ManufBatch::addProducts(const std::vector<int>& manufRows) {
  se_ = true;
  for (int r : manufRows) {
    if (r < 1 || r > db_.Manuf.count()) continue;
    const SheetRow row = PurchaseSheet::fromProduct(db_, r);
    const int pos = PurchaseSheet::insert(rows_, row);
    Liv1->insertRow(pos, row.cells());
  }
  if (Liv1->rowCount() > 0) Liv1->setSelected(Liv1->rowCount() - 1, false);
  se_ = false;
}

void ManufBatch::MoneyShow() { Panel1->setText(kTotal + PurchaseSheet::total(rows_).toText()); }

void ManufBatch::Liv1_Click() {
  const std::vector<int> selected = Liv1->selectedRows();
  if (selected.size() == 1) {
    const SheetRow& r = rows_[static_cast<size_t>(selected.front())];
    Text2->setText(r.amount);
    Text3->setText(r.qty);
    Text4->setText(r.no);
    Text5->setText(r.note);
  } else {
    for (QLineEdit* e : {Text2, Text3, Text4, Text5}) e->clear();
  }
  setEditRowVisible(true);
  Panel1->setText(kTotal + PurchaseSheet::total(rows_).toText() + QStringLiteral("，選擇的商品金額：") +
                  PurchaseSheet::total(rows_, selected).toText());
}

void ManufBatch::Command1_Click() {
  if (!TextEntry::acceptable(prompt_, {{Label0->text(), Text2->text()},
                                       {Label1->text(), Text3->text()},
                                       {Label2->text(), Text4->text()},
                                       {Label3->text().trimmed(), Text5->text()}}))
    return;
  const QString amount = Text2->text(), qty = Text3->text();
  const QString no = TextEntry::clean(Text4->text()), note = TextEntry::clean(Text5->text());
  for (int i : Liv1->selectedRows()) {
    SheetRow& r = rows_[static_cast<size_t>(i)];
    if (!amount.isEmpty()) r.amount = Num::format(Num::leading(amount));
    if (!qty.isEmpty()) r.qty = Num::format(Num::leading(qty));
    if (!Text4->text().isEmpty()) r.no = no;
    if (!Text5->text().isEmpty()) r.note = note;
    const QStringList cells = r.cells();
    for (int c = PurchaseSheet::Column::Amount; c <= PurchaseSheet::Column::Note; ++c) Liv1->setText(i, c, cells[c]);
  }
  MoneyShow();
}

void ManufBatch::Command4_Click() {
  if (!TextEntry::acceptable(prompt_, {{Label4->text(), Text6->text()}})) return;
  const QString no = TextEntry::clean(Text6->text());
  for (size_t i = 0; i < rows_.size(); ++i) {
    rows_[i].no = no;
    Liv1->setText(static_cast<int>(i), PurchaseSheet::Column::No, no);
  }
}

void ManufBatch::Command5_Click() {
  rows_.clear();
  showRows();
  Panel1->clear();
}

void ManufBatch::Command7_Click() {
  const std::vector<int> selected = Liv1->selectedRows();
  se_ = true;
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    rows_.erase(rows_.begin() + *it);
    Liv1->removeRow(*it);
  }
  se_ = false;
  MoneyShow();
}

void ManufBatch::Command3_Click() {
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

void ManufBatch::Command6_Click() {
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

void ManufBatch::Command2_Click() {
  if (!TextEntry::acceptable(prompt_, {{Label5->text(), Text1->text()}})) return;
  PurchaseSheet::Header h;
  h.date = TextEntry::clean(Text1->text());
  h.no = Text6->text();
  h.supplier = Combo1->currentText();
  const PurchaseSheet::BookResult res =
      PurchaseSheet::book(db_, prompt_, h, rows_, Check1->isChecked(), beforeBookingRow);
  if (!res.ok) {
    // Rows booked so far have left the sheet; the rest wait for a retry.
    showRows();
    MoneyShow();
    if (SheetFeeder* f = feeder()) f->refreshProducts();
    prompt_.error();
    return;
  }
  SettingsStore::set(kSection, QStringLiteral("Check1"), Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
  db_.setDirty(true);
  prompt_.message(QStringLiteral("進貨完成!"));
  if (SheetFeeder* f = feeder()) f->refreshProducts();
  rows_.clear();
  close();
}

void ManufBatch::File_Save_Click() {
  if (!TextEntry::acceptable(prompt_, {{Label5->text(), Text1->text()}, {Label4->text(), Text6->text()}})) return;
  const QString path =
      prompt_.saveFile(QStringLiteral("儲存"), kCsvFilter, {}, QStringLiteral("進貨單 ") + Text6->text());
  if (path.isEmpty()) return;
  const PurchaseSheet::Header h{Text1->text(), Text6->text(), Combo1->currentText()};
  if (!Csv::writeFile(path, PurchaseSheet::fileText(h, rows_))) {
    prompt_.error();
    return;
  }
  prompt_.warn(QStringLiteral("進貨單儲存完成!"));
}

void ManufBatch::File_Load_Click() {
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
  if (loaded.header.size() > 0) Text1->setText(loaded.header[0]);
  if (loaded.header.size() > 1) Text6->setText(loaded.header[1]);
  if (loaded.header.size() > 2) {
    const int i = Combo1->findText(loaded.header[2], Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i >= 0) Combo1->setCurrentIndex(i);
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
