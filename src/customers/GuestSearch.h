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

  void Command1_Click();  // field search (the default button)
  void Command3_Click();  // product-name search

  QLineEdit* Text1;  // 客戶帳號
  QComboBox* Combo1; // 客戶分類
  QLineEdit* Text2;  // 姓名
  QComboBox* Combo2; // 性別
  QLineEdit* Text3;  // 電話
  QLineEdit* Text4;  // 手機
  QLineEdit* Text5;  // Email
  QLineEdit* Text6;  // 住址
  QLineEdit* Text7;  // 帳號末5碼
  QLineEdit* Text8;  // 備註
  QLineEdit* Text9;  // product name
  QPushButton* Command1;
  QPushButton* Command3;

 private:
  Database& db_;
  Prompt& prompt_;
  GuestForm& list_;
};
