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
  Menu_File = bar->addMenu(QStringLiteral("檔案(&F)"));
  File_Import = Menu_File->addAction(QStringLiteral("匯入CSV檔(&I)"));
  File_Export = Menu_File->addAction(QStringLiteral("匯出CSV檔(&E)"));

  auto* body = new QHBoxLayout;
  body->setContentsMargins(8, 8, 8, 8);
  outer->addLayout(body, 1);
  List1 = new QListWidget(this);
  List1->setMinimumWidth(200);
  body->addWidget(List1, 1);

  auto* frame = new QGroupBox(this);
  auto* grid = new QGridLayout(frame);
  Label1 = new QLabel(QStringLiteral("廠商名稱"), frame);
  Text1 = new QLineEdit(frame);
  Label2 = new QLabel(QStringLiteral("廠商資料"), frame);
  Text2 = new QPlainTextEdit(frame);
  Text2->setTabChangesFocus(true);
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(Text1, 0, 1);
  grid->addWidget(Label2, 1, 0, Qt::AlignTop);
  grid->addWidget(Text2, 1, 1);
  auto* buttons = new QHBoxLayout;
  Command1 = new QPushButton(QStringLiteral("新增"), frame);
  Command2 = new QPushButton(QStringLiteral("編輯"), frame);
  Command3 = new QPushButton(QStringLiteral("刪除"), frame);
  Command4 = new QPushButton(QStringLiteral("↑"), frame);
  Command5 = new QPushButton(QStringLiteral("↓"), frame);
  for (QPushButton* b : {Command1, Command2, Command3, Command4, Command5}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  Command4->setFixedWidth(36);
  Command5->setFixedWidth(36);
  grid->addLayout(buttons, 2, 0, 1, 2);
  body->addWidget(frame, 2);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setSizeGripEnabled(false);
  Panel1 = new QLabel(StatusBar1);
  StatusBar1->addWidget(Panel1, 1);
  outer->addWidget(StatusBar1);
  resize(640, 360);

  // Form_Load: the lists from the database, nothing selected.
  refill(-1);
  Command2->setEnabled(false);
  Command3->setEnabled(false);

  connect(List1, &QListWidget::itemSelectionChanged, this, &ManufMerchant::List1_Click);
  connect(Command1, &QPushButton::clicked, this, &ManufMerchant::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &ManufMerchant::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &ManufMerchant::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &ManufMerchant::Command4_Click);
  connect(Command5, &QPushButton::clicked, this, &ManufMerchant::Command5_Click);
  connect(File_Import, &QAction::triggered, this, &ManufMerchant::File_Import_Click);
  connect(File_Export, &QAction::triggered, this, &ManufMerchant::File_Export_Click);
}

ManufMerchant::~ManufMerchant() = default;

void ManufMerchant::edit(Database& db, Prompt& prompt, QWidget* parent) {
  ManufMerchant dlg(db, prompt, parent);
  dlg.exec();
}

int ManufMerchant::selected() const {
  const auto items = List1->selectedItems();
  return items.isEmpty() ? -1 : List1->row(items.front());
}

void ManufMerchant::showCount() {
  Panel1->setText(QStringLiteral("共 ") + QString::number(list.count()) + QStringLiteral(" 筆廠商資料"));
}

void ManufMerchant::refill(int select) {
  {
    const QSignalBlocker quiet(List1);
    List1->clear();
    List1->addItems(list.names);
  }
  showCount();
  if (select >= 0 && select < List1->count()) {
    List1->setCurrentRow(select);
    List1->scrollToItem(List1->item(select));
  }
  List1_Click();
}

void ManufMerchant::List1_Click() {
  const int i = selected();
  // Editing and deleting need a chosen supplier.
  Command2->setEnabled(i >= 0);
  Command3->setEnabled(i >= 0);
  if (i < 0) return;
  Text1->setText(list.names[i]);
  Text2->setPlainText(LineBreaks::forBox(list.details[i]));
}

bool ManufMerchant::boxesAcceptable() {
  return TextEntry::acceptable(prompt_, {{Label1->text(), Text1->text()}, {Label2->text(), Text2->toPlainText()}});
}

void ManufMerchant::Command1_Click() {
  if (list.count() >= Capacity::Suppliers) {
    prompt_.warn(QStringLiteral("最多只能增加 500 筆廠商資料"));
    return;
  }
  if (!boxesAcceptable()) return;
  QString name = Text1->text();
  QString details = LineBreaks::forFile(Text2->toPlainText());
  const auto outcome = list.add(name, details);
  Text1->setText(name);
  Text2->setPlainText(LineBreaks::forBox(details));
  if (outcome == SupplierList::Outcome::Duplicate) {
    prompt_.warn(QStringLiteral("已存在相同名稱的廠商資料"));
    return;
  }
  if (outcome != SupplierList::Outcome::Done) return;
  refill(list.count() - 1);
  db_.setDirty(true);
}

void ManufMerchant::Command2_Click() {
  const int i = selected();
  if (i < 0) return;
  if (!boxesAcceptable()) return;
  QString name = Text1->text();
  QString details = LineBreaks::forFile(Text2->toPlainText());
  const auto outcome = list.edit(db_, i, name, details);
  Text1->setText(name);
  Text2->setPlainText(LineBreaks::forBox(details));
  if (outcome == SupplierList::Outcome::Duplicate) {
    prompt_.warn(QStringLiteral("已存在相同名稱的廠商資料"));
    return;
  }
  if (outcome != SupplierList::Outcome::Done) return;
  {
    const QSignalBlocker quiet(List1);
    List1->item(i)->setText(name);
  }
  db_.setDirty(true);
}

void ManufMerchant::Command3_Click() {
  const int i = selected();
  if (i < 0) return;
  list.remove(i);
  {
    const QSignalBlocker quiet(List1);
    delete List1->takeItem(i);
    List1->clearSelection();
    List1->setCurrentRow(-1);
  }
  Command2->setEnabled(false);
  Command3->setEnabled(false);
  showCount();
  db_.setDirty(true);
}

void ManufMerchant::Command4_Click() {
  const int i = selected();
  if (i < 0) return;
  const int to = list.moveUp(i);
  if (to != i) refill(to);
  db_.setDirty(true);
}

void ManufMerchant::Command5_Click() {
  const int i = selected();
  if (i < 0) return;
  const int to = list.moveDown(i);
  if (to != i) refill(to);
  db_.setDirty(true);
}

void ManufMerchant::File_Export_Click() {
  const QString path = prompt_.saveFile(QStringLiteral("匯出"), kCsvFilter, {}, QStringLiteral("商品資料"));
  if (path.isEmpty()) return;
  if (!Csv::writeFile(path, list.csvText())) {
    prompt_.error();
    return;
  }
  prompt_.info(QStringLiteral("匯出CSV完成!"));
}

void ManufMerchant::File_Import_Click() {
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
