#pragma once
// What the windows that list orders of their own in the main window's order
// list need of the main window: the product window's "列出訂單", the
// customer window's "列出訂單", the order search and the products-in-orders
// window's "列出選擇的訂單". The main window implements it and hands it to
// those windows.
//
// A listing builds its result with OrderList::listOrders (or rows of the
// same layout), writes it with showOrderList, then sets the filters back
// quietly and runs or clears the shortage list as its command says:
//
//   auto r = OrderList::listOrders(db, orderRows, host.viewUsername());
//   const bool wasUnshipped = host.unshippedOptionSelected();
//   host.showOrderList(r);              // rows, colours, the seven panels; shortage list untouched
//   host.setShippingOptionsQuietly(true, false);
//   if (wasUnshipped) host.CheckStockShortage(); else host.clearShortageList();
//   host.bringToFront();
#include "models/OrderList.h"

class OrderListHost {
 public:
  virtual ~OrderListHost() = default;

  // Replaces every row of the order list by the result's rows (their colours
  // included), shown in the list's own sort order, and writes the seven
  // status-bar panels from result.panels. The shortage list is not touched.
  virtual void showOrderList(const OrderList::OrderListResult& result) = 0;
  // The check mark of "顯示客戶姓名".
  virtual bool viewUsername() const = 0;
  // The option "未出貨" is selected.
  virtual bool unshippedOptionSelected() const = 0;
  // Sets the options "未出貨" and "已出貨" under se: the list is not rebuilt and the menu
  // entries that follow the options keep their state. Both may be left clear.
  virtual void setShippingOptionsQuietly(bool unshipped, bool shipped) = 0;
  // The position of the customer-category filter, and setting it
  // under se (no rebuild).
  virtual int categoryFilterIndex() const = 0;
  virtual void setCategoryFilterQuietly(int index) = 0;
  // Rebuilds the shortage list and the "缺貨" marks of the rows listed now
  // (with CheckLacks off it only empties the shortage list).
  virtual void CheckStockShortage() = 0;
  // Empties the shortage list.
  virtual void clearShortageList() = 0;
  // Shows the main window in front.
  virtual void bringToFront() = 0;
};
