#pragma once
// What the order editor OrderInput needs of the window that opens it (the
// main window OrderForm) and of the windows it borrows (pickers, product and
// customer dialogs, printouts, picture viewer). The main window implements
// it and hands it to the editor's constructor; the editor keeps only the
// reference, for the length of one opening.
//
// Rows of the main order list are its ListView rows, numbered from 0; the
// editor's SelEdit is such a row (-1 for a new order).
#include <QString>

#include "ordereditor/OrderSave.h"

class OrderInput;

class OrderInputHost {
 public:
  virtual ~OrderInputHost() = default;

  // ---- the main window's order list (required) ----
  // The Index cell (the Order row number) of order-list row listRow; 0 when
  // there is no such row.
  virtual int orderListIndex(int listRow) const = 0;
  // Number of rows of the order list (browsing walks them).
  virtual int orderListRowCount() const = 0;
  // An edited order was saved: rewrite its list row from these texts, in
  // black, with 匯款日 (cell 7) and 出貨日 (cell 8) in RGB(206, 0, 0) when
  // row.unpaid / row.unshipped; the Index cell stays. Totals are not redone.
  virtual void rewriteOrderListRow(int listRow, const OrderListRow& row) = 0;
  // Select that row (save-and-close of an edited order, cancel).
  virtual void selectOrderListRow(int listRow) = 0;
  // A new order was saved: set the customer-category filter quietly to
  // "全部" when it shows "全部", else to category, and rebuild the list and
  // its totals (OrderShow).
  virtual void showNewOrder(const QString& category) = 0;
  // True while the list shows unshipped orders (the option "未出貨").
  virtual bool listsUnshippedOrders() const = 0;
  // Rebuild the shortage list and the "缺貨" marks (CheckStockShortage).
  virtual void CheckStockShortage() = 0;
  // True while "顯示客戶姓名" is ticked.
  virtual bool viewUsername() const = 0;
  // The shortfall of line k (0-based) of an order, read from the shortage
  // list (its k-th row of that order); "" when it has none. Asked for
  // every line when an order is opened or browsed to, and only while
  // listsUnshippedOrders() is true.
  virtual QString lineShortage(const QString& orderNo, int k) const {
    (void)orderNo, (void)k;
    return {};
  }

  // ---- windows of other parts (optional; the defaults do nothing) ----
  // EditorPickers implements the five picker and dialog hooks below with
  // the product and customer windows; the main window forwards to it.
  // "從商品清單加入" (pickProductsButton, also a double click on an empty
  // line list): the product window as a modal picker; it appends lines with
  // OrderInput::addLine and takes their stock.
  virtual void openProductPicker(OrderInput& editor) { (void)editor; }
  // "新增" (newLineButton): one new line through the product dialog.
  virtual void addLineThroughDialog(OrderInput& editor) { (void)editor; }
  // "編輯(&E)" (editLineAction, Enter, double click): the product dialog in its
  // order-line mode on line `line`; it rewrites the line with
  // OrderInput::setLine and books the stock change. Return true when the
  // dialog was shown (the editor then recomputes its totals).
  virtual bool editLine(OrderInput& editor, int line) {
    (void)editor, (void)line;
    return false;
  }
  // "從客戶名單加入" (pickCustomerButton, double click on the empty account
  // box) and "新增客戶"/"編輯客戶" (customerButton): they fill the customer
  // boxes.
  virtual void openCustomerPicker(OrderInput& editor) { (void)editor; }
  virtual void openCustomerDialog(OrderInput& editor) { (void)editor; }
  // Printouts of this order: "出貨單" (shippingNoteButton), "郵寄名條"
  // (mailingLabelButton), "匯出" of the lines (exportButton).
  virtual void shippingNote(OrderInput& editor) { (void)editor; }
  virtual void mailingLabel(OrderInput& editor) { (void)editor; }
  virtual void exportLines(OrderInput& editor) { (void)editor; }
  // "檢視圖片(&V)": show an existing picture file modal. Returning false
  // lets the editor show it in a plain window of its own.
  virtual bool showPicture(const QString& path) {
    (void)path;
    return false;
  }
};
