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

  headingLabel = new QLabel(this);
  QFont headingFont = headingLabel->font();
  headingFont.setBold(true);
  headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
  headingLabel->setFont(headingFont);

  accountEdit = new QLineEdit(this);
  categoryCombo = new QComboBox(this);
  categoryCombo->setEditable(true);
  categoryCombo->setInsertPolicy(QComboBox::NoInsert);
  WindowTweaks::setDropDownHeight(categoryCombo, 300);
  nameEdit = new QLineEdit(this);
  sexCombo = new QComboBox(this);
  sexCombo->setEditable(true);
  sexCombo->setInsertPolicy(QComboBox::NoInsert);
  sexCombo->addItems({QStringLiteral("男"), QStringLiteral("女")});
  sexCombo->setCurrentIndex(-1);
  sexCombo->setEditText(QString());
  phoneEdit = new QLineEdit(this);
  mobileEdit = new QLineEdit(this);
  emailEdit = new QLineEdit(this);
  addressEdit = new QPlainTextEdit(this);
  bankLast5Edit = new QLineEdit(this);
  noteEdit = new QPlainTextEdit(this);
  for (QPlainTextEdit* t : {addressEdit, noteEdit}) {
    t->setTabChangesFocus(true);
    t->setFixedHeight(t->fontMetrics().lineSpacing() * 3 + 12);
  }
  profileCombo = new QComboBox(this);
  profileCombo->setEditable(false);

  saveButton = new QPushButton(QStringLiteral("儲存"), this);
  cancelButton = new QPushButton(QStringLiteral("取消"), this);
  importButton = new QPushButton(QStringLiteral("匯入客戶"), this);
  mailButton = new QPushButton(QStringLiteral("寫信"), this);
  editCategoriesButton = new QPushButton(QStringLiteral("編輯分類"), this);
  for (QPushButton* b : {saveButton, cancelButton, importButton, mailButton, editCategoriesButton}) b->setAutoDefault(false);

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
  add(QStringLiteral("客戶帳號"), accountEdit);
  add(QStringLiteral("客戶分類"), categoryCombo, editCategoriesButton);
  add(QStringLiteral("姓名"), nameEdit);
  add(QStringLiteral("性別"), sexCombo);
  add(QStringLiteral("電話"), phoneEdit);
  add(QStringLiteral("手機"), mobileEdit);
  add(QStringLiteral("Email"), emailEdit, mailButton);
  add(QStringLiteral("住址"), addressEdit);
  add(QStringLiteral("帳號末5碼"), bankLast5Edit);
  add(QStringLiteral("備註"), noteEdit);
  grid->setColumnStretch(1, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(profileCombo);
  buttons->addWidget(importButton);
  buttons->addStretch(1);
  buttons->addWidget(saveButton);
  buttons->addWidget(cancelButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(headingLabel);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  resize(460, sizeHint().height());

  for (QWidget* w : {static_cast<QWidget*>(accountEdit), static_cast<QWidget*>(nameEdit),
                     static_cast<QWidget*>(phoneEdit), static_cast<QWidget*>(mobileEdit),
                     static_cast<QWidget*>(emailEdit), static_cast<QWidget*>(addressEdit),
                     static_cast<QWidget*>(bankLast5Edit), static_cast<QWidget*>(noteEdit)})
    w->installEventFilter(this);

  connect(saveButton, &QPushButton::clicked, this, &GuestInput::onSave);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(importButton, &QPushButton::clicked, this, &GuestInput::onImport);
  connect(mailButton, &QPushButton::clicked, this, &GuestInput::onMail);
  connect(editCategoriesButton, &QPushButton::clicked, this, &GuestInput::onEditCategories);
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
  categoryCombo->clear();
  categoryCombo->addItems(GuestList::dialogCategories(db_));
}

void GuestInput::fillProfiles() {
  profileCombo->clear();
  profileCombo->addItem(QStringLiteral("露天拍賣"));
  for (int p = 1; p <= 3; ++p) profileCombo->addItem(db_.settings.ImportName[static_cast<size_t>(p)]);
  const int i = static_cast<int>(SettingsStore::getNumber(kSection, QStringLiteral("ImportGuest"), 0));
  profileCombo->setCurrentIndex(i >= 0 && i < profileCombo->count() ? i : 0);
}

void GuestInput::openNew(int mode, const QString& category) {
  fillCategories();
  if (category.isEmpty()) categoryCombo->setCurrentIndex(0);
  else categoryCombo->setEditText(category);
  fillProfiles();
  headingLabel->setText(mode == GuestSave::NewFromEditor ? QStringLiteral("直接新增客戶") : QStringLiteral("新增客戶資料"));
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
  headingLabel->setText(QStringLiteral("編輯客戶資料"));
  NameStr = accountEdit->text();
  SaleStr = categoryCombo->currentText();
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
  f.account = accountEdit->text();
  f.category = categoryCombo->currentText();
  f.name = nameEdit->text();
  f.sex = sexCombo->currentText();
  f.phone = phoneEdit->text();
  f.mobile = mobileEdit->text();
  f.email = emailEdit->text();
  f.address = LineBreaks::forFile(addressEdit->toPlainText());
  f.bankLast5 = bankLast5Edit->text();
  f.note = LineBreaks::forFile(noteEdit->toPlainText());
  return f;
}

void GuestInput::setFields(const CustomerFields& f) {
  accountEdit->setText(f.account);
  categoryCombo->setEditText(f.category);
  nameEdit->setText(f.name);
  sexCombo->setEditText(f.sex);
  phoneEdit->setText(f.phone);
  mobileEdit->setText(f.mobile);
  emailEdit->setText(f.email);
  addressEdit->setPlainText(LineBreaks::forBox(f.address));
  bankLast5Edit->setText(f.bankLast5);
  noteEdit->setPlainText(LineBreaks::forBox(f.note));
}

void GuestInput::onSave() {
  CustomerFields boxes = fields();
  const GuestSave::Result res = GuestSave::run(db_, prompt_, boxes, {SelState, NameStr, SaleStr, SelEdit}, editor);
  setFields(boxes);  // the boxes show what was compared and stored
  using Outcome = GuestSave::Result::Outcome;
  if (res.outcome == Outcome::Stopped) return;
  if (res.outcome == Outcome::Saved && list && (SelState == GuestSave::NewFromList || SelState == GuestSave::EditFromList))
    list->guestSaved(SelState, res, boxes);
  accept();
}

void GuestInput::onImport() { importText(Clipboard::text()); }

void GuestInput::importText(const QString& text) {
  if (text.isEmpty()) return;
  const CustomerFields before = fields();
  CustomerFields after = before;
  ClipboardImport::apply(profileCombo->currentIndex(), text, db_.settings, after);
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
  const QString mail = emailEdit->text();
  return mail.isEmpty() ? QString() : QStringLiteral("mailto:") + mail;
}

void GuestInput::onMail() {
  const QString address = mailAddress();
  if (!address.isEmpty()) Shell::openUrl(address, prompt_);
}

void GuestInput::onEditCategories() {
  CateForm::edit(db_, prompt_, CategoryEdit::Kind::Customer, this);
  categoriesEdited = true;
  // A rename or delete there has already moved the edited customer and its
  // orders to another category: that is now its stored key, which the save
  // compares with and renames the orders from.
  if ((SelState == GuestSave::EditFromList || SelState == GuestSave::EditFromEditor) && SelEdit >= 1 &&
      SelEdit <= db_.Guest.count())
    SaleStr = db_.Guest.cell(SelEdit, GuestCell::CustomerCategory);
  fillCategories();
  categoryCombo->setCurrentIndex(0);
}

void GuestInput::done(int result) {
  if (!unloaded_) {
    unloaded_ = true;
    SettingsStore::setNumber(kSection, QStringLiteral("ImportGuest"), profileCombo->currentIndex());
  }
  QDialog::done(result);
}
