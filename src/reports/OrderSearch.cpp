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
  orderNumberEdit = box();
  categoryCombo = new QComboBox(this);
  categoryCombo->setEditable(false);
  dateFromEdit = box();
  dateToEdit = box();
  customerEdit = box();
  paidFromEdit = box();
  paidToEdit = box();
  shippedFromEdit = box();
  shippedToEdit = box();
  noteEdit = box();
  for (QLineEdit* d : {dateFromEdit, dateToEdit, shippedFromEdit, shippedToEdit, paidFromEdit, paidToEdit})
    d->setPlaceholderText(QStringLiteral("20040513"));
  unshippedOption = new QRadioButton(QStringLiteral("未出貨"), this);
  shippedOption = new QRadioButton(QStringLiteral("已出貨"), this);
  unpaidOption = new QRadioButton(QStringLiteral("未匯款"), this);
  auto* group = new QButtonGroup(this);
  for (QRadioButton* o : {unshippedOption, shippedOption, unpaidOption}) group->addButton(o);
  searchButton = new QPushButton(QStringLiteral("搜尋"), this);
  cancelButton = new QPushButton(QStringLiteral("取消"), this);
  searchButton->setDefault(true);
  searchButton->setAutoDefault(true);
  cancelButton->setAutoDefault(false);
  WindowTweaks::setDropDownHeight(categoryCombo, 300);

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
  g->addWidget(orderNumberEdit, row, 1, 1, 3);
  ++row;
  g->addWidget(label(QStringLiteral("客戶分類")), row, 0);
  g->addWidget(categoryCombo, row, 1, 1, 3);
  ++row;
  range(QStringLiteral("日期"), dateFromEdit, dateToEdit);
  g->addWidget(hint(kDateHint), row++, 1, 1, 3);
  g->addWidget(label(QStringLiteral("客戶帳號")), row, 0);
  g->addWidget(customerEdit, row, 1, 1, 3);
  ++row;
  range(QStringLiteral("匯款日"), paidFromEdit, paidToEdit);
  range(QStringLiteral("出貨日"), shippedFromEdit, shippedToEdit);
  g->addWidget(hint(kDateHint), row++, 1, 1, 3);
  g->addWidget(label(QStringLiteral("備註")), row, 0);
  g->addWidget(noteEdit, row, 1, 1, 3);
  ++row;
  auto* options = new QHBoxLayout;
  for (QRadioButton* o : {unshippedOption, shippedOption, unpaidOption}) options->addWidget(o);
  options->addStretch(1);
  g->addLayout(options, row++, 1, 1, 3);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(hint(QStringLiteral("※可以只輸入要找的項目")));
  buttons->addStretch(1);
  buttons->addWidget(searchButton);
  buttons->addWidget(cancelButton);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(14, 14, 14, 12);
  outer->addLayout(g);
  outer->addSpacing(8);
  outer->addLayout(buttons);

  // Tab order follows the rows, the left box before the right one.
  QWidget* order[] = {orderNumberEdit, categoryCombo, dateFromEdit, dateToEdit, customerEdit,
                      paidFromEdit, paidToEdit, shippedFromEdit, shippedToEdit, noteEdit,
                      unshippedOption, shippedOption, unpaidOption, searchButton, cancelButton};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(searchButton, &QPushButton::clicked, this, [this] { onSearch(); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { onCancel(); });
  fillCategories();
  setFixedSize(sizeHint());
}

void OrderSearch::open(Database& db, Prompt& prompt, OrderListHost& host, QWidget* parent, bool mainUnshipped,
                       bool mainShipped, const std::function<void(OrderSearch&)>& run) {
  OrderSearch dlg(db, prompt, host, parent);
  const int category = host.categoryFilterIndex();
  dlg.categoryCombo->setCurrentIndex(category >= 0 && category < dlg.categoryCombo->count() ? category : 0);
  dlg.unshippedOption->setChecked(mainUnshipped && !mainShipped);
  dlg.shippedOption->setChecked(mainShipped);
  if (run)
    run(dlg);
  else
    dlg.exec();
}

void OrderSearch::fillCategories() {
  categoryCombo->clear();
  categoryCombo->addItem(OrderList::AllText);
  categoryCombo->addItems(db_.settings.CustomerCategories);
  categoryCombo->addItem(QStringLiteral("未分類"));
}

AdvancedOrderSearch::Fields OrderSearch::fields() const {
  AdvancedOrderSearch::Fields f;
  f.orderNo = orderNumberEdit->text();
  f.dateFrom = dateFromEdit->text();
  f.account = customerEdit->text();
  f.note = noteEdit->text();
  f.dateTo = dateToEdit->text();
  f.shipDateFrom = shippedFromEdit->text();
  f.payDateFrom = paidFromEdit->text();
  f.payDateTo = paidToEdit->text();
  f.shipDateTo = shippedToEdit->text();
  f.category = categoryCombo->currentText();
  f.unshipped = unshippedOption->isChecked();
  f.shipped = shippedOption->isChecked();
  f.unpaid = unpaidOption->isChecked();
  return f;
}

void OrderSearch::setFields(const AdvancedOrderSearch::Fields& f) {
  const std::pair<QLineEdit*, const QString*> boxes[] = {
      {orderNumberEdit, &f.orderNo}, {dateFromEdit, &f.dateFrom}, {customerEdit, &f.account},
      {noteEdit, &f.note},        {dateToEdit, &f.dateTo},   {shippedFromEdit, &f.shipDateFrom},
      {paidFromEdit, &f.payDateFrom},    {paidToEdit, &f.payDateTo},   {shippedToEdit, &f.shipDateTo}};
  for (const auto& [e, t] : boxes)
    if (e->text() != *t) e->setText(*t);
}

void OrderSearch::onSearch() {
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

    host_.setCategoryFilterQuietly(categoryCombo->currentIndex());
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

void OrderSearch::onCancel() { reject(); }
