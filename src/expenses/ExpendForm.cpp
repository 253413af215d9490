#include "expenses/ExpendForm.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <exception>

#include "admin/CateForm.h"
#include "admin/CategoryEdit.h"
#include "platform/ListView.h"
#include "platform/Numbers.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"
#include "printouts/ExportForm.h"
#include "store/Database.h"
#include "store/TextEntry.h"

namespace {

const QString kSection = QStringLiteral("ExpendForm");
const QColor kRed(255, 0, 0);

// Design sizes in twips: the client area, the smallest window, and the size
// stored for a window closed maximised or minimised.
constexpr int kDesignWidth = 12885;
constexpr int kDesignHeight = 8040;
constexpr int kMinWidth = 12780;
constexpr int kMinHeight = 5000;
constexpr int kStoredWidthNotNormal = 12150;
constexpr int kStoredHeightNotNormal = 8910;
constexpr int kColumnWidths[ExpendList::ColumnCount] = {1425, 1875, 3750, 1500, 2625, 0};

int px(int twips) { return WindowTweaks::pixelsFromTwips(twips); }

// A widget that lays out its children itself whenever it is resized.
class Body : public QWidget {
 public:
  using QWidget::QWidget;
  std::function<void()> onResize;

 protected:
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    if (onResize) onResize();
  }
};

}  // namespace

ExpendForm::ExpendForm(Database& db, Prompt& prompt, QWidget* parent)
    : QMainWindow(parent), db_(db), prompt_(prompt) {
  setWindowTitle(QStringLiteral("雜支費用"));
  setWindowFlag(Qt::Window);
  setObjectName(QStringLiteral("ExpendForm"));

  exportMenu = menuBar()->addMenu(QStringLiteral("匯出(&E)"));
  exportToNotepadAction = exportMenu->addAction(QStringLiteral("匯出到記事本(&N)"));
  toolsMenu = new QMenu(QStringLiteral("功能"), this);
  convertRateAction = toolsMenu->addAction(QStringLiteral("金額匯率轉換"));

  auto* body = new Body(this);
  body_ = body;
  setCentralWidget(body);

  auto button = [body](const char* caption, int left, int top) {
    auto* b = new QPushButton(QString::fromUtf8(caption), body);
    b->setAutoDefault(false);
    b->setGeometry(px(left), px(top), px(1095), px(375));
    return b;
  };
  auto edit = [body](int left, int top, int width) {
    auto* e = new QLineEdit(body);
    e->setGeometry(px(left), px(top), px(width), px(375));
    return e;
  };
  auto combo = [body](int left, int top, int width) {
    auto* c = new QComboBox(body);
    c->setEditable(false);
    c->setGeometry(px(left), px(top), px(width), px(375));
    return c;
  };
  auto label = [body](const char* caption, int left) {
    auto* l = new QLabel(QString::fromUtf8(caption), body);
    l->move(px(left), 0);
    l->adjustSize();
    return l;
  };

  searchEdit = edit(120, 120, 3615);
  searchButton = button("搜尋", 3840, 120);
  searchAllButton = button("全區搜尋", 5040, 120);
  yearEdit = edit(6600, 120, 855);
  periodCombo = combo(7560, 120, 975);
  periodCombo->addItems(ExpendList::periodEntries());
  periodCombo->setCurrentIndex(-1);
  categoryFilterCombo = combo(8640, 120, 2895);
  editCategoriesButton = button("編輯分類", 11640, 120);

  expenseList = new ListView(body);
  expenseList->setObjectName(QStringLiteral("expenseList"));
  expenseList->setColumns({QStringLiteral("日期"), QStringLiteral("分類"), QStringLiteral("明細"), QStringLiteral("金額"),
                           QStringLiteral("備註"), QStringLiteral("Index")});
  for (int c = 0; c < ExpendList::ColumnCount; ++c) expenseList->setColumnWidthTwips(c, kColumnWidths[c]);
  expenseList->setIndexColumn(ExpendList::Index);
  expenseList->setColumnAlignment(ExpendList::Amount, Qt::AlignRight | Qt::AlignVCenter);
  expenseList->setGeometry(px(120), px(600), px(12615), px(6015));

  dateLabel = label("日期", 120);
  categoryLabel = label("分類", 2760);
  detailLabel = label("明細", 6480);
  amountLabel = label("金額", 120);
  noteLabel = label("備註", 2760);
  dateEdit = edit(720, 6720, 1815);
  categoryCombo = combo(3360, 6720, 2895);
  detailEdit = edit(7080, 6720, 5655);
  amountEdit = edit(720, 7200, 1815);
  noteEdit = edit(3360, 7200, 5055);
  addButton = button("新增", 8520, 7200);
  editButton = button("編輯", 9600, 7200);
  deleteButton = button("刪除", 10680, 7200);
  closeButton = button("結束", 11760, 7200);
  for (QPushButton* b : {addButton, editButton, deleteButton, closeButton}) b->resize(px(975), px(375));

  statusBarWidget = statusBar();
  statusBarWidget->setSizeGripEnabled(true);
  status_ = new QLabel(statusBarWidget);
  statusBarWidget->addWidget(status_, 1);

  setMinimumSize(px(kMinWidth), px(kMinHeight));
  resize(px(kDesignWidth), px(kDesignHeight) + menuBar()->sizeHint().height() + statusBarWidget->sizeHint().height());
  body->onResize = [this] { Form_Resize(); };

  // Filters and searches.
  connect(categoryFilterCombo, &QComboBox::activated, this, [this](int) { onCategoryChosen(); });
  connect(periodCombo, &QComboBox::activated, this, [this](int) { onPeriodChosen(); });
  connect(editCategoriesButton, &QPushButton::clicked, this, [this] { onEditCategories(); });
  connect(searchButton, &QPushButton::clicked, this, [this] { onSearch(); });
  connect(searchEdit, &QLineEdit::returnPressed, this, [this] { onSearch(); });
  connect(searchAllButton, &QPushButton::clicked, this, [this] { onSearchAll(); });
  // Editing.
  connect(addButton, &QPushButton::clicked, this, [this] { onAdd(); });
  connect(editButton, &QPushButton::clicked, this, [this] { onEdit(); });
  connect(deleteButton, &QPushButton::clicked, this, [this] { onDelete(); });
  connect(closeButton, &QPushButton::clicked, this, [this] { onClose(); });
  connect(expenseList, &QAbstractItemView::clicked, this, [this](const QModelIndex&) { onExpenseClicked(); });
  connect(expenseList, &ListView::keyPressed, this, [this](int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Delete) onDelete();
  });
  connect(expenseList, &ListView::contextMenuAt, this, [this](const QPoint& at) { onListContextMenu(at); });
  // Menus.
  connect(convertRateAction, &QAction::triggered, this, [this] { onConvertRate(); });
  connect(exportToNotepadAction, &QAction::triggered, this, [this] { onExportToNotepad(); });

  runCategoryEditor = [this] { CateForm::edit(db_, prompt_, CategoryEdit::Kind::Expense, this); };

  Form_Load();
}

ExpendForm::~ExpendForm() = default;

// ---- opening, closing, layout ----------------------------------------------

void ExpendForm::Form_Load() {
  expenseList->setFlatHeader(true);
  WindowTweaks::setDropDownHeight(categoryFilterCombo, 300);
  WindowTweaks::setDropDownHeight(periodCombo, 300);
  WindowTweaks::applyFontSize(
      expenseList, statusBarWidget,
      static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::fitColumnsTo(expenseList, {{ExpendList::Date, WindowTweaks::kDateSample},
                                           {ExpendList::Amount, WindowTweaks::kAmountSample}});
  WindowTweaks::restoreColumnWidths(expenseList, kSection, 5);
  status_->setFont(statusBarWidget->font());
  WindowTweaks::restoreSize(this, kSection);
  WindowTweaks::restoreState(this, kSection);
}

void ExpendForm::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  WindowTweaks::saveColumnWidths(expenseList, kSection, 5);
  WindowTweaks::saveSize(this, kSection, QSize(kStoredWidthNotNormal, kStoredHeightNotNormal));
  WindowTweaks::saveState(this, kSection);
}

void ExpendForm::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

void ExpendForm::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) Form_Resize();
}

void ExpendForm::Form_Resize() {
  if (isMinimized() || !body_) return;
  const int W = body_->width();
  const int H = body_->height();
  const int m = px(120);
  expenseList->setGeometry(expenseList->x(), expenseList->y(), qMax(0, W - 2 * expenseList->x()),
                           qMax(0, H - (expenseList->y() + detailEdit->height() + closeButton->height() + 3 * m)));
  closeButton->move(W - (closeButton->width() + m), closeButton->y());
  deleteButton->move(closeButton->x() - (deleteButton->width() + m), deleteButton->y());
  editButton->move(deleteButton->x() - (editButton->width() + m), editButton->y());
  addButton->move(editButton->x() - (addButton->width() + m), addButton->y());
  const int bottomTop = H - (editButton->height() + m);
  for (QWidget* w :
       std::initializer_list<QWidget*>{addButton, editButton, deleteButton, closeButton, amountEdit, noteEdit})
    w->move(w->x(), bottomTop);
  const int upperTop = bottomTop - (detailEdit->height() + m);
  detailEdit->setGeometry(detailEdit->x(), upperTop, qMax(0, W - (detailEdit->x() + m)), detailEdit->height());
  for (QWidget* w : std::initializer_list<QWidget*>{dateEdit, categoryCombo}) w->move(w->x(), upperTop);
  // Labels sit level with the boxes beside them.
  for (QLabel* l : {dateLabel, categoryLabel, detailLabel})
    l->move(l->x(), upperTop + (detailEdit->height() - l->height()) / 2);
  for (QLabel* l : {amountLabel, noteLabel}) l->move(l->x(), bottomTop + (amountEdit->height() - l->height()) / 2);
  const int buttonsWidth = closeButton->x() + closeButton->width() - addButton->x();
  noteEdit->resize(qMax(0, W - (2 * m + noteEdit->x()) - buttonsWidth), noteEdit->height());
  editCategoriesButton->move(W - (editCategoriesButton->width() + m), editCategoriesButton->y());
  categoryFilterCombo->move(editCategoriesButton->x() - (categoryFilterCombo->width() + m), categoryFilterCombo->y());
  periodCombo->move(categoryFilterCombo->x() - (periodCombo->width() + m), periodCombo->y());
  yearEdit->move(periodCombo->x() - (yearEdit->width() + m), yearEdit->y());
}

void ExpendForm::fillCategoryBoxes() {
  const QSignalBlocker quietFilter(categoryFilterCombo);
  const QSignalBlocker quietCategory(categoryCombo);
  categoryFilterCombo->clear();
  categoryFilterCombo->addItems(ExpendList::filterEntries(db_));
  categoryFilterCombo->setCurrentIndex(-1);
  categoryCombo->clear();
  categoryCombo->addItems(ExpendList::categoryEntries(db_));
  categoryCombo->setCurrentIndex(-1);
}

void ExpendForm::openFromMain(const QString& year, int periodIndex) {
  fillCategoryBoxes();
  se = true;
  categoryFilterCombo->setCurrentIndex(0);
  onCategoryChosen();
  categoryCombo->setCurrentIndex(0);
  se = false;
  yearEdit->setText(year);
  {
    const QSignalBlocker quiet(periodCombo);
    periodCombo->setCurrentIndex(periodIndex);
  }
  // Choosing the period builds the list, also when the window was open on it.
  onPeriodChosen();
  dateEdit->setText(DateText::today());
}

// ---- the list ------------------------------------------------------------

ExpendList::Filter ExpendForm::filter() const {
  return ExpendList::Filter{categoryFilterCombo->currentText(), periodCombo->currentText(), yearEdit->text()};
}

void ExpendForm::showListing(const ExpendList::Listing& l) {
  expenseList->setRows(l.rows);
  expenseList->clearSelection();
  for (size_t i = 0; i < l.negative.size(); ++i)
    if (l.negative[i]) expenseList->setCellColor(static_cast<int>(i), ExpendList::Amount, kRed);
  status_->setText(l.status());
}

QString ExpendForm::statusText() const { return status_->text(); }

void ExpendForm::ExpendShow() {
  try {
    showListing(ExpendList::ExpendShow(db_.Expend, filter()));
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void ExpendForm::recount() {
  Decimal total;
  for (int r = 0; r < expenseList->rowCount(); ++r)
    total += Decimal::leading(expenseList->text(r, ExpendList::Amount));
  status_->setText(ExpendList::statusText(expenseList->rowCount(), total));
}

void ExpendForm::onCategoryChosen() {
  try {
    if (categoryFilterCombo->currentText() == ExpendList::EditCategoriesText) {
      editCategories();
      return;
    }
    if (!se) ExpendShow();
    const int position = categoryFilterCombo->currentIndex();
    if (position > 0) categoryCombo->setCurrentIndex(position - 1);
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void ExpendForm::onPeriodChosen() { ExpendShow(); }

void ExpendForm::onEditCategories() {
  try {
    editCategories();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void ExpendForm::editCategories() {
  if (runCategoryEditor) runCategoryEditor();
  fillCategoryBoxes();
  categoryFilterCombo->setCurrentIndex(0);
  onCategoryChosen();
  categoryCombo->setCurrentIndex(0);
}

void ExpendForm::onClose() { close(); }

// ---- searches ------------------------------------------------------------

void ExpendForm::search(bool whole) {
  const QString text = searchEdit->text();
  if (text.isEmpty()) return;
  try {
    showListing(ExpendList::Search(db_.Expend, filter(), text, whole));
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void ExpendForm::onSearch() { search(false); }
void ExpendForm::onSearchAll() { search(true); }

// ---- editing -------------------------------------------------------------

int ExpendForm::selectedRow() const {
  const std::vector<int> rows = expenseList->selectedRows();
  return rows.empty() ? -1 : rows.front();
}

ExpendList::Boxes ExpendForm::boxes() const {
  return {dateEdit->text(), categoryCombo->currentText(), detailEdit->text(), amountEdit->text(), noteEdit->text()};
}

void ExpendForm::setBoxes(const ExpendList::Boxes& b) {
  dateEdit->setText(b.date);
  const int i = categoryCombo->findText(b.category, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (i >= 0) categoryCombo->setCurrentIndex(i);
  detailEdit->setText(b.detail);
  amountEdit->setText(b.amount);
  noteEdit->setText(b.note);
}

void ExpendForm::onExpenseClicked() {
  const int row = selectedRow();
  if (expenseList->rowCount() == 0 || row < 0) return;
  const QStringList cells = expenseList->rowTexts(row);
  setBoxes({cells[ExpendList::Date], cells[ExpendList::Category], cells[ExpendList::Detail],
            cells[ExpendList::Amount], cells[ExpendList::Note]});
}

bool ExpendForm::validBoxes(ExpendList::Boxes* b) {
  *b = boxes();
  if (!TextEntry::acceptable(prompt_, {{dateLabel->text(), b->date},
                                       {detailLabel->text(), b->detail},
                                       {amountLabel->text(), b->amount},
                                       {noteLabel->text(), b->note}}))
    return false;
  switch (ExpendList::validate(*b)) {
    case ExpendList::Check::EmptyDate:
      prompt_.warn(ExpendList::EmptyDateText);
      return false;
    case ExpendList::Check::BadDate:
      prompt_.warn(ExpendList::BadDateText);
      return false;
    case ExpendList::Check::Ok:
      break;
  }
  dateEdit->setText(b->date);
  detailEdit->setText(b->detail);
  amountEdit->setText(b->amount);
  noteEdit->setText(b->note);
  return true;
}

void ExpendForm::changed() {
  if (onExpensesChanged) onExpensesChanged();
}

void ExpendForm::onAdd() {
  try {
    ExpendList::Boxes b;
    if (!validBoxes(&b)) return;
    const int row = ExpendList::add(db_, b);

    // The filters move to the new row: its period, then its category.
    const ExpendList::PeriodSwitch p =
        ExpendList::periodAfterAdd(periodCombo->currentText(), yearEdit->text(), b.date);
    if (p.change) {
      yearEdit->setText(p.year);
      const QSignalBlocker quiet(periodCombo);
      periodCombo->setCurrentIndex(p.periodIndex);
    }
    const QString category = ExpendList::rowCells(b)[ExpendList::Category];
    if (categoryFilterCombo->currentText() != ExpendList::AllText && categoryFilterCombo->currentText() != category) {
      const int i = categoryFilterCombo->findText(category, Qt::MatchExactly | Qt::MatchCaseSensitive);
      if (i > 0) {
        se = true;
        categoryFilterCombo->setCurrentIndex(i);
        onCategoryChosen();
        se = false;
      }
    }
    ExpendShow();

    for (int r = 0; r < expenseList->rowCount(); ++r) {
      if (expenseList->tableIndex(r) == row) {
        expenseList->setCurrentRow(r);
        break;
      }
    }
    expenseList->setFocus();
    changed();
  } catch (const std::exception&) {
    se = false;
    prompt_.error();
  }
}

void ExpendForm::showAmount(int row, const QString& amount) {
  expenseList->setText(row, ExpendList::Amount, amount);
  expenseList->setCellColor(row, ExpendList::Amount, Decimal::leading(amount).isNegative() ? kRed : QColor());
}

void ExpendForm::onEdit() {
  try {
    if (expenseList->rowCount() == 0) return;
    const int row = selectedRow();
    if (row < 0) return;
    ExpendList::Boxes b;
    if (!validBoxes(&b)) return;
    const int n = expenseList->tableIndex(row);
    if (!ExpendList::edit(db_, n, b)) {
      prompt_.error();
      return;
    }
    const QStringList cells = ExpendList::rowCells(b);
    for (int c = ExpendList::Date; c <= ExpendList::Note; ++c) expenseList->setText(row, c, cells[c]);
    showAmount(row, cells[ExpendList::Amount]);
    // The row keeps the list's date order: after the rows dated up to its date.
    int place = 0;
    for (int r = 0; r < expenseList->rowCount(); ++r)
      if (r != row &&
          QString::compare(expenseList->text(r, ExpendList::Date), cells[ExpendList::Date], Qt::CaseInsensitive) <= 0)
        ++place;
    if (place != row) expenseList->moveRow(row, place);
    expenseList->setCurrentRow(place);
    recount();
    changed();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void ExpendForm::onDelete() {
  try {
    if (expenseList->rowCount() == 0) return;
    const int row = selectedRow();
    if (row < 0) return;
    if (!ExpendList::remove(db_, expenseList->tableIndex(row))) {
      prompt_.error();
      return;
    }
    ExpendShow();
    changed();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

// ---- tools ----------------------------------------------------------------

void ExpendForm::onListContextMenu(const QPoint& globalPos) {
  convertRateAction->setEnabled(expenseList->rowCount() > 0);
  toolsMenu->popup(globalPos);
}

void ExpendForm::onConvertRate() {
  try {
    const int row = selectedRow();
    if (expenseList->rowCount() == 0 || row < 0) return;
    const QString preset = SettingsStore::get(kSection, QStringLiteral("Rate"), QStringLiteral("30"));
    const QString answer = prompt_
                               .input(QStringLiteral("請輸入匯率數字，換算結果等於金額x匯率"),
                                      QStringLiteral("匯率轉換"), preset)
                               .value_or(QString());
    if (answer.isEmpty()) return;
    if (!TextEntry::acceptable(prompt_, {{QStringLiteral("匯率"), answer}})) return;
    const ExpendList::Conversion c =
        ExpendList::convert(answer, expenseList->text(row, ExpendList::Amount), db_.moneyDigits());
    if (c.outcome == ExpendList::Conversion::Outcome::NoRate) return;
    const int n = expenseList->tableIndex(row);
    if (c.outcome == ExpendList::Conversion::Outcome::Overflow || n < 1 || n > db_.Expend.count()) {
      prompt_.error();
      return;
    }
    const QString amount = Num::format(c.amount);
    showAmount(row, amount);
    db_.Expend.setCell(n, ExpendCell::ExpendAmount, amount);
    db_.setDirty(true);
    db_.ExpendDirty = true;
    SettingsStore::set(kSection, QStringLiteral("Rate"), Num::format(c.rate));
    recount();
    changed();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void ExpendForm::onExportToNotepad() {
  std::vector<ExportOffer> offers;
  try {
    offers = ExportForm::listOffers(*expenseList, {0, 1, 2, 3, 4});
  } catch (const std::exception&) {
    prompt_.error();
    return;
  }
  ExportForm::run(db_, prompt_, this, 9, kSection, *expenseList, offers);
}
