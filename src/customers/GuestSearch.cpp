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
  Text1 = line();
  Combo1 = new QComboBox(this);
  Combo1->setEditable(false);
  WindowTweaks::setDropDownHeight(Combo1, 300);
  Text2 = line();
  Combo2 = new QComboBox(this);
  Combo2->setEditable(true);
  Combo2->setInsertPolicy(QComboBox::NoInsert);
  Combo2->addItems({QStringLiteral("男"), QStringLiteral("女")});
  Combo2->setCurrentIndex(-1);
  Combo2->setEditText(QString());
  Text3 = line();
  Text4 = line();
  Text5 = line();
  Text6 = line();
  Text7 = line();
  Text8 = line();
  Text9 = line();
  Command1 = new QPushButton(QStringLiteral("搜尋"), this);
  Command3 = new QPushButton(QStringLiteral("搜尋"), this);
  Command1->setDefault(true);
  Command3->setAutoDefault(false);

  auto* grid = new QGridLayout;
  int row = 0;
  const auto add = [&](const char* caption, QWidget* w) {
    grid->addWidget(new QLabel(QString::fromUtf8(caption), this), row, 0);
    grid->addWidget(w, row++, 1);
  };
  add("客戶帳號", Text1);
  add("客戶分類", Combo1);
  add("姓名", Text2);
  add("性別", Combo2);
  add("電話", Text3);
  add("手機", Text4);
  add("Email", Text5);
  add("住址", Text6);
  add("帳號末5碼", Text7);
  add("備註", Text8);
  grid->setColumnStretch(1, 1);

  auto* hint = new QHBoxLayout;
  hint->addWidget(new QLabel(QStringLiteral("※可以只輸入要找的項目"), this), 1);
  hint->addWidget(Command1);
  auto* rule = new QFrame(this);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  auto* product = new QHBoxLayout;
  product->addWidget(Text9, 1);
  product->addWidget(Command3);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(hint);
  layout->addWidget(rule);
  layout->addWidget(new QLabel(QStringLiteral("以商品名稱搜尋客戶資料"), this));
  layout->addLayout(product);
  resize(380, sizeHint().height());

  Combo1->addItem(QStringLiteral("全部"));
  Combo1->addItems(db_.settings.CustomerCategories);
  Combo1->addItem(QStringLiteral("未分類"));
  const int shown = list_.categoryCombo->currentIndex();
  Combo1->setCurrentIndex(shown >= 0 && shown < Combo1->count() ? shown : -1);

  connect(Command1, &QPushButton::clicked, this, &GuestSearch::Command1_Click);
  connect(Command3, &QPushButton::clicked, this, &GuestSearch::Command3_Click);
}

GuestSearch::~GuestSearch() = default;

void GuestSearch::Command1_Click() {
  try {
    GuestFind::Conditions c;
    c.category = Combo1->currentText();
    QLineEdit* boxes[] = {Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8};
    for (size_t i = 0; i < 8; ++i) {
      boxes[i]->setText(GuestList::searchText(boxes[i]->text()));
      c.text[i] = boxes[i]->text();
    }
    c.sex = Combo2->currentText();
    list_.customerList->setRowSource(GuestList::rowSource(db_.Guest, GuestFind::fieldSearch(db_.Guest, c), GuestList::allShown()));
    const int n = list_.customerList->rowCount();
    list_.statusBar->showMessage(QStringLiteral(" 共 %1 筆資料").arg(n));
    if (n == 0) {
      prompt_.message(QStringLiteral("沒有找到符合的客戶資料"), Prompt::Icon::Exclamation);
      return;
    }
    list_.customerList->setSelected(0, false);
    setFilterQuietly(list_, Combo1->currentIndex());
    accept();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void GuestSearch::Command3_Click() {
  try {
    if (Text9->text().isEmpty()) return;
    Text9->setText(GuestList::searchText(Text9->text()));
    setFilterQuietly(list_, 0);
    GuestList::View view = GuestList::allShown();
    for (int i = 2; i <= 8; ++i) view[static_cast<size_t>(i)] = list_.columnActions[i]->isChecked();
    list_.customerList->setRowSource(GuestList::rowSource(db_.Guest, GuestFind::productSearch(db_, Text9->text()), view));
    accept();
  } catch (const std::exception&) {
    prompt_.error();
  }
}
