#pragma once
// The advanced order search "進階搜尋": a small modal dialog of the main
// window. "搜尋" lists every order meeting all filled boxes in the main
// window's order list with their money panels, hands its category and
// shipped option back to the main window's filters (without a rebuild),
// refreshes the shortage list and closes.
#include <QDialog>
#include <functional>

#include "models/AdvancedOrderSearch.h"

class Database;
class OrderListHost;
class Prompt;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class OrderSearch : public QDialog {
  Q_OBJECT
 public:
  OrderSearch(Database& db, Prompt& prompt, OrderListHost& host, QWidget* parent = nullptr);

  // The main window's "進階搜尋": categoryCombo filled and put on the main
  // list's category, the options copied from the main window's, shown modal (run
  // replaces exec for tests).
  static void open(Database& db, Prompt& prompt, OrderListHost& host, QWidget* parent, bool mainUnshipped,
                   bool mainShipped, const std::function<void(OrderSearch&)>& run = {});

  // categoryCombo: "全部", the customer categories, "未分類".
  void fillCategories();
  AdvancedOrderSearch::Fields fields() const;

  void onSearch();  // 搜尋
  void onCancel();  // 取消

  QLineEdit *orderNumberEdit, *customerEdit, *noteEdit;
  QLineEdit *dateFromEdit, *dateToEdit, *paidFromEdit, *paidToEdit, *shippedFromEdit, *shippedToEdit;
  QComboBox* categoryCombo;
  QRadioButton *unshippedOption, *shippedOption, *unpaidOption;
  QPushButton *searchButton, *cancelButton;

 private:
  void setFields(const AdvancedOrderSearch::Fields& f);

  Database& db_;
  Prompt& prompt_;
  OrderListHost& host_;
};
