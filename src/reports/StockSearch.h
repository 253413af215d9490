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

  void onSearch();  // 搜尋
  void onCancel();  // 取消

  QLineEdit *orderNumberEdit, *productNameEdit, *noteEdit, *dateFromEdit, *dateToEdit, *urlEdit;
  QComboBox* categoryCombo;
  QRadioButton *unshippedOption, *shippedOption;
  QCheckBox* keepResultsCheck;
  QPushButton *searchButton, *cancelButton;

 private:
  void setBoxes(const StockList::SearchBoxes& b);

  Database& db_;
  Prompt& prompt_;
  StockForm& form_;
};
