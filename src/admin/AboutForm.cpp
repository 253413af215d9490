#include "admin/AboutForm.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Shell.h"

namespace {

// The program's mark: a small bird on a sky-blue tile.
QPixmap logo() {
  QPixmap pm(64, 64);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 64);
  sky.setColorAt(0, QColor(92, 170, 230));
  sky.setColorAt(1, QColor(30, 96, 170));
  p.setPen(Qt::NoPen);
  p.setBrush(sky);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  QPainterPath bird;
  bird.moveTo(12, 34);
  bird.cubicTo(22, 22, 30, 24, 33, 32);
  bird.cubicTo(38, 20, 48, 16, 54, 18);
  bird.cubicTo(46, 24, 42, 32, 40, 40);
  bird.cubicTo(34, 44, 24, 44, 18, 40);
  bird.closeSubpath();
  p.setBrush(QColor(255, 255, 255));
  p.drawPath(bird);
  p.setBrush(QColor(250, 200, 60));
  p.drawEllipse(QPointF(37, 33), 2.2, 2.2);
  return pm;
}

}  // namespace

AboutForm::AboutForm(const QString& version, Prompt& prompt, QWidget* parent)
    : QDialog(parent), version_(version), prompt_(prompt) {
  setWindowTitle(QStringLiteral("關於Kestrin"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);

  logoLabel = new QLabel(this);
  logoLabel->setPixmap(logo());
  logoLabel->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
  titleLabel = new QLabel(QStringLiteral("Kestrin 青鳥帳房通"), this);
  QFont big = titleLabel->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  big.setBold(true);
  titleLabel->setFont(big);
  noticeLabel = new QLabel(QStringLiteral("給網拍賣家的記帳工具：訂單、客戶、商品、進貨與雜支。\n"
                                          "資料只存在您自己的電腦裡，請記得定期備份。"),
                           this);
  // Named as the seller reaches it: the help menu opens the copy installed
  // with the program, wherever that is.
  manualLabel = new QLabel(QStringLiteral("使用說明：主視窗選單的「說明 → 使用說明」"), this);
  helpLabel = new QLabel(QStringLiteral("問題與建議：請見使用說明的「聯絡」一節"), this);
  for (QLabel* l : {noticeLabel, manualLabel, helpLabel}) l->setTextInteractionFlags(Qt::NoTextInteraction);

  okButton = new QPushButton(QStringLiteral("確定(&O)"), this);
  contactButton = new QPushButton(QStringLiteral("連絡作者"), this);
  okButton->setDefault(true);
  okButton->setAutoDefault(true);
  contactButton->setAutoDefault(false);
  connect(okButton, &QPushButton::clicked, this, [this] { onOk(); });
  connect(contactButton, &QPushButton::clicked, this, [this] { onContact(); });

  auto* texts = new QVBoxLayout;
  texts->setSpacing(8);
  texts->addWidget(titleLabel);
  texts->addWidget(noticeLabel);
  texts->addSpacing(6);
  texts->addWidget(manualLabel);
  texts->addWidget(helpLabel);
  texts->addStretch(1);
  auto* top = new QHBoxLayout;
  top->setSpacing(16);
  top->addWidget(logoLabel, 0, Qt::AlignTop);
  top->addLayout(texts, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(contactButton);
  buttons->addWidget(okButton);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(18, 18, 18, 14);
  outer->addLayout(top, 1);
  outer->addSpacing(10);
  outer->addLayout(buttons);

  Form_Load();
  setFixedSize(sizeHint());
}

QString AboutForm::manualPage() { return manualPage(QCoreApplication::applicationDirPath()); }

QString AboutForm::manualPage(const QString& programFolder) {
  for (const QString& dir : {programFolder + QStringLiteral("/" KESTRIN_INSTALLED_DOCS), QStringLiteral(KESTRIN_DOCS_DIR)}) {
    const QString page = dir + QStringLiteral("/manual.html");
    if (QFileInfo::exists(page)) return QFileInfo(page).absoluteFilePath();
  }
  return {};
}

void AboutForm::Form_Load() { titleLabel->setText(titleLabel->text() + QStringLiteral(" v") + version_); }

void AboutForm::onOk() { accept(); }

void AboutForm::onContact() {
  // A page no browser takes is reported with its place.
  const QString page = manualPage();
  if (!page.isEmpty()) Shell::showLocalFile(page, prompt_);
}
