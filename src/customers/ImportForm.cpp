#include "customers/ImportForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "customers/ImportProfiles.h"
#include "store/Database.h"

ImportForm::ImportForm(Database& db, Prompt& prompt, QWidget* parent) : QDialog(parent), db_(db), prompt_(prompt) {
  setWindowTitle(QStringLiteral("設定匯入客戶格式"));
  setModal(true);

  auto* grid = new QGridLayout;
  const char* const groups[] = {"第一組", "第二組", "第三組"};
  for (int p = 0; p < 3; ++p) {
    auto* heading = new QLabel(QString::fromUtf8(groups[p]), this);
    heading->setAlignment(Qt::AlignCenter);
    grid->addWidget(heading, 0, p + 1);
  }
  grid->addWidget(new QLabel(QStringLiteral("說明"), this), 1, 0);
  for (int p = 0; p < 3; ++p) {
    profileNameEdits[p] = new QLineEdit(this);
    grid->addWidget(profileNameEdits[p], 1, p + 1);
  }
  const QStringList captions = ImportProfiles::fieldCaptions();
  for (int k = 0; k < 9; ++k) {
    grid->addWidget(new QLabel(captions[k], this), k + 2, 0);
    profile1KeyEdits[k] = new QLineEdit(this);
    profile2KeyEdits[k] = new QLineEdit(this);
    profile3KeyEdits[k] = new QLineEdit(this);
    grid->addWidget(profile1KeyEdits[k], k + 2, 1);
    grid->addWidget(profile2KeyEdits[k], k + 2, 2);
    grid->addWidget(profile3KeyEdits[k], k + 2, 3);
  }
  for (int p = 0; p < 3; ++p) {
    importButtons[p] = new QPushButton(QStringLiteral("匯入"), this);
    importButtons[p]->setAutoDefault(false);
    grid->addWidget(importButtons[p], 11, p + 1);
    connect(importButtons[p], &QPushButton::clicked, this, [this, p] { onImportTemplate(p); });
  }
  for (int c = 1; c <= 3; ++c) grid->setColumnStretch(c, 1);

  okButton = new QPushButton(QStringLiteral("確定"), this);
  cancelButton = new QPushButton(QStringLiteral("取消"), this);
  okButton->setAutoDefault(false);
  cancelButton->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QLabel(QStringLiteral("每個欄位可輸入多個關鍵字，以逗號分開"), this), 1);
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  resize(640, sizeHint().height());

  connect(okButton, &QPushButton::clicked, this, &ImportForm::onOk);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

  Form_Load();
}

ImportForm::~ImportForm() = default;

QLineEdit** ImportForm::column(int index) { return index == 0 ? profile1KeyEdits : index == 1 ? profile2KeyEdits : profile3KeyEdits; }

void ImportForm::Form_Load() {
  const DatabaseSettings& s = db_.settings;
  for (int p = 0; p < 3; ++p) {
    profileNameEdits[p]->setText(s.ImportName[static_cast<size_t>(p + 1)]);
    QLineEdit** boxes = column(p);
    for (int k = 0; k < 9; ++k) boxes[k]->setText(s.ImportMap[static_cast<size_t>(p + 1)][static_cast<size_t>(k + 1)]);
  }
}

void ImportForm::onImportTemplate(int index) {
  if (index < 0 || index > 2) return;
  ImportProfiles::Profile profile;
  if (!ImportProfiles::loadTemplate(prompt_, profile)) return;
  profileNameEdits[index]->setText(profile.name);
  QLineEdit** boxes = column(index);
  for (int k = 0; k < 9; ++k) boxes[k]->setText(profile.keys[static_cast<size_t>(k)]);
}

void ImportForm::onOk() {
  std::array<ImportProfiles::Profile, 3> profiles;
  for (int p = 0; p < 3; ++p) {
    profiles[static_cast<size_t>(p)].name = profileNameEdits[p]->text();
    QLineEdit** boxes = column(p);
    for (int k = 0; k < 9; ++k) profiles[static_cast<size_t>(p)].keys[static_cast<size_t>(k)] = boxes[k]->text();
  }
  if (ImportProfiles::store(db_, prompt_, profiles)) accept();
}
