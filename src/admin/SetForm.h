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
  void onOk();
  void onCancel();
  void onRestoreDefaults();
  void onPlaceholderHelp();
  void onAddMethod();
  void onRenameMethod();  // 編輯
  void onDeleteMethod();
  void onMoveMethodUp();
  void onMoveMethodDown();
  void onNoteColumnDoubleClicked();  // asks the percentage of the selected column
  // The settings-password check: true when there is no Setting.pwd, when the
  // answer is right, or when the file is damaged (then deleted).
  bool PassInit();
  void onSetPassword();
  void onClearPassword();

  // PasswordHost: the dialog's own password menu.
  bool passChk() const override { return true; }
  void setPassChk(bool) override {}
  bool passSetEnabled() const override;
  bool passClearEnabled() const override;
  void setPassMenu(bool setEnabled, bool clearEnabled) override;

  // ---- controls ----
  QMenuBar* menuBar;
  QMenu* passwordMenu;
  QAction* setPasswordAction;
  QAction* clearPasswordAction;
  QRadioButton *showAllOption, *showYearOption, *showMonthOption;  // 啟動後的顯示狀態
  QCheckBox *systemTrayCheck, *compareStockCheck, *hideCostCheck, *roundRateCheck;
  QLabel* fontSizeLabel;
  QComboBox* fontSizeCombo;  // the order list's font size
  QPlainTextEdit* labelTemplateEdit;  // the mailing-label template
  QRadioButton *labelAsTextOption, *labelAsHtmlOption;
  QPushButton* placeholderHelpButton;
  QLabel* noteTitleLabel;
  QLineEdit* noteTitleEdit;
  QPlainTextEdit* shopInfoEdit;     // the seller's block
  QListWidget* noteFieldList;       // header rows, ticked
  ListView* noteColumnList;         // product columns and their percentages
  QLabel *buyerPercentLabel, *shopPercentLabel, *noteWidthLabel;
  QLineEdit* buyerPercentEdit;  // the buyer cell's width in percent
  QLineEdit* shopPercentEdit;   // the seller cell's: the rest of 100
  QLineEdit* noteWidthEdit;
  QCheckBox* noteSeparatorCheck;
  QListWidget* shippingMethodList;
  QPushButton *addMethodButton, *renameMethodButton, *deleteMethodButton, *moveMethodUpButton,
      *moveMethodDownButton;
  QPushButton *okButton, *cancelButton, *restoreDefaultsButton;

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
