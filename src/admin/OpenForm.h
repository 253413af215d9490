#pragma once
// The database manager "開啟資料庫": the list of known databases with add,
// rename, relocate, remove and open. It never loads a database: it leaves the
// folder to open in ChosenDataBasePath (empty when left with "離開") and the
// opener loads it. It has no close command; it is left through openButton
// "開啟" or leaveButton, which reads "離開" or, when no database is usable,
// "結束" and then ends the program.
#include "platform/NoCloseDialog.h"
#include <functional>

class Database;
class Prompt;
class PasswordHost;
class PassInput;
class ListView;
class QLabel;
class QPushButton;

class OpenForm : public NoCloseDialog {
  Q_OBJECT
 public:
  OpenForm(Database& db, Prompt& prompt, PasswordHost& host, QWidget* parent = nullptr);

  void Form_Load();
  void onLeave();  // leave, or end the program
  void onOpen();
  void onAdd();
  void onRename();
  void onRelocate();
  void onRemove();
  void onDatabaseDoubleClicked() { onOpen(); }
  // Asks for the selected database's password in an input box.
  bool PassCheck();

  // The folder to open, or "" when the manager was left.
  QString ChosenDataBasePath;

  // Ends the program at once (the leave button reading "結束"). Tests replace
  // it; when it returns, the manager closes as if the program had ended:
  // nothing written, ChosenDataBasePath empty, ended() true.
  std::function<void()> endProgram;
  // Shows the password prompt modal; tests answer it instead.
  std::function<void(PassInput&)> runPassInput;
  bool ended() const { return ended_; }

  ListView* databaseList;
  QPushButton* leaveButton;
  QPushButton* openButton;
  QPushButton* addButton;
  QPushButton* renameButton;
  QPushButton* relocateButton;
  QPushButton* removeButton;
  QLabel* statusLabel;

 private:
  int selectedRow() const;
  void countLine();
  // Stores the column widths and rewrites List.dat; false (after the
  // message) when the list could not be written.
  bool Form_Unload();
  void closeNormally();

  Database& db_;
  Prompt& prompt_;
  PasswordHost& host_;
  bool ended_ = false;
};
