#pragma once
// The customer dialog "客戶": one customer created or edited, opened by the
// customer window (modes 1 new, 2 edit) or by the order editor (modes 3 new,
// 4 edit the order's customer). Its "儲存" runs GuestSave and keeps the
// customer window or the order editor in step.
#include <QDialog>
#include <QPointer>

#include "models/CustomerFields.h"

class Database;
class Prompt;
class GuestForm;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class GuestInput : public QDialog {
  Q_OBJECT
 public:
  GuestInput(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~GuestInput() override;

  // The opening protocol. A new customer (mode 1 or 3): every box empty, the
  // category list filled and `category` shown (the first entry when empty).
  void openNew(int mode, const QString& category);
  // An edit (mode 2 or 4) of Guest row `row`: the boxes hold its cells and
  // NameStr/SaleStr its key. False (nothing filled) for a row not there.
  bool openEdit(int mode, int row);

  // The order editor's customer button. With editExisting false (caption
  // "新增客戶") a new customer in mode 3; with true ("編輯客戶") the first
  // customer (account, category) in mode 4, or "找不到這筆客戶資料，請重新選擇!"
  // and nothing opened when there is none. The saved or taken customer goes
  // to `editor`. Returns the dialog's result (QDialog::Rejected when nothing
  // was opened or it was cancelled).
  static int runForEditor(Database& db, Prompt& prompt, QWidget* parent, bool editExisting, const QString& account,
                          const QString& category, CustomerSink editor);

  // The boxes as one customer, and back (multi-line boxes keep CR LF).
  CustomerFields fields() const;
  void setFields(const CustomerFields& f);

  // Opened by the customer window (modes 1 and 2): its list follows the save.
  QPointer<GuestForm> list;
  // Opened by the order editor (modes 3 and 4): receives the saved or the
  // taken customer (see CustomerSink).
  CustomerSink editor;

  // Set once "編輯分類" ran: the category lists (and maybe the tables) changed.
  bool categoriesEdited = false;

  QString NameStr;
  QString SaleStr;
  int SelState = 1;
  int SelEdit = 0;

  QLineEdit* accountEdit;
  QComboBox* categoryCombo;
  QLineEdit* nameEdit;
  QComboBox* sexCombo;
  QLineEdit* phoneEdit;
  QLineEdit* mobileEdit;
  QLineEdit* emailEdit;
  QPlainTextEdit* addressEdit;
  QLineEdit* bankLast5Edit;
  QPlainTextEdit* noteEdit;
  QComboBox* profileCombo;  // clipboard-import profile
  QLabel* headingLabel;
  QPushButton* saveButton;            // 儲存
  QPushButton* cancelButton;          // 取消
  QPushButton* importButton;          // 匯入客戶
  QPushButton* mailButton;            // 寫信
  QPushButton* editCategoriesButton;  // 編輯分類

  void onSave();
  void onImport();  // 匯入客戶: the boxes filled from the clipboard
  // The boxes filled from `text` by the profile chosen in profileCombo.
  void importText(const QString& text);
  void onMail();
  void onEditCategories();
  // The address "寫信" opens: "mailto:" and the Email box's text; empty when
  // the box is empty.
  QString mailAddress() const;

 protected:
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fillCategories();
  void fillProfiles();

  Database& db_;
  Prompt& prompt_;
  bool unloaded_ = false;
};
