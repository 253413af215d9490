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

  // The opening protocol: sets the caption of the kind, fills List1 from the
  // list and runs the editor modal. When it returns the list is current; the
  // caller refills its own category boxes.
  static void edit(Database& db, Prompt& prompt, CategoryEdit::Kind kind, QWidget* parent = nullptr);

  // Fills List1 with the entries of the list the caption names.
  void fillList();

  QListWidget* List1;
  QPushButton* Command2;  // 新增
  QPushButton* Command3;  // 編輯
  QPushButton* Command4;  // 刪除
  QPushButton* Command5;  // 上移
  QPushButton* Command6;  // 下移
  QPushButton* Command1;  // 完成
  QFrame* Line1;  // the sunken rule above "完成"

  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void List1_Click();

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
