#include "customers/GuestSearch.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <exception>

#include "customers/GuestFind.h"
#include "customers/GuestForm.h"
#include "customers/GuestRowSource.h"
#include "platform/ListView.h"
#include "platform/Prompt.h"
#include "platform/WindowTweaks.h"
#include "store/Database.h"

namespace {
// The combo's index under the form's `se`, so that its list is not rebuilt.
void setFilterQuietly(GuestForm& list, int index) {
  list.se = true;
  list.categoryCombo->setCurrentIndex(index);
  list.se = false;
}
}  // namespace

GuestSearch::GuestSearch(Database& db, Prompt& prompt, GuestForm& list, QWidget* parent)
    : QDialog(parent), db_(db), prompt_(prompt), list_(list) {
  setWindowTitle(QStringLiteral("進階搜尋"));
  setModal(true);

  const auto line = [this] { return new QLineEdit(this); };
  accountEdit = line();
  categoryCombo = new QComboBox(this);
  categoryCombo->setEditable(false);
  WindowTweaks::setDropDownHeight(categoryCombo, 300);
  nameEdit = line();
  sexCombo = new QComboBox(this);
  sexCombo->setEditable(true);
  sexCombo->setInsertPolicy(QComboBox::NoInsert);
  sexCombo->addItems({QStringLiteral("男"), QStringLiteral("女")});
  sexCombo->setCurrentIndex(-1);
  sexCombo->setEditText(QString());
  phoneEdit = line();
  mobileEdit = line();
  emailEdit = line();
  addressEdit = line();
  bankLast5Edit = line();
  noteEdit = line();
  productNameEdit = line();
  fieldSearchButton = new QPushButton(QStringLiteral("搜尋"), this);
  productSearchButton = new QPushButton(QStringLiteral("搜尋"), this);
  fieldSearchButton->setDefault(true);
  productSearchButton->setAutoDefault(false);

  auto* grid = new QGridLayout;
  int row = 0;
  const auto add = [&](const char* caption, QWidget* w) {
    grid->addWidget(new QLabel(QString::fromUtf8(caption), this), row, 0);
    grid->addWidget(w, row++, 1);
  };
  add("客戶帳號", accountEdit);
  add("客戶分類", categoryCombo);
  add("姓名", nameEdit);
  add("性別", sexCombo);
  add("電話", phoneEdit);
  add("手機", mobileEdit);
  add("Email", emailEdit);
  add("住址", addressEdit);
  add("帳號末5碼", bankLast5Edit);
  add("備註", noteEdit);
  grid->setColumnStretch(1, 1);

  auto* hint = new QHBoxLayout;
  hint->addWidget(new QLabel(QStringLiteral("※可以只輸入要找的項目"), this), 1);
  hint->addWidget(fieldSearchButton);
  auto* rule = new QFrame(this);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  auto* product = new QHBoxLayout;
  product->addWidget(productNameEdit, 1);
  product->addWidget(productSearchButton);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(hint);
  layout->addWidget(rule);
  layout->addWidget(new QLabel(QStringLiteral("以商品名稱搜尋客戶資料"), this));
  layout->addLayout(product);
  resize(380, sizeHint().height());

  categoryCombo->addItem(QStringLiteral("全部"));
  categoryCombo->addItems(db_.settings.CustomerCategories);
  categoryCombo->addItem(QStringLiteral("未分類"));
  const int shown = list_.categoryCombo->currentIndex();
  categoryCombo->setCurrentIndex(shown >= 0 && shown < categoryCombo->count() ? shown : -1);

  connect(fieldSearchButton, &QPushButton::clicked, this, &GuestSearch::onFieldSearch);
  connect(productSearchButton, &QPushButton::clicked, this, &GuestSearch::onProductSearch);
}

GuestSearch::~GuestSearch() = default;

void GuestSearch::onFieldSearch() {
  try {
    GuestFind::Conditions c;
    c.category = categoryCombo->currentText();
    QLineEdit* boxes[] = {accountEdit, nameEdit, phoneEdit, mobileEdit, emailEdit, addressEdit, bankLast5Edit, noteEdit};
    for (size_t i = 0; i < 8; ++i) {
      boxes[i]->setText(GuestList::searchText(boxes[i]->text()));
      c.text[i] = boxes[i]->text();
    }
    c.sex = sexCombo->currentText();
    list_.customerList->setRowSource(GuestList::rowSource(db_.Guest, GuestFind::fieldSearch(db_.Guest, c), GuestList::allShown()));
    const int n = list_.customerList->rowCount();
    list_.statusBar->showMessage(QStringLiteral(" 共 %1 筆資料").arg(n));
    if (n == 0) {
      prompt_.message(QStringLiteral("沒有找到符合的客戶資料"), Prompt::Icon::Exclamation);
      return;
    }
    list_.customerList->setSelected(0, false);
    setFilterQuietly(list_, categoryCombo->currentIndex());
    accept();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void GuestSearch::onProductSearch() {
  try {
    if (productNameEdit->text().isEmpty()) return;
    productNameEdit->setText(GuestList::searchText(productNameEdit->text()));
    setFilterQuietly(list_, 0);
    GuestList::View view = GuestList::allShown();
    for (int i = 2; i <= 8; ++i) view[static_cast<size_t>(i)] = list_.columnActions[i]->isChecked();
    list_.customerList->setRowSource(GuestList::rowSource(db_.Guest, GuestFind::productSearch(db_, productNameEdit->text()), view));
    accept();
  } catch (const std::exception&) {
    prompt_.error();
  }
}
