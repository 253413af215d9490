#pragma once
// The folder dialog: SelState 1 chooses the open database's automatic-backup
// folder (kept in "AutoBackup.kdt" of the database folder), any other value
// the program's temporary-file folder (kept in the settings store).
#include <QDialog>

class Database;
class Prompt;
class QCheckBox;
class QLabel;
class QPushButton;

class SetAtuoBackupForm : public QDialog {
  Q_OBJECT
 public:
  SetAtuoBackupForm(Database& db, Prompt& prompt, QWidget* parent = nullptr);

  // 1 = automatic-backup folder, 2 = temporary-file folder; set before showing.
  qint16 SelState = 1;

  // The captions of the temporary-file mode, as the main window's onTempFolder gives them
  // (also sets SelState to 2).
  void setTempMode();

  void Form_Load();
  void onChooseFolderToggled();
  void onBrowse();
  void onOk();
  void onCancel();

  QCheckBox* chooseFolderCheck;
  QLabel* folderLabel;
  QPushButton* browseButton;
  QLabel* adviceLabel;
  QLabel* hintLabel;
  QPushButton* okButton;
  QPushButton* cancelButton;

  static constexpr const char* kRefused = "無法使用此路徑，請重新選擇";

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool acceptBackupFolder(const QString& folder);
  Database& db_;
  Prompt& prompt_;
  bool loaded_ = false;
};
