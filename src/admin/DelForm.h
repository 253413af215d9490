#pragma once
// "清除已出貨訂單": removes every shipped order, or the shipped orders of a
// date range, with their lines. No close command: it is left through
// "清除" or "取消". The opener rebuilds its order list afterwards, whatever
// happened here (the main window's onClearShippedOrders):
//   DelForm dlg(db, prompt, this); dlg.exec(); OrderShow();
#include "platform/NoCloseDialog.h"

class Database;
class Prompt;
class QLineEdit;
class QPushButton;
class QRadioButton;

class DelForm : public NoCloseDialog {
  Q_OBJECT
 public:
  // Opens with today in both date boxes, disabled, and allShippedOption chosen.
  DelForm(Database& db, Prompt& prompt, QWidget* parent = nullptr);

  QRadioButton* allShippedOption;
  QRadioButton* dateRangeOption;
  QLineEdit* fromDateEdit;
  QLineEdit* toDateEdit;
  QPushButton* clearButton;
  QPushButton* cancelButton;

  void onClear();

 private:
  Database& db_;
  Prompt& prompt_;
};
