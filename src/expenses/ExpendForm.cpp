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

  Menu_Sel = menuBar()->addMenu(QStringLiteral("匯出(&E)"));
  Sel_Note = Menu_Sel->addAction(QStringLiteral("匯出到記事本(&N)"));
  Menu_Tools = new QMenu(QStringLiteral("功能"), this);
  Tools_Rate = Menu_Tools->addAction(QStringLiteral("金額匯率轉換"));

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

  Text2 = edit(120, 120, 3615);
  Command1 = button("搜尋", 3840, 120);
  Command5 = button("全區搜尋", 5040, 120);
  Text1 = edit(6600, 120, 855);
  Combo2 = combo(7560, 120, 975);
  Combo2->addItems(ExpendList::periodEntries());
  Combo2->setCurrentIndex(-1);
  Combo1 = combo(8640, 120, 2895);
  Command7 = button("編輯分類", 11640, 120);

  Liv1 = new ListView(body);
  Liv1->setObjectName(QStringLiteral("Liv1"));
  Liv1->setColumns({QStringLiteral("日期"), QStringLiteral("分類"), QStringLiteral("明細"), QStringLiteral("金額"),
                    QStringLiteral("備註"), QStringLiteral("Index")});
  for (int c = 0; c < ExpendList::ColumnCount; ++c) Liv1->setColumnWidthTwips(c, kColumnWidths[c]);
  Liv1->setIndexColumn(ExpendList::Index);
  Liv1->setColumnAlignment(ExpendList::Amount, Qt::AlignRight | Qt::AlignVCenter);
  Liv1->setGeometry(px(120), px(600), px(12615), px(6015));

  Label1 = label("日期", 120);
  Label2 = label("分類", 2760);
  Label3 = label("明細", 6480);
  Label4 = label("金額", 120);
  Label5 = label("備註", 2760);
  Text3 = edit(720, 6720, 1815);
  Combo3 = combo(3360, 6720, 2895);
  Text4 = edit(7080, 6720, 5655);
  Text5 = edit(720, 7200, 1815);
  Text6 = edit(3360, 7200, 5055);
  Command2 = button("新增", 8520, 7200);
  Command3 = button("編輯", 9600, 7200);
  Command4 = button("刪除", 10680, 7200);
  Command6 = button("結束", 11760, 7200);
  for (QPushButton* b : {Command2, Command3, Command4, Command6}) b->resize(px(975), px(375));

  StatusBar1 = statusBar();
  StatusBar1->setSizeGripEnabled(true);
  status_ = new QLabel(StatusBar1);
  StatusBar1->addWidget(status_, 1);

  setMinimumSize(px(kMinWidth), px(kMinHeight));
  resize(px(kDesignWidth), px(kDesignHeight) + menuBar()->sizeHint().height() + StatusBar1->sizeHint().height());
  body->onResize = [this] { Form_Resize(); };

  // Filters and searches.
  connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
  connect(Combo2, &QComboBox::activated, this, [this](int) { Combo2_Click(); });
  connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Text2, &QLineEdit::returnPressed, this, [this] { Command1_Click(); });
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
  // Editing.
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
  connect(Liv1, &QAbstractItemView::clicked, this, [this](const QModelIndex&) { Liv1_Click(); });
  connect(Liv1, &ListView::keyPressed, this, [this](int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Delete) Command4_Click();
  });
  connect(Liv1, &ListView::contextMenuAt, this, [this](const QPoint& at) { Liv1_MouseUp(at); });
  // Menus.
  connect(Tools_Rate, &QAction::triggered, this, [this] { Tools_Rate_Click(); });
  connect(Sel_Note, &QAction::triggered, this, [this] { Sel_Note_Click(); });

  runCategoryEditor = [this] { CateForm::edit(db_, prompt_, CategoryEdit::Kind::Expense, this); };

  Form_Load();
}

ExpendForm::~ExpendForm() = default;

// ---- opening, closing, layout ----------------------------------------------

void ExpendForm::Form_Load() {
  Liv1->setFlatHeader(true);
  WindowTweaks::setDropDownHeight(Combo1, 300);
  WindowTweaks::setDropDownHeight(Combo2, 300);
  WindowTweaks::applyFontSize(
      Liv1, StatusBar1,
      static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::fitColumnsTo(Liv1, {{ExpendList::Date, WindowTweaks::kDateSample},
                                    {ExpendList::Amount, WindowTweaks::kAmountSample}});
  WindowTweaks::restoreColumnWidths(Liv1, kSection, 5);
  status_->setFont(StatusBar1->font());
  WindowTweaks::restoreSize(this, kSection);
  WindowTweaks::restoreState(this, kSection);
}

void ExpendForm::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  WindowTweaks::saveColumnWidths(Liv1, kSection, 5);
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
  Liv1->setGeometry(Liv1->x(), Liv1->y(), qMax(0, W - 2 * Liv1->x()),
                    qMax(0, H - (Liv1->y() + Text4->height() + Command6->height() + 3 * m)));
  Command6->move(W - (Command6->width() + m), Command6->y());
  Command4->move(Command6->x() - (Command4->width() + m), Command4->y());
  Command3->move(Command4->x() - (Command3->width() + m), Command3->y());
  Command2->move(Command3->x() - (Command2->width() + m), Command2->y());
  const int bottomTop = H - (Command3->height() + m);
  for (QWidget* w : std::initializer_list<QWidget*>{Command2, Command3, Command4, Command6, Text5, Text6})
    w->move(w->x(), bottomTop);
  const int upperTop = bottomTop - (Text4->height() + m);
  Text4->setGeometry(Text4->x(), upperTop, qMax(0, W - (Text4->x() + m)), Text4->height());
  for (QWidget* w : std::initializer_list<QWidget*>{Text3, Combo3}) w->move(w->x(), upperTop);
  // Labels sit level with the boxes beside them.
  for (QLabel* l : {Label1, Label2, Label3}) l->move(l->x(), upperTop + (Text4->height() - l->height()) / 2);
  for (QLabel* l : {Label4, Label5}) l->move(l->x(), bottomTop + (Text5->height() - l->height()) / 2);
  const int buttonsWidth = Command6->x() + Command6->width() - Command2->x();
  Text6->resize(qMax(0, W - (2 * m + Text6->x()) - buttonsWidth), Text6->height());
  Command7->move(W - (Command7->width() + m), Command7->y());
  Combo1->move(Command7->x() - (Combo1->width() + m), Combo1->y());
  Combo2->move(Combo1->x() - (Combo2->width() + m), Combo2->y());
  Text1->move(Combo2->x() - (Text1->width() + m), Text1->y());
}

void ExpendForm::fillCategoryBoxes() {
  const QSignalBlocker quiet1(Combo1);
  const QSignalBlocker quiet3(Combo3);
  Combo1->clear();
  Combo1->addItems(ExpendList::filterEntries(db_));
  Combo1->setCurrentIndex(-1);
  Combo3->clear();
  Combo3->addItems(ExpendList::categoryEntries(db_));
  Combo3->setCurrentIndex(-1);
}

void ExpendForm::openFromMain(const QString& year, int periodIndex) {
  fillCategoryBoxes();
  se = true;
  Combo1->setCurrentIndex(0);
  Combo1_Click();
  Combo3->setCurrentIndex(0);
  se = false;
  Text1->setText(year);
  {
    const QSignalBlocker quiet(Combo2);
    Combo2->setCurrentIndex(periodIndex);
  }
  // Choosing the period builds the list, also when the window was open on it.
  Combo2_Click();
  Text3->setText(DateText::today());
}

// ---- the list ------------------------------------------------------------

ExpendList::Filter ExpendForm::filter() const {
  return ExpendList::Filter{Combo1->currentText(), Combo2->currentText(), Text1->text()};
}

void ExpendForm::showListing(const ExpendList::Listing& l) {
  Liv1->setRows(l.rows);
  Liv1->clearSelection();
  for (size_t i = 0; i < l.negative.size(); ++i)
    if (l.negative[i]) Liv1->setCellColor(static_cast<int>(i), ExpendList::Amount, kRed);
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
  for (int r = 0; r < Liv1->rowCount(); ++r) total += Decimal::leading(Liv1->text(r, ExpendList::Amount));
  status_->setText(ExpendList::statusText(Liv1->rowCount(), total));
}

void ExpendForm::Combo1_Click() {
  try {
    if (Combo1->currentText() == ExpendList::EditCategoriesText) {
      editCategories();
      return;
    }
    if (!se) ExpendShow();
    const int position = Combo1->currentIndex();
    if (position > 0) Combo3->setCurrentIndex(position - 1);
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void ExpendForm::Combo2_Click() { ExpendShow(); }

void ExpendForm::Command7_Click() {
  try {
    editCategories();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void ExpendForm::editCategories() {
  if (runCategoryEditor) runCategoryEditor();
  fillCategoryBoxes();
  Combo1->setCurrentIndex(0);
  Combo1_Click();
  Combo3->setCurrentIndex(0);
}

void ExpendForm::Command6_Click() { close(); }

// ---- searches ------------------------------------------------------------

void ExpendForm::search(bool whole) {
  const QString text = Text2->text();
  if (text.isEmpty()) return;
  try {
    showListing(ExpendList::Search(db_.Expend, filter(), text, whole));
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void ExpendForm::Command1_Click() { search(false); }
void ExpendForm::Command5_Click() { search(true); }

// ---- editing -------------------------------------------------------------

int ExpendForm::selectedRow() const {
  const std::vector<int> rows = Liv1->selectedRows();
  return rows.empty() ? -1 : rows.front();
}

ExpendList::Boxes ExpendForm::boxes() const {
  return {Text3->text(), Combo3->currentText(), Text4->text(), Text5->text(), Text6->text()};
}

void ExpendForm::setBoxes(const ExpendList::Boxes& b) {
  Text3->setText(b.date);
  const int i = Combo3->findText(b.category, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (i >= 0) Combo3->setCurrentIndex(i);
  Text4->setText(b.detail);
  Text5->setText(b.amount);
  Text6->setText(b.note);
}

void ExpendForm::Liv1_Click() {
  const int row = selectedRow();
  if (Liv1->rowCount() == 0 || row < 0) return;
  const QStringList cells = Liv1->rowTexts(row);
  setBoxes({cells[ExpendList::Date], cells[ExpendList::Category], cells[ExpendList::Detail],
            cells[ExpendList::Amount], cells[ExpendList::Note]});
}

bool ExpendForm::validBoxes(ExpendList::Boxes* b) {
  *b = boxes();
  if (!TextEntry::acceptable(prompt_, {{Label1->text(), b->date},
                                       {Label3->text(), b->detail},
                                       {Label4->text(), b->amount},
                                       {Label5->text(), b->note}}))
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
  Text3->setText(b->date);
  Text4->setText(b->detail);
  Text5->setText(b->amount);
  Text6->setText(b->note);
  return true;
}

void ExpendForm::changed() {
  if (onExpensesChanged) onExpensesChanged();
}

void ExpendForm::Command2_Click() {
  try {
    ExpendList::Boxes b;
    if (!validBoxes(&b)) return;
    const int row = ExpendList::add(db_, b);

    // The filters move to the new row: its period, then its category.
    const ExpendList::PeriodSwitch p = ExpendList::periodAfterAdd(Combo2->currentText(), Text1->text(), b.date);
    if (p.change) {
      Text1->setText(p.year);
      const QSignalBlocker quiet(Combo2);
      Combo2->setCurrentIndex(p.periodIndex);
    }
    const QString category = ExpendList::rowCells(b)[ExpendList::Category];
    if (Combo1->currentText() != ExpendList::AllText && Combo1->currentText() != category) {
      const int i = Combo1->findText(category, Qt::MatchExactly | Qt::MatchCaseSensitive);
      if (i > 0) {
        se = true;
        Combo1->setCurrentIndex(i);
        Combo1_Click();
        se = false;
      }
    }
    ExpendShow();

    for (int r = 0; r < Liv1->rowCount(); ++r) {
      if (Liv1->tableIndex(r) == row) {
        Liv1->setCurrentRow(r);
        break;
      }
    }
    Liv1->setFocus();
    changed();
  } catch (const std::exception&) {
    se = false;
    prompt_.error();
  }
}

void ExpendForm::showAmount(int row, const QString& amount) {
  Liv1->setText(row, ExpendList::Amount, amount);
  Liv1->setCellColor(row, ExpendList::Amount, Decimal::leading(amount).isNegative() ? kRed : QColor());
}

void ExpendForm::Command3_Click() {
  try {
    if (Liv1->rowCount() == 0) return;
    const int row = selectedRow();
    if (row < 0) return;
    ExpendList::Boxes b;
    if (!validBoxes(&b)) return;
    const int n = Liv1->tableIndex(row);
    if (!ExpendList::edit(db_, n, b)) {
      prompt_.error();
      return;
    }
    const QStringList cells = ExpendList::rowCells(b);
    for (int c = ExpendList::Date; c <= ExpendList::Note; ++c) Liv1->setText(row, c, cells[c]);
    showAmount(row, cells[ExpendList::Amount]);
    // The row keeps the list's date order: after the rows dated up to its date.
    int place = 0;
    for (int r = 0; r < Liv1->rowCount(); ++r)
      if (r != row && QString::compare(Liv1->text(r, ExpendList::Date), cells[ExpendList::Date], Qt::CaseInsensitive) <= 0)
        ++place;
    if (place != row) Liv1->moveRow(row, place);
    Liv1->setCurrentRow(place);
    recount();
    changed();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void ExpendForm::Command4_Click() {
  try {
    if (Liv1->rowCount() == 0) return;
    const int row = selectedRow();
    if (row < 0) return;
    if (!ExpendList::remove(db_, Liv1->tableIndex(row))) {
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

void ExpendForm::Liv1_MouseUp(const QPoint& globalPos) {
  Tools_Rate->setEnabled(Liv1->rowCount() > 0);
  Menu_Tools->popup(globalPos);
}

void ExpendForm::Tools_Rate_Click() {
  try {
    const int row = selectedRow();
    if (Liv1->rowCount() == 0 || row < 0) return;
    const QString preset = SettingsStore::get(kSection, QStringLiteral("Rate"), QStringLiteral("30"));
    const QString answer = prompt_
                               .input(QStringLiteral("請輸入匯率數字，換算結果等於金額x匯率"),
                                      QStringLiteral("匯率轉換"), preset)
                               .value_or(QString());
    if (answer.isEmpty()) return;
    if (!TextEntry::acceptable(prompt_, {{QStringLiteral("匯率"), answer}})) return;
    const ExpendList::Conversion c =
        ExpendList::convert(answer, Liv1->text(row, ExpendList::Amount), db_.moneyDigits());
    if (c.outcome == ExpendList::Conversion::Outcome::NoRate) return;
    const int n = Liv1->tableIndex(row);
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

void ExpendForm::Sel_Note_Click() {
  std::vector<ExportOffer> offers;
  try {
    offers = ExportForm::listOffers(*Liv1, {0, 1, 2, 3, 4});
  } catch (const std::exception&) {
    prompt_.error();
    return;
  }
  ExportForm::run(db_, prompt_, this, 9, kSection, *Liv1, offers);
}
