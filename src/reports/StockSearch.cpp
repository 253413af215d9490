#include "reports/StockSearch.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <exception>

#include "platform/ListView.h"
#include "platform/Prompt.h"
#include "platform/WindowTweaks.h"
#include "reports/StockForm.h"
#include "store/Database.h"

StockSearch::StockSearch(Database& db, Prompt& prompt, StockForm& form)
    : QDialog(&form), db_(db), prompt_(prompt), form_(form) {
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
  Text4 = box();
  Text5 = box();
  Text2 = box();
  Combo1 = new QComboBox(this);
  Text3 = box();
  Text6 = box();
  for (QLineEdit* d : {Text4, Text5}) d->setPlaceholderText(QStringLiteral("20001010"));
  Option1 = new QRadioButton(QStringLiteral("未出貨"), this);
  Option2 = new QRadioButton(QStringLiteral("已出貨"), this);
  auto* group = new QButtonGroup(this);
  group->addButton(Option1);
  group->addButton(Option2);
  Check1 = new QCheckBox(QStringLiteral("保留上次搜尋的內容"), this);
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
  auto line = [&](const QString& caption, QWidget* w) {
    g->addWidget(label(caption), row, 0);
    g->addWidget(w, row, 1, 1, 3);
    ++row;
  };
  line(QStringLiteral("訂單編號"), Text1);
  g->addWidget(label(QStringLiteral("日期")), row, 0);
  g->addWidget(Text4, row, 1);
  g->addWidget(label(QStringLiteral("至")), row, 2, Qt::AlignCenter);
  g->addWidget(Text5, row, 3);
  ++row;
  g->addWidget(hint(QStringLiteral("※日期格式必須像這樣 20001010")), row++, 1, 1, 3);
  line(QStringLiteral("商品名稱"), Text2);
  line(QStringLiteral("商品分類"), Combo1);
  line(QStringLiteral("備註"), Text3);
  line(QStringLiteral("網址"), Text6);
  auto* options = new QHBoxLayout;
  options->addWidget(Option1);
  options->addWidget(Option2);
  options->addStretch(1);
  g->addLayout(options, row++, 1, 1, 3);
  g->addWidget(Check1, row++, 1, 1, 3);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Command1);
  buttons->addWidget(Command2);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(14, 14, 14, 12);
  outer->addLayout(g);
  outer->addSpacing(8);
  outer->addLayout(buttons);

  QWidget* order[] = {Text1, Text4, Text5, Text2, Combo1, Text3, Text6, Option1, Option2, Check1, Command1, Command2};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  setFixedSize(sizeHint());
}

StockList::SearchBoxes StockSearch::boxes() const {
  StockList::SearchBoxes b;
  b.orderNo = Text1->text();
  b.productName = Text2->text();
  b.lineNote = Text3->text();
  b.dateFrom = Text4->text();
  b.dateTo = Text5->text();
  b.lineUrl = Text6->text();
  b.category = Combo1->currentText();
  b.unshipped = Option1->isChecked();
  b.shipped = Option2->isChecked();
  return b;
}

void StockSearch::setBoxes(const StockList::SearchBoxes& b) {
  const std::pair<QLineEdit*, const QString*> all[] = {{Text1, &b.orderNo},  {Text2, &b.productName},
                                                       {Text3, &b.lineNote}, {Text4, &b.dateFrom},
                                                       {Text5, &b.dateTo},   {Text6, &b.lineUrl}};
  for (const auto& [e, t] : all)
    if (e->text() != *t) e->setText(*t);
}

void StockSearch::Command1_Click() {
  try {
    StockList::SearchBoxes b = boxes();
    StockList::prepare(b);
    setBoxes(b);
    const QString message = StockList::dateMessage(b);
    if (!message.isEmpty()) {
      prompt_.warn(message);
      return;
    }
    StockList::orderRange(b);
    setBoxes(b);

    const StockList::Listing l = StockList::StockSearch(db_, b);
    ListView* list = form_.Liv1;
    if (Check1->isChecked() && list->rowCount() > 0) {
      // The rows listed now, in their order, then the lines found.
      const StockList::ListedRows* shown = StockList::ListedRows::of(list->rowSource());
      std::vector<StockList::ListedLine> lines;
      lines.reserve(static_cast<size_t>(list->rowCount()) + l.rows.size());
      for (int r = 0; r < list->rowCount() && shown; ++r) {
        const int s = list->sourceRow(r);
        if (s < 0) shown = nullptr;
        else lines.push_back(shown->at(static_cast<size_t>(s)));
      }
      if (shown) {
        for (size_t i = 0; i < l.rows.size(); ++i) lines.push_back(l.rows.at(i));
        list->setRowSource(StockList::ListedRows(db_, std::move(lines)).source());
      } else {  // rows not made from the tables: kept as texts
        std::vector<QStringList> rows;
        rows.reserve(static_cast<size_t>(list->rowCount()) + l.rows.size());
        for (int r = 0; r < list->rowCount(); ++r) rows.push_back(list->rowTexts(r));
        for (const QStringList& r : l.rows) rows.push_back(r);
        list->setRows(std::move(rows));
      }
    } else {
      list->setRowSource(l.rows.source());
    }
    // The search writes its cost total whatever the window hides.
    form_.Status->setText(StockList::StockTotalsText(list->rowCount(), l.totals, form_.View_Money, true));

    form_.se = true;
    form_.Combo1->setCurrentIndex(Combo1->currentIndex());
    form_.setShippingOptions(b.unshipped, b.shipped);
    form_.se = false;
    accept();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void StockSearch::Command2_Click() { reject(); }
