#pragma once
// The products-in-orders search "進階搜尋": a small modal dialog over the
// products-in-orders window. "搜尋" lists every order line meeting all
// filled boxes in the window's list (after the rows there when
// "保留上次搜尋的內容" is ticked), writes the totals of the lines found,
// hands its product category and shipped state back to the window's
// filters (without a rebuild) and closes.
#include <QDialog>

#include "models/StockList.h"

class Database;
class Prompt;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class StockForm;

class StockSearch : public QDialog {
  Q_OBJECT
 public:
  StockSearch(Database& db, Prompt& prompt, StockForm& form);

  StockList::SearchBoxes boxes() const;

  void Command1_Click();  // 搜尋
  void Command2_Click();  // 取消

  QLineEdit *Text1, *Text2, *Text3, *Text4, *Text5, *Text6;
  QComboBox* Combo1;
  QRadioButton *Option1, *Option2;
  QCheckBox* Check1;
  QPushButton *Command1, *Command2;

 private:
  void setBoxes(const StockList::SearchBoxes& b);

  Database& db_;
  Prompt& prompt_;
  StockForm& form_;
};
