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
  showNotesAction = view->addAction(QStringLiteral("顯示備註"));
  showNotesAction->setCheckable(true);

  sortButton = new QPushButton(QStringLiteral("排序"), this);
  exportButton = new QPushButton(QStringLiteral("匯出到記事本"), this);
  for (QPushButton* b : {exportButton, sortButton}) b->setAutoDefault(false);
  categoryCombo = new QComboBox(this);
  categoryCombo->setMinimumWidth(180);
  WindowTweaks::setDropDownHeight(categoryCombo);

  productList = new ListView(this);
  productList->setColumns(
      {QStringLiteral("商品名稱"), QStringLiteral("商品分類"), QStringLiteral("數量"), QStringLiteral("備註")});
  const int widths[] = {4500, 2400, 1200, 3000};
  for (int c = 0; c < 4; ++c) productList->setColumnWidthTwips(c, widths[c]);
  productList->setColumnAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  productList->setMultiSelect(true);
  productList->setRootIsDecorated(false);

  statusBar = new QStatusBar(this);
  statusBar->setSizeGripEnabled(false);
  statusText = new QLabel(this);
  statusBar->addWidget(statusText, 1);

  auto* top = new QHBoxLayout;
  top->addWidget(sortButton);
  top->addWidget(exportButton);
  top->addStretch(1);
  top->addWidget(categoryCombo);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menuBar);
  layout->addLayout(top);
  layout->addWidget(productList, 1);
  layout->addWidget(statusBar);
  layout->setContentsMargins(8, 4, 8, 0);

  resize(WindowTweaks::pixelsFromTwips(12135), WindowTweaks::pixelsFromTwips(8805));

  connect(categoryCombo, &QComboBox::currentIndexChanged, this, [this](int) {
    if (!filling_) onCategoryChosen();
  });
  connect(exportButton, &QPushButton::clicked, this, [this] { onExport(); });
  connect(sortButton, &QPushButton::clicked, this, [this] { onSort(); });
  connect(showNotesAction, &QAction::triggered, this, [this] { onShowNotes(); });
  Form_Load();
}

OrderStock::~OrderStock() = default;

void OrderStock::Form_Load() {
  productList->setFlatHeader(true);
  WindowTweaks::restoreColumnWidths(productList, kSection, 4);
  WindowTweaks::applyFontSize(
      productList, statusBar,
      static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::restoreSize(this, kSection);
  WindowTweaks::restoreState(this, kSection);
  showNotesAction->setChecked(SettingsStore::getBool(kSection, QStringLiteral("ViewNote"), false));
  if (!showNotesAction->isChecked()) productList->setColumnWidthTwips(kNoteColumn, 0);
}

void OrderStock::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  WindowTweaks::saveColumnWidths(productList, kSection, 4);
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
  mergedRows = merge(db_, orderNumbers, showNotesAction->isChecked());
  filling_ = true;
  categoryCombo->clear();
  categoryCombo->addItems(PickingList::categoryEntries(mergedRows));
  filling_ = false;
  categoryCombo->setCurrentIndex(0);
  onCategoryChosen();
}

void OrderStock::onCategoryChosen() {
  const std::vector<PickingList::Row> rows =
      PickingList::filtered(mergedRows, categoryCombo->currentIndex(), categoryCombo->currentText());
  const bool notes = showNotesAction->isChecked();
  std::vector<QStringList> cells;
  cells.reserve(rows.size());
  for (const PickingList::Row& r : rows) cells.push_back({r.name, r.category, r.qty, notes ? r.note : QString()});
  productList->setRows(std::move(cells));
  statusText->setText(PickingList::statusText(rows));
}

void OrderStock::onSort() { productList->sortRows(0, Qt::AscendingOrder); }

void OrderStock::onShowNotes() {
  SettingsStore::setBool(kSection, QStringLiteral("ViewNote"), showNotesAction->isChecked());
  prompt_.message(ReopenText);
}

void OrderStock::onExport() {
  ExportForm::run(db_, prompt_, this, 8, kSection, *productList, ExportForm::listOffers(*productList, {0, 1, 2}));
}
