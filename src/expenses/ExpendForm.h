#pragma once
// The expense window "雜支費用": the sundry expenses listed by category and
// period with their count and total, the edit boxes with add, edit and
// delete, the text searches, the exchange-rate conversion of one amount and
// the export to a text file. Modeless beside the main window; every change
// goes straight into the Expend table.
#include <QMainWindow>
#include <functional>

#include "expenses/ExpendList.h"

class Database;
class Prompt;
class ListView;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;

class ExpendForm : public QMainWindow {
  Q_OBJECT
 public:
  ExpendForm(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~ExpendForm() override;

  // The main window's opening, before it shows the window: both category
  // boxes filled afresh and set to their first entries (quietly), the year,
  // then the period position, which builds the list, then today's date in
  // the date box.
  void openFromMain(const QString& year, int periodIndex);

  // Rebuilds the list and the status text with the current filters.
  void ExpendShow();
  // While set, a choice in Combo1 does not rebuild the list.
  bool se = false;

  // The category editor for the expense categories, modal (tests replace it).
  std::function<void()> runCategoryEditor;
  // Run after every change of the Expend table (the main window's totals).
  std::function<void()> onExpensesChanged;

  // The status bar's text.
  QString statusText() const;

  // ---- controls ----
  QLineEdit* Text2;       // search text
  QPushButton* Command1;  // 搜尋
  QPushButton* Command5;  // 全區搜尋
  QLineEdit* Text1;       // year
  QComboBox* Combo2;      // period
  QComboBox* Combo1;      // category filter
  QPushButton* Command7;  // 編輯分類
  ListView* Liv1;
  QLabel *Label1, *Label2, *Label3, *Label4, *Label5;
  QLineEdit* Text3;       // date
  QComboBox* Combo3;      // category
  QLineEdit* Text4;       // detail
  QLineEdit* Text5;       // amount
  QLineEdit* Text6;       // note
  QPushButton* Command2;  // 新增
  QPushButton* Command3;  // 編輯
  QPushButton* Command4;  // 刪除
  QPushButton* Command6;  // 結束
  QStatusBar* StatusBar1;
  QMenu* Menu_Sel;
  QAction* Sel_Note;
  QMenu* Menu_Tools;
  QAction* Tools_Rate;

  // ---- handlers ----
  void Combo1_Click();
  void Combo2_Click();
  void Command1_Click();  // search within the filters
  void Command5_Click();  // search every expense
  void Command2_Click();  // add
  void Command3_Click();  // edit the selected row
  void Command4_Click();  // delete the selected row (also the Delete key)
  void Command6_Click();  // close
  void Command7_Click();  // the category editor
  void Liv1_Click();      // the selected row into the boxes
  // The popup menu at a screen position (right button over the list).
  void Liv1_MouseUp(const QPoint& globalPos);
  void Tools_Rate_Click();
  void Sel_Note_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Form_Load();
  void Form_Unload();
  void Form_Resize();
  void fillCategoryBoxes();
  void editCategories();
  void showListing(const ExpendList::Listing& listing);
  void search(bool whole);
  int selectedRow() const;
  ExpendList::Filter filter() const;
  ExpendList::Boxes boxes() const;
  void setBoxes(const ExpendList::Boxes& b);
  // The boxes checked and cleaned for add and edit; false when refused.
  bool validBoxes(ExpendList::Boxes* b);
  void showAmount(int row, const QString& amount);
  // Count and total of the rows listed now.
  void recount();
  void changed();

  Database& db_;
  Prompt& prompt_;
  QWidget* body_ = nullptr;
  QLabel* status_ = nullptr;
  bool unloaded_ = false;
};
