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
  Option1 = new QRadioButton(QStringLiteral("清除所有已出貨的訂單"), this);
  Option2 = new QRadioButton(QStringLiteral("清除某段時間的已出貨訂單"), this);
  layout->addWidget(Option1);
  layout->addWidget(Option2);
  auto* dates = new QGridLayout;
  Text1 = new QLineEdit(this);
  Text2 = new QLineEdit(this);
  dates->addWidget(new QLabel(QStringLiteral("開始日"), this), 0, 0);
  dates->addWidget(Text1, 0, 1);
  dates->addWidget(new QLabel(QStringLiteral("結束日"), this), 1, 0);
  dates->addWidget(Text2, 1, 1);
  layout->addLayout(dates);
  auto* buttons = new QHBoxLayout;
  Command1 = new QPushButton(QStringLiteral("清除"), this);
  Command2 = new QPushButton(QStringLiteral("取消"), this);
  for (QPushButton* b : {Command1, Command2}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  Text1->setText(DateText::today());
  Text2->setText(Text1->text());
  Option1->setChecked(true);
  Text1->setEnabled(false);
  Text2->setEnabled(false);
  connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
    Text1->setEnabled(!on);
    Text2->setEnabled(!on);
  });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { reject(); });
}

void DelForm::Command1_Click() {
  QString from = Text1->text();
  QString to = Text2->text();
  const bool close = ClearShippedOrders::run(db_, prompt_, Option1->isChecked(), from, to);
  if (Option2->isChecked()) {
    Text1->setText(from);
    Text2->setText(to);
  }
  if (close) accept();
}
