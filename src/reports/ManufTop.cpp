#include "reports/ManufTop.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "platform/ListView.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"
#include "products/ManufForm.h"
#include "store/CsvFile.h"
#include "store/Database.h"

namespace {
const QString kSection = QStringLiteral("ManufTop");
}

ManufTop::ManufTop(Database& db, Prompt& prompt, ManufForm* productWindow)
    : QDialog(productWindow), db_(db), prompt_(prompt), productWindow_(productWindow) {
  setWindowTitle(QStringLiteral("銷售排行"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setModal(false);

  menuBar = new QMenuBar(this);
  exportMenu = menuBar->addMenu(QStringLiteral("匯出(&E)"));
  exportProductsAction = exportMenu->addAction(QStringLiteral("商品排行"));
  exportCategoriesAction = exportMenu->addAction(QStringLiteral("分類排行"));
  toolsMenu = new QMenu(QStringLiteral("功能"), this);
  productDataAction = toolsMenu->addAction(QStringLiteral("查詢商品資料"));

  yearEdit = new QLineEdit(this);
  yearEdit->setFixedWidth(60);
  periodCombo = new QComboBox(this);
  periodCombo->addItems({QStringLiteral("全部"), QStringLiteral("整年")});
  for (int m = 1; m <= 12; ++m) periodCombo->addItem(QStringLiteral("%1月").arg(m, 2, 10, QLatin1Char('0')));
  periodCombo->setFixedWidth(85);
  categoryCombo = new QComboBox(this);
  categoryCombo->setMinimumWidth(170);
  rankButton = new QPushButton(QStringLiteral("開始統計"), this);
  rankButton->setAutoDefault(false);

  productList = new ListView(this);
  productList->setObjectName(QStringLiteral("productList"));
  productList->setColumns(SalesRanking::productCaptions());
  const std::vector<int> productColumnWidths = SalesRanking::productWidths();
  for (int c = 0; c < SalesRanking::ProductColumns; ++c)
    productList->setColumnWidthTwips(c, productColumnWidths[static_cast<size_t>(c)]);
  for (int c : {int(SalesRanking::Qty), int(SalesRanking::Sales), int(SalesRanking::Cost)})
    productList->setColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
  productList->setMultiSelect(false);
  categoryList = new ListView(this);
  categoryList->setObjectName(QStringLiteral("categoryList"));
  categoryList->setColumns(SalesRanking::categoryCaptions());
  const std::vector<int> categoryColumnWidths = SalesRanking::categoryWidths();
  for (int c = 0; c < SalesRanking::CategoryColumns; ++c)
    categoryList->setColumnWidthTwips(c, categoryColumnWidths[static_cast<size_t>(c)]);
  for (int c : {int(SalesRanking::CategoryQty), int(SalesRanking::Share)})
    categoryList->setColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);

  auto* top = new QHBoxLayout;
  top->setSpacing(6);
  top->addWidget(yearEdit);
  top->addWidget(new QLabel(QStringLiteral("年"), this));
  top->addWidget(periodCombo);
  top->addSpacing(8);
  top->addWidget(new QLabel(QStringLiteral("商品分類"), this));
  top->addWidget(categoryCombo, 1);
  top->addSpacing(8);
  top->addWidget(rankButton);
  auto* outer = new QVBoxLayout(this);
  outer->setMenuBar(menuBar);
  outer->setContentsMargins(8, 8, 8, 8);
  outer->setSpacing(8);
  outer->addLayout(top);
  outer->addWidget(productList, 3);
  outer->addWidget(categoryList, 2);

  connect(rankButton, &QPushButton::clicked, this, [this] { onRank(); });
  connect(exportProductsAction, &QAction::triggered, this, [this] { onExportProducts(); });
  connect(exportCategoriesAction, &QAction::triggered, this, [this] { onExportCategories(); });
  connect(productDataAction, &QAction::triggered, this, [this] { onShowProductData(); });
  connect(productList, &ListView::rowActivated, this, [this](int) { onProductDoubleClicked(); });
  connect(productList, &ListView::contextMenuAt, this, [this](const QPoint& at) { toolsMenu->popup(at); });

  Form_Load();
  setFixedSize(652, 600);
  // The ranking goes when its product window closes.
  if (productWindow) productWindow->installEventFilter(this);
}

ManufTop* ManufTop::showBeside(Database& db, Prompt& prompt, ManufForm* productWindow) {
  ManufTop* top = of(productWindow);
  if (!top) {
    top = new ManufTop(db, prompt, productWindow);
    top->setAttribute(Qt::WA_DeleteOnClose);
  }
  top->show();
  top->raise();
  top->activateWindow();
  return top;
}

ManufTop* ManufTop::of(const ManufForm* productWindow) {
  if (!productWindow) return nullptr;
  for (ManufTop* t : productWindow->findChildren<ManufTop*>(QString(), Qt::FindDirectChildrenOnly))
    if (!t->unloaded_) return t;
  return nullptr;
}

bool ManufTop::eventFilter(QObject* watched, QEvent* event) {
  // Closed or hidden by its own code; minimising is no closing.
  if (watched == productWindow_ && event->type() == QEvent::Hide && !event->spontaneous() && isVisible()) close();
  return QDialog::eventFilter(watched, event);
}

void ManufTop::Form_Load() {
  productList->setFlatHeader(true);
  categoryList->setFlatHeader(true);
  WindowTweaks::setDropDownHeight(periodCombo, 300);
  WindowTweaks::setDropDownHeight(categoryCombo, 300);
  const int font = static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0));
  WindowTweaks::applyFontSize(productList, nullptr, font);
  WindowTweaks::applyFontSize(categoryList, nullptr, font);
  WindowTweaks::fitColumnsTo(productList, {{SalesRanking::Sales, WindowTweaks::kAmountSample},
                                           {SalesRanking::Cost, WindowTweaks::kAmountSample}});
  for (int c = 0; c < SalesRanking::ProductColumns; ++c) {
    const double w = SettingsStore::getNumber(kSection, QStringLiteral("LW1%1").arg(c + 1), 0);
    if (w > 0) productList->setColumnWidthTwips(c, static_cast<int>(w));
  }
  for (int c = 0; c < SalesRanking::CategoryColumns; ++c) {
    const double w = SettingsStore::getNumber(kSection, QStringLiteral("LW2%1").arg(c + 1), 0);
    if (w > 0) categoryList->setColumnWidthTwips(c, static_cast<int>(w));
  }

  const QDate today = QDate::currentDate();
  yearEdit->setText(QString::number(today.year()));
  periodCombo->setCurrentIndex(db_.SetView == 2 ? 1 : db_.SetView == 3 ? today.month() + 1 : 0);
  categoryCombo->clear();
  categoryCombo->addItem(QStringLiteral("全部"));
  categoryCombo->addItems(db_.settings.ProductCategories);
  categoryCombo->addItem(QStringLiteral("未分類"));
  categoryCombo->setCurrentIndex(0);
}

void ManufTop::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  for (int c = 0; c < SalesRanking::ProductColumns; ++c)
    SettingsStore::setNumber(kSection, QStringLiteral("LW1%1").arg(c + 1), productList->columnWidthTwips(c));
  for (int c = 0; c < SalesRanking::CategoryColumns; ++c)
    SettingsStore::setNumber(kSection, QStringLiteral("LW2%1").arg(c + 1), categoryList->columnWidthTwips(c));
}

void ManufTop::closeEvent(QCloseEvent* event) {
  Form_Unload();
  QDialog::closeEvent(event);
}

void ManufTop::done(int result) {
  Form_Unload();
  QDialog::done(result);
}

SalesRanking::Filter ManufTop::filter() const {
  SalesRanking::Filter f;
  f.year = yearEdit->text();
  f.period = periodCombo->currentText();
  f.category = categoryCombo->currentText();
  return f;
}

void ManufTop::onRank() { ManufTopShow(); }

void ManufTop::ManufTopShow() {
  try {
    SalesRanking::Ranking r = SalesRanking::ManufTopShow(db_, filter());
    productList->setRowSource(r.products.source());
    categoryList->setRows(std::move(r.categories));
  } catch (const std::exception&) {
    prompt_.error();
  }
}

int ManufTop::ManufCount(const QString& ManufName, const QString& ManufAssort) {
  const std::optional<int> n = SalesRanking::ManufCount(db_, filter(), ManufName, ManufAssort);
  if (!n) {
    prompt_.error();
    return 0;
  }
  return *n;
}

void ManufTop::exportList(const ListView& list, bool categories) {
  const QString path =
      prompt_.saveFile(QStringLiteral("匯出"), QStringLiteral("CSV檔案 (*.csv)"), {},
                       SalesRanking::exportFileName(yearEdit->text(), periodCombo->currentText(), categories));
  if (path.isEmpty()) return;
  std::vector<QStringList> rows;
  rows.reserve(static_cast<size_t>(list.rowCount()));
  for (int r = 0; r < list.rowCount(); ++r) rows.push_back(list.rowTexts(r));
  if (!Csv::writeFile(path, SalesRanking::csvText(rows))) {
    prompt_.error();
    return;
  }
  prompt_.warn(SalesRanking::ExportDoneText);
}

void ManufTop::onExportProducts() { exportList(*productList, false); }
void ManufTop::onExportCategories() { exportList(*categoryList, true); }

int ManufTop::selectedRow() const {
  const std::vector<int> sel = productList->selectedRows();
  if (!sel.empty()) return sel.front();
  return productList->currentRow();
}

void ManufTop::onShowProductData() {
  const int row = selectedRow();
  std::vector<int> found;
  if (row >= 0)
    found = SalesRanking::productRows(db_.Manuf, productList->text(row, SalesRanking::Name),
                                      productList->text(row, SalesRanking::Category));
  for (const int k : found) prompt_.message(SalesRanking::productDataText(db_.Manuf, k));
  if (found.empty()) prompt_.message(SalesRanking::NoProductText);
}

void ManufTop::onProductDoubleClicked() {
  const int row = selectedRow();
  if (row < 0 || !productWindow_) return;
  const std::vector<int> found = SalesRanking::productRows(db_.Manuf, productList->text(row, SalesRanking::Name),
                                                           productList->text(row, SalesRanking::Category));
  SalesRanking::ProductWindowRows rows =
      SalesRanking::productWindowRows(db_.Manuf, found, productWindow_->listOptions());
  productWindow_->showRows(std::move(rows.rows), rows.redRows);
  productWindow_->show();
  productWindow_->raise();
  productWindow_->activateWindow();
}
