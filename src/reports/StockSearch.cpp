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
  orderNumberEdit = box();
  dateFromEdit = box();
  dateToEdit = box();
  productNameEdit = box();
  categoryCombo = new QComboBox(this);
  noteEdit = box();
  urlEdit = box();
  for (QLineEdit* d : {dateFromEdit, dateToEdit}) d->setPlaceholderText(QStringLiteral("20001010"));
  unshippedOption = new QRadioButton(QStringLiteral("未出貨"), this);
  shippedOption = new QRadioButton(QStringLiteral("已出貨"), this);
  auto* group = new QButtonGroup(this);
  group->addButton(unshippedOption);
  group->addButton(shippedOption);
  keepResultsCheck = new QCheckBox(QStringLiteral("保留上次搜尋的內容"), this);
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
  auto line = [&](const QString& caption, QWidget* w) {
    g->addWidget(label(caption), row, 0);
    g->addWidget(w, row, 1, 1, 3);
    ++row;
  };
  line(QStringLiteral("訂單編號"), orderNumberEdit);
  g->addWidget(label(QStringLiteral("日期")), row, 0);
  g->addWidget(dateFromEdit, row, 1);
  g->addWidget(label(QStringLiteral("至")), row, 2, Qt::AlignCenter);
  g->addWidget(dateToEdit, row, 3);
  ++row;
  g->addWidget(hint(QStringLiteral("※日期格式必須像這樣 20001010")), row++, 1, 1, 3);
  line(QStringLiteral("商品名稱"), productNameEdit);
  line(QStringLiteral("商品分類"), categoryCombo);
  line(QStringLiteral("備註"), noteEdit);
  line(QStringLiteral("網址"), urlEdit);
  auto* options = new QHBoxLayout;
  options->addWidget(unshippedOption);
  options->addWidget(shippedOption);
  options->addStretch(1);
  g->addLayout(options, row++, 1, 1, 3);
  g->addWidget(keepResultsCheck, row++, 1, 1, 3);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(searchButton);
  buttons->addWidget(cancelButton);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(14, 14, 14, 12);
  outer->addLayout(g);
  outer->addSpacing(8);
  outer->addLayout(buttons);

  QWidget* order[] = {orderNumberEdit, dateFromEdit, dateToEdit, productNameEdit, categoryCombo, noteEdit,
                      urlEdit, unshippedOption, shippedOption, keepResultsCheck, searchButton, cancelButton};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(searchButton, &QPushButton::clicked, this, [this] { onSearch(); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { onCancel(); });
  setFixedSize(sizeHint());
}

StockList::SearchBoxes StockSearch::boxes() const {
  StockList::SearchBoxes b;
  b.orderNo = orderNumberEdit->text();
  b.productName = productNameEdit->text();
  b.lineNote = noteEdit->text();
  b.dateFrom = dateFromEdit->text();
  b.dateTo = dateToEdit->text();
  b.lineUrl = urlEdit->text();
  b.category = categoryCombo->currentText();
  b.unshipped = unshippedOption->isChecked();
  b.shipped = shippedOption->isChecked();
  return b;
}

void StockSearch::setBoxes(const StockList::SearchBoxes& b) {
  const std::pair<QLineEdit*, const QString*> all[] = {
      {orderNumberEdit, &b.orderNo}, {productNameEdit, &b.productName}, {noteEdit, &b.lineNote},
      {dateFromEdit, &b.dateFrom},    {dateToEdit, &b.dateTo},      {urlEdit, &b.lineUrl}};
  for (const auto& [e, t] : all)
    if (e->text() != *t) e->setText(*t);
}

void StockSearch::onSearch() {
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
    ListView* list = form_.lineList;
    if (keepResultsCheck->isChecked() && list->rowCount() > 0) {
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
    form_.statusLabel->setText(StockList::StockTotalsText(list->rowCount(), l.totals, form_.View_Money, true));

    form_.se = true;
    form_.productCategoryCombo->setCurrentIndex(categoryCombo->currentIndex());
    form_.setShippingOptions(b.unshipped, b.shipped);
    form_.se = false;
    accept();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void StockSearch::onCancel() { reject(); }
