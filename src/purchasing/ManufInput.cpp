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
  confirmMenu = MenuBar->addMenu(QStringLiteral("確認(&C)"));
  const char* captions[] = {"", "商品名稱或分類", "售價", "成本", "庫存", "安全存量", "備註"};
  confirmActions[0] = nullptr;
  for (int i = 1; i <= 6; ++i) {
    confirmActions[i] = confirmMenu->addAction(QString::fromUtf8(captions[i]));
    confirmActions[i]->setCheckable(true);
    connect(confirmActions[i], &QAction::triggered, this, [i](bool on) {
      SettingsStore::setBool(kSection, QStringLiteral("chk%1").arg(i), on);
    });
  }

  headingLabel = new QLabel(this);
  QFont bold = headingLabel->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 2);
  headingLabel->setFont(bold);
  outer->addWidget(headingLabel);

  auto* body = new QHBoxLayout;
  outer->addLayout(body, 1);
  auto* grid = new QGridLayout;
  body->addLayout(grid, 1);
  auto edit = [this] {
    auto* e = new QLineEdit(this);
    e->installEventFilter(this);
    return e;
  };
  nameLabel = new QLabel(QStringLiteral("商品名稱"), this);
  nameEdit = edit();
  categoryLabel = new QLabel(QStringLiteral("商品分類"), this);
  categoryCombo = new QComboBox(this);
  categoryCombo->setEditable(true);
  categoryCombo->setInsertPolicy(QComboBox::NoInsert);
  WindowTweaks::setDropDownHeight(categoryCombo, 300);
  weightLabel = new QLabel(QStringLiteral("重量"), this);
  weightEdit = new QLineEdit(QStringLiteral("0"), this);
  priceLabel = new QLabel(QStringLiteral("售價"), this);
  priceEdit = edit();
  costLabel = new QLabel(QStringLiteral("成本"), this);
  costEdit = edit();
  stockLabel = new QLabel(QStringLiteral("庫存"), this);
  stockEdit = edit();
  stockEdit->setText(QStringLiteral("0"));
  purchaseReturnButton = new QPushButton(QStringLiteral("進退貨"), this);
  purchaseReturnButton->setAutoDefault(false);
  purchaseReturnButton->setVisible(false);
  safetyStockLabel = new QLabel(QStringLiteral("安全存量"), this);
  safetyStockEdit = edit();
  safetyStockEdit->setText(QStringLiteral("0"));
  qtyLabel = new QLabel(QStringLiteral("購買數量"), this);
  qtyEdit = edit();
  qtyEdit->setText(QStringLiteral("1"));
  remainingCaptionLabel = new QLabel(QStringLiteral("剩餘庫存："), this);
  remainingLabel = new QLabel(this);
  urlLabel = new QLabel(QStringLiteral("網址"), this);
  urlEdit = edit();
  noteLabel = new QLabel(QStringLiteral("備註"), this);
  noteEdit = new QPlainTextEdit(this);
  noteEdit->installEventFilter(this);
  noteEdit->setTabChangesFocus(true);
  pictureCaptionLabel = new QLabel(QStringLiteral("圖片"), this);
  picturePathLabel = new QLabel(kNone, this);
  picturePathLabel->setWordWrap(true);
  addToListCheck = new QCheckBox(QStringLiteral("同步新增至商品清單內 (如果清單內沒有的話)"), this);
  addToListCheck->setVisible(false);

  int row = 0;
  grid->addWidget(nameLabel, row, 0);
  grid->addWidget(nameEdit, row, 1, 1, 3);
  ++row;
  grid->addWidget(categoryLabel, row, 0);
  grid->addWidget(categoryCombo, row, 1);
  grid->addWidget(weightLabel, row, 2);
  grid->addWidget(weightEdit, row, 3);
  ++row;
  grid->addWidget(priceLabel, row, 0);
  grid->addWidget(priceEdit, row, 1);
  grid->addWidget(costLabel, row, 2);
  grid->addWidget(costEdit, row, 3);
  ++row;
  grid->addWidget(stockLabel, row, 0);
  grid->addWidget(stockEdit, row, 1);
  grid->addWidget(safetyStockLabel, row, 2);
  grid->addWidget(safetyStockEdit, row, 3);
  grid->addWidget(purchaseReturnButton, row, 4);
  ++row;
  grid->addWidget(qtyLabel, row, 0);
  grid->addWidget(qtyEdit, row, 1);
  grid->addWidget(remainingCaptionLabel, row, 2);
  grid->addWidget(remainingLabel, row, 3);
  ++row;
  grid->addWidget(urlLabel, row, 0);
  grid->addWidget(urlEdit, row, 1, 1, 3);
  ++row;
  grid->addWidget(pictureCaptionLabel, row, 0);
  grid->addWidget(picturePathLabel, row, 1, 1, 3);
  grid->addWidget(addToListCheck, row, 1, 1, 3);
  ++row;
  grid->addWidget(noteLabel, row, 0, Qt::AlignTop);
  grid->addWidget(noteEdit, row, 1, 1, 4);
  grid->setRowStretch(row, 1);

  auto* right = new QVBoxLayout;
  body->addLayout(right);
  pictureFrame = new QFrame(this);
  pictureFrame->setFrameShape(QFrame::Box);
  thumbnailLabel = new QLabel(pictureFrame);
  thumbnailLabel->installEventFilter(this);
  resetThumbnail();
  right->addWidget(pictureFrame, 0, Qt::AlignTop | Qt::AlignLeft);
  right->addStretch(1);
  pictureButton = new QPushButton(kAddPicture, this);
  pictureButton->setAutoDefault(false);
  right->addWidget(pictureButton);
  auto* buttons = new QHBoxLayout;
  saveButton = new QPushButton(QStringLiteral("儲存"), this);
  saveButton->setDefault(true);
  cancelButton = new QPushButton(QStringLiteral("取消"), this);
  cancelButton->setAutoDefault(false);
  buttons->addWidget(saveButton);
  buttons->addWidget(cancelButton);
  right->addLayout(buttons);
  outer->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumWidth(713);

  setLineRowsVisible(false);
  remainingCaptionLabel->setVisible(false);
  remainingLabel->setVisible(false);
  if (db_.HideCost) {
    costEdit->setVisible(false);
    costLabel->setVisible(false);
  }

  connect(saveButton, &QPushButton::clicked, this, &ManufInput::onSave);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  // "進退貨": a purchase or return of the edited product.
  openPurchase = [this](ManufInput& dlg) { ManufStockInput::runForProductDialog(db_, prompt_, dlg); };
  connect(purchaseReturnButton, &QPushButton::clicked, this, [this] {
    if (openPurchase) openPurchase(*this);
  });
  connect(pictureButton, &QPushButton::clicked, this, &ManufInput::onAddOrRemovePicture);
  connect(qtyEdit, &QLineEdit::textChanged, this, &ManufInput::onQtyChanged);
}

ManufInput::~ManufInput() = default;

bool ManufInput::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (auto* e = qobject_cast<QLineEdit*>(watched)) QTimer::singleShot(0, e, &QLineEdit::selectAll);
    if (watched == noteEdit) QTimer::singleShot(0, noteEdit, &QPlainTextEdit::selectAll);
  }
  if (watched == thumbnailLabel && event->type() == QEvent::MouseButtonRelease) onThumbnailClicked();
  return QDialog::eventFilter(watched, event);
}

// ---- openers ----

void ManufInput::fillCategories() {
  categoryCombo->clear();
  categoryCombo->addItems(db_.settings.ProductCategories);
  categoryCombo->addItem(QStringLiteral("未分類"));
}

void ManufInput::setLineRowsVisible(bool on) {
  for (QWidget* w : {static_cast<QWidget*>(qtyLabel), static_cast<QWidget*>(qtyEdit), static_cast<QWidget*>(urlLabel),
                     static_cast<QWidget*>(urlEdit)})
    w->setVisible(on);
}

void ManufInput::setStockRowsVisible(bool on) {
  for (QWidget* w : {static_cast<QWidget*>(stockLabel), static_cast<QWidget*>(stockEdit),
                     static_cast<QWidget*>(safetyStockLabel), static_cast<QWidget*>(safetyStockEdit)})
    w->setVisible(on);
}

void ManufInput::fillFromProduct(int r) {
  const Table& t = db_.Manuf;
  categoryCombo->setCurrentText(t.cell(r, ManufCell::ProductCategory));
  nameEdit->setText(t.cell(r, ManufCell::ProductName));
  priceEdit->setText(t.cell(r, ManufCell::ProductPrice));
  costEdit->setText(t.cell(r, ManufCell::ProductCost));
  stockEdit->setText(t.cell(r, ManufCell::ProductStock));
  noteEdit->setPlainText(LineBreaks::forBox(t.cell(r, ManufCell::ProductNote)));
  safetyStockEdit->setText(t.cell(r, ManufCell::SafetyStock));
  weightEdit->setText(t.cell(r, ManufCell::ProductWeight));
  loadPicture(t.cell(r, ManufCell::ProductName), t.cell(r, ManufCell::ProductCategory));
}

void ManufInput::loadPicture(const QString& name, const QString& category) {
  const QString path = ProductLookup::picturePathOf(db_, name, category);
  if (path.isEmpty() && ProductLookup::findImageRow(db_, name, category) == 0) return;
  picturePathLabel->setText(path);
  pictureButton->setText(kRemovePicture);
  ShowProductPicture();
}

void ManufInput::prepareNewProduct(const QString& filterText) {
  fillCategories();
  if (filterText != QStringLiteral("全部") && !filterText.isEmpty())
    categoryCombo->setCurrentText(filterText);
  else
    categoryCombo->setCurrentIndex(0);
  headingLabel->setText(QStringLiteral("新增商品"));
  SelState = ProductSave::NewProduct;
  confirmMenu->setEnabled(false);
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
    purchaseReturnButton->setVisible(true);
  purchaseReturnButton->setEnabled(static_cast<bool>(openPurchase));
  headingLabel->setText(QStringLiteral("編輯商品"));
  SelState = ProductSave::EditProduct;
  for (int i = 1; i <= 6; ++i)
    confirmActions[i]->setChecked(SettingsStore::getBool(kSection, QStringLiteral("chk%1").arg(i), i == 1));
  confirmMenu->setEnabled(true);
}

void ManufInput::prepareNewLine(OrderEditorLines* lines) {
  lines_ = lines;
  fillCategories();
  categoryCombo->setCurrentIndex(0);
  headingLabel->setText(QStringLiteral("直接新增商品"));
  setLineRowsVisible(true);
  setStockRowsVisible(false);
  pictureCaptionLabel->setVisible(false);
  picturePathLabel->setVisible(false);
  pictureButton->setVisible(false);
  addToListCheck->setVisible(true);
  SelState = ProductSave::NewLine;
  confirmMenu->setEnabled(false);
}

void ManufInput::prepareEditLine(OrderEditorLines* lines, int line) {
  lines_ = lines;
  editLine_ = line;
  fillCategories();
  const OrderEditorLine l = lines->line(line);
  categoryCombo->setCurrentText(l.category);
  {
    const QSignalBlocker quiet(qtyEdit);
    qtyEdit->setText(l.qty);
  }
  OldQty = Num::leading(l.qty);
  nameEdit->setText(l.name);
  priceEdit->setText(l.price);
  costEdit->setText(l.cost);
  noteEdit->setPlainText(LineBreaks::forBox(l.note));
  urlEdit->setText(l.url);
  weightEdit->setText(l.weight);
  const int r = FindProductRow(db_.Manuf, l.name, l.category);
  remainingLabel->setText(r > 0 ? db_.Manuf.cell(r, ManufCell::ProductStock)
                                : QString::fromUtf8(ProductSave::kNotListed));
  loadPicture(l.name, l.category);
  pictureButton->setText(kAddPicture);
  headingLabel->setText(QStringLiteral("編輯已加入商品"));
  setLineRowsVisible(true);
  remainingCaptionLabel->setVisible(true);
  remainingLabel->setVisible(true);
  setStockRowsVisible(false);
  pictureButton->setVisible(false);
  SelState = ProductSave::EditLine;
  confirmMenu->setEnabled(false);
}

// ---- fields ----

ProductSave::Fields ManufInput::fields() const {
  ProductSave::Fields f;
  f.name = nameEdit->text();
  f.category = categoryCombo->currentText();
  f.price = priceEdit->text();
  f.cost = costEdit->text();
  f.stock = stockEdit->text();
  f.note = LineBreaks::forFile(noteEdit->toPlainText());
  f.safety = safetyStockEdit->text();
  f.weight = weightEdit->text();
  f.qty = qtyEdit->text();
  f.url = urlEdit->text();
  f.picture = picturePathLabel->text();
  f.remaining = remainingLabel->text();
  f.addToList = addToListCheck->isChecked();
  for (int i = 1; i <= 6; ++i) f.confirm[static_cast<size_t>(i)] = confirmActions[i]->isChecked();
  return f;
}

void ManufInput::setFields(const ProductSave::Fields& f) {
  const QSignalBlocker quiet(qtyEdit);
  nameEdit->setText(f.name);
  categoryCombo->setCurrentText(f.category);
  priceEdit->setText(f.price);
  costEdit->setText(f.cost);
  stockEdit->setText(f.stock);
  noteEdit->setPlainText(LineBreaks::forBox(f.note));
  safetyStockEdit->setText(f.safety);
  weightEdit->setText(f.weight);
  qtyEdit->setText(f.qty);
  urlEdit->setText(f.url);
}

// ---- commands ----

void ManufInput::onSave() {
  ProductSave::Fields f = fields();
  const ProductSave::Result res = ProductSave::save(db_, prompt_, SelState, SelEdit, f, lines_, editLine_);
  if (!f.name.isEmpty()) setFields(f);  // the boxes keep the cleaned texts
  if (!res.saved) return;
  if (SelState == ProductSave::NewProduct && productAdded) productAdded(f.category, res.categoryAdded);
  if (SelState == ProductSave::EditProduct && productEdited) productEdited(res.manufRow, res.categoryAdded);
  accept();
}

void ManufInput::onQtyChanged() {
  if (remainingLabel->text() == QString::fromUtf8(ProductSave::kNotListed)) return;
  const double q = Num::leading(qtyEdit->text());
  remainingLabel->setText(Num::format(Num::leading(remainingLabel->text()) + OldQty - q));
  OldQty = q;
}

void ManufInput::resetThumbnail() {
  thumbnailLabel->setPixmap(QPixmap());
  thumbnailLabel->setFixedSize(kThumbW, kThumbH);
  thumbnailLabel->move(8, 8);
  pictureFrame->setFixedSize(kThumbW + kFrameSpare, kThumbH + kFrameSpare);
}

void ManufInput::ShowProductPicture() {
  // An unreadable file leaves the picture held before.
  // The frame keeps the dialog's own margin around the fitted box.
  if (!picture_) picture_ = std::make_unique<ProductPicture>(thumbnailLabel, nullptr);
  if (picture_->ShowProductPicture(picturePathLabel->text()).drawn)
    pictureFrame->setFixedSize(thumbnailLabel->width() + kFrameSpare, thumbnailLabel->height() + kFrameSpare);
}

void ManufInput::onAddOrRemovePicture() {
  if (pictureButton->text() == kAddPicture) {
    const QString path = prompt_.openFile(kAddPicture, QStringLiteral("圖片檔案 (*.jpg *.gif *.bmp *.JPG *.GIF *.BMP)"));
    if (path.isEmpty()) return;
    picturePathLabel->setText(path);
    pictureButton->setText(kRemovePicture);
    ShowProductPicture();
  } else {
    picturePathLabel->setText(kNone);
    pictureButton->setText(kAddPicture);
    if (picture_) picture_->clear();
    resetThumbnail();
  }
}

void ManufInput::onThumbnailClicked() {
  const QString path = picturePathLabel->text();
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
