#pragma once
// The picking list window "撿貨單": the lines of the orders selected in the
// main order list merged into one row per product (and per note while
// "顯示備註" is on) with their quantities added, a category filter, a
// one-time sort by name, the quantity total and the export of its rows.
// Modal; it reads the tables and changes nothing.
#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "printouts/PickingList.h"

class Database;
class ListView;
class Prompt;
class QAction;
class QComboBox;
class QLabel;
class QMenuBar;
class QPushButton;
class QStatusBar;

class OrderStock : public QDialog {
  Q_OBJECT
 public:
  OrderStock(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~OrderStock() override;

  static constexpr const char* Section = "OrderStock";

  // How the lines of the orders are merged (PickingList::merge).
  using Merge = std::function<std::vector<PickingList::Row>(const Database&, const std::vector<QString>&, bool withNotes)>;

  // The main window's "列出撿貨單": merges the lines of these orders (their
  // numbers in list order) and shows the window modal. A failure while the
  // list is built shows FailedText and leaves no window.
  static void open(Database& db, Prompt& prompt, QWidget* parent, const std::vector<QString>& orderNumbers,
                   const Merge& merge = &PickingList::merge);
  // Shows the filled window; empty means exec(). Tests drive it instead.
  static std::function<void(OrderStock&)> showHook;

  // Fills mergedRows, the filter and productList from the orders.
  void fill(const std::vector<QString>& orderNumbers, const Merge& merge = &PickingList::merge);

  // ---- handlers ----
  void onCategoryChosen();
  void onExport();
  void onSort();
  void onShowNotes();

  // ---- controls ----
  QMenuBar* menuBar;
  QAction* showNotesAction;                  // 顯示備註
  QComboBox* categoryCombo;                  // the category filter
  QPushButton* sortButton;                   // 排序
  QPushButton* exportButton;                 // 匯出到記事本
  ListView* productList;                     // the rows shown
  std::vector<PickingList::Row> mergedRows;  // every merged row of this opening
  QStatusBar* statusBar;
  QLabel* statusText;

  inline static const QString ReopenText = QStringLiteral("請重開撿貨單才能生效");
  inline static const QString FailedText = QStringLiteral("列出撿貨單發生錯誤!");

 protected:
  void closeEvent(QCloseEvent* event) override;
  void done(int result) override;

 private:
  void Form_Load();
  void Form_Unload();
  Database& db_;
  Prompt& prompt_;
  bool filling_ = false;
  bool unloaded_ = false;
};
