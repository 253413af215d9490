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

  // The suppliers while the dialog is open (nameList shows the names).
  SupplierList list;

  // Handlers.
  void onSupplierClicked();
  void onAdd();
  void onEdit();
  void onDelete();
  void onMoveUp();
  void onMoveDown();
  void onExportCsv();
  void onImportCsv();
  // The closing rules; true when the list was committed and the dialog may close.
  bool Form_Unload();

  // Controls.
  QListWidget* nameList;
  QLabel *nameLabel, *detailsLabel;
  QLineEdit* nameEdit;
  QPlainTextEdit* detailsEdit;
  QPushButton *addButton, *editButton, *deleteButton, *moveUpButton, *moveDownButton;
  QStatusBar* statusBar;
  QLabel* countLabel;
  QMenu* fileMenu;
  QAction *importAction, *exportAction;

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
