#include "reports/StockForm.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <exception>

#include "admin/CateForm.h"
#include "admin/ImagesForm.h"
#include "models/OrderList.h"
#include "models/OrderListHost.h"
#include "models/ProductLookup.h"
#include "platform/ListView.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/WindowTweaks.h"
#include "reports/StockSearch.h"
#include "store/Database.h"

namespace {

const QString kSection = QStringLiteral("StockForm");
const QString kAll = QStringLiteral("全部");
const QString kUncategorised = QStringLiteral("未分類");
const QString kEditProducts = QStringLiteral("編輯商品分類");
const QString kEditCustomers = QStringLiteral("編輯客戶分類");
constexpr int kWidth = 12000;  // outer size in twips, also stored when not in the normal state
constexpr int kHeight = 7920;
constexpr int kMinWidth = 11000;
constexpr int kMinHeight = 5000;
constexpr int kCostWidth = 65;  // pixels
constexpr int kMargin = 8;      // searchButton's distance from the top: the margin everywhere

int px(int twips) { return WindowTweaks::pixelsFromTwips(twips); }

// Only web addresses leave the program from a line's URL.
bool isWebAddress(const QUrl& url) {
  const QString s = url.scheme().toLower();
  return s == QLatin1String("http") || s == QLatin1String("https") || s == QLatin1String("ftp");
}

}  // namespace

StockForm::StockForm(Database& db, Prompt& prompt, OrderListHost& host, QWidget* parent)
    : QDialog(parent), db_(db), prompt_(prompt), host_(host) {
  setWindowTitle(QStringLiteral("列出訂單中的商品"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  setSizeGripEnabled(false);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  client_ = new QWidget(this);
  client_->installEventFilter(this);
  outer->addWidget(client_, 1);
  statusBar = new QStatusBar(this);
  statusBar->setSizeGripEnabled(true);
  statusLabel = new QLabel(statusBar);
  statusBar->addWidget(statusLabel, 1);
  outer->addWidget(statusBar);

  auto button = [this](const QString& caption, int width) {
    auto* b = new QPushButton(caption, client_);
    b->setAutoDefault(false);
    b->resize(width, 26);
    return b;
  };
  searchButton = button(QStringLiteral("搜尋"), 75);
  exportButton = button(QStringLiteral("匯出到記事本"), 110);
  yearEdit = new QLineEdit(client_);
  yearEdit->resize(52, 25);
  periodCombo = new QComboBox(client_);
  periodCombo->addItems({kAll, QStringLiteral("整年")});
  for (int m = 1; m <= 12; ++m) periodCombo->addItem(QStringLiteral("%1月").arg(m, 2, 10, QLatin1Char('0')));
  periodCombo->resize(80, 25);
  unshippedOption = new QRadioButton(QStringLiteral("未出貨"), client_);
  shippedOption = new QRadioButton(QStringLiteral("已出貨"), client_);
  for (QRadioButton* o : {unshippedOption, shippedOption}) o->resize(o->sizeHint().width() + 4, 25);
  customerCategoryCombo = new QComboBox(client_);
  customerCategoryCombo->resize(140, 25);
  productCategoryLabel = new QLabel(QStringLiteral("商品分類"), client_);
  productCategoryLabel->resize(productCategoryLabel->sizeHint());
  productCategoryCombo = new QComboBox(client_);
  productCategoryCombo->resize(160, 25);
  selectAllButton = button(QStringLiteral("全選"), 75);
  listOrdersButton = button(QStringLiteral("列出選擇的訂單"), 130);
  listOrdersButton->resize(listOrdersButton->width(), 28);
  selectAllButton->resize(selectAllButton->width(), 28);

  lineList = new ListView(client_);
  lineList->setObjectName(QStringLiteral("lineList"));
  lineList->setColumns(StockList::captions());
  const std::vector<int> widths = StockList::widths();
  for (int c = 0; c < StockList::ColumnCount; ++c)
    lineList->setColumnWidthTwips(c, WindowTweaks::twipsFromPixels(widths[static_cast<size_t>(c)]));
  lineList->setMultiSelect(true);

  toolsMenu = new QMenu(QStringLiteral("功能"), this);
  openLinkAction = toolsMenu->addAction(QStringLiteral("開啟連結(&L)"));
  viewPictureAction = toolsMenu->addAction(QStringLiteral("檢視圖片(&V)"));

  runCategoryEditor = [this](CategoryEdit::Kind kind) { CateForm::edit(db_, prompt_, kind, this); };
  runSearch = [](StockSearch& s) { s.exec(); };
  runViewer = [](ImagesForm& f) { f.exec(); };
  runExport = [this](int ex, const QString& section, const std::vector<ExportOffer>& offers) {
    ExportForm::run(db_, prompt_, this, ex, section, *lineList, offers);
  };

  connect(productCategoryCombo, &QComboBox::activated, this, [this](int) { onProductCategoryChosen(); });
  connect(periodCombo, &QComboBox::activated, this, [this](int) { onPeriodChosen(); });
  connect(customerCategoryCombo, &QComboBox::activated, this, [this](int) { onCustomerCategoryChosen(); });
  connect(unshippedOption, &QRadioButton::clicked, this, [this] { onUnshippedClicked(); });
  connect(shippedOption, &QRadioButton::clicked, this, [this] { onShippedClicked(); });
  connect(exportButton, &QPushButton::clicked, this, [this] { onExport(); });
  connect(searchButton, &QPushButton::clicked, this, [this] { onSearch(); });
  connect(listOrdersButton, &QPushButton::clicked, this, [this] { onListOrders(); });
  connect(selectAllButton, &QPushButton::clicked, this, [this] { onSelectAll(); });
  connect(openLinkAction, &QAction::triggered, this, [this] { onOpenLink(); });
  connect(viewPictureAction, &QAction::triggered, this, [this] { onViewPicture(); });
  connect(lineList, &ListView::rowActivated, this, [this](int) { onOpenLink(); });
  connect(lineList, &ListView::contextMenuAt, this, [this](const QPoint& at) { toolsMenu->popup(at); });

  Form_Load();
}

StockForm::~StockForm() = default;

// ---- opening, layout, closing ----

void StockForm::open(Database& db, Prompt& prompt, OrderListHost& host, QWidget* parent, const MainFilters& main,
                     const std::function<void(StockForm&)>& run) {
  StockForm form(db, prompt, host, parent);
  form.View_Money = main.viewMoney;
  form.fillProductCategories();
  form.se = true;
  form.productCategoryCombo->setCurrentIndex(0);
  form.se = false;
  form.fillCustomerCategories();
  form.se = true;
  form.customerCategoryCombo->setCurrentIndex(
      main.category >= 0 && main.category < form.customerCategoryCombo->count() ? main.category : 0);
  form.se = false;
  form.se = true;
  form.setShippingOptions(main.unshipped, main.shipped);
  form.se = false;
  form.yearEdit->setText(main.year);
  // The period is set last: its selection builds the list once.
  form.periodCombo->setCurrentIndex(main.period >= 0 && main.period < form.periodCombo->count() ? main.period : 0);
  form.onPeriodChosen();
  if (run)
    run(form);
  else
    form.exec();
}

void StockForm::Form_Load() {
  lineList->setFlatHeader(true);
  for (QComboBox* c : {productCategoryCombo, periodCombo, customerCategoryCombo})
    WindowTweaks::setDropDownHeight(c, 300);
  WindowTweaks::applyFontSize(lineList, statusBar,
                              static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::fitColumnsTo(lineList, {{StockList::Price, WindowTweaks::kAmountSample},
                                        {StockList::Discount, WindowTweaks::kAmountSample}});
  for (int c = 0; c < StockList::ColumnCount; ++c) {
    const int w = static_cast<int>(SettingsStore::getNumber(kSection, QStringLiteral("LW%1").arg(c + 1), 0));
    if (w > 0) lineList->setColumnWidthTwips(c, WindowTweaks::twipsFromPixels(w));
  }
  statusLabel->setFont(statusBar->font());
  setMinimumSize(px(kMinWidth), px(kMinHeight));
  resize(px(kWidth), px(kHeight));
  WindowTweaks::restoreSize(this, kSection);
  WindowTweaks::restoreState(this, kSection);
  lineList->setColumnWidthTwips(StockList::Cost, db_.HideCost ? 0 : WindowTweaks::twipsFromPixels(kCostWidth));
}

void StockForm::Form_Resize() {
  if (isMinimized()) return;
  const int W = client_->width();
  const int H = client_->height();
  const int m = kMargin;
  searchButton->move(m, m);
  exportButton->move(searchButton->x() + searchButton->width() + 6, m);
  customerCategoryCombo->move(W - m - customerCategoryCombo->width(), m);
  shippedOption->move(customerCategoryCombo->x() - m - shippedOption->width(), m);
  unshippedOption->move(shippedOption->x() - 5 - unshippedOption->width(), m);
  periodCombo->move(unshippedOption->x() - m - periodCombo->width(), m);
  yearEdit->move(periodCombo->x() - 5 - yearEdit->width(), m);
  const int listTop = m + searchButton->height() + m;
  lineList->setGeometry(m, listTop, std::max(0, W - 2 * m),
                        std::max(0, H - (listTop + listOrdersButton->height() + 2 * m)));
  const int bottom = H - (listOrdersButton->height() + m);
  listOrdersButton->move(W - m - listOrdersButton->width(), bottom);
  selectAllButton->move(listOrdersButton->x() - m - selectAllButton->width(), bottom);
  productCategoryLabel->move(m, bottom + 4);
  productCategoryCombo->move(productCategoryLabel->x() + productCategoryLabel->width() + 6, bottom);
}

bool StockForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize) Form_Resize();
  return QDialog::eventFilter(watched, event);
}

void StockForm::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  for (int c = 0; c < StockList::ColumnCount; ++c)
    SettingsStore::setNumber(kSection, QStringLiteral("LW%1").arg(c + 1), lineList->columnWidthTwips(c) / WindowTweaks::kTwipsPerPixel);
  WindowTweaks::saveSize(this, kSection, QSize(kWidth, kHeight));
  WindowTweaks::saveState(this, kSection);
}

void StockForm::closeEvent(QCloseEvent* event) {
  Form_Unload();
  QDialog::closeEvent(event);
}

void StockForm::done(int result) {
  Form_Unload();
  QDialog::done(result);
}

// ---- the list and its filters ----

void StockForm::fillProductCategories() {
  const bool was = se;
  se = true;
  productCategoryCombo->clear();
  productCategoryCombo->addItem(kAll);
  productCategoryCombo->addItems(db_.settings.ProductCategories);
  productCategoryCombo->addItems({kUncategorised, kEditProducts});
  se = was;
}

void StockForm::fillCustomerCategories() {
  const bool was = se;
  se = true;
  customerCategoryCombo->clear();
  customerCategoryCombo->addItem(kAll);
  customerCategoryCombo->addItems(db_.settings.CustomerCategories);
  customerCategoryCombo->addItems({kUncategorised, kEditCustomers});
  se = was;
}

void StockForm::setShippingOptions(bool unshipped, bool shipped) {
  // An exclusive option cannot be cleared while it is the checked one.
  for (QRadioButton* b : {unshippedOption, shippedOption}) b->setAutoExclusive(false);
  unshippedOption->setChecked(unshipped && !shipped);
  shippedOption->setChecked(shipped);
  for (QRadioButton* b : {unshippedOption, shippedOption}) b->setAutoExclusive(true);
}

StockList::Filter StockForm::filter() const {
  StockList::Filter f;
  f.productCategory = productCategoryCombo->currentText();
  f.allCustomers = customerCategoryCombo->currentIndex() <= 0;
  f.customerCategory = customerCategoryCombo->currentText();
  f.period = periodCombo->currentText();
  f.year = yearEdit->text();
  f.unshipped = unshippedOption->isChecked();
  f.shipped = shippedOption->isChecked();
  return f;
}

void StockForm::StockShow() {
  try {
    const StockList::Listing l = StockList::StockShow(db_, filter());
    const int rows = static_cast<int>(l.rows.size());
    lineList->setRowSource(l.rows.source());
    statusLabel->setText(StockList::StockTotalsText(rows, l.totals, View_Money, !db_.HideCost));
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void StockForm::onProductCategoryChosen() {
  try {
    if (productCategoryCombo->currentText() == kEditProducts) {
      runCategoryEditor(CategoryEdit::Kind::Product);
      fillProductCategories();
      const bool was = se;
      se = true;
      productCategoryCombo->setCurrentIndex(0);
      se = was;
      if (!se) StockShow();
      return;
    }
    if (!se) StockShow();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void StockForm::onPeriodChosen() { StockShow(); }

void StockForm::onCustomerCategoryChosen() {
  try {
    if (customerCategoryCombo->currentText() == kEditCustomers) {
      runCategoryEditor(CategoryEdit::Kind::Customer);
      fillCustomerCategories();
      const bool was = se;
      se = true;
      customerCategoryCombo->setCurrentIndex(0);
      se = was;
      if (!se) StockShow();
      return;
    }
    if (!se) StockShow();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void StockForm::onUnshippedClicked() {
  if (!se) StockShow();
}

void StockForm::onShippedClicked() {
  if (!se) StockShow();
}

// ---- commands ----

void StockForm::onExport() {
  std::vector<int> columns;
  for (int c = 0; c < StockList::ColumnCount; ++c) columns.push_back(c);
  runExport(4, kSection, ExportForm::listOffers(*lineList, columns));
}

void StockForm::onSearch() {
  StockSearch dlg(db_, prompt_, *this);
  dlg.categoryCombo->clear();
  dlg.categoryCombo->addItem(kAll);
  dlg.categoryCombo->addItems(db_.settings.ProductCategories);
  dlg.categoryCombo->addItem(kUncategorised);
  const int i = productCategoryCombo->currentIndex();
  dlg.categoryCombo->setCurrentIndex(i >= 0 && i < dlg.categoryCombo->count() ? i : 0);
  dlg.unshippedOption->setChecked(unshippedOption->isChecked());
  dlg.shippedOption->setChecked(shippedOption->isChecked());
  runSearch(dlg);
}

void StockForm::onListOrders() {
  try {
    QStringList orderNos;
    for (const int r : lineList->selectedRows()) orderNos << lineList->text(r, StockList::OrderNo);
    const bool username = host_.viewUsername();
    host_.showOrderList(OrderList::listOrders(db_, StockList::ordersOfLines(db_, orderNos), username));
    accept();
    if (host_.unshippedOptionSelected())
      host_.CheckStockShortage();
    else
      host_.clearShortageList();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void StockForm::onSelectAll() {
  if (lineList->rowCount() == 0) return;
  lineList->selectAll();
  lineList->setFocus();
}

void StockForm::onOpenLink() {
  const int row = lineList->currentRow();
  if (lineList->rowCount() == 0 || row < 0) return;
  const QString text = lineList->text(row, StockList::Url);
  if (text.isEmpty()) return;
  const QUrl url = Shell::urlFor(text);
  if (url.isValid() && isWebAddress(url)) Shell::openUrl(text, prompt_);
}

void StockForm::onViewPicture() {
  try {
    const int row = lineList->currentRow();
    if (lineList->rowCount() == 0 || row < 0) return;
    const QString path =
        ProductLookup::picturePathOf(db_, lineList->text(row, StockList::Name),
                                     lineList->text(row, StockList::Category));
    if (path.isEmpty()) return;
    if (!QFileInfo(path).isFile()) {
      prompt_.warn(QStringLiteral("找不到圖片檔案!"));
      return;
    }
    ImagesForm::showPicture(prompt_, this, path, runViewer);
  } catch (const std::exception&) {
    prompt_.error();
  }
}
