#pragma once
// The password prompt shown before a protected database is opened. The
// opener makes DataBasePath and DataBaseName those of the database to open,
// calls Form_Load, shows the window modal when Form_Load asks for it, and
// reads PassChk afterwards.
#include <QDialog>

class Database;
class Prompt;
class PasswordHost;
class QLabel;
class QLineEdit;
class QPushButton;

class PassInput : public QDialog {
  Q_OBJECT
 public:
  PassInput(Database& db, Prompt& prompt, PasswordHost& host, QWidget* parent = nullptr);

  // Reads the password file. False when the window need not be shown: a
  // damaged file was reported and deleted, and access is granted.
  bool Form_Load();
  void onOk();
  void onCancel();

  QLabel* promptLabel;
  QLineEdit* passwordEdit;
  QPushButton* okButton;
  QPushButton* cancelButton;

 public Q_SLOTS:
  void reject() override;  // the close command refuses like Cancel

 private:
  Database& db_;
  Prompt& prompt_;
  PasswordHost& host_;
  QString password_;
};
