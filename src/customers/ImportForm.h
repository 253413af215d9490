#pragma once
// "設定匯入客戶格式": the three clipboard-import profiles of the customer
// dialog, one column each: the profile's name and, for each of the nine
// customer fields, its comma-separated list of keys. "匯入" below a column
// loads a template file into it; "確定" stores all three in Import.kdt.
#include <QDialog>

class Database;
class Prompt;
class QLineEdit;
class QPushButton;

class ImportForm : public QDialog {
  Q_OBJECT
 public:
  ImportForm(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~ImportForm() override;

  void onOk();                       // 確定: store and close
  void onImportTemplate(int index);  // 匯入: a template into column index

  QLineEdit* profileNameEdits[3];
  QLineEdit* profile1KeyEdits[9];  // key lists of profile 1, fields 1..9
  QLineEdit* profile2KeyEdits[9];
  QLineEdit* profile3KeyEdits[9];
  QPushButton* importButtons[3];  // 匯入
  QPushButton* okButton;          // 確定
  QPushButton* cancelButton;      // 取消

 private:
  void Form_Load();
  QLineEdit** column(int index);

  Database& db_;
  Prompt& prompt_;
};
