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
  passwordMenu = menuBar->addMenu(QStringLiteral("密碼(&P)"));
  setPasswordAction = passwordMenu->addAction(QStringLiteral("建立存取設定密碼"));
  clearPasswordAction = passwordMenu->addAction(QStringLiteral("刪除存取設定密碼"));

  // ---- switches ----
  auto* startView = new QGroupBox(QStringLiteral("啟動後的顯示狀態"), this);
  showAllOption = new QRadioButton(QStringLiteral("全部顯示"), startView);
  showYearOption = new QRadioButton(QStringLiteral("顯示整年"), startView);
  showMonthOption = new QRadioButton(QStringLiteral("顯示當月"), startView);
  auto* startLayout = new QHBoxLayout(startView);
  for (QRadioButton* o : {showAllOption, showYearOption, showMonthOption}) startLayout->addWidget(o);
  systemTrayCheck = new QCheckBox(QStringLiteral("最小化縮到系統列上"), this);
  compareStockCheck = new QCheckBox(QStringLiteral("開啟庫存比對功能"), this);
  hideCostCheck = new QCheckBox(QStringLiteral("隱藏成本與結餘"), this);
  roundRateCheck = new QCheckBox(QStringLiteral("匯率換算自動四捨五入到整數"), this);
  fontSizeLabel = new QLabel(QStringLiteral("列表字形大小"), this);
  fontSizeCombo = new QComboBox(this);
  fontSizeCombo->setEditable(false);
  fontSizeCombo->addItems(GeneralSettings::fontEntries());
  WindowTweaks::setDropDownHeight(fontSizeCombo, 300);

  // ---- mailing labels ----
  auto* labels = new QGroupBox(QStringLiteral("郵寄名條格式"), this);
  labelTemplateEdit = new QPlainTextEdit(labels);
  labelTemplateEdit->setTabChangesFocus(true);
  labelAsTextOption = new QRadioButton(QStringLiteral("記事本開啟(純文字)"), labels);
  labelAsHtmlOption = new QRadioButton(QStringLiteral("瀏覽器開啟(可用html)"), labels);
  placeholderHelpButton = button(QStringLiteral("點我看格式代號"), labels);
  auto* labelsLayout = new QGridLayout(labels);
  labelsLayout->addWidget(labelTemplateEdit, 0, 0, 1, 3);
  labelsLayout->addWidget(labelAsTextOption, 1, 0);
  labelsLayout->addWidget(labelAsHtmlOption, 1, 1);
  labelsLayout->addWidget(placeholderHelpButton, 1, 2);

  // ---- shipping methods ----
  auto* carry = new QGroupBox(QStringLiteral("運送方式"), this);
  shippingMethodList = new QListWidget(carry);
  shippingMethodList->setSelectionMode(QAbstractItemView::SingleSelection);
  addMethodButton = button(QStringLiteral("新增"), carry);
  renameMethodButton = button(QStringLiteral("編輯"), carry);
  deleteMethodButton = button(QStringLiteral("刪除"), carry);
  moveMethodUpButton = button(QStringLiteral("上移"), carry);
  moveMethodDownButton = button(QStringLiteral("下移"), carry);
  auto* carryLayout = new QGridLayout(carry);
  carryLayout->addWidget(shippingMethodList, 0, 0, 6, 1);
  int r = 0;
  for (QPushButton* b :
       {addMethodButton, renameMethodButton, deleteMethodButton, moveMethodUpButton, moveMethodDownButton})
    carryLayout->addWidget(b, r++, 1);
  carryLayout->setRowStretch(5, 1);

  // ---- shipping note ----
  auto* note = new QGroupBox(QStringLiteral("出貨單"), this);
  noteTitleLabel = new QLabel(QStringLiteral("標題"), note);
  noteTitleEdit = new QLineEdit(note);
  shopInfoEdit = new QPlainTextEdit(note);
  shopInfoEdit->setTabChangesFocus(true);
  noteFieldList = new QListWidget(note);
  noteFieldList->setSelectionMode(QAbstractItemView::SingleSelection);
  for (const QString& name : GeneralSettings::noteFieldNames()) {
    auto* item = new QListWidgetItem(name, noteFieldList);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  // All 18 switches in sight, none behind a scroll bar.
  noteFieldList->setMinimumHeight(noteFieldList->sizeHintForRow(0) * noteFieldList->count() +
                                  2 * noteFieldList->frameWidth() + 4);
  noteColumnList = new ListView(note);
  noteColumnList->setColumns({QStringLiteral("欄位"), QStringLiteral("百分比")});
  noteColumnList->setColumnWidthTwips(0, 1500);
  noteColumnList->setColumnWidthTwips(1, 1050);
  noteColumnList->setColumnAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  buyerPercentLabel = new QLabel(QStringLiteral("買家資料寬度比例(%)"), note);
  shopPercentLabel = new QLabel(QStringLiteral("店家資訊寬度比例(%)"), note);
  noteWidthLabel = new QLabel(QStringLiteral("出貨單寬度"), note);
  buyerPercentEdit = new QLineEdit(note);
  shopPercentEdit = new QLineEdit(note);
  noteWidthEdit = new QLineEdit(note);
  for (QLineEdit* e : {buyerPercentEdit, shopPercentEdit, noteWidthEdit}) e->setMaximumWidth(80);
  noteSeparatorCheck = new QCheckBox(QStringLiteral("商品列表加入分隔線"), note);
  auto* noteLayout = new QGridLayout(note);
  auto* titleRow = new QHBoxLayout;
  titleRow->addWidget(noteTitleLabel);
  titleRow->addWidget(noteTitleEdit, 1);
  noteLayout->addLayout(titleRow, 0, 0, 1, 2);
  noteLayout->addWidget(shopInfoEdit, 1, 0, 1, 2);
  noteLayout->addWidget(noteFieldList, 2, 0);
  noteLayout->addWidget(noteColumnList, 2, 1);
  auto* widths = new QGridLayout;
  widths->addWidget(buyerPercentLabel, 0, 0);
  widths->addWidget(buyerPercentEdit, 0, 1);
  widths->addWidget(shopPercentLabel, 1, 0);
  widths->addWidget(shopPercentEdit, 1, 1);
  widths->addWidget(noteWidthLabel, 2, 0);
  widths->addWidget(noteWidthEdit, 2, 1);
  widths->setColumnStretch(2, 1);
  noteLayout->addLayout(widths, 3, 0, 1, 2);
  noteLayout->addWidget(noteSeparatorCheck, 4, 0, 1, 2);
  noteLayout->setRowStretch(1, 1);

  // ---- buttons ----
  okButton = button(QStringLiteral("確定"), this);
  cancelButton = button(QStringLiteral("取消"), this);
  restoreDefaultsButton = button(QStringLiteral("還原預設值"), this);
  okButton->setDefault(true);

  auto* left = new QVBoxLayout;
  left->addWidget(startView);
  for (QCheckBox* c : {systemTrayCheck, compareStockCheck, hideCostCheck, roundRateCheck}) left->addWidget(c);
  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(fontSizeLabel);
  fontRow->addWidget(fontSizeCombo);
  fontRow->addStretch(1);
  left->addLayout(fontRow);
  left->addWidget(labels, 1);
  left->addWidget(carry, 1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addWidget(note, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(restoreDefaultsButton);
  bottom->addStretch(1);
  bottom->addWidget(okButton);
  bottom->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menuBar);
  layout->addLayout(columns, 1);
  layout->addLayout(bottom);
  resize(900, 640);

  connect(okButton, &QPushButton::clicked, this, &SetForm::onOk);
  connect(cancelButton, &QPushButton::clicked, this, &SetForm::onCancel);
  connect(restoreDefaultsButton, &QPushButton::clicked, this, &SetForm::onRestoreDefaults);
  connect(placeholderHelpButton, &QPushButton::clicked, this, &SetForm::onPlaceholderHelp);
  connect(addMethodButton, &QPushButton::clicked, this, &SetForm::onAddMethod);
  connect(renameMethodButton, &QPushButton::clicked, this, &SetForm::onRenameMethod);
  connect(deleteMethodButton, &QPushButton::clicked, this, &SetForm::onDeleteMethod);
  connect(moveMethodUpButton, &QPushButton::clicked, this, &SetForm::onMoveMethodUp);
  connect(moveMethodDownButton, &QPushButton::clicked, this, &SetForm::onMoveMethodDown);
  connect(noteColumnList, &ListView::rowActivated, this, [this](int) { onNoteColumnDoubleClicked(); });
  connect(buyerPercentEdit, &QLineEdit::textChanged, this, [this] { percentRule(buyerPercentEdit, shopPercentEdit); });
  connect(shopPercentEdit, &QLineEdit::textChanged, this, [this] { percentRule(shopPercentEdit, buyerPercentEdit); });
  connect(setPasswordAction, &QAction::triggered, this, &SetForm::onSetPassword);
  connect(clearPasswordAction, &QAction::triggered, this, &SetForm::onClearPassword);

  Form_Load();
}

SetForm::~SetForm() = default;

// ---- the controls ------------------------------------------------------------

void SetForm::setStartView(int view) {
  // Radio buttons of one group cannot all be cleared while they are exclusive.
  for (QRadioButton* o : {showAllOption, showYearOption, showMonthOption}) o->setAutoExclusive(false);
  showAllOption->setChecked(view == 1);
  showYearOption->setChecked(view == 2);
  showMonthOption->setChecked(view == 3);
  for (QRadioButton* o : {showAllOption, showYearOption, showMonthOption}) o->setAutoExclusive(true);
}

void SetForm::showValues(const GeneralSettings::Values& v) {
  setStartView(v.SetView);
  labelTemplateEdit->setPlainText(v.AddrTemplate);
  (v.addrText ? labelAsTextOption : labelAsHtmlOption)->setChecked(true);
  shopInfoEdit->setPlainText(v.NoteShopInfo);
  noteTitleEdit->setText(v.NoteTitle);
  buyerPercentEdit->setText(v.NoteShopPct);
  noteWidthEdit->setText(v.NoteWidth);
  noteSeparatorCheck->setChecked(v.NoteSeparators);
  shippingMethodList->clear();
  shippingMethodList->addItems(v.CarryList);
  for (int i = 0; i < noteFieldList->count(); ++i)
    noteFieldList->item(i)->setCheckState(v.NoteFields[static_cast<size_t>(i)] ? Qt::Checked : Qt::Unchecked);
  noteFieldList->setCurrentRow(-1);
  noteFieldList->clearSelection();
  const QStringList names = GeneralSettings::noteColumnNames();
  std::vector<QStringList> rows;
  for (int i = 0; i < names.size(); ++i) rows.push_back({names[i], v.NoteColPct.value(i)});
  noteColumnList->setRows(std::move(rows));
  systemTrayCheck->setChecked(v.SystemTray);
  compareStockCheck->setChecked(v.CheckLacks);
  hideCostCheck->setChecked(v.HideCost);
  roundRateCheck->setChecked(v.Rate);
  fontSizeCombo->setCurrentIndex(v.fontEntry);
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
  v.SetView = showAllOption->isChecked() ? 1 : showYearOption->isChecked() ? 2 : showMonthOption->isChecked() ? 3 : 0;
  v.SystemTray = systemTrayCheck->isChecked();
  v.CheckLacks = compareStockCheck->isChecked();
  v.HideCost = hideCostCheck->isChecked();
  v.Rate = roundRateCheck->isChecked();
  v.fontEntry = fontSizeCombo->currentIndex();
  v.AddrTemplate = crlf(labelTemplateEdit->toPlainText());
  v.addrText = !labelAsHtmlOption->isChecked();
  v.NoteTitle = noteTitleEdit->text();
  v.NoteShopInfo = crlf(shopInfoEdit->toPlainText());
  v.NoteShopPct = buyerPercentEdit->text();
  v.NoteWidth = noteWidthEdit->text();
  v.NoteSeparators = noteSeparatorCheck->isChecked();
  for (int i = 0; i < noteFieldList->count() && i < 18; ++i)
    v.NoteFields[static_cast<size_t>(i)] = noteFieldList->item(i)->checkState() == Qt::Checked;
  for (int r = 0; r < noteColumnList->rowCount(); ++r) v.NoteColPct << noteColumnList->text(r, 1);
  for (int i = 0; i < shippingMethodList->count(); ++i) v.CarryList << shippingMethodList->item(i)->text();
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

void SetForm::onOk() {
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

void SetForm::onCancel() { reject(); }

void SetForm::onRestoreDefaults() {
  if (!passwordGranted()) return;
  GeneralSettings::Values v = values();
  GeneralSettings::restoreDefaults(v);
  showValues(v);
}

void SetForm::onPlaceholderHelp() {
  prompt_.message(GeneralSettings::placeholderHelp(), Prompt::Icon::None, Prompt::Buttons::Ok,
                  QStringLiteral("格式代號"));
}

// ---- shipping methods -----------------------------------------------------------

void SetForm::onAddMethod() {
  try {
    if (shippingMethodList->count() >= Capacity::ShippingMethods) {
      prompt_.warn(QStringLiteral("最多只能新增 50 筆!"));
      return;
    }
    const QString answer =
        prompt_.input(QStringLiteral("請輸入您要新增的運送方式名稱"), QStringLiteral("新增")).value_or(QString());
    if (answer.isEmpty()) return;
    if (!TextEntry::acceptable(prompt_, {{QStringLiteral("運送方式"), answer}})) return;
    shippingMethodList->addItem(GeneralSettings::cleanMethodName(answer));
    shippingMethodList->setCurrentRow(shippingMethodList->count() - 1);
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void SetForm::onRenameMethod() {
  try {
    QListWidgetItem* item = shippingMethodList->currentItem();
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

void SetForm::onDeleteMethod() {
  try {
    QListWidgetItem* item = shippingMethodList->currentItem();
    if (!item || !item->isSelected()) return;
    if (!prompt_.askYesNo(QStringLiteral("確定刪除嗎？"), QStringLiteral("刪除"))) return;
    delete shippingMethodList->takeItem(shippingMethodList->row(item));
    shippingMethodList->setCurrentRow(-1);
    shippingMethodList->clearSelection();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void SetForm::moveMethod(int by) {
  QListWidgetItem* item = shippingMethodList->currentItem();
  if (!item || !item->isSelected()) return;
  const int from = shippingMethodList->row(item);
  const int to = from + by;
  if (to < 0 || to >= shippingMethodList->count()) return;
  shippingMethodList->insertItem(to, shippingMethodList->takeItem(from));
  shippingMethodList->setCurrentRow(to);
}

void SetForm::onMoveMethodUp() { moveMethod(-1); }
void SetForm::onMoveMethodDown() { moveMethod(1); }

// ---- column percentages -----------------------------------------------------------

void SetForm::onNoteColumnDoubleClicked() {
  try {
    const int row = noteColumnList->currentRow();
    if (row < 0) {
      prompt_.error();
      return;
    }
    QStringList cells;
    for (int r = 0; r < noteColumnList->rowCount(); ++r) cells << noteColumnList->text(r, 1);
    const double maximum = GeneralSettings::maxPercent(cells, row);
    const QString answer = prompt_
                               .input(QStringLiteral("請輸入") + noteColumnList->text(row, 0) +
                                          QStringLiteral("欄位所佔的百分比 (最大值: ") + Num::format(maximum) +
                                          QStringLiteral(")"),
                                      {}, noteColumnList->text(row, 1))
                               .value_or(QString());
    if (answer.isEmpty()) return;
    if (!TextEntry::acceptable(prompt_, {{noteColumnList->text(row, 0), answer}})) return;
    const auto cell = GeneralSettings::percentCell(answer, maximum);
    if (!cell) {
      prompt_.message(QStringLiteral("已超出最大值!"), Prompt::Icon::Exclamation);
      return;
    }
    noteColumnList->setText(row, 1, *cell);
  } catch (const std::exception&) {
    prompt_.error();
  }
}

// ---- the settings password ---------------------------------------------------------

bool SetForm::passSetEnabled() const { return setPasswordAction->isEnabled(); }
bool SetForm::passClearEnabled() const { return clearPasswordAction->isEnabled(); }

void SetForm::setPassMenu(bool setEnabled, bool clearEnabled) {
  setPasswordAction->setEnabled(setEnabled);
  clearPasswordAction->setEnabled(clearEnabled);
}

bool SetForm::PassInit() {
  return DatabasePassword::PassInit(db_.DataBasePath, DatabasePassword::settingsGuard(), prompt_, *this);
}

void SetForm::onSetPassword() {
  DatabasePassword::setPassword(db_.DataBasePath, DatabasePassword::settingsGuard(), prompt_, *this);
}

void SetForm::onClearPassword() {
  DatabasePassword::clearPassword(db_.DataBasePath, DatabasePassword::settingsGuard(), prompt_, *this);
}
