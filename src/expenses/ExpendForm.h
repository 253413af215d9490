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
  // While set, a choice in categoryFilterCombo does not rebuild the list.
  bool se = false;

  // The category editor for the expense categories, modal (tests replace it).
  std::function<void()> runCategoryEditor;
  // Run after every change of the Expend table (the main window's totals).
  std::function<void()> onExpensesChanged;

  // The status bar's text.
  QString statusText() const;

  // ---- controls ----
  QLineEdit* searchEdit;
  QPushButton* searchButton;     // 搜尋
  QPushButton* searchAllButton;  // 全區搜尋
  QLineEdit* yearEdit;
  QComboBox* periodCombo;
  QComboBox* categoryFilterCombo;
  QPushButton* editCategoriesButton;  // 編輯分類
  ListView* expenseList;
  QLabel *dateLabel, *categoryLabel, *detailLabel, *amountLabel, *noteLabel;
  QLineEdit* dateEdit;
  QComboBox* categoryCombo;  // the new or edited expense's category
  QLineEdit* detailEdit;
  QLineEdit* amountEdit;
  QLineEdit* noteEdit;
  QPushButton* addButton;     // 新增
  QPushButton* editButton;    // 編輯
  QPushButton* deleteButton;  // 刪除
  QPushButton* closeButton;   // 結束
  QStatusBar* statusBarWidget;
  QMenu* exportMenu;
  QAction* exportToNotepadAction;
  QMenu* toolsMenu;
  QAction* convertRateAction;

  // ---- handlers ----
  void onCategoryChosen();
  void onPeriodChosen();
  void onSearch();          // search within the filters
  void onSearchAll();       // search every expense
  void onAdd();
  void onEdit();            // edit the selected row
  void onDelete();          // delete the selected row (also the Delete key)
  void onClose();
  void onEditCategories();
  void onExpenseClicked();  // the selected row into the boxes
  // The popup menu at a screen position (right button over the list).
  void onListContextMenu(const QPoint& globalPos);
  void onConvertRate();
  void onExportToNotepad();

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
