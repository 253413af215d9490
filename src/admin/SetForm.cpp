#include "admin/SetForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <exception>

#include "admin/DatabasePassword.h"
#include "admin/PasswordFile.h"
#include "platform/ListView.h"
#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "platform/WindowTweaks.h"
#include "store/Database.h"
#include "store/TextEntry.h"

namespace {
const QString kWrongPassword = QStringLiteral("密碼不正確，請重新輸入!");
const QString kSaveFailed = QStringLiteral("儲存設定發生錯誤!");

QPushButton* button(const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setAutoDefault(false);
  return b;
}
}  // namespace

SetForm::SetForm(Database& db, Prompt& prompt, Hooks hooks, QWidget* parent)
    : QDialog(parent), db_(db), prompt_(prompt), hooks_(std::move(hooks)) {
  setWindowTitle(QStringLiteral("一般設定"));
  setModal(true);

  menuBar = new QMenuBar(this);
  Menu_Pass = menuBar->addMenu(QStringLiteral("密碼(&P)"));
  Pass_Set = Menu_Pass->addAction(QStringLiteral("建立存取設定密碼"));
  Pass_Clear = Menu_Pass->addAction(QStringLiteral("刪除存取設定密碼"));

  // ---- switches ----
  auto* startView = new QGroupBox(QStringLiteral("啟動後的顯示狀態"), this);
  Option1 = new QRadioButton(QStringLiteral("全部顯示"), startView);
  Option2 = new QRadioButton(QStringLiteral("顯示整年"), startView);
  Option3 = new QRadioButton(QStringLiteral("顯示當月"), startView);
  auto* startLayout = new QHBoxLayout(startView);
  for (QRadioButton* o : {Option1, Option2, Option3}) startLayout->addWidget(o);
  Check1 = new QCheckBox(QStringLiteral("最小化縮到系統列上"), this);
  Check2 = new QCheckBox(QStringLiteral("開啟庫存比對功能"), this);
  Check4 = new QCheckBox(QStringLiteral("隱藏成本與結餘"), this);
  Check6 = new QCheckBox(QStringLiteral("匯率換算自動四捨五入到整數"), this);
  Label5 = new QLabel(QStringLiteral("列表字形大小"), this);
  Combo1 = new QComboBox(this);
  Combo1->setEditable(false);
  Combo1->addItems(GeneralSettings::fontEntries());
  WindowTweaks::setDropDownHeight(Combo1, 300);

  // ---- mailing labels ----
  auto* labels = new QGroupBox(QStringLiteral("郵寄名條格式"), this);
  Text1 = new QPlainTextEdit(labels);
  Text1->setTabChangesFocus(true);
  Option4 = new QRadioButton(QStringLiteral("記事本開啟(純文字)"), labels);
  Option5 = new QRadioButton(QStringLiteral("瀏覽器開啟(可用html)"), labels);
  Command9 = button(QStringLiteral("點我看格式代號"), labels);
  auto* labelsLayout = new QGridLayout(labels);
  labelsLayout->addWidget(Text1, 0, 0, 1, 3);
  labelsLayout->addWidget(Option4, 1, 0);
  labelsLayout->addWidget(Option5, 1, 1);
  labelsLayout->addWidget(Command9, 1, 2);

  // ---- shipping methods ----
  auto* carry = new QGroupBox(QStringLiteral("運送方式"), this);
  List1 = new QListWidget(carry);
  List1->setSelectionMode(QAbstractItemView::SingleSelection);
  Command4 = button(QStringLiteral("新增"), carry);
  Command5 = button(QStringLiteral("編輯"), carry);
  Command6 = button(QStringLiteral("刪除"), carry);
  Command7 = button(QStringLiteral("上移"), carry);
  Command8 = button(QStringLiteral("下移"), carry);
  auto* carryLayout = new QGridLayout(carry);
  carryLayout->addWidget(List1, 0, 0, 6, 1);
  int r = 0;
  for (QPushButton* b : {Command4, Command5, Command6, Command7, Command8}) carryLayout->addWidget(b, r++, 1);
  carryLayout->setRowStretch(5, 1);

  // ---- shipping note ----
  auto* note = new QGroupBox(QStringLiteral("出貨單"), this);
  Label1 = new QLabel(QStringLiteral("標題"), note);
  Text3 = new QLineEdit(note);
  Text2 = new QPlainTextEdit(note);
  Text2->setTabChangesFocus(true);
  List2 = new QListWidget(note);
  List2->setSelectionMode(QAbstractItemView::SingleSelection);
  for (const QString& name : GeneralSettings::noteFieldNames()) {
    auto* item = new QListWidgetItem(name, List2);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  // All 18 switches in sight, none behind a scroll bar.
  List2->setMinimumHeight(List2->sizeHintForRow(0) * List2->count() + 2 * List2->frameWidth() + 4);
  Liv1 = new ListView(note);
  Liv1->setColumns({QStringLiteral("欄位"), QStringLiteral("百分比")});
  Liv1->setColumnWidthTwips(0, 1500);
  Liv1->setColumnWidthTwips(1, 1050);
  Liv1->setColumnAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  Label3 = new QLabel(QStringLiteral("買家資料寬度比例(%)"), note);
  Label4 = new QLabel(QStringLiteral("店家資訊寬度比例(%)"), note);
  Label2 = new QLabel(QStringLiteral("出貨單寬度"), note);
  Text4 = new QLineEdit(note);
  Text5 = new QLineEdit(note);
  Text6 = new QLineEdit(note);
  for (QLineEdit* e : {Text4, Text5, Text6}) e->setMaximumWidth(80);
  Check5 = new QCheckBox(QStringLiteral("商品列表加入分隔線"), note);
  auto* noteLayout = new QGridLayout(note);
  auto* titleRow = new QHBoxLayout;
  titleRow->addWidget(Label1);
  titleRow->addWidget(Text3, 1);
  noteLayout->addLayout(titleRow, 0, 0, 1, 2);
  noteLayout->addWidget(Text2, 1, 0, 1, 2);
  noteLayout->addWidget(List2, 2, 0);
  noteLayout->addWidget(Liv1, 2, 1);
  auto* widths = new QGridLayout;
  widths->addWidget(Label3, 0, 0);
  widths->addWidget(Text4, 0, 1);
  widths->addWidget(Label4, 1, 0);
  widths->addWidget(Text5, 1, 1);
  widths->addWidget(Label2, 2, 0);
  widths->addWidget(Text6, 2, 1);
  widths->setColumnStretch(2, 1);
  noteLayout->addLayout(widths, 3, 0, 1, 2);
  noteLayout->addWidget(Check5, 4, 0, 1, 2);
  noteLayout->setRowStretch(1, 1);

  // ---- buttons ----
  Command1 = button(QStringLiteral("確定"), this);
  Command2 = button(QStringLiteral("取消"), this);
  Command3 = button(QStringLiteral("還原預設值"), this);
  Command1->setDefault(true);

  auto* left = new QVBoxLayout;
  left->addWidget(startView);
  for (QCheckBox* c : {Check1, Check2, Check4, Check6}) left->addWidget(c);
  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(Label5);
  fontRow->addWidget(Combo1);
  fontRow->addStretch(1);
  left->addLayout(fontRow);
  left->addWidget(labels, 1);
  left->addWidget(carry, 1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addWidget(note, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Command3);
  bottom->addStretch(1);
  bottom->addWidget(Command1);
  bottom->addWidget(Command2);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menuBar);
  layout->addLayout(columns, 1);
  layout->addLayout(bottom);
  resize(900, 640);

  connect(Command1, &QPushButton::clicked, this, &SetForm::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &SetForm::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &SetForm::Command3_Click);
  connect(Command9, &QPushButton::clicked, this, &SetForm::Command9_Click);
  connect(Command4, &QPushButton::clicked, this, &SetForm::Command4_Click);
  connect(Command5, &QPushButton::clicked, this, &SetForm::Command5_Click);
  connect(Command6, &QPushButton::clicked, this, &SetForm::Command6_Click);
  connect(Command7, &QPushButton::clicked, this, &SetForm::Command7_Click);
  connect(Command8, &QPushButton::clicked, this, &SetForm::Command8_Click);
  connect(Liv1, &ListView::rowActivated, this, [this](int) { Liv1_DblClick(); });
  connect(Text4, &QLineEdit::textChanged, this, [this] { percentRule(Text4, Text5); });
  connect(Text5, &QLineEdit::textChanged, this, [this] { percentRule(Text5, Text4); });
  connect(Pass_Set, &QAction::triggered, this, &SetForm::Pass_Set_Click);
  connect(Pass_Clear, &QAction::triggered, this, &SetForm::Pass_Clear_Click);

  Form_Load();
}

SetForm::~SetForm() = default;

// ---- the controls ------------------------------------------------------------

void SetForm::setStartView(int view) {
  // Radio buttons of one group cannot all be cleared while they are exclusive.
  for (QRadioButton* o : {Option1, Option2, Option3}) o->setAutoExclusive(false);
  Option1->setChecked(view == 1);
  Option2->setChecked(view == 2);
  Option3->setChecked(view == 3);
  for (QRadioButton* o : {Option1, Option2, Option3}) o->setAutoExclusive(true);
}

void SetForm::showValues(const GeneralSettings::Values& v) {
  setStartView(v.SetView);
  Text1->setPlainText(v.AddrTemplate);
  (v.addrText ? Option4 : Option5)->setChecked(true);
  Text2->setPlainText(v.NoteShopInfo);
  Text3->setText(v.NoteTitle);
  Text4->setText(v.NoteShopPct);
  Text6->setText(v.NoteWidth);
  Check5->setChecked(v.NoteSeparators);
  List1->clear();
  List1->addItems(v.CarryList);
  for (int i = 0; i < List2->count(); ++i)
    List2->item(i)->setCheckState(v.NoteFields[static_cast<size_t>(i)] ? Qt::Checked : Qt::Unchecked);
  List2->setCurrentRow(-1);
  List2->clearSelection();
  const QStringList names = GeneralSettings::noteColumnNames();
  std::vector<QStringList> rows;
  for (int i = 0; i < names.size(); ++i) rows.push_back({names[i], v.NoteColPct.value(i)});
  Liv1->setRows(std::move(rows));
  Check1->setChecked(v.SystemTray);
  Check2->setChecked(v.CheckLacks);
  Check4->setChecked(v.HideCost);
  Check6->setChecked(v.Rate);
  Combo1->setCurrentIndex(v.fontEntry);
}

namespace {
// A multi-line box hands its lines back as the files keep them, ended by CR LF.
QString crlf(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return text;
}
}  // namespace

GeneralSettings::Values SetForm::values() const {
  GeneralSettings::Values v;
  v.SetView = Option1->isChecked() ? 1 : Option2->isChecked() ? 2 : Option3->isChecked() ? 3 : 0;
  v.SystemTray = Check1->isChecked();
  v.CheckLacks = Check2->isChecked();
  v.HideCost = Check4->isChecked();
  v.Rate = Check6->isChecked();
  v.fontEntry = Combo1->currentIndex();
  v.AddrTemplate = crlf(Text1->toPlainText());
  v.addrText = !Option5->isChecked();
  v.NoteTitle = Text3->text();
  v.NoteShopInfo = crlf(Text2->toPlainText());
  v.NoteShopPct = Text4->text();
  v.NoteWidth = Text6->text();
  v.NoteSeparators = Check5->isChecked();
  for (int i = 0; i < List2->count() && i < 18; ++i)
    v.NoteFields[static_cast<size_t>(i)] = List2->item(i)->checkState() == Qt::Checked;
  for (int r = 0; r < Liv1->rowCount(); ++r) v.NoteColPct << Liv1->text(r, 1);
  for (int i = 0; i < List1->count(); ++i) v.CarryList << List1->item(i)->text();
  return v;
}

void SetForm::Form_Load() {
  try {
    const double size = hooks_.listFontSize ? hooks_.listFontSize() : 11;
    showValues(GeneralSettings::load(db_, size));
    showPasswordFile(PasswordFile::exists(db_.DataBasePath, QString::fromLatin1(PasswordFile::kSetting)));
  } catch (const std::exception&) {
    prompt_.message(QStringLiteral("開啟一般設定發生錯誤!"), Prompt::Icon::Exclamation);
  }
}

void SetForm::percentRule(QLineEdit* box, QLineEdit* other) {
  // Each change sets the box to its number (at most 100) and the other box
  // to the rest of 100; every text set fires the rule of its box again,
  // until nothing changes any more.
  const QString text = GeneralSettings::percentBoxText(box->text());
  if (text != box->text()) {
    box->setText(text);
    return;
  }
  const QString rest = GeneralSettings::otherPercentBoxText(text);
  if (other->text() != rest) other->setText(rest);
}

// ---- OK, Cancel, restore ------------------------------------------------------

bool SetForm::passwordGranted() {
  if (!PasswordFile::exists(db_.DataBasePath, QString::fromLatin1(PasswordFile::kSetting))) return true;
  if (PassInit()) return true;
  prompt_.message(kWrongPassword, Prompt::Icon::Exclamation);
  return false;
}

void SetForm::Command1_Click() {
  try {
    if (!passwordGranted()) return;
    const GeneralSettings::Values v = values();
    std::vector<std::pair<QString, QString>> texts{
        {QStringLiteral("郵寄名條格式"), v.AddrTemplate},
        {QStringLiteral("出貨單標題"), v.NoteTitle},
        {QStringLiteral("出貨單賣家資訊"), v.NoteShopInfo}};
    for (const QString& m : v.CarryList) texts.emplace_back(QStringLiteral("運送方式"), m);
    if (!TextEntry::acceptable(prompt_, texts)) return;
    auto taken = GeneralSettings::take(db_, v);
    if (!taken) {
      prompt_.message(kSaveFailed, Prompt::Icon::Exclamation);
      return;
    }
    const int fontSize = taken->fontSize.toInt();
    if (!GeneralSettings::store(db_, prompt_, std::move(*taken))) {
      prompt_.message(kSaveFailed, Prompt::Icon::Exclamation);
      return;
    }
    if (hooks_.applyListFontSize) hooks_.applyListFontSize(fontSize);
    if (hooks_.CheckViewMoney) hooks_.CheckViewMoney();
    accept();
  } catch (const std::exception&) {
    prompt_.message(kSaveFailed, Prompt::Icon::Exclamation);
  }
}

void SetForm::Command2_Click() { reject(); }

void SetForm::Command3_Click() {
  if (!passwordGranted()) return;
  GeneralSettings::Values v = values();
  GeneralSettings::restoreDefaults(v);
  showValues(v);
}

void SetForm::Command9_Click() {
  prompt_.message(GeneralSettings::placeholderHelp(), Prompt::Icon::None, Prompt::Buttons::Ok,
                  QStringLiteral("格式代號"));
}

// ---- shipping methods -----------------------------------------------------------

void SetForm::Command4_Click() {
  try {
    if (List1->count() >= Capacity::ShippingMethods) {
      prompt_.warn(QStringLiteral("最多只能新增 50 筆!"));
      return;
    }
    const QString answer =
        prompt_.input(QStringLiteral("請輸入您要新增的運送方式名稱"), QStringLiteral("新增")).value_or(QString());
    if (answer.isEmpty()) return;
    if (!TextEntry::acceptable(prompt_, {{QStringLiteral("運送方式"), answer}})) return;
    List1->addItem(GeneralSettings::cleanMethodName(answer));
    List1->setCurrentRow(List1->count() - 1);
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void SetForm::Command5_Click() {
  try {
    QListWidgetItem* item = List1->currentItem();
    if (!item || !item->isSelected()) return;
    const QString answer =
        prompt_.input(QStringLiteral("要改成什麼名稱?"), QStringLiteral("編輯"), item->text()).value_or(QString());
    if (answer.isEmpty()) return;
    if (!TextEntry::acceptable(prompt_, {{QStringLiteral("運送方式"), answer}})) return;
    item->setText(GeneralSettings::cleanMethodName(answer));
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void SetForm::Command6_Click() {
  try {
    QListWidgetItem* item = List1->currentItem();
    if (!item || !item->isSelected()) return;
    if (!prompt_.askYesNo(QStringLiteral("確定刪除嗎？"), QStringLiteral("刪除"))) return;
    delete List1->takeItem(List1->row(item));
    List1->setCurrentRow(-1);
    List1->clearSelection();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void SetForm::moveMethod(int by) {
  QListWidgetItem* item = List1->currentItem();
  if (!item || !item->isSelected()) return;
  const int from = List1->row(item);
  const int to = from + by;
  if (to < 0 || to >= List1->count()) return;
  List1->insertItem(to, List1->takeItem(from));
  List1->setCurrentRow(to);
}

void SetForm::Command7_Click() { moveMethod(-1); }
void SetForm::Command8_Click() { moveMethod(1); }

// ---- column percentages -----------------------------------------------------------

void SetForm::Liv1_DblClick() {
  try {
    const int row = Liv1->currentRow();
    if (row < 0) {
      prompt_.error();
      return;
    }
    QStringList cells;
    for (int r = 0; r < Liv1->rowCount(); ++r) cells << Liv1->text(r, 1);
    const double maximum = GeneralSettings::maxPercent(cells, row);
    const QString answer = prompt_
                               .input(QStringLiteral("請輸入") + Liv1->text(row, 0) +
                                          QStringLiteral("欄位所佔的百分比 (最大值: ") + Num::format(maximum) +
                                          QStringLiteral(")"),
                                      {}, Liv1->text(row, 1))
                               .value_or(QString());
    if (answer.isEmpty()) return;
    if (!TextEntry::acceptable(prompt_, {{Liv1->text(row, 0), answer}})) return;
    const auto cell = GeneralSettings::percentCell(answer, maximum);
    if (!cell) {
      prompt_.message(QStringLiteral("已超出最大值!"), Prompt::Icon::Exclamation);
      return;
    }
    Liv1->setText(row, 1, *cell);
  } catch (const std::exception&) {
    prompt_.error();
  }
}

// ---- the settings password ---------------------------------------------------------

bool SetForm::passSetEnabled() const { return Pass_Set->isEnabled(); }
bool SetForm::passClearEnabled() const { return Pass_Clear->isEnabled(); }

void SetForm::setPassMenu(bool setEnabled, bool clearEnabled) {
  Pass_Set->setEnabled(setEnabled);
  Pass_Clear->setEnabled(clearEnabled);
}

bool SetForm::PassInit() {
  return DatabasePassword::PassInit(db_.DataBasePath, DatabasePassword::settingsGuard(), prompt_, *this);
}

void SetForm::Pass_Set_Click() {
  DatabasePassword::Pass_Set_Click(db_.DataBasePath, DatabasePassword::settingsGuard(), prompt_, *this);
}

void SetForm::Pass_Clear_Click() {
  DatabasePassword::Pass_Clear_Click(db_.DataBasePath, DatabasePassword::settingsGuard(), prompt_, *this);
}
