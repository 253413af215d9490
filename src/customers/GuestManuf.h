#pragma once
// "購物歷史清單": what one customer bought, one row per order line with the
// date of its order, and the totals of sale prices, costs, balance and
// quantities. Modal over the customer window; narrowed by a product-name
// search, exported through the export chooser, and a line's web address
// opened in the browser.
#include <QDialog>
#include <QString>

class Database;
class ListView;
class Prompt;
class QLineEdit;
class QPushButton;
class QStatusBar;

class GuestManuf : public QDialog {
  Q_OBJECT
 public:
  GuestManuf(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~GuestManuf() override;

  // Lists the history of customer (account, category) and sets the caption.
  // False (after "列出歷史清單發生錯誤!") when it failed; the window is then
  // not to be shown.
  bool load(const QString& account, const QString& category);

  void onSearch();    // also Enter in productNameEdit
  void onOpenLink();  // open the selected line's web address (also a double click)
  void onExport();    // export to Notepad

  ListView* historyList;
  QStatusBar* statusBar;
  QLineEdit* productNameEdit;
  QPushButton* searchButton;  // 搜尋
  QPushButton* linkButton;    // 連結
  QPushButton* exportButton;  // 匯出
  QPushButton* closeButton;   // 結束

 private:
  void Form_Load();
  bool fill(const QString& search);

  Database& db_;
  Prompt& prompt_;
  QString account_;
  QString category_;
};
