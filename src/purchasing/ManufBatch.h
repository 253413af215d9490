#pragma once
// The purchase sheet "進貨單": products with an amount and a quantity,
// booked together into stock, cost and purchase records ("開始進貨"), or
// saved to a sheet file and loaded again. A modeless window beside the
// product window, which feeds it (see PurchaseWindows). Its rows exist only
// while it is open: closing it, or a completed booking, discards them.
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <vector>

#include "purchasing/PurchaseSheet.h"

class Database;
class ListView;
class Prompt;
class SheetFeeder;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

class ManufBatch : public QMainWindow {
  Q_OBJECT
 public:
  ManufBatch(Database& db, Prompt& prompt, QWidget* parent = nullptr);
  ~ManufBatch() override;

  // The rows, in list order (Liv1 shows them).
  const std::vector<SheetRow>& rows() const { return rows_; }

  // The product window the rows come from (a SheetFeeder); its add button
  // is reset when the sheet closes.
  QPointer<QWidget> productWindow;
  // Shows a product window when none is open ("加入商品").
  std::function<QWidget*()> openProductWindow;

  // Adds a row for each Manuf row, each at its sorted place; then the last
  // row is unselected.
  void addProducts(const std::vector<int>& manufRows);

  void MoneyShow();

  // Handlers.
  void Liv1_Click();
  void Command1_Click();  // 修改
  void Command2_Click();  // 開始進貨
  void Command3_Click();  // 廠商資料
  void Command4_Click();  // 套用至全部
  void Command5_Click();  // 清空進貨單
  void Command6_Click();  // 加入商品
  void Command7_Click();  // 刪除商品
  void File_Save_Click();
  void File_Load_Click();
  void Form_Unload();

  // Failure injection for the booking (tests only hand one in).
  std::function<void(int)> beforeBookingRow;

  // Controls.
  QLabel* Label5;  // "日期"
  QLineEdit* Text1;  // date
  QLabel* Label4;
  QLineEdit* Text6;  // the sheet's purchase-order number
  QPushButton *Command4, *Command3;
  QComboBox* Combo1;  // supplier
  ListView* Liv1;
  QLabel *Label0, *Label1, *Label2, *Label3;
  QLineEdit *Text2, *Text3, *Text4, *Text5;
  QPushButton *Command1, *Command6, *Command7, *Command5, *Command2;
  QCheckBox* Check1;
  QLabel* Panel1;
  QMenu* Menu_File;
  QAction *File_Load, *File_Save, *File_Exit;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void fillSuppliers();
  void showRows();
  void setEditRowVisible(bool on);
  // The product window the rows come from, else any product window open
  // modeless; nullptr when there is none.
  QWidget* findProductWindow() const;
  SheetFeeder* feeder() const;

  Database& db_;
  Prompt& prompt_;
  std::vector<SheetRow> rows_;
  bool se_ = false;  // selection changed by code: no click
  bool unloaded_ = false;
};
