#pragma once
// The supplier list "廠商資料": the open database's suppliers with their
// details, added, edited (a rename reaches the purchase records at once),
// deleted, reordered, and exchanged as a CSV file. Shown modal by the
// purchase dialog, the purchase records window and the purchase sheet,
// each of which refills its supplier drop-down afterwards:
//
//   ManufMerchant::edit(db_, prompt_, this);
//
// There is no OK or Cancel: closing the window commits the list, and is
// refused while the list is empty or holds more than 500 suppliers.
#include <QDialog>

#include "purchasing/SupplierList.h"

class Database;
class Prompt;
class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

class ManufMerchant : public QDialog {
  Q_OBJECT
 public:
  ManufMerchant(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~ManufMerchant() override;

  static void edit(Database& db, Prompt& prompt, QWidget* parent = nullptr);

  // The suppliers while the dialog is open (List1 shows the names).
  SupplierList list;

  // Handlers.
  void List1_Click();
  void Command1_Click();  // 新增
  void Command2_Click();  // 編輯
  void Command3_Click();  // 刪除
  void Command4_Click();  // ↑
  void Command5_Click();  // ↓
  void File_Export_Click();
  void File_Import_Click();
  // The closing rules; true when the list was committed and the dialog may close.
  bool Form_Unload();

  // Controls.
  QListWidget* List1;
  QLabel *Label1, *Label2;
  QLineEdit* Text1;
  QPlainTextEdit* Text2;
  QPushButton *Command1, *Command2, *Command3, *Command4, *Command5;
  QStatusBar* StatusBar1;
  QLabel* Panel1;
  QMenu* Menu_File;
  QAction *File_Import, *File_Export;

 protected:
  void done(int result) override;

 private:
  void refill(int select);
  int selected() const;
  void showCount();
  bool boxesAcceptable();

  Database& db_;
  Prompt& prompt_;
  bool committed_ = false;
};
