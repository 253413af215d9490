#include "customers/GuestManuf.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <exception>

#include "customers/GuestHistory.h"
#include "platform/ListView.h"
#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/WindowTweaks.h"
#include "printouts/ExportForm.h"
#include "store/Database.h"

namespace {
const QString kSection = QStringLiteral("GuestManuf");
const QString kCaption = QStringLiteral("購物歷史清單");
const int kColumnWidths[GuestHistory::Count] = {1500, 3600, 1500, 1500, 1100, 800, 2400, 2400};
}  // namespace

GuestManuf::GuestManuf(Database& db, Prompt& prompt, QWidget* parent) : QDialog(parent), db_(db), prompt_(prompt) {
  setWindowTitle(kCaption);
  setWindowFlags(Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setModal(true);

  productNameEdit = new QLineEdit(this);
  productNameEdit->setPlaceholderText(QStringLiteral("商品名稱"));
  searchButton = new QPushButton(QStringLiteral("搜尋"), this);
  historyList = new ListView(this);
  historyList->setColumns(GuestHistory::captions());
  for (int c = 0; c < GuestHistory::Count; ++c) historyList->setColumnWidthTwips(c, kColumnWidths[c]);
  for (int c : {int(GuestHistory::Price), int(GuestHistory::Cost), int(GuestHistory::Qty)})
    historyList->setColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
  linkButton = new QPushButton(QStringLiteral("連結"), this);
  exportButton = new QPushButton(QStringLiteral("匯出"), this);
  closeButton = new QPushButton(QStringLiteral("結束"), this);
  for (QPushButton* b : {searchButton, linkButton, exportButton, closeButton}) b->setAutoDefault(false);
  statusBar = new QStatusBar(this);
  statusBar->setSizeGripEnabled(false);

  auto* top = new QHBoxLayout;
  top->addWidget(productNameEdit, 1);
  top->addWidget(searchButton);
  top->addStretch(2);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(linkButton);
  bottom->addWidget(exportButton);
  bottom->addStretch(1);
  bottom->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 0);
  layout->addLayout(top);
  layout->addWidget(historyList, 1);
  layout->addLayout(bottom);
  layout->addWidget(statusBar);
  resize(WindowTweaks::pixelsFromTwips(15300), WindowTweaks::pixelsFromTwips(7200));

  connect(searchButton, &QPushButton::clicked, this, &GuestManuf::onSearch);
  connect(productNameEdit, &QLineEdit::returnPressed, this, &GuestManuf::onSearch);
  connect(linkButton, &QPushButton::clicked, this, &GuestManuf::onOpenLink);
  connect(historyList, &ListView::rowActivated, this, [this](int) { onOpenLink(); });
  connect(exportButton, &QPushButton::clicked, this, &GuestManuf::onExport);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

  Form_Load();
}

GuestManuf::~GuestManuf() = default;

void GuestManuf::Form_Load() {
  historyList->setFlatHeader(true);
  WindowTweaks::applyFontSize(
      historyList, statusBar, static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::fitColumnsTo(historyList, {{GuestHistory::Date, WindowTweaks::kDateSample},
                                    {GuestHistory::Price, WindowTweaks::kAmountSample},
                                    {GuestHistory::Cost, WindowTweaks::kAmountSample}});
}

bool GuestManuf::fill(const QString& search) {
  try {
    const GuestHistory::Result r = GuestHistory::build(db_, account_, category_, search);
    historyList->setRows(r.rows);
    statusBar->showMessage(r.status());
    return true;
  } catch (const std::exception&) {
    prompt_.message(QStringLiteral("列出歷史清單發生錯誤!"), Prompt::Icon::Exclamation);
    return false;
  }
}

bool GuestManuf::load(const QString& account, const QString& category) {
  account_ = account;
  category_ = category;
  if (!fill(QString())) return false;
  setWindowTitle(kCaption + QStringLiteral(" - ") + account);
  return true;
}

void GuestManuf::onSearch() { fill(productNameEdit->text()); }

void GuestManuf::onOpenLink() {
  const int row = historyList->currentRow();
  if (row < 0) return;
  const QUrl url = GuestHistory::webAddress(historyList->text(row, GuestHistory::Url));
  if (url.isValid()) Shell::openUrl(url.toString(), prompt_);
}

void GuestManuf::onExport() {
  ExportForm::run(db_, prompt_, this, 6, kSection, *historyList,
                  ExportForm::listOffers(*historyList, {GuestHistory::Date, GuestHistory::Name, GuestHistory::Category,
                                                 GuestHistory::Price, GuestHistory::Cost, GuestHistory::Qty,
                                                 GuestHistory::Note}));
}
