#pragma once
// "進階搜尋": the customer window's advanced search. The field search lists
// the customers meeting every condition typed; the product-name search the
// customers who bought a product whose name holds the text. Both write
// their rows into the customer window's list.
#include <QDialog>

class Database;
class GuestForm;
class Prompt;
class QComboBox;
class QLineEdit;
class QPushButton;

class GuestSearch : public QDialog {
  Q_OBJECT
 public:
  // Fills the category box ("全部", the categories, "未分類") and chooses the
  // entry the customer window's filter shows.
  GuestSearch(Database& db, Prompt& prompt, GuestForm& list, QWidget* parent = nullptr);
  ~GuestSearch() override;

  void onFieldSearch();  // the default button
  void onProductSearch();

  QLineEdit* accountEdit;
  QComboBox* categoryCombo;
  QLineEdit* nameEdit;
  QComboBox* sexCombo;
  QLineEdit* phoneEdit;
  QLineEdit* mobileEdit;
  QLineEdit* emailEdit;
  QLineEdit* addressEdit;
  QLineEdit* bankLast5Edit;
  QLineEdit* noteEdit;
  QLineEdit* productNameEdit;
  QPushButton* fieldSearchButton;
  QPushButton* productSearchButton;

 private:
  Database& db_;
  Prompt& prompt_;
  GuestForm& list_;
};
