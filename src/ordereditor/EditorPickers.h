#pragma once
// The order editor's pickers and dialogs: the product window as picker
// ("從商品清單加入"), the product dialog for a typed line ("新增") and for
// editing a line, the customer window as picker ("從客戶名單加入") and the
// customer dialog ("新增客戶" / "編輯客戶"). The main window keeps one and
// forwards the matching OrderInputHost hooks to it:
//   void openProductPicker(OrderInput& e) override { pickers_.openProductPicker(e); }
//   void addLineThroughDialog(OrderInput& e) override { pickers_.addLineThroughDialog(e); }
//   bool editLine(OrderInput& e, int line) override { return pickers_.editLine(e, line); }
//   void openCustomerPicker(OrderInput& e) override { pickers_.openCustomerPicker(e); }
//   void openCustomerDialog(OrderInput& e) override { pickers_.openCustomerDialog(e); }
//
// As pickers the product and customer windows are always modal. One that is
// open beside the main window (management use) is closed first, with its
// usual closing steps, and a fresh modal one is opened.
#include <QString>
#include <functional>

class Database;
class OrderInput;
class Prompt;

class EditorPickers {
 public:
  EditorPickers(Database& db, Prompt& prompt) : db_(db), prompt_(prompt) {}

  // The product window as modal picker: its "加入訂單" appends lines to the
  // editor and takes their stock.
  void openProductPicker(OrderInput& editor);
  // The product dialog in mode 3: one typed line appended at the end.
  void addLineThroughDialog(OrderInput& editor);
  // The product dialog in mode 4 on line `line` (0-based): rewrites it and
  // moves the stock. False when there is no such line.
  bool editLine(OrderInput& editor, int line);
  // The customer window as modal picker, on the editor's customer when it
  // has one; "加入客戶" fills the editor's customer boxes.
  void openCustomerPicker(OrderInput& editor);
  // The customer dialog: a new customer (mode 3) while the customer button
  // does not read "編輯客戶", else the editor's customer (mode 4, or
  // "找不到這筆客戶資料，請重新選擇!"). A save fills the editor's customer boxes.
  void openCustomerDialog(OrderInput& editor);

  // Shows a picture file for the product dialog's thumbnail; empty: the
  // dialog's own plain viewer.
  std::function<void(const QString& path)> viewPicture;
  // The customer picker edited the customer categories (the main window
  // refills its own filter).
  std::function<void()> onCustomerCategoriesEdited;

  // Closes every product (customer) window shown without being modal.
  static int closeModelessProductWindows();
  static int closeModelessCustomerWindows();

 private:
  Database& db_;
  Prompt& prompt_;
};
