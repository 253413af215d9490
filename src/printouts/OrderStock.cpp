#include "printouts/OrderStock.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <optional>

#include "platform/ListView.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"
#include "printouts/ExportForm.h"

std::function<void(OrderStock&)> OrderStock::showHook;

namespace {
const QString kSection = QString::fromLatin1(OrderStock::Section);
constexpr int kNoteColumn = 3;
}  // namespace

OrderStock::OrderStock(Database& db, Prompt& prompt, QWidget* parent) : QDialog(parent), db_(db), prompt_(prompt) {
  setWindowTitle(QStringLiteral("撿貨單"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  setSizeGripEnabled(true);

  menuBar = new QMenuBar(this);
  QMenu* view = menuBar->addMenu(QStringLiteral("檢視(&V)"));
  View_Note = view->addAction(QStringLiteral("顯示備註"));
  View_Note->setCheckable(true);

  Command2 = new QPushButton(QStringLiteral("排序"), this);
  Command1 = new QPushButton(QStringLiteral("匯出到記事本"), this);
  for (QPushButton* b : {Command1, Command2}) b->setAutoDefault(false);
  Combo1 = new QComboBox(this);
  Combo1->setMinimumWidth(180);
  WindowTweaks::setDropDownHeight(Combo1);

  Liv1 = new ListView(this);
  Liv1->setColumns({QStringLiteral("商品名稱"), QStringLiteral("商品分類"), QStringLiteral("數量"),
                    QStringLiteral("備註")});
  const int widths[] = {4500, 2400, 1200, 3000};
  for (int c = 0; c < 4; ++c) Liv1->setColumnWidthTwips(c, widths[c]);
  Liv1->setColumnAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  Liv1->setMultiSelect(true);
  Liv1->setRootIsDecorated(false);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setSizeGripEnabled(false);
  statusText = new QLabel(this);
  StatusBar1->addWidget(statusText, 1);

  auto* top = new QHBoxLayout;
  top->addWidget(Command2);
  top->addWidget(Command1);
  top->addStretch(1);
  top->addWidget(Combo1);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menuBar);
  layout->addLayout(top);
  layout->addWidget(Liv1, 1);
  layout->addWidget(StatusBar1);
  layout->setContentsMargins(8, 4, 8, 0);

  resize(WindowTweaks::pixelsFromTwips(12135), WindowTweaks::pixelsFromTwips(8805));

  connect(Combo1, &QComboBox::currentIndexChanged, this, [this](int) {
    if (!filling_) Combo1_Click();
  });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(View_Note, &QAction::triggered, this, [this] { View_Note_Click(); });
  Form_Load();
}

OrderStock::~OrderStock() = default;

void OrderStock::Form_Load() {
  Liv1->setFlatHeader(true);
  WindowTweaks::restoreColumnWidths(Liv1, kSection, 4);
  WindowTweaks::applyFontSize(
      Liv1, StatusBar1, static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::restoreSize(this, kSection);
  WindowTweaks::restoreState(this, kSection);
  View_Note->setChecked(SettingsStore::getBool(kSection, QStringLiteral("ViewNote"), false));
  if (!View_Note->isChecked()) Liv1->setColumnWidthTwips(kNoteColumn, 0);
}

void OrderStock::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  WindowTweaks::saveColumnWidths(Liv1, kSection, 4);
  WindowTweaks::saveSize(this, kSection, QSize(12135, 8805));
  WindowTweaks::saveState(this, kSection);
}

void OrderStock::closeEvent(QCloseEvent* event) {
  Form_Unload();
  QDialog::closeEvent(event);
}

void OrderStock::done(int result) {
  Form_Unload();
  QDialog::done(result);
}

void OrderStock::open(Database& db, Prompt& prompt, QWidget* parent, const std::vector<QString>& orderNumbers,
                      const Merge& merge) {
  // Built whole before it is shown; a window that failed on the way is
  // destroyed unshown, its sizes not stored.
  std::optional<OrderStock> form;
  try {
    form.emplace(db, prompt, parent);
    form->fill(orderNumbers, merge);
  } catch (const std::exception&) {
    form.reset();
    prompt.message(FailedText, Prompt::Icon::Exclamation);
    return;
  }
  if (showHook)
    showHook(*form);
  else
    form->exec();
}

void OrderStock::fill(const std::vector<QString>& orderNumbers, const Merge& merge) {
  Liv2 = merge(db_, orderNumbers, View_Note->isChecked());
  filling_ = true;
  Combo1->clear();
  Combo1->addItems(PickingList::categoryEntries(Liv2));
  filling_ = false;
  Combo1->setCurrentIndex(0);
  Combo1_Click();
}

void OrderStock::Combo1_Click() {
  const std::vector<PickingList::Row> rows = PickingList::filtered(Liv2, Combo1->currentIndex(), Combo1->currentText());
  const bool notes = View_Note->isChecked();
  std::vector<QStringList> cells;
  cells.reserve(rows.size());
  for (const PickingList::Row& r : rows) cells.push_back({r.name, r.category, r.qty, notes ? r.note : QString()});
  Liv1->setRows(std::move(cells));
  statusText->setText(PickingList::statusText(rows));
}

void OrderStock::Command2_Click() { Liv1->sortRows(0, Qt::AscendingOrder); }

void OrderStock::View_Note_Click() {
  SettingsStore::setBool(kSection, QStringLiteral("ViewNote"), View_Note->isChecked());
  prompt_.message(ReopenText);
}

void OrderStock::Command1_Click() {
  ExportForm::run(db_, prompt_, this, 8, kSection, *Liv1, ExportForm::listOffers(*Liv1, {0, 1, 2}));
}
