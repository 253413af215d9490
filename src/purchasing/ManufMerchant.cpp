#include "purchasing/ManufMerchant.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/Prompt.h"
#include "store/CsvFile.h"
#include "store/Database.h"
#include "store/LineBreaks.h"
#include "store/TextEntry.h"

namespace {

const QString kCsvFilter = QStringLiteral("CSV檔案 (*.csv)");

}  // namespace

ManufMerchant::ManufMerchant(Database& db, Prompt& prompt, QWidget* parent)
    : QDialog(parent), list(db.settings), db_(db), prompt_(prompt) {
  setWindowTitle(QStringLiteral("廠商資料"));
  setModal(true);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  auto* bar = new QMenuBar(this);
  outer->setMenuBar(bar);
  fileMenu = bar->addMenu(QStringLiteral("檔案(&F)"));
  importAction = fileMenu->addAction(QStringLiteral("匯入CSV檔(&I)"));
  exportAction = fileMenu->addAction(QStringLiteral("匯出CSV檔(&E)"));

  auto* body = new QHBoxLayout;
  body->setContentsMargins(8, 8, 8, 8);
  outer->addLayout(body, 1);
  nameList = new QListWidget(this);
  nameList->setMinimumWidth(200);
  body->addWidget(nameList, 1);

  auto* frame = new QGroupBox(this);
  auto* grid = new QGridLayout(frame);
  nameLabel = new QLabel(QStringLiteral("廠商名稱"), frame);
  nameEdit = new QLineEdit(frame);
  detailsLabel = new QLabel(QStringLiteral("廠商資料"), frame);
  detailsEdit = new QPlainTextEdit(frame);
  detailsEdit->setTabChangesFocus(true);
  grid->addWidget(nameLabel, 0, 0);
  grid->addWidget(nameEdit, 0, 1);
  grid->addWidget(detailsLabel, 1, 0, Qt::AlignTop);
  grid->addWidget(detailsEdit, 1, 1);
  auto* buttons = new QHBoxLayout;
  addButton = new QPushButton(QStringLiteral("新增"), frame);
  editButton = new QPushButton(QStringLiteral("編輯"), frame);
  deleteButton = new QPushButton(QStringLiteral("刪除"), frame);
  moveUpButton = new QPushButton(QStringLiteral("↑"), frame);
  moveDownButton = new QPushButton(QStringLiteral("↓"), frame);
  for (QPushButton* b : {addButton, editButton, deleteButton, moveUpButton, moveDownButton}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  moveUpButton->setFixedWidth(36);
  moveDownButton->setFixedWidth(36);
  grid->addLayout(buttons, 2, 0, 1, 2);
  body->addWidget(frame, 2);

  statusBar = new QStatusBar(this);
  statusBar->setSizeGripEnabled(false);
  countLabel = new QLabel(statusBar);
  statusBar->addWidget(countLabel, 1);
  outer->addWidget(statusBar);
  resize(640, 360);

  // Form_Load: the lists from the database, nothing selected.
  refill(-1);
  editButton->setEnabled(false);
  deleteButton->setEnabled(false);

  connect(nameList, &QListWidget::itemSelectionChanged, this, &ManufMerchant::onSupplierClicked);
  connect(addButton, &QPushButton::clicked, this, &ManufMerchant::onAdd);
  connect(editButton, &QPushButton::clicked, this, &ManufMerchant::onEdit);
  connect(deleteButton, &QPushButton::clicked, this, &ManufMerchant::onDelete);
  connect(moveUpButton, &QPushButton::clicked, this, &ManufMerchant::onMoveUp);
  connect(moveDownButton, &QPushButton::clicked, this, &ManufMerchant::onMoveDown);
  connect(importAction, &QAction::triggered, this, &ManufMerchant::onImportCsv);
  connect(exportAction, &QAction::triggered, this, &ManufMerchant::onExportCsv);
}

ManufMerchant::~ManufMerchant() = default;

void ManufMerchant::edit(Database& db, Prompt& prompt, QWidget* parent) {
  ManufMerchant dlg(db, prompt, parent);
  dlg.exec();
}

int ManufMerchant::selected() const {
  const auto items = nameList->selectedItems();
  return items.isEmpty() ? -1 : nameList->row(items.front());
}

void ManufMerchant::showCount() {
  countLabel->setText(QStringLiteral("共 ") + QString::number(list.count()) + QStringLiteral(" 筆廠商資料"));
}

void ManufMerchant::refill(int select) {
  {
    const QSignalBlocker quiet(nameList);
    nameList->clear();
    nameList->addItems(list.names);
  }
  showCount();
  if (select >= 0 && select < nameList->count()) {
    nameList->setCurrentRow(select);
    nameList->scrollToItem(nameList->item(select));
  }
  onSupplierClicked();
}

void ManufMerchant::onSupplierClicked() {
  const int i = selected();
  // Editing and deleting need a chosen supplier.
  editButton->setEnabled(i >= 0);
  deleteButton->setEnabled(i >= 0);
  if (i < 0) return;
  nameEdit->setText(list.names[i]);
  detailsEdit->setPlainText(LineBreaks::forBox(list.details[i]));
}

bool ManufMerchant::boxesAcceptable() {
  return TextEntry::acceptable(
      prompt_, {{nameLabel->text(), nameEdit->text()}, {detailsLabel->text(), detailsEdit->toPlainText()}});
}

void ManufMerchant::onAdd() {
  if (list.count() >= Capacity::Suppliers) {
    prompt_.warn(QStringLiteral("最多只能增加 500 筆廠商資料"));
    return;
  }
  if (!boxesAcceptable()) return;
  QString name = nameEdit->text();
  QString details = LineBreaks::forFile(detailsEdit->toPlainText());
  const auto outcome = list.add(name, details);
  nameEdit->setText(name);
  detailsEdit->setPlainText(LineBreaks::forBox(details));
  if (outcome == SupplierList::Outcome::Duplicate) {
    prompt_.warn(QStringLiteral("已存在相同名稱的廠商資料"));
    return;
  }
  if (outcome != SupplierList::Outcome::Done) return;
  refill(list.count() - 1);
  db_.setDirty(true);
}

void ManufMerchant::onEdit() {
  const int i = selected();
  if (i < 0) return;
  if (!boxesAcceptable()) return;
  QString name = nameEdit->text();
  QString details = LineBreaks::forFile(detailsEdit->toPlainText());
  const auto outcome = list.edit(db_, i, name, details);
  nameEdit->setText(name);
  detailsEdit->setPlainText(LineBreaks::forBox(details));
  if (outcome == SupplierList::Outcome::Duplicate) {
    prompt_.warn(QStringLiteral("已存在相同名稱的廠商資料"));
    return;
  }
  if (outcome != SupplierList::Outcome::Done) return;
  {
    const QSignalBlocker quiet(nameList);
    nameList->item(i)->setText(name);
  }
  db_.setDirty(true);
}

void ManufMerchant::onDelete() {
  const int i = selected();
  if (i < 0) return;
  list.remove(i);
  {
    const QSignalBlocker quiet(nameList);
    delete nameList->takeItem(i);
    nameList->clearSelection();
    nameList->setCurrentRow(-1);
  }
  editButton->setEnabled(false);
  deleteButton->setEnabled(false);
  showCount();
  db_.setDirty(true);
}

void ManufMerchant::onMoveUp() {
  const int i = selected();
  if (i < 0) return;
  const int to = list.moveUp(i);
  if (to != i) refill(to);
  db_.setDirty(true);
}

void ManufMerchant::onMoveDown() {
  const int i = selected();
  if (i < 0) return;
  const int to = list.moveDown(i);
  if (to != i) refill(to);
  db_.setDirty(true);
}

void ManufMerchant::onExportCsv() {
  const QString path = prompt_.saveFile(QStringLiteral("匯出"), kCsvFilter, {}, QStringLiteral("商品資料"));
  if (path.isEmpty()) return;
  if (!Csv::writeFile(path, list.csvText())) {
    prompt_.error();
    return;
  }
  prompt_.info(QStringLiteral("匯出CSV完成!"));
}

void ManufMerchant::onImportCsv() {
  const QString path = prompt_.openFile(QStringLiteral("匯入"), kCsvFilter);
  if (path.isEmpty()) return;
  const bool replace =
      prompt_.message(QStringLiteral("匯入的資料中如果包含已存在的廠商資料，要用匯入的資料取代原廠商資料嗎？"),
                      Prompt::Icon::Question, Prompt::Buttons::YesNo) == Prompt::Answer::Yes;
  QString text;
  const Csv::ReadStatus status = Csv::readFile(path, &text);
  if (status != Csv::ReadStatus::Ok) {
    prompt_.message(Csv::readFailureText(status), Prompt::Icon::Exclamation);
    return;
  }
  const int keep = selected();
  list.importCsv(text, replace);
  refill(keep);
  db_.setDirty(true);
  prompt_.info(QStringLiteral("匯入CSV完成!"));
}

bool ManufMerchant::Form_Unload() {
  switch (list.closeCheck()) {
    case SupplierList::CloseCheck::Empty:
      prompt_.message(QStringLiteral("請至少新增一筆廠商資料!"));
      return false;
    case SupplierList::CloseCheck::TooMany:
      prompt_.warn(QStringLiteral("廠商資料已超過 500 筆上限，請刪除超出的資料"));
      return false;
    case SupplierList::CloseCheck::Ok: break;
  }
  list.commit(db_.settings);
  committed_ = true;
  return true;
}

void ManufMerchant::done(int result) {
  // Every way out (close box, Esc) commits, or is refused.
  if (!committed_ && !Form_Unload()) return;
  QDialog::done(result);
}
