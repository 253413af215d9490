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
constexpr int kMargin = 8;      // Command2's distance from the top: the margin everywhere

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
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setSizeGripEnabled(true);
  Status = new QLabel(StatusBar1);
  StatusBar1->addWidget(Status, 1);
  outer->addWidget(StatusBar1);

  auto button = [this](const QString& caption, int width) {
    auto* b = new QPushButton(caption, client_);
    b->setAutoDefault(false);
    b->resize(width, 26);
    return b;
  };
  Command2 = button(QStringLiteral("搜尋"), 75);
  Command1 = button(QStringLiteral("匯出到記事本"), 110);
  Text5 = new QLineEdit(client_);
  Text5->resize(52, 25);
  Combo2 = new QComboBox(client_);
  Combo2->addItems({kAll, QStringLiteral("整年")});
  for (int m = 1; m <= 12; ++m) Combo2->addItem(QStringLiteral("%1月").arg(m, 2, 10, QLatin1Char('0')));
  Combo2->resize(80, 25);
  Option1 = new QRadioButton(QStringLiteral("未出貨"), client_);
  Option2 = new QRadioButton(QStringLiteral("已出貨"), client_);
  for (QRadioButton* o : {Option1, Option2}) o->resize(o->sizeHint().width() + 4, 25);
  Combo3 = new QComboBox(client_);
  Combo3->resize(140, 25);
  Label1 = new QLabel(QStringLiteral("商品分類"), client_);
  Label1->resize(Label1->sizeHint());
  Combo1 = new QComboBox(client_);
  Combo1->resize(160, 25);
  Command4 = button(QStringLiteral("全選"), 75);
  Command3 = button(QStringLiteral("列出選擇的訂單"), 130);
  Command3->resize(Command3->width(), 28);
  Command4->resize(Command4->width(), 28);

  Liv1 = new ListView(client_);
  Liv1->setObjectName(QStringLiteral("Liv1"));
  Liv1->setColumns(StockList::captions());
  const std::vector<int> widths = StockList::widths();
  for (int c = 0; c < StockList::ColumnCount; ++c)
    Liv1->setColumnWidthTwips(c, WindowTweaks::twipsFromPixels(widths[static_cast<size_t>(c)]));
  Liv1->setMultiSelect(true);

  Menu_Tools = new QMenu(QStringLiteral("功能"), this);
  Tools_OpenURL = Menu_Tools->addAction(QStringLiteral("開啟連結(&L)"));
  Tools_ViewImages = Menu_Tools->addAction(QStringLiteral("檢視圖片(&V)"));

  runCategoryEditor = [this](CategoryEdit::Kind kind) { CateForm::edit(db_, prompt_, kind, this); };
  runSearch = [](StockSearch& s) { s.exec(); };
  runViewer = [](ImagesForm& f) { f.exec(); };
  runExport = [this](int ex, const QString& section, const std::vector<ExportOffer>& offers) {
    ExportForm::run(db_, prompt_, this, ex, section, *Liv1, offers);
  };

  connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
  connect(Combo2, &QComboBox::activated, this, [this](int) { Combo2_Click(); });
  connect(Combo3, &QComboBox::activated, this, [this](int) { Combo3_Click(); });
  connect(Option1, &QRadioButton::clicked, this, [this] { Option1_Click(); });
  connect(Option2, &QRadioButton::clicked, this, [this] { Option2_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(Tools_OpenURL, &QAction::triggered, this, [this] { Tools_OpenURL_Click(); });
  connect(Tools_ViewImages, &QAction::triggered, this, [this] { Tools_ViewImages_Click(); });
  connect(Liv1, &ListView::rowActivated, this, [this](int) { Tools_OpenURL_Click(); });
  connect(Liv1, &ListView::contextMenuAt, this, [this](const QPoint& at) { Menu_Tools->popup(at); });

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
  form.Combo1->setCurrentIndex(0);
  form.se = false;
  form.fillCustomerCategories();
  form.se = true;
  form.Combo3->setCurrentIndex(main.category >= 0 && main.category < form.Combo3->count() ? main.category : 0);
  form.se = false;
  form.se = true;
  form.setShippingOptions(main.unshipped, main.shipped);
  form.se = false;
  form.Text5->setText(main.year);
  // The period is set last: its selection builds the list once.
  form.Combo2->setCurrentIndex(main.period >= 0 && main.period < form.Combo2->count() ? main.period : 0);
  form.Combo2_Click();
  if (run)
    run(form);
  else
    form.exec();
}

void StockForm::Form_Load() {
  Liv1->setFlatHeader(true);
  for (QComboBox* c : {Combo1, Combo2, Combo3}) WindowTweaks::setDropDownHeight(c, 300);
  WindowTweaks::applyFontSize(Liv1, StatusBar1,
                              static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::fitColumnsTo(Liv1, {{StockList::Price, WindowTweaks::kAmountSample},
                                    {StockList::Discount, WindowTweaks::kAmountSample}});
  for (int c = 0; c < StockList::ColumnCount; ++c) {
    const int w = static_cast<int>(SettingsStore::getNumber(kSection, QStringLiteral("LW%1").arg(c + 1), 0));
    if (w > 0) Liv1->setColumnWidthTwips(c, WindowTweaks::twipsFromPixels(w));
  }
  Status->setFont(StatusBar1->font());
  setMinimumSize(px(kMinWidth), px(kMinHeight));
  resize(px(kWidth), px(kHeight));
  WindowTweaks::restoreSize(this, kSection);
  WindowTweaks::restoreState(this, kSection);
  Liv1->setColumnWidthTwips(StockList::Cost, db_.HideCost ? 0 : WindowTweaks::twipsFromPixels(kCostWidth));
}

void StockForm::Form_Resize() {
  if (isMinimized()) return;
  const int W = client_->width();
  const int H = client_->height();
  const int m = kMargin;
  Command2->move(m, m);
  Command1->move(Command2->x() + Command2->width() + 6, m);
  Combo3->move(W - m - Combo3->width(), m);
  Option2->move(Combo3->x() - m - Option2->width(), m);
  Option1->move(Option2->x() - 5 - Option1->width(), m);
  Combo2->move(Option1->x() - m - Combo2->width(), m);
  Text5->move(Combo2->x() - 5 - Text5->width(), m);
  const int listTop = m + Command2->height() + m;
  Liv1->setGeometry(m, listTop, std::max(0, W - 2 * m), std::max(0, H - (listTop + Command3->height() + 2 * m)));
  const int bottom = H - (Command3->height() + m);
  Command3->move(W - m - Command3->width(), bottom);
  Command4->move(Command3->x() - m - Command4->width(), bottom);
  Label1->move(m, bottom + 4);
  Combo1->move(Label1->x() + Label1->width() + 6, bottom);
}

bool StockForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize) Form_Resize();
  return QDialog::eventFilter(watched, event);
}

void StockForm::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  for (int c = 0; c < StockList::ColumnCount; ++c)
    SettingsStore::setNumber(kSection, QStringLiteral("LW%1").arg(c + 1), Liv1->columnWidthTwips(c) / WindowTweaks::kTwipsPerPixel);
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
  Combo1->clear();
  Combo1->addItem(kAll);
  Combo1->addItems(db_.settings.ProductCategories);
  Combo1->addItems({kUncategorised, kEditProducts});
  se = was;
}

void StockForm::fillCustomerCategories() {
  const bool was = se;
  se = true;
  Combo3->clear();
  Combo3->addItem(kAll);
  Combo3->addItems(db_.settings.CustomerCategories);
  Combo3->addItems({kUncategorised, kEditCustomers});
  se = was;
}

void StockForm::setShippingOptions(bool unshipped, bool shipped) {
  // An exclusive option cannot be cleared while it is the checked one.
  for (QRadioButton* b : {Option1, Option2}) b->setAutoExclusive(false);
  Option1->setChecked(unshipped && !shipped);
  Option2->setChecked(shipped);
  for (QRadioButton* b : {Option1, Option2}) b->setAutoExclusive(true);
}

StockList::Filter StockForm::filter() const {
  StockList::Filter f;
  f.productCategory = Combo1->currentText();
  f.allCustomers = Combo3->currentIndex() <= 0;
  f.customerCategory = Combo3->currentText();
  f.period = Combo2->currentText();
  f.year = Text5->text();
  f.unshipped = Option1->isChecked();
  f.shipped = Option2->isChecked();
  return f;
}

void StockForm::StockShow() {
  try {
    const StockList::Listing l = StockList::StockShow(db_, filter());
    const int rows = static_cast<int>(l.rows.size());
    Liv1->setRowSource(l.rows.source());
    Status->setText(StockList::StockTotalsText(rows, l.totals, View_Money, !db_.HideCost));
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void StockForm::Combo1_Click() {
  try {
    if (Combo1->currentText() == kEditProducts) {
      runCategoryEditor(CategoryEdit::Kind::Product);
      fillProductCategories();
      const bool was = se;
      se = true;
      Combo1->setCurrentIndex(0);
      se = was;
      if (!se) StockShow();
      return;
    }
    if (!se) StockShow();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void StockForm::Combo2_Click() { StockShow(); }

void StockForm::Combo3_Click() {
  try {
    if (Combo3->currentText() == kEditCustomers) {
      runCategoryEditor(CategoryEdit::Kind::Customer);
      fillCustomerCategories();
      const bool was = se;
      se = true;
      Combo3->setCurrentIndex(0);
      se = was;
      if (!se) StockShow();
      return;
    }
    if (!se) StockShow();
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void StockForm::Option1_Click() {
  if (!se) StockShow();
}

void StockForm::Option2_Click() {
  if (!se) StockShow();
}

// ---- commands ----

void StockForm::Command1_Click() {
  std::vector<int> columns;
  for (int c = 0; c < StockList::ColumnCount; ++c) columns.push_back(c);
  runExport(4, kSection, ExportForm::listOffers(*Liv1, columns));
}

void StockForm::Command2_Click() {
  StockSearch dlg(db_, prompt_, *this);
  dlg.Combo1->clear();
  dlg.Combo1->addItem(kAll);
  dlg.Combo1->addItems(db_.settings.ProductCategories);
  dlg.Combo1->addItem(kUncategorised);
  const int i = Combo1->currentIndex();
  dlg.Combo1->setCurrentIndex(i >= 0 && i < dlg.Combo1->count() ? i : 0);
  dlg.Option1->setChecked(Option1->isChecked());
  dlg.Option2->setChecked(Option2->isChecked());
  runSearch(dlg);
}

void StockForm::Command3_Click() {
  try {
    QStringList orderNos;
    for (const int r : Liv1->selectedRows()) orderNos << Liv1->text(r, StockList::OrderNo);
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

void StockForm::Command4_Click() {
  if (Liv1->rowCount() == 0) return;
  Liv1->selectAll();
  Liv1->setFocus();
}

void StockForm::Tools_OpenURL_Click() {
  const int row = Liv1->currentRow();
  if (Liv1->rowCount() == 0 || row < 0) return;
  const QString text = Liv1->text(row, StockList::Url);
  if (text.isEmpty()) return;
  const QUrl url = Shell::urlFor(text);
  if (url.isValid() && isWebAddress(url)) Shell::openUrl(text);
}

void StockForm::Tools_ViewImages_Click() {
  try {
    const int row = Liv1->currentRow();
    if (Liv1->rowCount() == 0 || row < 0) return;
    const QString path =
        ProductLookup::picturePathOf(db_, Liv1->text(row, StockList::Name), Liv1->text(row, StockList::Category));
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
