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

  MenuBar = new QMenuBar(this);
  File_Export = MenuBar->addMenu(QStringLiteral("匯出(&E)"));
  Export_Type1 = File_Export->addAction(QStringLiteral("商品排行"));
  Export_Type2 = File_Export->addAction(QStringLiteral("分類排行"));
  Menu_Tools = new QMenu(QStringLiteral("功能"), this);
  Tools_View = Menu_Tools->addAction(QStringLiteral("查詢商品資料"));

  Text1 = new QLineEdit(this);
  Text1->setFixedWidth(60);
  Combo1 = new QComboBox(this);
  Combo1->addItems({QStringLiteral("全部"), QStringLiteral("整年")});
  for (int m = 1; m <= 12; ++m) Combo1->addItem(QStringLiteral("%1月").arg(m, 2, 10, QLatin1Char('0')));
  Combo1->setFixedWidth(85);
  Combo2 = new QComboBox(this);
  Combo2->setMinimumWidth(170);
  Command2 = new QPushButton(QStringLiteral("開始統計"), this);
  Command2->setAutoDefault(false);

  Liv1 = new ListView(this);
  Liv1->setObjectName(QStringLiteral("Liv1"));
  Liv1->setColumns(SalesRanking::productCaptions());
  const std::vector<int> w1 = SalesRanking::productWidths();
  for (int c = 0; c < SalesRanking::ProductColumns; ++c) Liv1->setColumnWidthTwips(c, w1[static_cast<size_t>(c)]);
  for (int c : {int(SalesRanking::Qty), int(SalesRanking::Sales), int(SalesRanking::Cost)})
    Liv1->setColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
  Liv1->setMultiSelect(false);
  Liv2 = new ListView(this);
  Liv2->setObjectName(QStringLiteral("Liv2"));
  Liv2->setColumns(SalesRanking::categoryCaptions());
  const std::vector<int> w2 = SalesRanking::categoryWidths();
  for (int c = 0; c < SalesRanking::CategoryColumns; ++c) Liv2->setColumnWidthTwips(c, w2[static_cast<size_t>(c)]);
  for (int c : {int(SalesRanking::CategoryQty), int(SalesRanking::Share)})
    Liv2->setColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);

  auto* top = new QHBoxLayout;
  top->setSpacing(6);
  top->addWidget(Text1);
  top->addWidget(new QLabel(QStringLiteral("年"), this));
  top->addWidget(Combo1);
  top->addSpacing(8);
  top->addWidget(new QLabel(QStringLiteral("商品分類"), this));
  top->addWidget(Combo2, 1);
  top->addSpacing(8);
  top->addWidget(Command2);
  auto* outer = new QVBoxLayout(this);
  outer->setMenuBar(MenuBar);
  outer->setContentsMargins(8, 8, 8, 8);
  outer->setSpacing(8);
  outer->addLayout(top);
  outer->addWidget(Liv1, 3);
  outer->addWidget(Liv2, 2);

  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Export_Type1, &QAction::triggered, this, [this] { Export_Type1_Click(); });
  connect(Export_Type2, &QAction::triggered, this, [this] { Export_Type2_Click(); });
  connect(Tools_View, &QAction::triggered, this, [this] { Tools_View_Click(); });
  connect(Liv1, &ListView::rowActivated, this, [this](int) { Liv1_DblClick(); });
  connect(Liv1, &ListView::contextMenuAt, this, [this](const QPoint& at) { Menu_Tools->popup(at); });

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
  Liv1->setFlatHeader(true);
  Liv2->setFlatHeader(true);
  WindowTweaks::setDropDownHeight(Combo1, 300);
  WindowTweaks::setDropDownHeight(Combo2, 300);
  const int font = static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0));
  WindowTweaks::applyFontSize(Liv1, nullptr, font);
  WindowTweaks::applyFontSize(Liv2, nullptr, font);
  WindowTweaks::fitColumnsTo(Liv1, {{SalesRanking::Sales, WindowTweaks::kAmountSample},
                                    {SalesRanking::Cost, WindowTweaks::kAmountSample}});
  for (int c = 0; c < SalesRanking::ProductColumns; ++c) {
    const double w = SettingsStore::getNumber(kSection, QStringLiteral("LW1%1").arg(c + 1), 0);
    if (w > 0) Liv1->setColumnWidthTwips(c, static_cast<int>(w));
  }
  for (int c = 0; c < SalesRanking::CategoryColumns; ++c) {
    const double w = SettingsStore::getNumber(kSection, QStringLiteral("LW2%1").arg(c + 1), 0);
    if (w > 0) Liv2->setColumnWidthTwips(c, static_cast<int>(w));
  }

  const QDate today = QDate::currentDate();
  Text1->setText(QString::number(today.year()));
  Combo1->setCurrentIndex(db_.SetView == 2 ? 1 : db_.SetView == 3 ? today.month() + 1 : 0);
  Combo2->clear();
  Combo2->addItem(QStringLiteral("全部"));
  Combo2->addItems(db_.settings.ProductCategories);
  Combo2->addItem(QStringLiteral("未分類"));
  Combo2->setCurrentIndex(0);
}

void ManufTop::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  for (int c = 0; c < SalesRanking::ProductColumns; ++c)
    SettingsStore::setNumber(kSection, QStringLiteral("LW1%1").arg(c + 1), Liv1->columnWidthTwips(c));
  for (int c = 0; c < SalesRanking::CategoryColumns; ++c)
    SettingsStore::setNumber(kSection, QStringLiteral("LW2%1").arg(c + 1), Liv2->columnWidthTwips(c));
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
  f.year = Text1->text();
  f.period = Combo1->currentText();
  f.category = Combo2->currentText();
  return f;
}

void ManufTop::Command2_Click() { ManufTopShow(); }

void ManufTop::ManufTopShow() {
  try {
    SalesRanking::Ranking r = SalesRanking::ManufTopShow(db_, filter());
    Liv1->setRowSource(r.products.source());
    Liv2->setRows(std::move(r.categories));
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
                       SalesRanking::exportFileName(Text1->text(), Combo1->currentText(), categories));
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

void ManufTop::Export_Type1_Click() { exportList(*Liv1, false); }
void ManufTop::Export_Type2_Click() { exportList(*Liv2, true); }

int ManufTop::selectedRow() const {
  const std::vector<int> sel = Liv1->selectedRows();
  if (!sel.empty()) return sel.front();
  return Liv1->currentRow();
}

void ManufTop::Tools_View_Click() {
  const int row = selectedRow();
  std::vector<int> found;
  if (row >= 0)
    found = SalesRanking::productRows(db_.Manuf, Liv1->text(row, SalesRanking::Name),
                                      Liv1->text(row, SalesRanking::Category));
  for (const int k : found) prompt_.message(SalesRanking::productDataText(db_.Manuf, k));
  if (found.empty()) prompt_.message(SalesRanking::NoProductText);
}

void ManufTop::Liv1_DblClick() {
  const int row = selectedRow();
  if (row < 0 || !productWindow_) return;
  const std::vector<int> found = SalesRanking::productRows(db_.Manuf, Liv1->text(row, SalesRanking::Name),
                                                           Liv1->text(row, SalesRanking::Category));
  SalesRanking::ProductWindowRows rows =
      SalesRanking::productWindowRows(db_.Manuf, found, productWindow_->listOptions());
  productWindow_->showRows(std::move(rows.rows), rows.redRows);
  productWindow_->show();
  productWindow_->raise();
  productWindow_->activateWindow();
}
