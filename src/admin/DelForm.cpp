#include "admin/DelForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "admin/ClearShippedOrders.h"
#include "platform/Numbers.h"

DelForm::DelForm(Database& db, Prompt& prompt, QWidget* parent) : NoCloseDialog(parent), db_(db), prompt_(prompt) {
  setWindowTitle(QStringLiteral("清除已出貨訂單"));
  auto* layout = new QVBoxLayout(this);
  allShippedOption = new QRadioButton(QStringLiteral("清除所有已出貨的訂單"), this);
  dateRangeOption = new QRadioButton(QStringLiteral("清除某段時間的已出貨訂單"), this);
  layout->addWidget(allShippedOption);
  layout->addWidget(dateRangeOption);
  auto* dates = new QGridLayout;
  fromDateEdit = new QLineEdit(this);
  toDateEdit = new QLineEdit(this);
  dates->addWidget(new QLabel(QStringLiteral("開始日"), this), 0, 0);
  dates->addWidget(fromDateEdit, 0, 1);
  dates->addWidget(new QLabel(QStringLiteral("結束日"), this), 1, 0);
  dates->addWidget(toDateEdit, 1, 1);
  layout->addLayout(dates);
  auto* buttons = new QHBoxLayout;
  clearButton = new QPushButton(QStringLiteral("清除"), this);
  cancelButton = new QPushButton(QStringLiteral("取消"), this);
  for (QPushButton* b : {clearButton, cancelButton}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  fromDateEdit->setText(DateText::today());
  toDateEdit->setText(fromDateEdit->text());
  allShippedOption->setChecked(true);
  fromDateEdit->setEnabled(false);
  toDateEdit->setEnabled(false);
  connect(allShippedOption, &QRadioButton::toggled, this, [this](bool on) {
    fromDateEdit->setEnabled(!on);
    toDateEdit->setEnabled(!on);
  });
  connect(clearButton, &QPushButton::clicked, this, [this] { onClear(); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { reject(); });
}

void DelForm::onClear() {
  QString from = fromDateEdit->text();
  QString to = toDateEdit->text();
  const bool close = ClearShippedOrders::run(db_, prompt_, allShippedOption->isChecked(), from, to);
  if (dateRangeOption->isChecked()) {
    fromDateEdit->setText(from);
    toDateEdit->setText(to);
  }
  if (close) accept();
}
