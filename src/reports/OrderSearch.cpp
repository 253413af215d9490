#include "reports/OrderSearch.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <exception>

#include "models/OrderList.h"
#include "models/OrderListHost.h"
#include "platform/Prompt.h"
#include "platform/WindowTweaks.h"
#include "store/Database.h"

namespace {
const QString kDateHint = QStringLiteral("※日期格式必須像這樣 20040513");
}

OrderSearch::OrderSearch(Database& db, Prompt& prompt, OrderListHost& host, QWidget* parent)
    : QDialog(parent), db_(db), prompt_(prompt), host_(host) {
  setWindowTitle(QStringLiteral("進階搜尋"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);

  auto box = [this] {
    auto* e = new QLineEdit(this);
    e->setMinimumWidth(120);
    return e;
  };
  auto label = [this](const QString& text) { return new QLabel(text, this); };
  auto hint = [this](const QString& text) {
    auto* l = new QLabel(text, this);
    l->setStyleSheet(QStringLiteral("color: rgb(90, 90, 90);"));
    return l;
  };
  Text1 = box();
  Combo1 = new QComboBox(this);
  Combo1->setEditable(false);
  Text2 = box();
  Text5 = box();
  Text3 = box();
  Text7 = box();
  Text8 = box();
  Text6 = box();
  Text9 = box();
  Text4 = box();
  for (QLineEdit* d : {Text2, Text5, Text6, Text9, Text7, Text8}) d->setPlaceholderText(QStringLiteral("20040513"));
  Option1 = new QRadioButton(QStringLiteral("未出貨"), this);
  Option2 = new QRadioButton(QStringLiteral("已出貨"), this);
  Option3 = new QRadioButton(QStringLiteral("未匯款"), this);
  auto* group = new QButtonGroup(this);
  for (QRadioButton* o : {Option1, Option2, Option3}) group->addButton(o);
  Command1 = new QPushButton(QStringLiteral("搜尋"), this);
  Command2 = new QPushButton(QStringLiteral("取消"), this);
  Command1->setDefault(true);
  Command1->setAutoDefault(true);
  Command2->setAutoDefault(false);
  WindowTweaks::setDropDownHeight(Combo1, 300);

  auto* g = new QGridLayout;
  g->setHorizontalSpacing(6);
  g->setVerticalSpacing(6);
  int row = 0;
  auto range = [&](const QString& caption, QLineEdit* from, QLineEdit* to) {
    g->addWidget(label(caption), row, 0);
    g->addWidget(from, row, 1);
    g->addWidget(label(QStringLiteral("至")), row, 2, Qt::AlignCenter);
    g->addWidget(to, row, 3);
    ++row;
  };
  g->addWidget(label(QStringLiteral("訂單編號")), row, 0);
  g->addWidget(Text1, row, 1, 1, 3);
  ++row;
  g->addWidget(label(QStringLiteral("客戶分類")), row, 0);
  g->addWidget(Combo1, row, 1, 1, 3);
  ++row;
  range(QStringLiteral("日期"), Text2, Text5);
  g->addWidget(hint(kDateHint), row++, 1, 1, 3);
  g->addWidget(label(QStringLiteral("客戶帳號")), row, 0);
  g->addWidget(Text3, row, 1, 1, 3);
  ++row;
  range(QStringLiteral("匯款日"), Text7, Text8);
  range(QStringLiteral("出貨日"), Text6, Text9);
  g->addWidget(hint(kDateHint), row++, 1, 1, 3);
  g->addWidget(label(QStringLiteral("備註")), row, 0);
  g->addWidget(Text4, row, 1, 1, 3);
  ++row;
  auto* options = new QHBoxLayout;
  for (QRadioButton* o : {Option1, Option2, Option3}) options->addWidget(o);
  options->addStretch(1);
  g->addLayout(options, row++, 1, 1, 3);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(hint(QStringLiteral("※可以只輸入要找的項目")));
  buttons->addStretch(1);
  buttons->addWidget(Command1);
  buttons->addWidget(Command2);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(14, 14, 14, 12);
  outer->addLayout(g);
  outer->addSpacing(8);
  outer->addLayout(buttons);

  // Tab order follows the rows, the left box before the right one.
  QWidget* order[] = {Text1, Combo1, Text2, Text5, Text3, Text7, Text8, Text6, Text9, Text4,
                      Option1, Option2, Option3, Command1, Command2};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  fillCategories();
  setFixedSize(sizeHint());
}

void OrderSearch::open(Database& db, Prompt& prompt, OrderListHost& host, QWidget* parent, bool mainOption1,
                       bool mainOption2, const std::function<void(OrderSearch&)>& run) {
  OrderSearch dlg(db, prompt, host, parent);
  const int category = host.categoryFilterIndex();
  dlg.Combo1->setCurrentIndex(category >= 0 && category < dlg.Combo1->count() ? category : 0);
  dlg.Option1->setChecked(mainOption1 && !mainOption2);
  dlg.Option2->setChecked(mainOption2);
  if (run)
    run(dlg);
  else
    dlg.exec();
}

void OrderSearch::fillCategories() {
  Combo1->clear();
  Combo1->addItem(OrderList::AllText);
  Combo1->addItems(db_.settings.CustomerCategories);
  Combo1->addItem(QStringLiteral("未分類"));
}

AdvancedOrderSearch::Fields OrderSearch::fields() const {
  AdvancedOrderSearch::Fields f;
  f.orderNo = Text1->text();
  f.dateFrom = Text2->text();
  f.account = Text3->text();
  f.note = Text4->text();
  f.dateTo = Text5->text();
  f.shipDateFrom = Text6->text();
  f.payDateFrom = Text7->text();
  f.payDateTo = Text8->text();
  f.shipDateTo = Text9->text();
  f.category = Combo1->currentText();
  f.unshipped = Option1->isChecked();
  f.shipped = Option2->isChecked();
  f.unpaid = Option3->isChecked();
  return f;
}

void OrderSearch::setFields(const AdvancedOrderSearch::Fields& f) {
  const std::pair<QLineEdit*, const QString*> boxes[] = {
      {Text1, &f.orderNo},     {Text2, &f.dateFrom},  {Text3, &f.account},
      {Text4, &f.note},        {Text5, &f.dateTo},    {Text6, &f.shipDateFrom},
      {Text7, &f.payDateFrom}, {Text8, &f.payDateTo}, {Text9, &f.shipDateTo}};
  for (const auto& [e, t] : boxes)
    if (e->text() != *t) e->setText(*t);
}

void OrderSearch::Command1_Click() {
  try {
    AdvancedOrderSearch::Fields f = fields();
    AdvancedOrderSearch::prepare(f);
    setFields(f);
    const QString message = AdvancedOrderSearch::dateMessage(f);
    if (!message.isEmpty()) {
      prompt_.warn(message);
      return;
    }
    AdvancedOrderSearch::orderRanges(f);
    setFields(f);

    const bool username = host_.viewUsername();
    const std::vector<int> rows = AdvancedOrderSearch::find(db_, f, username);
    host_.showOrderList(OrderList::listOrders(db_, rows, username));

    host_.setCategoryFilterQuietly(Combo1->currentIndex());
    host_.setShippingOptionsQuietly(f.unshipped, f.shipped);
    accept();
    if (host_.unshippedOptionSelected())
      host_.CheckStockShortage();
    else
      host_.clearShortageList();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void OrderSearch::Command2_Click() { reject(); }
