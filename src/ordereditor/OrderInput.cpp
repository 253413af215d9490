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
  Label17 = new QLabel(QStringLiteral("新增資料"), this);
  QFont big = Label17->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  Label17->setFont(big);
  Label6 = new QLabel(QStringLiteral("應收款項: 0"), this);
  Label6->setFont(big);
  banner->addWidget(Label17);
  banner->addStretch();
  banner->addWidget(Label6);
  top->addLayout(banner);

  // Order and customer.
  auto* grid = new QGridLayout;
  auto label = [this](const char* text) { return new QLabel(QString::fromUtf8(text), this); };
  Text10 = box(this, true);
  Text2 = box(this);
  Text13 = box(this, true);
  Text14 = box(this, true);
  Command3 = new QPushButton(QStringLiteral("新增客戶"), this);
  Command1 = new QPushButton(QStringLiteral("從客戶名單加入"), this);
  grid->addWidget(label("編號"), 0, 0);
  grid->addWidget(Text10, 0, 1);
  grid->addWidget(label("日期"), 0, 2);
  grid->addWidget(Text2, 0, 3);
  grid->addWidget(label("客戶帳號"), 0, 4);
  grid->addWidget(Text13, 0, 5);
  grid->addWidget(Command3, 0, 6);
  grid->addWidget(label("客戶分類"), 1, 4);
  grid->addWidget(Text14, 1, 5);
  grid->addWidget(Command1, 1, 6);
  top->addLayout(grid);

  auto* customer = new QFrame(this);  // Shape1
  customer->setFrameShape(QFrame::StyledPanel);
  auto* cg = new QGridLayout(customer);
  Text1 = box(customer, true);
  Text19 = box(customer, true);
  Text3 = box(customer, true);
  Text6 = box(customer, true);
  Text7 = box(customer, true);
  Command9 = new QPushButton(QStringLiteral("寫信"), customer);
  Text8 = box(customer, true);
  Text9 = box(customer, true);
  Text20 = box(customer, true);
  auto clabel = [customer](const char* text) { return new QLabel(QString::fromUtf8(text), customer); };
  cg->addWidget(clabel("姓名"), 0, 0);
  cg->addWidget(Text1, 0, 1);
  cg->addWidget(clabel("性別"), 0, 2);
  cg->addWidget(Text19, 0, 3);
  cg->addWidget(clabel("電話"), 0, 4);
  cg->addWidget(Text3, 0, 5);
  cg->addWidget(clabel("手機"), 0, 6);
  cg->addWidget(Text6, 0, 7);
  cg->addWidget(clabel("Email"), 1, 0);
  cg->addWidget(Text7, 1, 1, 1, 2);
  cg->addWidget(Command9, 1, 3);
  cg->addWidget(clabel("帳號末5碼"), 1, 6);
  cg->addWidget(Text8, 1, 7);
  cg->addWidget(clabel("地址"), 2, 0);
  cg->addWidget(Text9, 2, 1, 1, 7);
  cg->addWidget(clabel("備註"), 3, 0);
  cg->addWidget(Text20, 3, 1, 1, 7);
  top->addWidget(customer);

  // Money row.
  auto* money = new QHBoxLayout;
  Text4 = box(this);
  Check3 = new QCheckBox(QStringLiteral("賣方負擔"), this);
  Check4 = new QCheckBox(QStringLiteral("折扣(%)"), this);
  Text16 = box(this);
  Check5 = new QCheckBox(QStringLiteral("折扣(整數)"), this);
  Text18 = box(this);
  Command8 = new QPushButton(QStringLiteral("計算"), this);
  for (QLineEdit* e : {Text4, Text16, Text18}) e->setMaximumWidth(90);
  money->addWidget(label("運費"));
  money->addWidget(Text4);
  money->addWidget(Check3);
  money->addSpacing(12);
  money->addWidget(Check4);
  money->addWidget(Text16);
  money->addWidget(Check5);
  money->addWidget(Text18);
  money->addWidget(Command8);
  money->addStretch();
  top->addLayout(money);

  // Order note.
  auto* noteRow = new QHBoxLayout;
  Text5 = new QPlainTextEdit(this);
  Text5->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Text5->setFixedHeight(Text5->fontMetrics().lineSpacing() * 3 + 12);
  Command16 = new QPushButton(QStringLiteral("展開"), this);
  noteRow->addWidget(label("備註"), 0, Qt::AlignTop);
  noteRow->addWidget(Text5, 1);
  noteRow->addWidget(Command16, 0, Qt::AlignTop);
  top->addLayout(noteRow);

  // The lines.
  Liv1 = new ListView(this);
  Liv1->setColumns({QStringLiteral("商品名稱"), QStringLiteral("商品分類"), QStringLiteral("售價"),
                    QStringLiteral("成本"), QStringLiteral("數量"), QStringLiteral("缺貨"), QStringLiteral("備註"),
                    QStringLiteral("網址"), QStringLiteral("重量"), QStringLiteral("小計")});
  for (int c = 0; c < LineCol::Count; ++c) Liv1->setColumnWidthTwips(c, kColumnTwips[c]);
  Liv1->setCheckable(true);
  Liv1->setMultiSelect(true);
  top->addWidget(Liv1, 1);
  Liv2 = new ListView(this);
  Liv2->setColumns({QStringLiteral("名稱"), QStringLiteral("分類"), QStringLiteral("數量")});
  Liv2->hide();

  auto* lineButtons = new QHBoxLayout;
  Command2 = new QPushButton(QStringLiteral("從商品清單加入"), this);
  Command10 = new QPushButton(QStringLiteral("新增"), this);
  Command11 = new QPushButton(QStringLiteral("打開網址"), this);
  Command7 = new QPushButton(QStringLiteral("匯出"), this);
  Label9 = new QLabel(QStringLiteral("數量:"), this);
  for (QPushButton* b : {Command2, Command10, Command11, Command7}) lineButtons->addWidget(b);
  lineButtons->addStretch();
  lineButtons->addWidget(Label9);
  top->addLayout(lineButtons);

  auto* line1 = new QFrame(this);
  line1->setFrameShape(QFrame::HLine);
  line1->setFrameShadow(QFrame::Sunken);
  top->addWidget(line1);

  // Payment and shipping rows with the commands.
  auto* bottom = new QGridLayout;
  Check2 = new QCheckBox(QStringLiteral("已匯款"), this);
  Text17 = box(this);
  Check6 = new QCheckBox(QStringLiteral("已給評價"), this);
  Command6 = new QPushButton(QStringLiteral("郵寄名條"), this);
  Command13 = new QPushButton(QStringLiteral("上一筆"), this);
  Command12 = new QPushButton(QStringLiteral("下一筆"), this);
  Check1 = new QCheckBox(QStringLiteral("已出貨"), this);
  Text15 = box(this);
  Combo1 = new QComboBox(this);
  Combo1->setEditable(true);
  Combo1->addItems({QStringLiteral("寄郵局"), QStringLiteral("寄宅配"), QStringLiteral("寄貨運"),
                    QStringLiteral("貨到付款"), QStringLiteral("面交")});
  Command15 = new QPushButton(QStringLiteral("出貨單"), this);
  Command14 = new QPushButton(QStringLiteral("儲存"), this);
  Command4 = new QPushButton(QStringLiteral("儲存後離開"), this);
  Command5 = new QPushButton(QStringLiteral("取消"), this);
  for (QPushButton* b : {Command2, Command10, Command11, Command7, Command6, Command13, Command12, Command15, Command14,
                         Command4, Command5, Command3, Command1, Command8, Command9, Command16})
    b->setAutoDefault(false);
  bottom->addWidget(Check2, 0, 0);
  bottom->addWidget(Text17, 0, 1);
  bottom->addWidget(Check6, 0, 2);
  bottom->setColumnStretch(3, 1);
  bottom->addWidget(Command6, 0, 4);
  bottom->addWidget(Command13, 0, 5);
  bottom->addWidget(Command12, 0, 6);
  bottom->addWidget(Check1, 1, 0);
  bottom->addWidget(Text15, 1, 1);
  bottom->addWidget(Combo1, 1, 2);
  bottom->addWidget(Command15, 1, 4);
  bottom->addWidget(Command14, 1, 5);
  bottom->addWidget(Command4, 1, 6);
  bottom->addWidget(Command5, 1, 7);
  top->addLayout(bottom);

  Text11 = box(this);
  Text12 = box(this);
  Text11->hide();
  Text12->hide();

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setSizeGripEnabled(true);
  for (int i = 0; i < 4; ++i) {
    Panel[i] = new QLabel(this);
    StatusBar1->addWidget(Panel[i], i == 3 ? 1 : 0);
  }
  top->addWidget(StatusBar1);

  setMinimumSize(WindowTweaks::pixelsFromTwips(kMinWidthTwips), WindowTweaks::pixelsFromTwips(kMinHeightTwips));
  resize(WindowTweaks::pixelsFromTwips(11400), WindowTweaks::pixelsFromTwips(9600));

  // Boxes that select their whole text when they take the focus, and the
  // account box's double click.
  for (QLineEdit* e : {Text1, Text3, Text4, Text6, Text7, Text8, Text9, Text11, Text12, Text13, Text14, Text16,
                       Text18, Text20})
    e->installEventFilter(this);
  Text5->installEventFilter(this);
  Liv1->viewport()->installEventFilter(this);

  connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
  connect(Check2, &QCheckBox::toggled, this, [this] { Check2_Click(); });
  connect(Check3, &QCheckBox::toggled, this, [this] { Check3_Click(); });
  connect(Check4, &QCheckBox::toggled, this, [this] { Check4_Click(); });
  connect(Check5, &QCheckBox::toggled, this, [this] { Check5_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
  connect(Command6, &QPushButton::clicked, this, [this] { host_.mailingLabel(*this); });
  connect(Command7, &QPushButton::clicked, this, [this] { host_.exportLines(*this); });
  connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
  connect(Command9, &QPushButton::clicked, this, [this] { Command9_Click(); });
  connect(Command10, &QPushButton::clicked, this, [this] { Command10_Click(); });
  connect(Command11, &QPushButton::clicked, this, [this] { Tools_OpenURL_Click(); });
  connect(Command12, &QPushButton::clicked, this, [this] { Command12_Click(); });
  connect(Command13, &QPushButton::clicked, this, [this] { Command13_Click(); });
  connect(Command14, &QPushButton::clicked, this, [this] { Command14_Click(); });
  connect(Command15, &QPushButton::clicked, this, [this] { host_.shippingNote(*this); });
  connect(Command16, &QPushButton::clicked, this, [this] { Command16_Click(); });
  connect(Liv1, &ListView::rowActivated, this, [this](int) { Liv1_DblClick(); });
  connect(Liv1, &ListView::itemCheckChanged, this, [this](int row, bool checked, bool byUser) {
    if (byUser) Liv1_ItemCheck(row, checked);
  });
  connect(Liv1, &ListView::keyPressed, this, [this](int key, Qt::KeyboardModifiers) { Liv1_KeyDown(key); });
  connect(Liv1, &ListView::contextMenuAt, this, [this](const QPoint& at) {
    if (prepareToolsMenu()) Menu_Tools->exec(at);
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
  Menu_Set = bar->addMenu(QStringLiteral("訂單設定"));
  Set_1 = checkable(Menu_Set, "記錄最後儲存的運費金額於新增訂單使用");
  Set_2 = checkable(Menu_Set, "記錄最後儲存的運送方式於新增訂單使用");
  Menu_Set->addSeparator();
  Set_3 = checkable(Menu_Set, "商品勾選標記後於商品備註加上日期");
  Menu_Set->addSeparator();
  Sel_4 = Menu_Set->addAction(QStringLiteral("設定折扣(%)預設值"));
  Sel_5 = Menu_Set->addAction(QStringLiteral("設定折扣(整數)預設值"));
  Sel_6 = Menu_Set->addAction(QStringLiteral("設定備註欄預設文字"));
  connect(Set_1, &QAction::triggered, this, [this] { Set_1_Click(); });
  connect(Set_2, &QAction::triggered, this, [this] { Set_2_Click(); });
  connect(Set_3, &QAction::triggered, this, [this] { Set_3_Click(); });
  connect(Sel_4, &QAction::triggered, this, [this] { Sel_4_Click(); });
  connect(Sel_5, &QAction::triggered, this, [this] { Sel_5_Click(); });
  connect(Sel_6, &QAction::triggered, this, [this] { Sel_6_Click(); });

  Menu_Shipped = bar->addMenu(QStringLiteral("出貨單設定"));
  Shipped_1 = checkable(Menu_Shipped, "匯出全部商品");
  Shipped_2 = checkable(Menu_Shipped, "只匯出已標記商品");
  Shipped_3 = checkable(Menu_Shipped, "只匯出未標記商品");
  Shipped_4 = checkable(Menu_Shipped, "只匯出選擇的商品");
  Menu_Shipped->addSeparator();
  Shipped_MaskPhone = checkable(Menu_Shipped, "遮蔽手機號碼");
  int which = 1;
  for (QAction* a : {Shipped_1, Shipped_2, Shipped_3, Shipped_4}) {
    connect(a, &QAction::triggered, this, [this, which] { Shipped_Click(which); });
    ++which;
  }
  connect(Shipped_MaskPhone, &QAction::triggered, this, [this] { Shipped_MaskPhone_Click(); });

  Menu_Tools = new QMenu(QStringLiteral("功能"), this);
  Tools_Edit = Menu_Tools->addAction(QStringLiteral("編輯(&E)"));
  Tools_Del = Menu_Tools->addAction(QStringLiteral("刪除(&D)"));
  Tools_OpenURL = Menu_Tools->addAction(QStringLiteral("開啟連結(&L)"));
  Tools_ViewImages = Menu_Tools->addAction(QStringLiteral("檢視圖片(&V)"));
  Tools_Rate = Menu_Tools->addAction(QStringLiteral("售價匯率轉換"));
  Tools_Rate2 = Menu_Tools->addAction(QStringLiteral("成本匯率轉換"));
  Menu_Tools->addSeparator();  // Tool_line
  Tool_apply = Menu_Tools->addAction(QStringLiteral("套用商品列表中的售價及成本"));
  Tool_Sort1 = Menu_Tools->addAction(QStringLiteral("依商品名稱排序"));
  Tool_Sort2 = Menu_Tools->addAction(QStringLiteral("依商品分類排序"));
  Tool_Up = Menu_Tools->addAction(QStringLiteral("上移"));
  Tool_Down = Menu_Tools->addAction(QStringLiteral("下移"));
  Tool_ItemCheck = Menu_Tools->addAction(QStringLiteral("勾選"));
  Tool_ItemCheckFalse = Menu_Tools->addAction(QStringLiteral("取消勾選"));
  connect(Tools_Edit, &QAction::triggered, this, [this] { Tools_Edit_Click(); });
  connect(Tools_Del, &QAction::triggered, this, [this] { Tools_Del_Click(); });
  connect(Tools_OpenURL, &QAction::triggered, this, [this] { Tools_OpenURL_Click(); });
  connect(Tools_ViewImages, &QAction::triggered, this, [this] { Tools_ViewImages_Click(); });
  connect(Tools_Rate, &QAction::triggered, this, [this] { Tools_Rate_Click(); });
  connect(Tools_Rate2, &QAction::triggered, this, [this] { Tools_Rate2_Click(); });
  connect(Tool_apply, &QAction::triggered, this, [this] { Tool_apply_Click(); });
  connect(Tool_Sort1, &QAction::triggered, this, [this] { Tool_Sort1_Click(); });
  connect(Tool_Sort2, &QAction::triggered, this, [this] { Tool_Sort2_Click(); });
  connect(Tool_Up, &QAction::triggered, this, [this] { Tool_Up_Click(); });
  connect(Tool_Down, &QAction::triggered, this, [this] { Tool_Down_Click(); });
  connect(Tool_ItemCheck, &QAction::triggered, this, [this] { Tool_ItemCheck_Click(); });
  connect(Tool_ItemCheckFalse, &QAction::triggered, this, [this] { Tool_ItemCheckFalse_Click(); });
}

void OrderInput::Form_Load() {
  WindowTweaks::restoreSize(this, kSection);
  Set_1->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Set_1"), false));
  Set_2->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Set_2"), false));
  Set_3->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Set_3"), true));
  Shipped_1->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Shipped_1"), true));
  Shipped_2->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Shipped_2"), false));
  Shipped_3->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Shipped_3"), false));
  Shipped_4->setChecked(SettingsStore::getBool(kSection, QStringLiteral("Shipped_4"), false));
  Shipped_MaskPhone->setChecked(SettingsStore::getBool(QStringLiteral("Setting"), QStringLiteral("MaskPhone"), false));
  Liv1->setFlatHeader(true);
  WindowTweaks::applyFontSize(Liv1, StatusBar1, db_.FontSize);
  WindowTweaks::fitColumnsTo(Liv1, {{LineCol::Price, WindowTweaks::kAmountSample},
                                    {LineCol::Cost, WindowTweaks::kAmountSample},
                                    {LineCol::Subtotal, WindowTweaks::kAmountSample}});
  WindowTweaks::restoreColumnWidths(Liv1, kSection, LineCol::Count);
  Combo1->clear();
  Combo1->addItems(db_.settings.CarryList);
  Combo1->setCurrentIndex(-1);
  Combo1->setEditText(QString());
  if (!db_.CheckLacks) Liv1->setColumnWidthTwips(LineCol::Shortage, 0);
  if (db_.HideCost) {
    Liv1->setColumnWidthTwips(LineCol::Cost, 0);
    Panel[1]->hide();
    Panel[2]->hide();
    Tools_Rate2->setEnabled(false);
  }
}

void OrderInput::Form_Unload() {
  WindowTweaks::saveSize(this, kSection);
  WindowTweaks::saveColumnWidths(Liv1, kSection, LineCol::Count);
}

bool OrderInput::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (auto* e = qobject_cast<QLineEdit*>(watched)) QMetaObject::invokeMethod(e, &QLineEdit::selectAll, Qt::QueuedConnection);
    if (watched == Text5) QMetaObject::invokeMethod(Text5, &QPlainTextEdit::selectAll, Qt::QueuedConnection);
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == Text13) {
      if (Text13->text().isEmpty()) Command1_Click();
      return true;
    }
    if (watched == Liv1->viewport() && Liv1->rowCount() == 0) {
      Liv1_DblClick();
      return true;
    }
  }
  return NoCloseDialog::eventFilter(watched, event);
}

// ---- fields -------------------------------------------------------------------

void OrderInput::setupNewOrder(const OrderCommands::NewOrder& n) {
  Label17->setText(kNewOrder);
  Text10->setText(n.number);
  Text2->setText(n.date);
  Text4->setText(n.fee);
  Check3->setChecked(false);
  Command12->hide();
  Command13->hide();
  Command14->hide();
  Command4->setText(QStringLiteral("儲存"));
  if (n.setMethod) Combo1->setEditText(n.method);
  Text5->setPlainText(n.note);
  SelEdit = -1;
}

bool OrderInput::isNewOrder() const { return Label17->text() == kNewOrder; }

bool OrderInput::setupEditOrder(int listRow) {
  const int rows = host_.orderListRowCount();
  if (listRow < 0 || listRow >= rows) return false;
  const auto o = readOrder(host_.orderListIndex(listRow));
  if (!o) return false;
  SelEdit = listRow;
  Command13->setEnabled(listRow > 0);
  Command12->setEnabled(listRow < rows - 1);
  fillFromOrder(*o);
  Label17->setText(kEditOrder);
  Command3->setText(kEditCustomer);  // also when the customer is not in Guest
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
    const QSignalBlocker q1(Check1), q2(Check2), q3(Check3), q4(Check4), q5(Check5), q6(Check6);
    setCustomer(o.customer);
    setBoxes(o.boxes);
  }
  setLines(o.lines);
  setSnapshot(o.snapshot);
  MoneyShow();
}

void OrderInput::setCustomer(const CustomerFields& f) {
  Text13->setText(f.account);
  Text14->setText(f.category);
  Text1->setText(f.name);
  if (f.hasSex) Text19->setText(f.sex);
  Text3->setText(f.phone);
  Text6->setText(f.mobile);
  Text7->setText(f.email);
  Text9->setText(f.address);
  Text8->setText(f.bankLast5);
  Text20->setText(f.note);
}

void OrderInput::takeCustomer(const CustomerFields& f) {
  setCustomer(f);
  Command3->setText(kEditCustomer);
}

CustomerSink OrderInput::customerSink() {
  return [this](const CustomerFields& f) { takeCustomer(f); };
}

OrderBoxes OrderInput::boxes() const {
  OrderBoxes b;
  b.number = Text10->text();
  b.date = Text2->text();
  b.account = Text13->text();
  b.category = Text14->text();
  b.name = Text1->text();
  b.fee = Text4->text();
  b.sellerPays = Check3->isChecked();
  b.method = Combo1->currentText();
  b.paid = Check2->isChecked();
  b.payDate = Text17->text();
  b.rated = Check6->isChecked();
  b.shipped = Check1->isChecked();
  b.shipDate = Text15->text();
  b.percentOn = Check4->isChecked();
  b.percent = Text16->text();
  b.amountOn = Check5->isChecked();
  b.amount = Text18->text();
  b.note = LineBreaks::forFile(Text5->toPlainText());
  return b;
}

void OrderInput::setBoxes(const OrderBoxes& b) {
  // Check boxes first, their values afterwards: the boxes' handlers fill or
  // empty the discount boxes.
  Check3->setChecked(b.sellerPays);
  Check4->setChecked(b.percentOn);
  Check5->setChecked(b.amountOn);
  Check2->setChecked(b.paid);
  Check6->setChecked(b.rated);
  Check1->setChecked(b.shipped);
  Text10->setText(b.number);
  Text2->setText(b.date);
  Text13->setText(b.account);
  Text14->setText(b.category);
  Text1->setText(b.name);
  Text4->setText(b.fee);
  Combo1->setEditText(b.method);
  Text17->setText(b.payDate);
  Text15->setText(b.shipDate);
  Text16->setText(b.percent);
  Text18->setText(b.amount);
  if (LineBreaks::forFile(Text5->toPlainText()) != b.note) Text5->setPlainText(b.note);
}

OrderLines OrderInput::lines() const {
  OrderLines out;
  out.reserve(static_cast<size_t>(Liv1->rowCount()));
  for (int r = 0; r < Liv1->rowCount(); ++r) out.push_back(OrderLine::fromCells(Liv1->rowTexts(r), Liv1->isChecked(r)));
  return out;
}

void OrderInput::writeLines(const OrderLines& lines, const std::vector<bool>& selected) {
  std::vector<QStringList> rows;
  rows.reserve(lines.size());
  for (const OrderLine& l : lines) rows.push_back(l.cells());
  Liv1->setRows(std::move(rows));
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].ticked) Liv1->setChecked(static_cast<int>(i), true);
    if (i < selected.size() && selected[i]) Liv1->setSelected(static_cast<int>(i), true);
  }
}

void OrderInput::setLines(const OrderLines& lines) { writeLines(lines, {}); }

void OrderInput::addLine(const OrderLine& line) {
  const int r = Liv1->addRow(line.cells());
  if (line.ticked) Liv1->setChecked(r, true);
}

void OrderInput::setLine(int row, const OrderLine& line) {
  if (row < 0 || row >= Liv1->rowCount()) return;
  const QStringList cells = line.cells();
  for (int c = 0; c < LineCol::Count; ++c) Liv1->setText(row, c, cells[c]);
  Liv1->setChecked(row, line.ticked);
}

OrderLines OrderInput::snapshot() const {
  OrderLines out;
  for (int r = 0; r < Liv2->rowCount(); ++r) {
    OrderLine l;
    l.name = Liv2->text(r, 0);
    l.category = Liv2->text(r, 1);
    l.qty = Liv2->text(r, 2);
    out.push_back(l);
  }
  return out;
}

void OrderInput::setSnapshot(const OrderLines& lines) {
  std::vector<QStringList> rows;
  for (const OrderLine& l : lines) rows.push_back({l.name, l.category, l.qty});
  Liv2->setRows(std::move(rows));
}

std::vector<bool> OrderInput::selection() const {
  std::vector<bool> sel(static_cast<size_t>(Liv1->rowCount()), false);
  for (int r : Liv1->selectedRows())
    if (r >= 0 && r < Liv1->rowCount()) sel[static_cast<size_t>(r)] = true;
  return sel;
}

bool OrderInput::rememberFee() const { return Set_1->isChecked(); }
bool OrderInput::rememberMethod() const { return Set_2->isChecked(); }
bool OrderInput::dateMarks() const { return Set_3->isChecked(); }

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
  for (size_t i = 0; i < f.subtotals.size() && static_cast<int>(i) < Liv1->rowCount(); ++i)
    Liv1->setText(static_cast<int>(i), LineCol::Subtotal, f.subtotals[i]);
  Text11->setText(f.netGoodsText);
  Text12->setText(f.costText);
  Label9->setText(f.quantityText);
  totalQty_ = f.TotalQty;
  Label6->setText(f.receivableCaption);
  receivableText_ = f.ReceivableText;
  for (int i = 0; i < 4; ++i) Panel[i]->setText(f.panels[static_cast<size_t>(i)]);
}

// "已出貨" and "已匯款": ticking stamps today into the date box, unticking
// empties it.
void OrderInput::Check1_Click() { Text15->setText(Check1->isChecked() ? DateText::format(QDate::currentDate()) : QString()); }
void OrderInput::Check2_Click() { Text17->setText(Check2->isChecked() ? DateText::format(QDate::currentDate()) : QString()); }

void OrderInput::Check3_Click() { MoneyShow(); }

void OrderInput::Check4_Click() {
  if (Check4->isChecked()) {
    if (Text16->text().isEmpty())
      Text16->setText(Num::format(SettingsStore::getNumber(kSection, QStringLiteral("Set_4_Value"), 95)));
    Check5->setChecked(false);
  } else {
    Text16->clear();
  }
  MoneyShow();
}

void OrderInput::Check5_Click() {
  if (Check5->isChecked()) {
    if (Text18->text().isEmpty())
      Text18->setText(Num::format(SettingsStore::getNumber(kSection, QStringLiteral("Set_5_Value"), 0)));
    Check4->setChecked(false);
  } else {
    Text18->clear();
  }
  MoneyShow();
}

// ---- commands -------------------------------------------------------------------

void OrderInput::Command1_Click() {
  host_.openCustomerPicker(*this);
  MoneyShow();
}

void OrderInput::Command2_Click() {
  host_.openProductPicker(*this);
  MoneyShow();
  selectLastLine();
}

void OrderInput::selectLastLine() {
  const int last = Liv1->rowCount() - 1;
  if (last >= 0) {
    Liv1->setSelected(last, true);
    Liv1->scrollTo(Liv1->model()->index(last, 0));
  }
}

void OrderInput::Command3_Click() {
  host_.openCustomerDialog(*this);
  MoneyShow();
}

void OrderInput::Command10_Click() {
  host_.addLineThroughDialog(*this);
  MoneyShow();
  selectLastLine();
}

void OrderInput::Command9_Click() {
  if (Text7->text().isEmpty()) return;
  Shell::openUrl(Shell::mailtoUrl({Text7->text()}));
}

void OrderInput::Command16_Click() {
  OrderInputNote note(Text5, this, &prompt_);
  note.exec();
}

void OrderInput::Command4_Click() { save(true); }
void OrderInput::Command14_Click() { save(false); }

void OrderInput::save(bool close) {
  OrderBoxes b = boxes();
  OrderLines ls = lines();
  const OrderSave::Mode mode = close && isNewOrder() ? OrderSave::Mode::New : OrderSave::Mode::Edited;
  const int orderRow = mode == OrderSave::Mode::Edited ? host_.orderListIndex(SelEdit) : 0;
  const OrderSave::Result r =
      OrderSave::save(db_, prompt_, b, ls, mode, orderRow, {rememberFee(), rememberMethod(), host_.viewUsername()});
  Text4->setText(b.fee);  // an empty or non-numeric fee became "0" even when refused
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

void OrderInput::Command5_Click() {
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
  Command12->setEnabled(target < rows - 1);
  Command13->setEnabled(target > 0);
  fillFromOrder(*o);
}

// ---- option menu -------------------------------------------------------------------

void OrderInput::Set_1_Click() { SettingsStore::setBool(kSection, QStringLiteral("Set_1"), Set_1->isChecked()); }
void OrderInput::Set_2_Click() { SettingsStore::setBool(kSection, QStringLiteral("Set_2"), Set_2->isChecked()); }
void OrderInput::Set_3_Click() { SettingsStore::setBool(kSection, QStringLiteral("Set_3"), Set_3->isChecked()); }

void OrderInput::Sel_4_Click() {
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

void OrderInput::Sel_5_Click() {
  const auto answer = prompt_.input(QStringLiteral("請輸入折扣(數字)預設值"), QString(),
                                    Num::format(SettingsStore::getNumber(kSection, QStringLiteral("Set_5_Value"), 0)));
  if (!answer || answer->isEmpty()) return;
  SettingsStore::set(kSection, QStringLiteral("Set_5_Value"), Num::format(Num::leading(*answer)));
}

void OrderInput::Sel_6_Click() {
  const auto answer = prompt_.input(QStringLiteral("請輸入備註欄預設文字"), QString(),
                                    SettingsStore::get(kSection, QStringLiteral("Set_6_Value")));
  if (!answer || !TextEntry::acceptable(prompt_, {{QStringLiteral("備註"), *answer}})) return;
  SettingsStore::set(kSection, QStringLiteral("Set_6_Value"), *answer);
}

void OrderInput::Shipped_Click(int which) {
  QAction* entries[4] = {Shipped_1, Shipped_2, Shipped_3, Shipped_4};
  for (int i = 0; i < 4; ++i) {
    entries[i]->setChecked(i + 1 == which);
    SettingsStore::setBool(kSection, QStringLiteral("Shipped_%1").arg(i + 1), i + 1 == which);
  }
}

void OrderInput::Shipped_MaskPhone_Click() {
  SettingsStore::setBool(QStringLiteral("Setting"), QStringLiteral("MaskPhone"), Shipped_MaskPhone->isChecked());
}

// ---- line list -------------------------------------------------------------------

void OrderInput::Liv1_DblClick() {
  if (Liv1->rowCount() > 0) {
    Tools_Edit_Click();
  } else {
    Command2_Click();
  }
}

void OrderInput::Liv1_ItemCheck(int row, bool checked) {
  if (row < 0 || row >= Liv1->rowCount()) return;
  OrderLine l = OrderLine::fromCells(Liv1->rowTexts(row), checked);
  OrderLineTools::userTicked(l, checked, dateMarks(), QDate::currentDate());
  Liv1->setText(row, LineCol::Note, l.note);
}

void OrderInput::Liv1_KeyDown(int key) {
  // Enter comes as rowActivated (the edit); Delete removes the selected lines.
  if (key == Qt::Key_Delete) Tools_Del_Click();
}

bool OrderInput::prepareToolsMenu() {
  if (Liv1->rowCount() == 0) return false;
  const bool single = Liv1->selectedRows().size() <= 1;
  for (QAction* a : {Tools_Edit, Tools_Del, Tools_OpenURL, Tools_ViewImages, Tools_Rate, Tool_apply})
    a->setEnabled(true);
  for (QAction* a : {Tools_Edit, Tools_OpenURL, Tools_ViewImages}) a->setEnabled(single);
  return true;
}

void OrderInput::Tools_Edit_Click() {
  if (Liv1->rowCount() == 0) return;
  const int row = Liv1->currentRow();
  if (row < 0) {
    prompt_.error();
    return;
  }
  if (host_.editLine(*this, row)) MoneyShow();
}

void OrderInput::Tools_Del_Click() {
  OrderLines ls = lines();
  std::vector<bool> sel = selection();
  if (!OrderLineTools::deleteSelected(ls, sel, db_.Manuf)) return;
  writeLines(ls, sel);
  MoneyShow();
}

void OrderInput::Tools_OpenURL_Click() {
  const int row = Liv1->currentRow();
  if (Liv1->rowCount() == 0 || row < 0) return;
  const QUrl url = OrderLineTools::webAddress(Liv1->text(row, LineCol::Url));
  if (url.isValid()) Shell::openUrl(url.toString());
}

void OrderInput::Tools_ViewImages_Click() {
  if (Liv1->rowCount() == 0) return;
  const int row = Liv1->currentRow();
  if (row < 0) {
    prompt_.error();
    return;
  }
  const QString path =
      OrderLineTools::picturePath(db_, Liv1->text(row, LineCol::Name), Liv1->text(row, LineCol::Category));
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

void OrderInput::Tool_apply_Click() {
  if (Liv1->rowCount() == 0) return;
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
  if (Liv1->rowCount() < 2) return;
  OrderLines ls = lines();
  std::vector<bool> sel = selection();
  OrderLineTools::moveSelected(ls, sel, up);
  writeLines(ls, sel);
}

void OrderInput::Tool_ItemCheck_Click() {
  OrderLines ls = lines();
  const std::vector<bool> sel = selection();
  OrderLineTools::tickSelected(ls, sel, dateMarks(), QDate::currentDate());
  writeLines(ls, sel);
}

void OrderInput::Tool_ItemCheckFalse_Click() {
  OrderLines ls = lines();
  const std::vector<bool> sel = selection();
  OrderLineTools::untickSelected(ls, sel, dateMarks());
  writeLines(ls, sel);
}
