#pragma once
// The general settings dialog "一般設定": the program's switches and list
// font size, the mailing-label template, the shipping-note layout and the
// shipping methods. It works on its controls only; "確定" stores them all
// (after the settings password, when the database has one), "取消" and the
// close box discard them.
#include <QDialog>
#include <functional>

#include "admin/GeneralSettings.h"
#include "admin/PasswordHost.h"

class Database;
class Prompt;
class ListView;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class SetForm : public QDialog, public PasswordHost {
  Q_OBJECT
 public:
  // What the dialog reads of and changes on the main window.
  struct Hooks {
    std::function<double()> listFontSize;           // the order list's font size as read back
    std::function<void(int)> applyListFontSize;     // the order list and its status bar
    std::function<void()> CheckViewMoney;
  };

  SetForm(Database& db, Prompt& prompt, Hooks hooks, QWidget* parent = nullptr);
  ~SetForm() override;

  // The controls as the values say, and back.
  void showValues(const GeneralSettings::Values& v);
  GeneralSettings::Values values() const;

  // ---- handlers ----
  void Command1_Click();  // 確定
  void Command2_Click();  // 取消
  void Command3_Click();  // 還原預設值
  void Command9_Click();  // 點我看格式代號
  void Command4_Click();  // shipping method: 新增
  void Command5_Click();  // 編輯
  void Command6_Click();  // 刪除
  void Command7_Click();  // 上移
  void Command8_Click();  // 下移
  void Liv1_DblClick();   // the percentage of the selected column
  // The settings-password check: true when there is no Setting.pwd, when the
  // answer is right, or when the file is damaged (then deleted).
  bool PassInit();
  void Pass_Set_Click();
  void Pass_Clear_Click();

  // PasswordHost: the dialog's own password menu.
  bool passChk() const override { return true; }
  void setPassChk(bool) override {}
  bool passSetEnabled() const override;
  bool passClearEnabled() const override;
  void setPassMenu(bool setEnabled, bool clearEnabled) override;

  // ---- controls ----
  QMenuBar* menuBar;
  QMenu* Menu_Pass;
  QAction* Pass_Set;
  QAction* Pass_Clear;
  QRadioButton *Option1, *Option2, *Option3;  // 啟動後的顯示狀態
  QCheckBox *Check1, *Check2, *Check4, *Check6;
  QLabel* Label5;
  QComboBox* Combo1;  // list font size
  QPlainTextEdit* Text1;  // label template
  QRadioButton *Option4, *Option5;
  QPushButton* Command9;
  QLabel* Label1;
  QLineEdit* Text3;       // note title
  QPlainTextEdit* Text2;  // seller block
  QListWidget* List2;     // header rows, ticked
  ListView* Liv1;         // product columns and their percentages
  QLabel *Label3, *Label4, *Label2;
  QLineEdit* Text4;  // buyer cell percent
  QLineEdit* Text5;  // seller cell percent
  QLineEdit* Text6;  // note width
  QCheckBox* Check5;
  QListWidget* List1;  // shipping methods
  QPushButton *Command4, *Command5, *Command6, *Command7, *Command8;
  QPushButton *Command1, *Command2, *Command3;

 private:
  void Form_Load();
  void percentRule(QLineEdit* box, QLineEdit* other);
  void setStartView(int view);
  bool passwordGranted();
  void moveMethod(int by);

  Database& db_;
  Prompt& prompt_;
  Hooks hooks_;
};
