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

  Text1 = new QLineEdit(this);
  Text1->setPlaceholderText(QStringLiteral("商品名稱"));
  Command4 = new QPushButton(QStringLiteral("搜尋"), this);
  Liv1 = new ListView(this);
  Liv1->setColumns(GuestHistory::captions());
  for (int c = 0; c < GuestHistory::Count; ++c) Liv1->setColumnWidthTwips(c, kColumnWidths[c]);
  for (int c : {int(GuestHistory::Price), int(GuestHistory::Cost), int(GuestHistory::Qty)})
    Liv1->setColumnAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
  Command3 = new QPushButton(QStringLiteral("連結"), this);
  Command2 = new QPushButton(QStringLiteral("匯出"), this);
  Command1 = new QPushButton(QStringLiteral("結束"), this);
  for (QPushButton* b : {Command4, Command3, Command2, Command1}) b->setAutoDefault(false);
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setSizeGripEnabled(false);

  auto* top = new QHBoxLayout;
  top->addWidget(Text1, 1);
  top->addWidget(Command4);
  top->addStretch(2);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Command3);
  bottom->addWidget(Command2);
  bottom->addStretch(1);
  bottom->addWidget(Command1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 0);
  layout->addLayout(top);
  layout->addWidget(Liv1, 1);
  layout->addLayout(bottom);
  layout->addWidget(StatusBar1);
  resize(WindowTweaks::pixelsFromTwips(15300), WindowTweaks::pixelsFromTwips(7200));

  connect(Command4, &QPushButton::clicked, this, &GuestManuf::Command4_Click);
  connect(Text1, &QLineEdit::returnPressed, this, &GuestManuf::Command4_Click);
  connect(Command3, &QPushButton::clicked, this, &GuestManuf::Command3_Click);
  connect(Liv1, &ListView::rowActivated, this, [this](int) { Command3_Click(); });
  connect(Command2, &QPushButton::clicked, this, &GuestManuf::Command2_Click);
  connect(Command1, &QPushButton::clicked, this, &QDialog::accept);

  Form_Load();
}

GuestManuf::~GuestManuf() = default;

void GuestManuf::Form_Load() {
  Liv1->setFlatHeader(true);
  WindowTweaks::applyFontSize(
      Liv1, StatusBar1, static_cast<int>(SettingsStore::getNumber(QStringLiteral("Setting"), QStringLiteral("FontSize"), 0)));
  WindowTweaks::fitColumnsTo(Liv1, {{GuestHistory::Date, WindowTweaks::kDateSample},
                                    {GuestHistory::Price, WindowTweaks::kAmountSample},
                                    {GuestHistory::Cost, WindowTweaks::kAmountSample}});
}

bool GuestManuf::fill(const QString& search) {
  try {
    const GuestHistory::Result r = GuestHistory::build(db_, account_, category_, search);
    Liv1->setRows(r.rows);
    StatusBar1->showMessage(r.status());
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

void GuestManuf::Command4_Click() { fill(Text1->text()); }

void GuestManuf::Command3_Click() {
  const int row = Liv1->currentRow();
  if (row < 0) return;
  const QUrl url = GuestHistory::webAddress(Liv1->text(row, GuestHistory::Url));
  if (url.isValid()) Shell::openUrl(url.toString());
}

void GuestManuf::Command2_Click() {
  ExportForm::run(db_, prompt_, this, 6, kSection, *Liv1,
                  ExportForm::listOffers(*Liv1, {GuestHistory::Date, GuestHistory::Name, GuestHistory::Category,
                                                 GuestHistory::Price, GuestHistory::Cost, GuestHistory::Qty,
                                                 GuestHistory::Note}));
}
