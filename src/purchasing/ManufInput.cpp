#include "purchasing/ManufInput.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include "admin/ImagesForm.h"
#include "models/ProductLookup.h"
#include "platform/Numbers.h"
#include "platform/ProductPicture.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"
#include "purchasing/ManufStockInput.h"
#include "store/Database.h"
#include "store/LineBreaks.h"
#include "store/SharedRoutines.h"

namespace {

const QString kSection = QStringLiteral("ManufInput");
const QString kNone = QStringLiteral("無");
const QString kAddPicture = QStringLiteral("加入圖片");
const QString kRemovePicture = QStringLiteral("移除圖片");
constexpr int kThumbW = 241;
constexpr int kThumbH = 233;
constexpr int kFrameSpare = 16;

}  // namespace

ManufInput::ManufInput(Database& db, Prompt& prompt, QWidget* parent) : QDialog(parent), db_(db), prompt_(prompt) {
  setWindowTitle(QStringLiteral("商品"));
  auto* outer = new QVBoxLayout(this);
  MenuBar = new QMenuBar(this);
  outer->setMenuBar(MenuBar);
  Menu_Check = MenuBar->addMenu(QStringLiteral("確認(&C)"));
  const char* captions[] = {"", "商品名稱或分類", "售價", "成本", "庫存", "安全存量", "備註"};
  Check_chk[0] = nullptr;
  for (int i = 1; i <= 6; ++i) {
    Check_chk[i] = Menu_Check->addAction(QString::fromUtf8(captions[i]));
    Check_chk[i]->setCheckable(true);
    connect(Check_chk[i], &QAction::triggered, this, [i](bool on) {
      SettingsStore::setBool(kSection, QStringLiteral("chk%1").arg(i), on);
    });
  }

  Label8 = new QLabel(this);
  QFont bold = Label8->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 2);
  Label8->setFont(bold);
  outer->addWidget(Label8);

  auto* body = new QHBoxLayout;
  outer->addLayout(body, 1);
  auto* grid = new QGridLayout;
  body->addLayout(grid, 1);
  auto edit = [this] {
    auto* e = new QLineEdit(this);
    e->installEventFilter(this);
    return e;
  };
  Label2 = new QLabel(QStringLiteral("商品名稱"), this);
  Text2 = edit();
  Label3 = new QLabel(QStringLiteral("商品分類"), this);
  Combo1 = new QComboBox(this);
  Combo1->setEditable(true);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  WindowTweaks::setDropDownHeight(Combo1, 300);
  Label16 = new QLabel(QStringLiteral("重量"), this);
  Text9 = new QLineEdit(QStringLiteral("0"), this);
  Label4 = new QLabel(QStringLiteral("售價"), this);
  Text3 = edit();
  Label5 = new QLabel(QStringLiteral("成本"), this);
  Text4 = edit();
  Label9 = new QLabel(QStringLiteral("庫存"), this);
  Text7 = edit();
  Text7->setText(QStringLiteral("0"));
  Command3 = new QPushButton(QStringLiteral("進退貨"), this);
  Command3->setAutoDefault(false);
  Command3->setVisible(false);
  Label12 = new QLabel(QStringLiteral("安全存量"), this);
  Text8 = edit();
  Text8->setText(QStringLiteral("0"));
  Label6 = new QLabel(QStringLiteral("購買數量"), this);
  Text1 = edit();
  Text1->setText(QStringLiteral("1"));
  Label13 = new QLabel(QStringLiteral("剩餘庫存："), this);
  Label14 = new QLabel(this);
  Label7 = new QLabel(QStringLiteral("網址"), this);
  Text6 = edit();
  Label15 = new QLabel(QStringLiteral("備註"), this);
  Text5 = new QPlainTextEdit(this);
  Text5->installEventFilter(this);
  Text5->setTabChangesFocus(true);
  Label10 = new QLabel(QStringLiteral("圖片"), this);
  Label11 = new QLabel(kNone, this);
  Label11->setWordWrap(true);
  Check1 = new QCheckBox(QStringLiteral("同步新增至商品清單內 (如果清單內沒有的話)"), this);
  Check1->setVisible(false);

  int row = 0;
  grid->addWidget(Label2, row, 0);
  grid->addWidget(Text2, row, 1, 1, 3);
  ++row;
  grid->addWidget(Label3, row, 0);
  grid->addWidget(Combo1, row, 1);
  grid->addWidget(Label16, row, 2);
  grid->addWidget(Text9, row, 3);
  ++row;
  grid->addWidget(Label4, row, 0);
  grid->addWidget(Text3, row, 1);
  grid->addWidget(Label5, row, 2);
  grid->addWidget(Text4, row, 3);
  ++row;
  grid->addWidget(Label9, row, 0);
  grid->addWidget(Text7, row, 1);
  grid->addWidget(Label12, row, 2);
  grid->addWidget(Text8, row, 3);
  grid->addWidget(Command3, row, 4);
  ++row;
  grid->addWidget(Label6, row, 0);
  grid->addWidget(Text1, row, 1);
  grid->addWidget(Label13, row, 2);
  grid->addWidget(Label14, row, 3);
  ++row;
  grid->addWidget(Label7, row, 0);
  grid->addWidget(Text6, row, 1, 1, 3);
  ++row;
  grid->addWidget(Label10, row, 0);
  grid->addWidget(Label11, row, 1, 1, 3);
  grid->addWidget(Check1, row, 1, 1, 3);
  ++row;
  grid->addWidget(Label15, row, 0, Qt::AlignTop);
  grid->addWidget(Text5, row, 1, 1, 4);
  grid->setRowStretch(row, 1);

  auto* right = new QVBoxLayout;
  body->addLayout(right);
  Shape1 = new QFrame(this);
  Shape1->setFrameShape(QFrame::Box);
  Picture1 = new QLabel(Shape1);
  Picture1->installEventFilter(this);
  resetThumbnail();
  right->addWidget(Shape1, 0, Qt::AlignTop | Qt::AlignLeft);
  right->addStretch(1);
  Command5 = new QPushButton(kAddPicture, this);
  Command5->setAutoDefault(false);
  right->addWidget(Command5);
  auto* buttons = new QHBoxLayout;
  Command1 = new QPushButton(QStringLiteral("儲存"), this);
  Command1->setDefault(true);
  Command2 = new QPushButton(QStringLiteral("取消"), this);
  Command2->setAutoDefault(false);
  buttons->addWidget(Command1);
  buttons->addWidget(Command2);
  right->addLayout(buttons);
  outer->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumWidth(713);

  setLineRowsVisible(false);
  Label13->setVisible(false);
  Label14->setVisible(false);
  if (db_.HideCost) {
    Text4->setVisible(false);
    Label5->setVisible(false);
  }

  connect(Command1, &QPushButton::clicked, this, &ManufInput::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
  // "進退貨": a purchase or return of the edited product.
  openPurchase = [this](ManufInput& dlg) { ManufStockInput::runForProductDialog(db_, prompt_, dlg); };
  connect(Command3, &QPushButton::clicked, this, [this] {
    if (openPurchase) openPurchase(*this);
  });
  connect(Command5, &QPushButton::clicked, this, &ManufInput::Command5_Click);
  connect(Text1, &QLineEdit::textChanged, this, &ManufInput::Text1_Change);
}

ManufInput::~ManufInput() = default;

bool ManufInput::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (auto* e = qobject_cast<QLineEdit*>(watched)) QTimer::singleShot(0, e, &QLineEdit::selectAll);
    if (watched == Text5) QTimer::singleShot(0, Text5, &QPlainTextEdit::selectAll);
  }
  if (watched == Picture1 && event->type() == QEvent::MouseButtonRelease) Picture1_Click();
  return QDialog::eventFilter(watched, event);
}

// ---- openers ----

void ManufInput::fillCategories() {
  Combo1->clear();
  Combo1->addItems(db_.settings.ProductCategories);
  Combo1->addItem(QStringLiteral("未分類"));
}

void ManufInput::setLineRowsVisible(bool on) {
  for (QWidget* w : {static_cast<QWidget*>(Label6), static_cast<QWidget*>(Text1), static_cast<QWidget*>(Label7),
                     static_cast<QWidget*>(Text6)})
    w->setVisible(on);
}

void ManufInput::setStockRowsVisible(bool on) {
  for (QWidget* w : {static_cast<QWidget*>(Label9), static_cast<QWidget*>(Text7), static_cast<QWidget*>(Label12),
                     static_cast<QWidget*>(Text8)})
    w->setVisible(on);
}

void ManufInput::fillFromProduct(int r) {
  const Table& t = db_.Manuf;
  Combo1->setCurrentText(t.cell(r, ManufCell::ProductCategory));
  Text2->setText(t.cell(r, ManufCell::ProductName));
  Text3->setText(t.cell(r, ManufCell::ProductPrice));
  Text4->setText(t.cell(r, ManufCell::ProductCost));
  Text7->setText(t.cell(r, ManufCell::ProductStock));
  Text5->setPlainText(LineBreaks::forBox(t.cell(r, ManufCell::ProductNote)));
  Text8->setText(t.cell(r, ManufCell::SafetyStock));
  Text9->setText(t.cell(r, ManufCell::ProductWeight));
  loadPicture(t.cell(r, ManufCell::ProductName), t.cell(r, ManufCell::ProductCategory));
}

void ManufInput::loadPicture(const QString& name, const QString& category) {
  const QString path = ProductLookup::picturePathOf(db_, name, category);
  if (path.isEmpty() && ProductLookup::findImageRow(db_, name, category) == 0) return;
  Label11->setText(path);
  Command5->setText(kRemovePicture);
  ShowProductPicture();
}

void ManufInput::prepareNewProduct(const QString& filterText) {
  fillCategories();
  if (filterText != QStringLiteral("全部") && !filterText.isEmpty())
    Combo1->setCurrentText(filterText);
  else
    Combo1->setCurrentIndex(0);
  Label8->setText(QStringLiteral("新增商品"));
  SelState = ProductSave::NewProduct;
  Menu_Check->setEnabled(false);
}

void ManufInput::prepareCopy(int manufRow, const QString& filterText) {
  prepareNewProduct(filterText);
  fillFromProduct(manufRow);
}

void ManufInput::prepareEditProduct(int manufRow, bool pickerUse) {
  fillCategories();
  SelEdit = manufRow;
  fillFromProduct(manufRow);
  if (pickerUse)
    setStockRowsVisible(false);
  else
    Command3->setVisible(true);
  Command3->setEnabled(static_cast<bool>(openPurchase));
  Label8->setText(QStringLiteral("編輯商品"));
  SelState = ProductSave::EditProduct;
  for (int i = 1; i <= 6; ++i)
    Check_chk[i]->setChecked(SettingsStore::getBool(kSection, QStringLiteral("chk%1").arg(i), i == 1));
  Menu_Check->setEnabled(true);
}

void ManufInput::prepareNewLine(OrderEditorLines* lines) {
  lines_ = lines;
  fillCategories();
  Combo1->setCurrentIndex(0);
  Label8->setText(QStringLiteral("直接新增商品"));
  setLineRowsVisible(true);
  setStockRowsVisible(false);
  Label10->setVisible(false);
  Label11->setVisible(false);
  Command5->setVisible(false);
  Check1->setVisible(true);
  SelState = ProductSave::NewLine;
  Menu_Check->setEnabled(false);
}

void ManufInput::prepareEditLine(OrderEditorLines* lines, int line) {
  lines_ = lines;
  editLine_ = line;
  fillCategories();
  const OrderEditorLine l = lines->line(line);
  Combo1->setCurrentText(l.category);
  {
    const QSignalBlocker quiet(Text1);
    Text1->setText(l.qty);
  }
  OldQty = Num::leading(l.qty);
  Text2->setText(l.name);
  Text3->setText(l.price);
  Text4->setText(l.cost);
  Text5->setPlainText(LineBreaks::forBox(l.note));
  Text6->setText(l.url);
  Text9->setText(l.weight);
  const int r = FindProductRow(db_.Manuf, l.name, l.category);
  Label14->setText(r > 0 ? db_.Manuf.cell(r, ManufCell::ProductStock) : QString::fromUtf8(ProductSave::kNotListed));
  loadPicture(l.name, l.category);
  Command5->setText(kAddPicture);
  Label8->setText(QStringLiteral("編輯已加入商品"));
  setLineRowsVisible(true);
  Label13->setVisible(true);
  Label14->setVisible(true);
  setStockRowsVisible(false);
  Command5->setVisible(false);
  SelState = ProductSave::EditLine;
  Menu_Check->setEnabled(false);
}

// ---- fields ----

ProductSave::Fields ManufInput::fields() const {
  ProductSave::Fields f;
  f.name = Text2->text();
  f.category = Combo1->currentText();
  f.price = Text3->text();
  f.cost = Text4->text();
  f.stock = Text7->text();
  f.note = LineBreaks::forFile(Text5->toPlainText());
  f.safety = Text8->text();
  f.weight = Text9->text();
  f.qty = Text1->text();
  f.url = Text6->text();
  f.picture = Label11->text();
  f.remaining = Label14->text();
  f.addToList = Check1->isChecked();
  for (int i = 1; i <= 6; ++i) f.confirm[static_cast<size_t>(i)] = Check_chk[i]->isChecked();
  return f;
}

void ManufInput::setFields(const ProductSave::Fields& f) {
  const QSignalBlocker quiet(Text1);
  Text2->setText(f.name);
  Combo1->setCurrentText(f.category);
  Text3->setText(f.price);
  Text4->setText(f.cost);
  Text7->setText(f.stock);
  Text5->setPlainText(LineBreaks::forBox(f.note));
  Text8->setText(f.safety);
  Text9->setText(f.weight);
  Text1->setText(f.qty);
  Text6->setText(f.url);
}

// ---- commands ----

void ManufInput::Command1_Click() {
  ProductSave::Fields f = fields();
  const ProductSave::Result res = ProductSave::save(db_, prompt_, SelState, SelEdit, f, lines_, editLine_);
  if (!f.name.isEmpty()) setFields(f);  // the boxes keep the cleaned texts
  if (!res.saved) return;
  if (SelState == ProductSave::NewProduct && productAdded) productAdded(f.category, res.categoryAdded);
  if (SelState == ProductSave::EditProduct && productEdited) productEdited(res.manufRow, res.categoryAdded);
  accept();
}

void ManufInput::Text1_Change() {
  if (Label14->text() == QString::fromUtf8(ProductSave::kNotListed)) return;
  const double q = Num::leading(Text1->text());
  Label14->setText(Num::format(Num::leading(Label14->text()) + OldQty - q));
  OldQty = q;
}

void ManufInput::resetThumbnail() {
  Picture1->setPixmap(QPixmap());
  Picture1->setFixedSize(kThumbW, kThumbH);
  Picture1->move(8, 8);
  Shape1->setFixedSize(kThumbW + kFrameSpare, kThumbH + kFrameSpare);
}

void ManufInput::ShowProductPicture() {
  // An unreadable file leaves the picture held before.
  // The frame keeps the dialog's own margin around the fitted box.
  if (!picture_) picture_ = std::make_unique<ProductPicture>(Picture1, nullptr);
  if (picture_->ShowProductPicture(Label11->text()).drawn)
    Shape1->setFixedSize(Picture1->width() + kFrameSpare, Picture1->height() + kFrameSpare);
}

void ManufInput::Command5_Click() {
  if (Command5->text() == kAddPicture) {
    const QString path = prompt_.openFile(kAddPicture, QStringLiteral("圖片檔案 (*.jpg *.gif *.bmp *.JPG *.GIF *.BMP)"));
    if (path.isEmpty()) return;
    Label11->setText(path);
    Command5->setText(kRemovePicture);
    ShowProductPicture();
  } else {
    Label11->setText(kNone);
    Command5->setText(kAddPicture);
    if (picture_) picture_->clear();
    resetThumbnail();
  }
}

void ManufInput::Picture1_Click() {
  const QString path = Label11->text();
  if (path == kNone) return;
  if (!QFileInfo(path).isFile()) {
    prompt_.warn(QStringLiteral("找不到圖片檔案!"));
    return;
  }
  if (viewPicture) {
    viewPicture(path);
    return;
  }
  ImagesForm::showPicture(prompt_, this, path);
}
