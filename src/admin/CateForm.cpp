#include "admin/CateForm.h"

#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <exception>

#include "platform/Prompt.h"
#include "platform/SettingsStore.h"
#include "platform/WindowTweaks.h"
#include "store/Database.h"
#include "store/TextEntry.h"

namespace {

const QString kSection = QStringLiteral("CateForm");
constexpr int kDesignWidth = 5760;
constexpr int kDesignHeight = 5130;
constexpr int kMaxNamesShown = 10;

}  // namespace

CateForm::CateForm(Database& db, Prompt& prompt, QWidget* parent) : NoCloseDialog(parent), db_(db), prompt_(prompt) {
  setModal(true);
  categoryList = new QListWidget(this);
  categoryList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  addButton = new QPushButton(QStringLiteral("新增"), this);
  renameButton = new QPushButton(QStringLiteral("編輯"), this);
  deleteButton = new QPushButton(QStringLiteral("刪除"), this);
  moveUpButton = new QPushButton(QStringLiteral("上移"), this);
  moveDownButton = new QPushButton(QStringLiteral("下移"), this);
  doneButton = new QPushButton(QStringLiteral("完成"), this);
  for (QPushButton* b : {addButton, renameButton, deleteButton, moveUpButton, moveDownButton}) b->setAutoDefault(false);
  doneButton->setDefault(true);
  separatorLine = new QFrame(this);
  separatorLine->setFrameShape(QFrame::HLine);
  separatorLine->setFrameShadow(QFrame::Sunken);

  auto* grid = new QGridLayout(this);
  grid->addWidget(categoryList, 0, 0, 6, 1);
  int r = 0;
  for (QPushButton* b : {addButton, renameButton, deleteButton, moveUpButton, moveDownButton})
    grid->addWidget(b, r++, 1);
  grid->setRowStretch(5, 1);
  grid->addWidget(separatorLine, 6, 0, 1, 2);
  grid->addWidget(doneButton, 7, 1);
  grid->setColumnStretch(0, 1);

  setMinimumSize(WindowTweaks::pixelsFromTwips(kDesignWidth), WindowTweaks::pixelsFromTwips(kDesignHeight));
  resize(minimumSize());
  WindowTweaks::restoreSize(this, kSection);
  WindowTweaks::restoreState(this, kSection);
  for (QPushButton* b : {renameButton, deleteButton, moveUpButton, moveDownButton}) b->setEnabled(false);

  connect(doneButton, &QPushButton::clicked, this, &CateForm::onDone);
  connect(addButton, &QPushButton::clicked, this, &CateForm::onAdd);
  connect(renameButton, &QPushButton::clicked, this, &CateForm::onRename);
  connect(deleteButton, &QPushButton::clicked, this, &CateForm::onDelete);
  connect(moveUpButton, &QPushButton::clicked, this, &CateForm::onMoveUp);
  connect(moveDownButton, &QPushButton::clicked, this, &CateForm::onMoveDown);
  connect(categoryList, &QListWidget::itemSelectionChanged, this, &CateForm::onSelectionChanged);
  categoryList->installEventFilter(this);
}

void CateForm::edit(Database& db, Prompt& prompt, CategoryEdit::Kind kind, QWidget* parent) {
  CateForm form(db, prompt, parent);
  form.setWindowTitle(CategoryEdit::caption(kind));
  form.fillList();
  form.exec();
}

CategoryEdit::Kind CateForm::kind() const { return CategoryEdit::kindOf(windowTitle()); }

void CateForm::fillList() {
  categoryList->clear();
  if (kind() != CategoryEdit::Kind::None) categoryList->addItems(CategoryEdit::list(db_, kind()));
}

void CateForm::onSelectionChanged() {
  const int selected = static_cast<int>(categoryList->selectedItems().size());
  for (QPushButton* b : {renameButton, deleteButton, moveUpButton, moveDownButton}) b->setEnabled(selected > 0);
  if (selected > 1) {
    renameButton->setEnabled(false);
    deleteButton->setEnabled(false);
  }
}

bool CateForm::askAboutClashes(const QString& from, const QString& to, const QString& question, const QString& title) {
  const QStringList both = CategoryEdit::clashes(db_, kind(), from, to);
  if (both.isEmpty()) return true;
  const bool products = kind() == CategoryEdit::Kind::Product;
  QStringList shown = both.mid(0, kMaxNamesShown);
  if (both.size() > kMaxNamesShown) shown << QStringLiteral("…");
  const QString text = QStringLiteral("「%1」裡有 %2 筆%3跟「%4」裡的%3同名，合併後兩筆資料將無法分辨：")
                           .arg(from)
                           .arg(both.size())
                           .arg(products ? QStringLiteral("商品") : QStringLiteral("客戶帳號"))
                           .arg(to) +
                       QStringLiteral("\r\n") + shown.join(QStringLiteral("、")) + QStringLiteral("\r\n\r\n") + question;
  return prompt_.askYesNo(text, title);
}

void CateForm::onAdd() {
  try {
    const CategoryEdit::Kind k = kind();
    const int capacity = CategoryEdit::capacity(k);
    if (categoryList->count() >= capacity) {
      prompt_.warn(QStringLiteral("最多只能增加 %1 筆%2").arg(capacity).arg(CategoryEdit::word(k)));
      return;
    }
    const auto answer = prompt_.input(QStringLiteral("請輸入您要新增的%1名稱").arg(CategoryEdit::word(k)),
                                      QStringLiteral("新增"));
    if (!TextEntry::acceptable(prompt_, {{CategoryEdit::word(k), answer.value_or(QString())}})) return;
    const QString name = CategoryEdit::cleanName(answer.value_or(QString()));
    if (name.isEmpty()) return;
    categoryList->addItem(name);
    categoryList->setCurrentRow(categoryList->count() - 1);
    db_.setDirty(true);
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void CateForm::onRename() {
  try {
    QListWidgetItem* current = categoryList->currentItem();
    if (categoryList->selectedItems().isEmpty() || !current) return;
    const QString from = current->text();
    const auto answer = prompt_.input(QStringLiteral("要改成什麼名稱?"), QStringLiteral("編輯"), from);
    if (!TextEntry::acceptable(prompt_, {{CategoryEdit::word(kind()), answer.value_or(QString())}})) return;
    const QString to = CategoryEdit::cleanName(answer.value_or(QString()));
    if (to.isEmpty()) return;
    if (!askAboutClashes(from, to, QStringLiteral("確定要改成這個名稱嗎？"), QStringLiteral("編輯"))) return;
    CategoryEdit::rename(db_, kind(), from, to);
    current->setText(to);
    db_.setDirty(true);
  } catch (const std::exception&) {
    db_.setDirty(true);
    prompt_.error();
  }
}

void CateForm::onDelete() {
  try {
    QListWidgetItem* current = categoryList->currentItem();
    if (categoryList->selectedItems().isEmpty() || !current) return;
    if (!prompt_.askYesNo(QStringLiteral("這個分類的資料將會移到<未分類>，確定刪除這個分類嗎？"), QStringLiteral("刪除")))
      return;
    const QString name = current->text();
    if (!askAboutClashes(name, QStringLiteral("未分類"), QStringLiteral("確定刪除這個分類嗎？"), QStringLiteral("刪除")))
      return;
    CategoryEdit::remove(db_, kind(), name);
    delete categoryList->takeItem(categoryList->row(current));
    onSelectionChanged();
    db_.setDirty(true);
  } catch (const std::exception&) {
    db_.setDirty(true);
    prompt_.error();
  }
}

void CateForm::move(bool up) {
  try {
    if (categoryList->count() <= 1 || categoryList->currentRow() < 0) return;
    QStringList entries;
    std::vector<bool> selected;
    for (int i = 0; i < categoryList->count(); ++i) {
      entries << categoryList->item(i)->text();
      selected.push_back(categoryList->item(i)->isSelected());
    }
    up ? CategoryEdit::moveUp(entries, selected) : CategoryEdit::moveDown(entries, selected);
    const bool was = categoryList->blockSignals(true);
    for (int i = 0; i < categoryList->count(); ++i) {
      categoryList->item(i)->setText(entries[i]);
      categoryList->item(i)->setSelected(selected[static_cast<size_t>(i)]);
    }
    categoryList->blockSignals(was);
    onSelectionChanged();
    db_.setDirty(true);
  } catch (const std::exception&) {
    prompt_.error();
  }
}

void CateForm::onMoveUp() { move(true); }
void CateForm::onMoveDown() { move(false); }

void CateForm::onDone() {
  if (kind() != CategoryEdit::Kind::None) {
    QStringList entries;
    for (int i = 0; i < categoryList->count(); ++i) entries << categoryList->item(i)->text();
    CategoryEdit::list(db_, kind()) = entries;
  }
  Form_Unload();
  accept();
}

void CateForm::Form_Unload() {
  WindowTweaks::saveSize(this, kSection, QSize(kDesignWidth, kDesignHeight));
  const Qt::WindowStates st = windowState();
  const int state = st.testFlag(Qt::WindowMinimized) ? 1 : st.testFlag(Qt::WindowMaximized) ? 2 : 0;
  SettingsStore::setNumber(kSection, QStringLiteral("WinState"), state);
}

bool CateForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == categoryList && event->type() == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete && categoryList->selectedItems().size() == 1) onDelete();
  }
  return NoCloseDialog::eventFilter(watched, event);
}
