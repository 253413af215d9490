#include "customers/GuestInput.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "admin/CateForm.h"
#include "customers/ClipboardImport.h"
#include "customers/GuestForm.h"
#include "customers/GuestSave.h"
#include "models/GuestList.h"
#include "platform/Clipboard.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/WindowTweaks.h"
#include "store/Database.h"
#include "store/LineBreaks.h"
#include "store/TextEntry.h"

namespace {

const QString kSection = QStringLiteral("GuestInput");

}  // namespace

GuestInput::GuestInput(Database& db, Prompt& prompt, QWidget* parent) : QDialog(parent), db_(db), prompt_(prompt) {
  setWindowTitle(QStringLiteral("客戶"));
  setModal(true);

  Label9 = new QLabel(this);
  QFont headingFont = Label9->font();
  headingFont.setBold(true);
  headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
  Label9->setFont(headingFont);

  Text1 = new QLineEdit(this);
  Combo1 = new QComboBox(this);
  Combo1->setEditable(true);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  WindowTweaks::setDropDownHeight(Combo1, 300);
  Text2 = new QLineEdit(this);
  Combo2 = new QComboBox(this);
  Combo2->setEditable(true);
  Combo2->setInsertPolicy(QComboBox::NoInsert);
  Combo2->addItems({QStringLiteral("男"), QStringLiteral("女")});
  Combo2->setCurrentIndex(-1);
  Combo2->setEditText(QString());
  Text3 = new QLineEdit(this);
  Text4 = new QLineEdit(this);
  Text5 = new QLineEdit(this);
  Text6 = new QPlainTextEdit(this);
  Text7 = new QLineEdit(this);
  Text8 = new QPlainTextEdit(this);
  for (QPlainTextEdit* t : {Text6, Text8}) {
    t->setTabChangesFocus(true);
    t->setFixedHeight(t->fontMetrics().lineSpacing() * 3 + 12);
  }
  Combo3 = new QComboBox(this);
  Combo3->setEditable(false);

  Command1 = new QPushButton(QStringLiteral("儲存"), this);
  Command2 = new QPushButton(QStringLiteral("取消"), this);
  Command3 = new QPushButton(QStringLiteral("匯入客戶"), this);
  Command4 = new QPushButton(QStringLiteral("寫信"), this);
  Command5 = new QPushButton(QStringLiteral("編輯分類"), this);
  for (QPushButton* b : {Command1, Command2, Command3, Command4, Command5}) b->setAutoDefault(false);

  auto* grid = new QGridLayout;
  int row = 0;
  const auto add = [&](const QString& label, QWidget* w, QWidget* extra = nullptr) {
    grid->addWidget(new QLabel(label, this), row, 0);
    if (extra) {
      grid->addWidget(w, row, 1);
      grid->addWidget(extra, row, 2);
    } else {
      grid->addWidget(w, row, 1, 1, 2);
    }
    ++row;
  };
  add(QStringLiteral("客戶帳號"), Text1);
  add(QStringLiteral("客戶分類"), Combo1, Command5);
  add(QStringLiteral("姓名"), Text2);
  add(QStringLiteral("性別"), Combo2);
  add(QStringLiteral("電話"), Text3);
  add(QStringLiteral("手機"), Text4);
  add(QStringLiteral("Email"), Text5, Command4);
  add(QStringLiteral("住址"), Text6);
  add(QStringLiteral("帳號末5碼"), Text7);
  add(QStringLiteral("備註"), Text8);
  grid->setColumnStretch(1, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Combo3);
  buttons->addWidget(Command3);
  buttons->addStretch(1);
  buttons->addWidget(Command1);
  buttons->addWidget(Command2);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label9);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  resize(460, sizeHint().height());

  for (QWidget* w : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3),
                     static_cast<QWidget*>(Text4), static_cast<QWidget*>(Text5), static_cast<QWidget*>(Text6),
                     static_cast<QWidget*>(Text7), static_cast<QWidget*>(Text8)})
    w->installEventFilter(this);

  connect(Command1, &QPushButton::clicked, this, &GuestInput::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
  connect(Command3, &QPushButton::clicked, this, &GuestInput::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &GuestInput::Command4_Click);
  connect(Command5, &QPushButton::clicked, this, &GuestInput::Command5_Click);
}

GuestInput::~GuestInput() = default;

bool GuestInput::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    // The whole text is selected when a box receives the focus.
    if (auto* line = qobject_cast<QLineEdit*>(watched)) QTimer::singleShot(0, line, &QLineEdit::selectAll);
    else if (auto* text = qobject_cast<QPlainTextEdit*>(watched)) QTimer::singleShot(0, text, &QPlainTextEdit::selectAll);
  }
  return QDialog::eventFilter(watched, event);
}

void GuestInput::fillCategories() {
  Combo1->clear();
  Combo1->addItems(GuestList::dialogCategories(db_));
}

void GuestInput::fillProfiles() {
  Combo3->clear();
  Combo3->addItem(QStringLiteral("露天拍賣"));
  for (int p = 1; p <= 3; ++p) Combo3->addItem(db_.settings.ImportName[static_cast<size_t>(p)]);
  const int i = static_cast<int>(SettingsStore::getNumber(kSection, QStringLiteral("ImportGuest"), 0));
  Combo3->setCurrentIndex(i >= 0 && i < Combo3->count() ? i : 0);
}

void GuestInput::openNew(int mode, const QString& category) {
  fillCategories();
  if (category.isEmpty()) Combo1->setCurrentIndex(0);
  else Combo1->setEditText(category);
  fillProfiles();
  Label9->setText(mode == GuestSave::NewFromEditor ? QStringLiteral("直接新增客戶") : QStringLiteral("新增客戶資料"));
  NameStr.clear();
  SaleStr.clear();
  SelState = mode;
}

bool GuestInput::openEdit(int mode, int row) {
  if (row < 1 || row > db_.Guest.count()) return false;
  fillCategories();
  const CustomerFields f = CustomerFields::fromGuestRow(db_.Guest, row);
  setFields(f);
  fillProfiles();
  Label9->setText(QStringLiteral("編輯客戶資料"));
  NameStr = Text1->text();
  SaleStr = Combo1->currentText();
  SelState = mode;
  SelEdit = row;
  return true;
}

int GuestInput::runForEditor(Database& db, Prompt& prompt, QWidget* parent, bool editExisting,
                             const QString& account, const QString& category, CustomerSink editor) {
  GuestInput dlg(db, prompt, parent);
  if (editExisting) {
    const int row = GuestSave::findGuest(db.Guest, account, category);
    if (row == 0) {
      prompt.message(QStringLiteral("找不到這筆客戶資料，請重新選擇!"));
      return QDialog::Rejected;
    }
    dlg.openEdit(GuestSave::EditFromEditor, row);
  } else {
    QString preset;
    if (SettingsStore::getBool(QStringLiteral("GuestForm"), QStringLiteral("Set2"), false))
      preset = SettingsStore::get(QStringLiteral("GuestForm"), QStringLiteral("Set_2_Value"), QStringLiteral("未分類"));
    dlg.openNew(GuestSave::NewFromEditor, preset);
  }
  dlg.editor = std::move(editor);
  return dlg.exec();
}

CustomerFields GuestInput::fields() const {
  CustomerFields f;
  f.account = Text1->text();
  f.category = Combo1->currentText();
  f.name = Text2->text();
  f.sex = Combo2->currentText();
  f.phone = Text3->text();
  f.mobile = Text4->text();
  f.email = Text5->text();
  f.address = LineBreaks::forFile(Text6->toPlainText());
  f.bankLast5 = Text7->text();
  f.note = LineBreaks::forFile(Text8->toPlainText());
  return f;
}

void GuestInput::setFields(const CustomerFields& f) {
  Text1->setText(f.account);
  Combo1->setEditText(f.category);
  Text2->setText(f.name);
  Combo2->setEditText(f.sex);
  Text3->setText(f.phone);
  Text4->setText(f.mobile);
  Text5->setText(f.email);
  Text6->setPlainText(LineBreaks::forBox(f.address));
  Text7->setText(f.bankLast5);
  Text8->setPlainText(LineBreaks::forBox(f.note));
}

void GuestInput::Command1_Click() {
  CustomerFields boxes = fields();
  const GuestSave::Result res = GuestSave::run(db_, prompt_, boxes, {SelState, NameStr, SaleStr, SelEdit}, editor);
  setFields(boxes);  // the boxes show what was compared and stored
  using Outcome = GuestSave::Result::Outcome;
  if (res.outcome == Outcome::Stopped) return;
  if (res.outcome == Outcome::Saved && list && (SelState == GuestSave::NewFromList || SelState == GuestSave::EditFromList))
    list->guestSaved(SelState, res, boxes);
  accept();
}

void GuestInput::Command3_Click() { importText(Clipboard::text()); }

void GuestInput::importText(const QString& text) {
  if (text.isEmpty()) return;
  const CustomerFields before = fields();
  CustomerFields after = before;
  ClipboardImport::apply(Combo3->currentIndex(), text, db_.settings, after);
  // What the clipboard brings is checked where it enters: a box it would
  // fill with a character the files cannot hold is refused, and nothing
  // changes.
  const std::vector<std::pair<QString, QString>> changed = [&] {
    std::vector<std::pair<QString, QString>> out;
    const auto check = [&](const char* caption, const QString& was, const QString& now) {
      if (now != was) out.emplace_back(QString::fromUtf8(caption), now);
    };
    check("客戶帳號", before.account, after.account);
    check("姓名", before.name, after.name);
    check("性別", before.sex, after.sex);
    check("電話", before.phone, after.phone);
    check("手機", before.mobile, after.mobile);
    check("Email", before.email, after.email);
    check("住址", before.address, after.address);
    check("帳號末5碼", before.bankLast5, after.bankLast5);
    check("備註", before.note, after.note);
    return out;
  }();
  if (changed.empty() || !TextEntry::acceptable(prompt_, changed)) return;
  setFields(after);
}

QString GuestInput::mailAddress() const {
  const QString mail = Text5->text();
  return mail.isEmpty() ? QString() : QStringLiteral("mailto:") + mail;
}

void GuestInput::Command4_Click() {
  const QString address = mailAddress();
  if (!address.isEmpty()) Shell::openUrl(address);
}

void GuestInput::Command5_Click() {
  CateForm::edit(db_, prompt_, CategoryEdit::Kind::Customer, this);
  categoriesEdited = true;
  // A rename or delete there has already moved the edited customer and its
  // orders to another category: that is now its stored key, which the save
  // compares with and renames the orders from.
  if ((SelState == GuestSave::EditFromList || SelState == GuestSave::EditFromEditor) && SelEdit >= 1 &&
      SelEdit <= db_.Guest.count())
    SaleStr = db_.Guest.cell(SelEdit, GuestCell::CustomerCategory);
  fillCategories();
  Combo1->setCurrentIndex(0);
}

void GuestInput::done(int result) {
  if (!unloaded_) {
    unloaded_ = true;
    SettingsStore::setNumber(kSection, QStringLiteral("ImportGuest"), Combo3->currentIndex());
  }
  QDialog::done(result);
}
