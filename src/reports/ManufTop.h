#pragma once
// The sales ranking "銷售排行": products and product categories ranked by
// the quantity sold in a period and category, opened beside the product
// window and closed with it:
//
//   productWindow->setSalesRanking([=] { ManufTop::showBeside(db, prompt, productWindow); }); The lists are built only by
// "開始統計"; either can be written to a CSV file; a ranked product can be
// looked up ("查詢商品資料") or shown alone in the product window (double
// click). The window remembers its column widths (section "ManufTop").
#include <QDialog>
#include <QPointer>

#include "models/SalesRanking.h"

class Database;
class ListView;
class ManufForm;
class Prompt;
class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;

class ManufTop : public QDialog {
  Q_OBJECT
 public:
  // productWindow: the product window it belongs to (its parent).
  ManufTop(Database& db, Prompt& prompt, ManufForm* productWindow);

  // Shows the product window's ranking, modeless: an open one comes to the
  // front, else a new one opens with empty lists.
  static ManufTop* showBeside(Database& db, Prompt& prompt, ManufForm* productWindow);
  // The open ranking of a product window; null when none.
  static ManufTop* of(const ManufForm* productWindow);

  SalesRanking::Filter filter() const;

  void onRank();  // 開始統計
  void ManufTopShow();
  // The quantity sold of one product under the current filters; 0 (after
  // "發生錯誤!") when it does not fit.
  int ManufCount(const QString& ManufName, const QString& ManufAssort);
  void onExportProducts();        // 商品排行
  void onExportCategories();      // 分類排行
  void onShowProductData();       // 查詢商品資料
  void onProductDoubleClicked();  // the product alone in the product window

  QMenuBar* menuBar;
  QMenu* exportMenu;
  QAction *exportProductsAction, *exportCategoriesAction;
  QMenu* toolsMenu;
  QAction* productDataAction;
  QLineEdit* yearEdit;
  QComboBox* periodCombo;
  QComboBox* categoryCombo;
  QPushButton* rankButton;
  ListView* productList;
  ListView* categoryList;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Form_Load();
  void Form_Unload();
  void exportList(const ListView& list, bool categories);
  int selectedRow() const;

  Database& db_;
  Prompt& prompt_;
  QPointer<ManufForm> productWindow_;
  bool unloaded_ = false;
};
