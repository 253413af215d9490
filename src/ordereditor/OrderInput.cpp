#include "ordereditor/OrderInput.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>

#include "models/OrderCommands.h"
#include "models/OrderLineTools.h"
#include "ordereditor/OrderInputHost.h"
#include "ordereditor/OrderInputNote.h"
#include "platform/ListView.h"
#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/WindowTweaks.h"
#include "store/Database.h"
#include "store/LineBreaks.h"
#include "store/TextEntry.h"

namespace {

const QString kSection = QStringLiteral("OrderInput");
const QString kNewOrder = QStringLiteral("新增訂單");
const QString kEditOrder = QStringLiteral("編輯訂單");
const QString kEditCustomer = QStringLiteral("編輯客戶");

// Designed widths of the ten line columns, in twips.
constexpr int kColumnTwips[LineCol::Count] = {2400, 1400, 900, 900, 700, 700, 1800, 1500, 700, 1000};
// The smallest size the window may take, in twips.
constexpr int kMinWidthTwips = 10575;
constexpr int kMinHeightTwips = 8715;

QLineEdit* box(QWidget* parent, bool readOnly = false) {
  auto* e = new QLineEdit(parent);
  e->setReadOnly(readOnly);
  return e;
}

}  // namespace

OrderInput::OrderInput(Database& db, Prompt& prompt, OrderInputHost& host, QWidget* parent)
    : NoCloseDialog(parent, Qt::Window | Qt::WindowMinMaxButtonsHint), db_(db), prompt_(prompt), host_(host) {
  setWindowTitle(QStringLiteral("訂單"));
  setModal(true);
  buildWindow();
  buildMenus();
  Form_Load();
}

OrderInput::~OrderInput() = default;

// ---- the window --------------------------------------------------------------

void OrderInput::buildWindow() {
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(8, 4, 8, 0);

  // Banner: heading and receivable.
  auto* banner = new QHBoxLayout;
  headingLabel = new QLabel(QStringLiteral("新增資料"), this);
  QFont big = headingLabel->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  headingLabel->setFont(big);
  receivableLabel = new QLabel(QStringLiteral("應收款項: 0"), this);
  receivableLabel->setFont(big);
  banner->addWidget(headingLabel);
  banner->addStretch();
  banner->addWidget(receivableLabel);
  top->addLayout(banner);

  // Order and customer.
  auto* grid = new QGridLayout;
  auto label = [this](const char* text) { return new QLabel(QString::fromUtf8(text), this); };
  numberEdit = box(this, true);
  dateEdit = box(this);
  accountEdit = box(this, true);
  customerCategoryEdit = box(this, true);
  customerButton = new QPushButton(QStringLiteral("新增客戶"), this);
  pickCustomerButton = new QPushButton(QStringLiteral("從客戶名單加入"), this);
  grid->addWidget(label("編號"), 0, 0);
  grid->addWidget(numberEdit, 0, 1);
  grid->addWidget(label("日期"), 0, 2);
  grid->addWidget(dateEdit, 0, 3);
  grid->addWidget(label("客戶帳號"), 0, 4);
  grid->addWidget(accountEdit, 0, 5);
  grid->addWidget(customerButton, 0, 6);
  grid->addWidget(label("客戶分類"), 1, 4);
  grid->addWidget(customerCategoryEdit, 1, 5);
  grid->addWidget(pickCustomerButton, 1, 6);
  top->addLayout(grid);

  auto* customer = new QFrame(this);
  customer->setFrameShape(QFrame::StyledPanel);
  auto* cg = new QGridLayout(customer);
  nameEdit = box(customer, true);
  sexEdit = box(customer, true);
  phoneEdit = box(customer, true);
  mobileEdit = box(customer, true);
  emailEdit = box(customer, true);
  writeMailButton = new QPushButton(QStringLiteral("寫信"), customer);
  bankLast5Edit = box(customer, true);
  addressEdit = box(customer, true);
  customerNoteEdit = box(customer, true);
  auto clabel = [customer](const char* text) { return new QLabel(QString::fromUtf8(text), customer); };
  cg->addWidget(clabel("姓名"), 0, 0);
  cg->addWidget(nameEdit, 0, 1);
  cg->addWidget(clabel("性別"), 0, 2);
  cg->addWidget(sexEdit, 0, 3);
  cg->addWidget(clabel("電話"), 0, 4);
  cg->addWidget(phoneEdit, 0, 5);
  cg->addWidget(clabel("手機"), 0, 6);
  cg->addWidget(mobileEdit, 0, 7);
  cg->addWidget(clabel("Email"), 1, 0);
  cg->addWidget(emailEdit, 1, 1, 1, 2);
  cg->addWidget(writeMailButton, 1, 3);
  cg->addWidget(clabel("帳號末5碼"), 1, 6);
  cg->addWidget(bankLast5Edit, 1, 7);
  cg->addWidget(clabel("地址"), 2, 0);
  cg->addWidget(addressEdit, 2, 1, 1, 7);
  cg->addWidget(clabel("備註"), 3, 0);
  cg->addWidget(customerNoteEdit, 3, 1, 1, 7);
  top->addWidget(customer);

  // Money row.
  auto* money = new QHBoxLayout;
  feeEdit = box(this);
  sellerPaysCheck = new QCheckBox(QStringLiteral("賣方負擔"), this);
  percentDiscountCheck = new QCheckBox(QStringLiteral("折扣(%)"), this);
  percentDiscountEdit = box(this);
  amountDiscountCheck = new QCheckBox(QStringLiteral("折扣(整數)"), this);
  amountDiscountEdit = box(this);
  computeButton = new QPushButton(QStringLiteral("計算"), this);
  for (QLineEdit* e : {feeEdit, percentDiscountEdit, amountDiscountEdit}) e->setMaximumWidth(90);
  money->addWidget(label("運費"));
  money->addWidget(feeEdit);
  money->addWidget(sellerPaysCheck);
  money->addSpacing(12);
  money->addWidget(percentDiscountCheck);
  money->addWidget(percentDiscountEdit);
  money->addWidget(amountDiscountCheck);
  money->addWidget(amountDiscountEdit);
  money->addWidget(computeButton);
  money->addStretch();
  top->addLayout(money);

  // Order note.
  auto* noteRow = new QHBoxLayout;
  noteEdit = new QPlainTextEdit(this);
  noteEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  noteEdit->setFixedHeight(noteEdit->fontMetrics().lineSpacing() * 3 + 12);
  expandNoteButton = new QPushButton(QStringLiteral("展開"), this);
  noteRow->addWidget(label("備註"), 0, Qt::AlignTop);
  noteRow->addWidget(noteEdit, 1);
  noteRow->addWidget(expandNoteButton, 0, Qt::AlignTop);
  top->addLayout(noteRow);

  // The lines.
  lineList = new ListView(this);
  lineList->setColumns({QStringLiteral("商品名稱"), QStringLiteral("商品分類"), QStringLiteral("售價"),
                        QStringLiteral("成本"), QStringLiteral("數量"), QStringLiteral("缺貨"), QStringLiteral("備註"),
                        QStringLiteral("網址"), QStringLiteral("重量"), QStringLiteral("小計")});
  for (int c = 0; c < LineCol::Count; ++c) lineList->setColumnWidthTwips(c, kColumnTwips[c]);
  lineList->setCheckable(true);
  lineList->setMultiSelect(true);
  top->addWidget(lineList, 1);
  snapshotList = new ListView(this);
  snapshotList->setColumns({QStringLiteral("名稱"), QStringLiteral("分類"), QStringLiteral("數量")});
  snapshotList->hide();

  auto* lineButtons = new QHBoxLayout;
  pickProductsButton = new QPushButton(QStringLiteral("從商品清單加入"), this);
  newLineButton = new QPushButton(QStringLiteral("新增"), this);
  openUrlButton = new QPushButton(QStringLiteral("打開網址"), this);
  exportButton = new QPushButton(QStringLiteral("匯出"), this);
  quantityLabel = new QLabel(QStringLiteral("數量:"), this);
  for (QPushButton* b : {pickProductsButton, newLineButton, openUrlButton, exportButton}) lineButtons->addWidget(b);
  lineButtons->addStretch();
  lineButtons->addWidget(quantityLabel);
  top->addLayout(lineButtons);

  auto* line1 = new QFrame(this);
  line1->setFrameShape(QFrame::HLine);
  line1->setFrameShadow(QFrame::Sunken);
  top->addWidget(line1);

  // Payment and shipping rows with the commands.
  auto* bottom = new QGridLayout;
  paidCheck = new QCheckBox(QStringLiteral("已匯款"), this);
  payDateEdit = box(this);
  ratedCheck = new QCheckBox(QStringLiteral("已給評價"), this);
  mailingLabelButton = new QPushButton(QStringLiteral("郵寄名條"), this);
  previousButton = new QPushButton(QStringLiteral("上一筆"), this);
  nextButton = new QPushButton(QStringLiteral("下一筆"), this);
  shippedCheck = new QCheckBox(QStringLiteral("已出貨"), this);
  shipDateEdit = box(this);
  methodCombo = new QComboBox(this);
  methodCombo->setEditable(true);
  methodCombo->addItems({QStringLiteral("寄郵局"), QStringLiteral("寄宅配"), QStringLiteral("寄貨運"),
                         QStringLiteral("貨到付款"), QStringLiteral("面交")});
  shippingNoteButton = new QPushButton(QStringLiteral("出貨單"), this);
  saveButton = new QPushButton(QStringLiteral("儲存"), this);
  saveAndCloseButton = new QPushButton(QStringLiteral("儲存後離開"), this);
  cancelButton = new QPushButton(QStringLiteral("取消"), this);
  for (QPushButton* b : {pickProductsButton, newLineButton, openUrlButton, exportButton, mailingLabelButton,
                         previousButton, nextButton, shippingNoteButton, saveButton, saveAndCloseButton, cancelButton,
                         customerButton, pickCustomerButton, computeButton, writeMailButton, expandNoteButton})
    b->setAutoDefault(false);
  bottom->addWidget(paidCheck, 0, 0);
  bottom->addWidget(payDateEdit, 0, 1);
  bottom->addWidget(ratedCheck, 0, 2);
  bottom->setColumnStretch(3, 1);
  bottom->addWidget(mailingLabelButton, 0, 4);
  bottom->addWidget(previousButton, 0, 5);
  bottom->addWidget(nextButton, 0, 6);
  bottom->addWidget(shippedCheck, 1, 0);
  bottom->addWidget(shipDateEdit, 1, 1);
  bottom->addWidget(methodCombo, 1, 2);
  bottom->addWidget(shippingNoteButton, 1, 4);
  bottom->addWidget(saveButton, 1, 5);
  bottom->addWidget(saveAndCloseButton, 1, 6);
  bottom->addWidget(cancelButton, 1, 7);
  top->addLayout(bottom);

  netGoodsEdit = box(this);
  costEdit = box(this);
  netGoodsEdit->hide();
  costEdit->hide();

  statusBar = new QStatusBar(this);
  statusBar->setSizeGripEnabled(true);
  for (int i = 0; i < 4; ++i) {
    statusPanels[i] = new QLabel(this);
    statusBar->addWidget(statusPanels[i], i == 3 ? 1 : 0);
  }
  top->addWidget(statusBar);

  setMinimumSize(WindowTweaks::pixelsFromTwips(kMinWidthTwips), WindowTweaks::pixelsFromTwips(kMinHeightTwips));
  resize(WindowTweaks::pixelsFromTwips(11400), WindowTweaks::pixelsFromTwips(9600));

  // Boxes that select their whole text when they take the focus, and the
  // account box's double click.
  for (QLineEdit* e :
       {nameEdit, phoneEdit, feeEdit, mobileEdit, emailEdit, bankLast5Edit, addressEdit, netGoodsEdit, costEdit,
        accountEdit, customerCategoryEdit, percentDiscountEdit, amountDiscountEdit, customerNoteEdit})
    e->installEventFilter(this);
  noteEdit->installEventFilter(this);
  lineList->viewport()->installEventFilter(this);

  connect(shippedCheck, &QCheckBox::toggled, this, [this] { onShippedClicked(); });
  connect(paidCheck, &QCheckBox::toggled, this, [this] { onPaidClicked(); });
  connect(sellerPaysCheck, &QCheckBox::toggled, this, [this] { onSellerPaysClicked(); });
  connect(percentDiscountCheck, &QCheckBox::toggled, this, [this] { onPercentDiscountClicked(); });
  connect(amountDiscountCheck, &QCheckBox::toggled, this, [this] { onAmountDiscountClicked(); });
  connect(pickCustomerButton, &QPushButton::clicked, this, [this] { onPickCustomer(); });
  connect(pickProductsButton, &QPushButton::clicked, this, [this] { onPickProducts(); });
  connect(customerButton, &QPushButton::clicked, this, [this] { onAddOrEditCustomer(); });
  connect(saveAndCloseButton, &QPushButton::clicked, this, [this] { onSaveAndClose(); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { onCancel(); });
  connect(mailingLabelButton, &QPushButton::clicked, this, [this] { host_.mailingLabel(*this); });
  connect(exportButton, &QPushButton::clicked, this, [this] { host_.exportLines(*this); });
  connect(computeButton, &QPushButton::clicked, this, [this] { onCompute(); });
  connect(writeMailButton, &QPushButton::clicked, this, [this] { onWriteMail(); });
  connect(newLineButton, &QPushButton::clicked, this, [this] { onNewLine(); });
  connect(openUrlButton, &QPushButton::clicked, this, [this] { onOpenUrl(); });
  connect(nextButton, &QPushButton::clicked, this, [this] { onNext(); });
  connect(previousButton, &QPushButton::clicked, this, [this] { onPrevious(); });
  connect(saveButton, &QPushButton::clicked, this, [this] { onSave(); });
  connect(shippingNoteButton, &QPushButton::clicked, this, [this] { host_.shippingNote(*this); });
  connect(expandNoteButton, &QPushButton::clicked, this, [this] { onExpandNote(); });
  connect(lineList, &ListView::rowActivated, this, [this](int) { onLineDoubleClicked(); });
  connect(lineList, &ListView::itemCheckChanged, this, [this](int row, bool checked, bool byUser) {
    if (byUser) onLineTicked(row, checked);
  });
  connect(lineList, &ListView::keyPressed, this, [this](int key, Qt::KeyboardModifiers) { onLineKeyDown(key); });
  connect(lineList, &ListView::contextMenuAt, this, [this](const QPoint& at) {
    if (prepareLineMenu()) lineMenu->exec(at);
  });
}

void OrderInput::buildMenus() {
  auto* bar = new QMenuBar(this);
  layout()->setMenuBar(bar);
  auto checkable = [](QMenu* m, const char* text) {
    QAction* a = m->addAction(QString::fromUtf8(text));
    a->setCheckable(true);
    return a;
  };
  orderSettingsMenu = bar->addMenu(QStringLiteral("訂單設定"));
  rememberFeeAction = checkable(orderSettingsMenu, "記錄最後儲存的運費金額於新增訂單使用");
  rememberMethodAction = checkable(orderSettingsMenu, "記錄最後儲存的運送方式於新增訂單使用");
  orderSettingsMenu->addSeparator();
  dateMarksAction = checkable(orderSettingsMenu, "商品勾選標記後於商品備註加上日期");
  orderSettingsMenu->addSeparator();
  percentDefaultAction = orderSettingsMenu->addAction(QStringLiteral("設定折扣(%)預設值"));
  amountDefaultAction = orderSettingsMenu->addAction(QStringLiteral("設定折扣(整數)預設值"));
  noteDefaultAction = orderSettingsMenu->addAction(QStringLiteral("設定備註欄預設文字"));
  connect(rememberFeeAction, &QAction::triggered, this, [this] { onRememberFee(); });
  connect(rememberMethodAction, &QAction::triggered, this, [this] { onRememberMethod(); });
  connect(dateMarksAction, &QAction::triggered, this, [this] { onDateMarks(); });
  connect(percentDefaultAction, &QAction::triggered, this, [this] { onSetPercentDefault(); });
  connect(amountDefaultAction, &QAction::triggered, this, [this] { onSetAmountDefault(); });
  connect(noteDefaultAction, &QAction::triggered, this, [this] { onSetNoteDefault(); });

  shippingNoteMenu = bar->addMenu(QStringLiteral("出貨單設定"));
  shipAllLinesAction = checkable(shippingNoteMenu, "匯出全部商品");
  shipTickedLinesAction = checkable(shippingNoteMenu, "只匯出已標記商品");
  shipUntickedLinesAction = checkable(shippingNoteMenu, "只匯出未標記商品");
  shipSelectedLinesAction = checkable(shippingNoteMenu, "只匯出選擇的商品");
  shippingNoteMenu->addSeparator();
  maskPhoneAction = checkable(shippingNoteMenu, "遮蔽手機號碼");
  int which = 1;
  for (QAction* a : {shipAllLinesAction, shipTickedLinesAction, shipUntickedLinesAction, shipSelectedLinesAction}) {
    connect(a, &QAction::triggered, this, [this, which] { onShippingNoteLinesChosen(which); });
    ++which;
  }
  connect(maskPhoneAction, &QAction::triggered, this, [this] { onMaskPhone(); });

  lineMenu = new QMenu(QStringLiteral("功能"), this);
  editLineAction = lineMenu->addAction(QStringLiteral("編輯(&E)"));
  deleteLinesAction = lineMenu->addAction(QStringLiteral("刪除(&D)"));
  openUrlAction = lineMenu->addAction(QStringLiteral("開啟連結(&L)"));
  viewPictureAction = lineMenu->addAction(QStringLiteral("檢視圖片(&V)"));
  priceRateAction = lineMenu->addAction(QStringLiteral("售價匯率轉換"));
  costRateAction = lineMenu->addAction(QStringLiteral("成本匯率轉換"));
  lineMenu->addSeparator();
  applyProductPricesAction = lineMenu->addAction(QStringLiteral("套用商品列表中的售價及成本"));
  sortByNameAction = lineMenu->addAction(QStringLiteral("依商品名稱排序"));
  sortByCategoryAction = lineMenu->addAction(QStringLiteral("依商品分類排序"));
  moveUpAction = lineMenu->addAction(QStringLiteral("上移"));
  moveDownAction = lineMenu->addAction(QStringLiteral("下移"));
  tickAction = lineMenu->addAction(QStringLiteral("勾選"));
  untickAction = lineMenu->addAction(QStringLiteral("取消勾選"));
  connect(editLineAction, &QAction::triggered, this, [this] { onEditLine(); });
  connect(deleteLinesAction, &QAction::triggered, this, [this] { onDeleteLines(); });
  connect(openUrlAction, &QAction::triggered, this, [this] { onOpenUrl(); });
  connect(viewPictureAction, &QAction::triggered, this, [this] { onViewPicture(); });
  connect(priceRateAction, &QAction::triggered, this, [this] { onPriceRate(); });
  connect(costRateAction, &QAction::triggered, this, [this] { onCostRate(); });
  connect(applyProductPricesAction, &QAction::triggered, this, [this] { onApplyProductPrices(); });
  connect(sortByNameAction, &QAction::triggered, this, [this] { onSortByName(); });
  connect(sortByCategoryAction, &QAction::triggered, this, [this] { onSortByCategory(); });
  connect(moveUpAction, &QAction::triggered, this, [this] { onMoveUp(); });
  connect(moveDownAction, &QAction::triggered, this, [this] { onMoveDown(); });
  connect(tickAction, &QAction::triggered, this, [this] { onTick(); });
  connect(untickAction, &QAction::triggered, this, [this] { onUntick(); });
}

void OrderInput::Form_Load() {
  WindowTweaks::restoreSize(this, kSection);
  rememberFeeAction->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Set_1"), false));
  rememberMethodAction->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Set_2"), false));
  dateMarksAction->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Set_3"), true));
  shipAllLinesAction->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Shipped_1"), true));
  shipTickedLinesAction->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Shipped_2"), false));
  shipUntickedLinesAction->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Shipped_3"), false));
  shipSelectedLinesAction->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Shipped_4"), false));
  maskPhoneAction->setChecked(SettingsStore::getBool(QStringLiteral("Setting"), QStringLiteral("MaskPhone"), false));
  lineList->setFlatHeader(true);
  WindowTweaks::applyFontSize(lineList, statusBar, db_.FontSize);
  WindowTweaks::fitColumnsTo(lineList, {{LineCol::Price, WindowTweaks::kAmountSample},
                                        {LineCol::Cost, WindowTweaks::kAmountSample},
                                        {LineCol::Subtotal, WindowTweaks::kAmountSample}});
  WindowTweaks::restoreColumnWidths(lineList, kSection, LineCol::Count);
  methodCombo->clear();
  methodCombo->addItems(db_.settings.CarryList);
  methodCombo->setCurrentIndex(-1);
  methodCombo->setEditText(QString());
  if (!db_.CheckLacks) lineList->setColumnWidthTwips(LineCol::Shortage, 0);
  if (db_.HideCost) {
    lineList->setColumnWidthTwips(LineCol::Cost, 0);
    statusPanels[1]->hide();
    statusPanels[2]->hide();
    costRateAction->setEnabled(false);
  }
}

void OrderInput::Form_Unload() {
  WindowTweaks::saveSize(this, kSection);
  WindowTweaks::saveColumnWidths(lineList, kSection, LineCol::Count);
}

bool OrderInput::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (auto* e = qobject_cast<QLineEdit*>(watched)) QMetaObject::invokeMethod(e, &QLineEdit::selectAll, Qt::QueuedConnection);
    if (watched == noteEdit) QMetaObject::invokeMethod(noteEdit, &QPlainTextEdit::selectAll, Qt::QueuedConnection);
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == accountEdit) {
      if (accountEdit->text().isEmpty()) onPickCustomer();
      return true;
    }
    if (watched == lineList->viewport() && lineList->rowCount() == 0) {
      onLineDoubleClicked();
      return true;
    }
  }
  return NoCloseDialog::eventFilter(watched, event);
}

// ---- fields -------------------------------------------------------------------

void OrderInput::setupNewOrder(const OrderCommands::NewOrder& n) {
  headingLabel->setText(kNewOrder);
  numberEdit->setText(n.number);
  dateEdit->setText(n.date);
  feeEdit->setText(n.fee);
  sellerPaysCheck->setChecked(false);
  nextButton->hide();
  previousButton->hide();
  saveButton->hide();
  saveAndCloseButton->setText(QStringLiteral("儲存"));
  if (n.setMethod) methodCombo->setEditText(n.method);
  noteEdit->setPlainText(n.note);
  SelEdit = -1;
}

bool OrderInput::isNewOrder() const { return headingLabel->text() == kNewOrder; }

bool OrderInput::setupEditOrder(int listRow) {
  const int rows = host_.orderListRowCount();
  if (listRow < 0 || listRow >= rows) return false;
  const auto o = readOrder(host_.orderListIndex(listRow));
  if (!o) return false;
  SelEdit = listRow;
  previousButton->setEnabled(listRow > 0);
  nextButton->setEnabled(listRow < rows - 1);
  fillFromOrder(*o);
  headingLabel->setText(kEditOrder);
  customerButton->setText(kEditCustomer);  // also when the customer is not in Guest
  return true;
}

bool OrderInput::LoadOrderIntoEditor(int orderRow) {
  const auto o = readOrder(orderRow);
  if (!o) return false;
  fillFromOrder(*o);
  return true;
}

std::optional<OrderLoad::LoadedOrder> OrderInput::readOrder(int orderRow) const {
  OrderLoad::ShortageOf shortage;
  if (host_.listsUnshippedOrders())
    shortage = [this](const QString& no, int k) { return host_.lineShortage(no, k); };
  return OrderLoad::load(db_, orderRow, shortage);
}

void OrderInput::fillFromOrder(const OrderLoad::LoadedOrder& o) {
  // The boxes' handlers would only stamp dates and fill defaults that the
  // stored values replace at once: the boxes are set quietly, then the totals
  // are computed once with everything in place.
  {
    const QSignalBlocker q1(shippedCheck), q2(paidCheck), q3(sellerPaysCheck), q4(percentDiscountCheck),
        q5(amountDiscountCheck), q6(ratedCheck);
    setCustomer(o.customer);
    setBoxes(o.boxes);
  }
  setLines(o.lines);
  setSnapshot(o.snapshot);
  MoneyShow();
}

void OrderInput::setCustomer(const CustomerFields& f) {
  accountEdit->setText(f.account);
  customerCategoryEdit->setText(f.category);
  nameEdit->setText(f.name);
  if (f.hasSex) sexEdit->setText(f.sex);
  phoneEdit->setText(f.phone);
  mobileEdit->setText(f.mobile);
  emailEdit->setText(f.email);
  addressEdit->setText(f.address);
  bankLast5Edit->setText(f.bankLast5);
  customerNoteEdit->setText(f.note);
}

void OrderInput::takeCustomer(const CustomerFields& f) {
  setCustomer(f);
  customerButton->setText(kEditCustomer);
}

CustomerSink OrderInput::customerSink() {
  return [this](const CustomerFields& f) { takeCustomer(f); };
}

OrderBoxes OrderInput::boxes() const {
  OrderBoxes b;
  b.number = numberEdit->text();
  b.date = dateEdit->text();
  b.account = accountEdit->text();
  b.category = customerCategoryEdit->text();
  b.name = nameEdit->text();
  b.fee = feeEdit->text();
  b.sellerPays = sellerPaysCheck->isChecked();
  b.method = methodCombo->currentText();
  b.paid = paidCheck->isChecked();
  b.payDate = payDateEdit->text();
  b.rated = ratedCheck->isChecked();
  b.shipped = shippedCheck->isChecked();
  b.shipDate = shipDateEdit->text();
  b.percentOn = percentDiscountCheck->isChecked();
  b.percent = percentDiscountEdit->text();
  b.amountOn = amountDiscountCheck->isChecked();
  b.amount = amountDiscountEdit->text();
  b.note = LineBreaks::forFile(noteEdit->toPlainText());
  return b;
}

void OrderInput::setBoxes(const OrderBoxes& b) {
  // Check boxes first, their values afterwards: the boxes' handlers fill or
  // empty the discount boxes.
  sellerPaysCheck->setChecked(b.sellerPays);
  percentDiscountCheck->setChecked(b.percentOn);
  amountDiscountCheck->setChecked(b.amountOn);
  paidCheck->setChecked(b.paid);
  ratedCheck->setChecked(b.rated);
  shippedCheck->setChecked(b.shipped);
  numberEdit->setText(b.number);
  dateEdit->setText(b.date);
  accountEdit->setText(b.account);
  customerCategoryEdit->setText(b.category);
  nameEdit->setText(b.name);
  feeEdit->setText(b.fee);
  methodCombo->setEditText(b.method);
  payDateEdit->setText(b.payDate);
  shipDateEdit->setText(b.shipDate);
  percentDiscountEdit->setText(b.percent);
  amountDiscountEdit->setText(b.amount);
  if (LineBreaks::forFile(noteEdit->toPlainText()) != b.note) noteEdit->setPlainText(b.note);
}

OrderLines OrderInput::lines() const {
  OrderLines out;
  out.reserve(static_cast<size_t>(lineList->rowCount()));
  for (int r = 0; r < lineList->rowCount(); ++r)
    out.push_back(OrderLine::fromCells(lineList->rowTexts(r), lineList->isChecked(r)));
  return out;
}

void OrderInput::writeLines(const OrderLines& lines, const std::vector<bool>& selected) {
  std::vector<QStringList> rows;
  rows.reserve(lines.size());
  for (const OrderLine& l : lines) rows.push_back(l.cells());
  lineList->setRows(std::move(rows));
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].ticked) lineList->setChecked(static_cast<int>(i), true);
    if (i < selected.size() && selected[i]) lineList->setSelected(static_cast<int>(i), true);
  }
}

void OrderInput::setLines(const OrderLines& lines) { writeLines(lines, {}); }

void OrderInput::addLine(const OrderLine& line) {
  const int r = lineList->addRow(line.cells());
  if (line.ticked) lineList->setChecked(r, true);
}

void OrderInput::setLine(int row, const OrderLine& line) {
  if (row < 0 || row >= lineList->rowCount()) return;
  const QStringList cells = line.cells();
  for (int c = 0; c < LineCol::Count; ++c) lineList->setText(row, c, cells[c]);
  lineList->setChecked(row, line.ticked);
}

OrderLines OrderInput::snapshot() const {
  OrderLines out;
  for (int r = 0; r < snapshotList->rowCount(); ++r) {
    OrderLine l;
    l.name = snapshotList->text(r, 0);
    l.category = snapshotList->text(r, 1);
    l.qty = snapshotList->text(r, 2);
    out.push_back(l);
  }
  return out;
}

void OrderInput::setSnapshot(const OrderLines& lines) {
  std::vector<QStringList> rows;
  for (const OrderLine& l : lines) rows.push_back({l.name, l.category, l.qty});
  snapshotList->setRows(std::move(rows));
}

std::vector<bool> OrderInput::selection() const {
  std::vector<bool> sel(static_cast<size_t>(lineList->rowCount()), false);
  for (int r : lineList->selectedRows())
    if (r >= 0 && r < lineList->rowCount()) sel[static_cast<size_t>(r)] = true;
  return sel;
}

bool OrderInput::rememberFee() const { return rememberFeeAction->isChecked(); }
bool OrderInput::rememberMethod() const { return rememberMethodAction->isChecked(); }
bool OrderInput::dateMarks() const { return dateMarksAction->isChecked(); }

// ---- totals -------------------------------------------------------------------

void OrderInput::MoneyShow() {
  const MoneyFigures f = OrderMoney::compute(lines(), boxes().money());
  if (f.status == MoneyFigures::Status::Skipped) return;
  if (f.status == MoneyFigures::Status::Overflow) {
    prompt_.error();
    return;
  }
  showMoney(f);
}

void OrderInput::showMoney(const MoneyFigures& f) {
  for (size_t i = 0; i < f.subtotals.size() && static_cast<int>(i) < lineList->rowCount(); ++i)
    lineList->setText(static_cast<int>(i), LineCol::Subtotal, f.subtotals[i]);
  netGoodsEdit->setText(f.netGoodsText);
  costEdit->setText(f.costText);
  quantityLabel->setText(f.quantityText);
  totalQty_ = f.TotalQty;
  receivableLabel->setText(f.receivableCaption);
  receivableText_ = f.ReceivableText;
  for (int i = 0; i < 4; ++i) statusPanels[i]->setText(f.panels[static_cast<size_t>(i)]);
}

// "已出貨" and "已匯款": ticking stamps today into the date box, unticking
// empties it.
void OrderInput::onShippedClicked() {
  shipDateEdit->setText(shippedCheck->isChecked() ? DateText::format(QDate::currentDate()) : QString());
}
void OrderInput::onPaidClicked() {
  payDateEdit->setText(paidCheck->isChecked() ? DateText::format(QDate::currentDate()) : QString());
}

void OrderInput::onSellerPaysClicked() { MoneyShow(); }

void OrderInput::onPercentDiscountClicked() {
  if (percentDiscountCheck->isChecked()) {
    if (percentDiscountEdit->text().isEmpty())
      percentDiscountEdit->setText(Num::format(SettingsStore::getNumber(kSection, QStringLiteral("Set_4_Value"), 95)));
    amountDiscountCheck->setChecked(false);
  } else {
    percentDiscountEdit->clear();
  }
  MoneyShow();
}

void OrderInput::onAmountDiscountClicked() {
  if (amountDiscountCheck->isChecked()) {
    if (amountDiscountEdit->text().isEmpty())
      amountDiscountEdit->setText(Num::format(SettingsStore::getNumber(kSection, QStringLiteral("Set_5_Value"), 0)));
    percentDiscountCheck->setChecked(false);
  } else {
    amountDiscountEdit->clear();
  }
  MoneyShow();
}

// ---- commands -------------------------------------------------------------------

void OrderInput::onPickCustomer() {
  host_.openCustomerPicker(*this);
  MoneyShow();
}

void OrderInput::onPickProducts() {
  host_.openProductPicker(*this);
  MoneyShow();
  selectLastLine();
}

void OrderInput::selectLastLine() {
  const int last = lineList->rowCount() - 1;
  if (last >= 0) {
    lineList->setSelected(last, true);
    lineList->scrollTo(lineList->model()->index(last, 0));
  }
}

void OrderInput::onAddOrEditCustomer() {
  host_.openCustomerDialog(*this);
  MoneyShow();
}

void OrderInput::onNewLine() {
  host_.addLineThroughDialog(*this);
  MoneyShow();
  selectLastLine();
}

void OrderInput::onWriteMail() {
  if (emailEdit->text().isEmpty()) return;
  Shell::openUrl(Shell::mailtoUrl({emailEdit->text()}), prompt_);
}

void OrderInput::onExpandNote() {
  OrderInputNote note(noteEdit, this, &prompt_);
  note.exec();
}

void OrderInput::onSaveAndClose() { save(true); }
void OrderInput::onSave() { save(false); }

void OrderInput::save(bool close) {
  OrderBoxes b = boxes();
  OrderLines ls = lines();
  const OrderSave::Mode mode = close && isNewOrder() ? OrderSave::Mode::New : OrderSave::Mode::Edited;
  const int orderRow = mode == OrderSave::Mode::Edited ? host_.orderListIndex(SelEdit) : 0;
  const OrderSave::Result r =
      OrderSave::save(db_, prompt_, b, ls, mode, orderRow, {rememberFee(), rememberMethod(), host_.viewUsername()});
  feeEdit->setText(b.fee);  // an empty or non-numeric fee became "0" even when refused
  if (r.money.ok()) showMoney(r.money);
  if (!r.saved()) return;
  setBoxes(b);
  if (mode == OrderSave::Mode::New) {
    host_.showNewOrder(b.category);
  } else {
    host_.rewriteOrderListRow(SelEdit, r.listRow);
    if (close) host_.selectOrderListRow(SelEdit);
  }
  if (!close) setSnapshot(ls);
  if (host_.listsUnshippedOrders()) host_.CheckStockShortage();
  if (close) {
    Form_Unload();
    accept();
  }
}

void OrderInput::onCancel() {
  // Every stock change made while the editor showed this order is undone:
  // the lines give their quantities back, the saved lines take theirs again.
  const bool stored = !isNewOrder();
  OrderLineTools::giveBackUnsaved(db_.Manuf, lines(), snapshot(), stored);
  if (stored && SelEdit >= 0) host_.selectOrderListRow(SelEdit);
  if (host_.listsUnshippedOrders()) host_.CheckStockShortage();
  Form_Unload();
  reject();
}

// "下一筆" and "上一筆": the order of the neighbouring list row replaces the
// one shown, whose unsaved line changes give their stock back; nothing is
// saved. The next order is read before anything changes, so a failure leaves
// the editor, its snapshot and the stock as they were.
void OrderInput::browse(int step) {
  const int rows = host_.orderListRowCount();
  const int target = SelEdit + step;
  if (SelEdit < 0 || target < 0 || target >= rows) return;
  const auto o = readOrder(host_.orderListIndex(target));
  if (!o) {
    prompt_.error();
    return;
  }
  OrderLineTools::giveBackUnsaved(db_.Manuf, lines(), snapshot(), true);
  SelEdit = target;
  nextButton->setEnabled(target < rows - 1);
  previousButton->setEnabled(target > 0);
  fillFromOrder(*o);
}

// ---- option menu -------------------------------------------------------------------

void OrderInput::onRememberFee() {
  SettingsStore::setBool(kSection, QStringLiteral("Set_1"), rememberFeeAction->isChecked());
}
void OrderInput::onRememberMethod() {
  SettingsStore::setBool(kSection, QStringLiteral("Set_2"), rememberMethodAction->isChecked());
}
void OrderInput::onDateMarks() {
  SettingsStore::setBool(kSection, QStringLiteral("Set_3"), dateMarksAction->isChecked());
}

void OrderInput::onSetPercentDefault() {
  const auto answer = prompt_.input(QStringLiteral("請輸入折扣(%)預設值，範圍為0~100"), QString(),
                                    Num::format(SettingsStore::getNumber(kSection, QStringLiteral("Set_4_Value"), 95)));
  if (!answer || answer->isEmpty()) return;
  const double v = Num::leading(*answer);
  if (v < 0 || v > 100) {
    prompt_.message(QStringLiteral("輸入數值錯誤"));
    return;
  }
  SettingsStore::set(kSection, QStringLiteral("Set_4_Value"), Num::format(v));
}

void OrderInput::onSetAmountDefault() {
  const auto answer = prompt_.input(QStringLiteral("請輸入折扣(數字)預設值"), QString(),
                                    Num::format(SettingsStore::getNumber(kSection, QStringLiteral("Set_5_Value"), 0)));
  if (!answer || answer->isEmpty()) return;
  SettingsStore::set(kSection, QStringLiteral("Set_5_Value"), Num::format(Num::leading(*answer)));
}

void OrderInput::onSetNoteDefault() {
  const auto answer = prompt_.input(QStringLiteral("請輸入備註欄預設文字"), QString(),
                                    SettingsStore::get(kSection, QStringLiteral("Set_6_Value")));
  if (!answer || !TextEntry::acceptable(prompt_, {{QStringLiteral("備註"), *answer}})) return;
  SettingsStore::set(kSection, QStringLiteral("Set_6_Value"), *answer);
}

void OrderInput::onShippingNoteLinesChosen(int which) {
  QAction* entries[4] = {shipAllLinesAction, shipTickedLinesAction, shipUntickedLinesAction, shipSelectedLinesAction};
  for (int i = 0; i < 4; ++i) {
    entries[i]->setChecked(i + 1 == which);
    SettingsStore::setBool(kSection, QStringLiteral("Shipped_%1").arg(i + 1), i + 1 == which);
  }
}

void OrderInput::onMaskPhone() {
  SettingsStore::setBool(QStringLiteral("Setting"), QStringLiteral("MaskPhone"), maskPhoneAction->isChecked());
}

// ---- line list -------------------------------------------------------------------

void OrderInput::onLineDoubleClicked() {
  if (lineList->rowCount() > 0) {
    onEditLine();
  } else {
    onPickProducts();
  }
}

void OrderInput::onLineTicked(int row, bool checked) {
  if (row < 0 || row >= lineList->rowCount()) return;
  OrderLine l = OrderLine::fromCells(lineList->rowTexts(row), checked);
  OrderLineTools::userTicked(l, checked, dateMarks(), QDate::currentDate());
  lineList->setText(row, LineCol::Note, l.note);
}

void OrderInput::onLineKeyDown(int key) {
  // Enter comes as rowActivated (the edit); Delete removes the selected lines.
  if (key == Qt::Key_Delete) onDeleteLines();
}

bool OrderInput::prepareLineMenu() {
  if (lineList->rowCount() == 0) return false;
  const bool single = lineList->selectedRows().size() <= 1;
  for (QAction* a :
       {editLineAction, deleteLinesAction, openUrlAction, viewPictureAction, priceRateAction, applyProductPricesAction})
    a->setEnabled(true);
  for (QAction* a : {editLineAction, openUrlAction, viewPictureAction}) a->setEnabled(single);
  return true;
}

void OrderInput::onEditLine() {
  if (lineList->rowCount() == 0) return;
  const int row = lineList->currentRow();
  if (row < 0) {
    prompt_.error();
    return;
  }
  if (host_.editLine(*this, row)) MoneyShow();
}

void OrderInput::onDeleteLines() {
  OrderLines ls = lines();
  std::vector<bool> sel = selection();
  if (!OrderLineTools::deleteSelected(ls, sel, db_.Manuf)) return;
  writeLines(ls, sel);
  MoneyShow();
}

void OrderInput::onOpenUrl() {
  const int row = lineList->currentRow();
  if (lineList->rowCount() == 0 || row < 0) return;
  const QUrl url = OrderLineTools::webAddress(lineList->text(row, LineCol::Url));
  if (url.isValid()) Shell::openUrl(url.toString(), prompt_);
}

void OrderInput::onViewPicture() {
  if (lineList->rowCount() == 0) return;
  const int row = lineList->currentRow();
  if (row < 0) {
    prompt_.error();
    return;
  }
  const QString path =
      OrderLineTools::picturePath(db_, lineList->text(row, LineCol::Name), lineList->text(row, LineCol::Category));
  if (path.isEmpty()) return;
  if (!QFileInfo(path).isFile()) {
    prompt_.warn(QStringLiteral("找不到圖片檔案!\n") + path);
    return;
  }
  if (host_.showPicture(path)) return;
  WindowTweaks::showPictureWindow(this, path, QFileInfo(path).fileName());
}

void OrderInput::rateTool(bool costs) {
  const QString key = costs ? QStringLiteral("Rate2") : QStringLiteral("Rate");
  const QString last = Num::format(SettingsStore::getNumber(kSection, key, 30));
  const auto answer = prompt_.input(costs ? QStringLiteral("請輸入匯率數字，換算結果等於成本x匯率")
                                          : QStringLiteral("請輸入匯率數字，換算結果等於售價x匯率"),
                                    QStringLiteral("匯率轉換"), last);
  if (!answer || answer->isEmpty()) return;
  const double rate = Num::leading(*answer);
  OrderLines ls = lines();
  const std::vector<bool> sel = selection();
  OrderMoney::convertByRate(ls, sel, costs, rate, db_.moneyDigits());
  writeLines(ls, sel);
  MoneyShow();
  SettingsStore::set(kSection, key, Num::format(rate));
}

void OrderInput::onApplyProductPrices() {
  if (lineList->rowCount() == 0) return;
  OrderLines ls = lines();
  const std::vector<bool> sel = selection();
  OrderMoney::applyProductPrices(ls, sel, db_.Manuf);
  writeLines(ls, sel);
  MoneyShow();
}

void OrderInput::sortTool(bool byCategory) {
  if (prompt_.message(QStringLiteral("排序後將無法恢復之前的順序，確定繼續嗎?"), Prompt::Icon::None,
                      Prompt::Buttons::YesNo) != Prompt::Answer::Yes)
    return;
  OrderLines ls = lines();
  std::vector<bool> sel = selection();
  OrderLineTools::sortLines(ls, sel, byCategory);
  writeLines(ls, sel);
}

void OrderInput::moveTool(bool up) {
  if (lineList->rowCount() < 2) return;
  OrderLines ls = lines();
  std::vector<bool> sel = selection();
  OrderLineTools::moveSelected(ls, sel, up);
  writeLines(ls, sel);
}

void OrderInput::onTick() {
  OrderLines ls = lines();
  const std::vector<bool> sel = selection();
  OrderLineTools::tickSelected(ls, sel, dateMarks(), QDate::currentDate());
  writeLines(ls, sel);
}

void OrderInput::onUntick() {
  OrderLines ls = lines();
  const std::vector<bool> sel = selection();
  OrderLineTools::untickSelected(ls, sel, dateMarks());
  writeLines(ls, sel);
}
