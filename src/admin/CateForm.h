#pragma once
// The category editor: edits one of the three category lists of the open
// database (the caption chooses it: "編輯商品分類", "編輯客戶分類",
// "編輯費用分類"). Renames and deletions reach the tables at once; "完成"
// copies the list back and is the only way out.
#include "admin/CategoryEdit.h"
#include "platform/NoCloseDialog.h"

class Database;
class Prompt;
class QFrame;
class QListWidget;
class QPushButton;

class CateForm : public NoCloseDialog {
  Q_OBJECT
 public:
  CateForm(Database& db, Prompt& prompt, QWidget* parent = nullptr);

  // The opening protocol: sets the caption of the kind, fills categoryList
  // from the list and runs the editor modal. When it returns the list is
  // current; the caller refills its own category boxes.
  static void edit(Database& db, Prompt& prompt, CategoryEdit::Kind kind, QWidget* parent = nullptr);

  // Fills categoryList with the entries of the list the caption names.
  void fillList();

  QListWidget* categoryList;
  QPushButton* addButton;
  QPushButton* renameButton;  // 編輯
  QPushButton* deleteButton;
  QPushButton* moveUpButton;
  QPushButton* moveDownButton;
  QPushButton* doneButton;
  QFrame* separatorLine;  // the sunken rule above "完成"

  void onDone();
  void onAdd();
  void onRename();
  void onDelete();
  void onMoveUp();
  void onMoveDown();
  void onSelectionChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CategoryEdit::Kind kind() const;
  bool askAboutClashes(const QString& from, const QString& to, const QString& question, const QString& title);
  void move(bool up);
  void Form_Unload();

  Database& db_;
  Prompt& prompt_;
};
