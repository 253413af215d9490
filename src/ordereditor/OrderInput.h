#pragma once
// The order editor "訂單": one order's customer, dates, payment and shipping
// state, fee, discount and product lines, its totals while the user types,
// the tools of its line list and its two saves. Created for one opening and
// discarded afterwards; it has no close command (Esc does not close it):
// it is left through "儲存後離開" or "取消", so stock taken by its lines is
// never left behind.
//
// Opening a new order (the main window's onNewOrder):
//   OrderInput dlg(db, prompt, host, this);
//   if (auto n = OrderCommands::prepareNewOrder(db, QDate::currentDate())) {
//     dlg.setupNewOrder(*n); dlg.exec(); } else prompt.error();
//   OrderShow();
//
// Opening a listed order (the main window's onEditOrder):
//   OrderInput dlg(db, prompt, host, this);
//   if (!dlg.setupEditOrder(listRow)) { prompt.error(); return; }
//   Liv1->setSelected(listRow, false);
//   dlg.exec();
#include <QString>
#include <optional>

#include "models/CustomerFields.h"
#include "models/OrderLine.h"
#include "models/OrderMoney.h"
#include "ordereditor/OrderLoad.h"
#include "ordereditor/OrderSave.h"
#include "platform/NoCloseDialog.h"

class Database;
class ListView;
class OrderInputHost;
class Prompt;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
namespace OrderCommands {
struct NewOrder;
}


class OrderInput : public NoCloseDialog {
  Q_OBJECT
 public:
  OrderInput(Database& db, Prompt& prompt, OrderInputHost& host, QWidget* parent = nullptr);
  ~OrderInput() override;

  static constexpr const char* Section = "OrderInput";

  // The order-list row (0-based) of the order shown; -1 for a new order.
  int SelEdit = -1;

  // Fills the editor for a new order (heading "新增訂單", no browsing, no
  // save-and-stay, the save-and-close button reading "儲存").
  void setupNewOrder(const OrderCommands::NewOrder& n);
  bool isNewOrder() const;

  // Opens the order of order-list row listRow (0-based) for editing: fills
  // every field from it (LoadOrderIntoEditor), heading "編輯訂單", customer
  // button "編輯客戶", "上一筆" disabled on the first row and "下一筆" on the
  // last. False, with the editor untouched, when the row or its order is not
  // there; the caller then shows "發生錯誤!" and does not show the editor.
  bool setupEditOrder(int listRow);

  // Replaces every field from Text10 down, the lines and the snapshot by
  // those of Order row orderRow (1-based), with the shortfalls of the
  // shortage list while the main list shows unshipped orders, and
  // recomputes the totals. False, with nothing changed, when there is no
  // such row. Changes no table.
  bool LoadOrderIntoEditor(int orderRow);

  // The customer boxes Text13, Text14, Text1, Text19, Text3, Text6, Text7,
  // Text9, Text8 and Text20 (Text19 kept when f.hasSex is false).
  void setCustomer(const CustomerFields& f);
  // A customer handed over by the customer window or dialog: its boxes, and
  // the customer button reads "編輯客戶".
  void takeCustomer(const CustomerFields& f);
  // The receiver to hand to GuestForm::openAsPicker and GuestInput::runForEditor.
  CustomerSink customerSink();

  // Recomputes the totals from the lines and the money boxes.
  void MoneyShow();
  // Left by MoneyShow for the one-order mailing label; empty until it ran.
  std::optional<double> TotalQty() const { return totalQty_; }
  QString ReceivableText() const { return receivableText_; }

  // The boxes, as typed.
  OrderBoxes boxes() const;
  void setBoxes(const OrderBoxes& b);

  // The lines of Liv1 (ticks included) and the snapshot Liv2 (name,
  // category and quantity of the lines as last loaded or saved).
  OrderLines lines() const;
  void setLines(const OrderLines& lines);
  void addLine(const OrderLine& line);
  void setLine(int row, const OrderLine& line);
  OrderLines snapshot() const;
  void setSnapshot(const OrderLines& lines);

  // Option-menu states.
  bool rememberFee() const;     // Set_1
  bool rememberMethod() const;  // Set_2
  bool dateMarks() const;       // Set_3

  // ---- controls, named as the program names them ----
  QLabel* Label17;   // heading: "新增資料", "新增訂單", "編輯訂單"
  QLabel* Label6;    // 應收款項
  QLabel* Label9;    // quantity and weight
  QLineEdit* Text10;  // 編號 (read-only)
  QLineEdit* Text2;   // 日期
  QLineEdit* Text13;  // 客戶帳號 (read-only)
  QLineEdit* Text14;  // 客戶分類 (read-only)
  QPushButton* Command3;  // 新增客戶 / 編輯客戶
  QPushButton* Command1;  // 從客戶名單加入
  QLineEdit* Text1;   // 姓名
  QLineEdit* Text19;  // 性別
  QLineEdit* Text3;   // 電話
  QLineEdit* Text6;   // 手機
  QLineEdit* Text7;   // Email
  QPushButton* Command9;  // 寫信
  QLineEdit* Text8;   // 帳號末5碼
  QLineEdit* Text9;   // 地址
  QLineEdit* Text20;  // 客戶備註
  QLineEdit* Text4;   // 運費
  QCheckBox* Check3;  // 賣方負擔
  QCheckBox* Check4;  // 折扣(%)
  QLineEdit* Text16;
  QCheckBox* Check5;  // 折扣(整數)
  QLineEdit* Text18;
  QPushButton* Command8;  // 計算
  QPlainTextEdit* Text5;  // 備註
  QPushButton* Command16;  // 展開
  ListView* Liv1;     // the lines
  ListView* Liv2;     // hidden snapshot
  QPushButton* Command2;   // 從商品清單加入
  QPushButton* Command10;  // 新增
  QPushButton* Command11;  // 打開網址
  QPushButton* Command7;   // 匯出
  QCheckBox* Check2;  // 已匯款
  QLineEdit* Text17;
  QCheckBox* Check6;  // 已給評價
  QPushButton* Command6;   // 郵寄名條
  QPushButton* Command13;  // 上一筆
  QPushButton* Command12;  // 下一筆
  QCheckBox* Check1;  // 已出貨
  QLineEdit* Text15;
  QComboBox* Combo1;  // 運送方式
  QPushButton* Command15;  // 出貨單
  QPushButton* Command14;  // 儲存
  QPushButton* Command4;   // 儲存後離開
  QPushButton* Command5;   // 取消
  QLineEdit* Text11;  // hidden: net goods
  QLineEdit* Text12;  // hidden: cost
  QStatusBar* StatusBar1;
  QLabel* Panel[4];   // the status bar's four panels

  // Menus.
  QMenu* Menu_Set;
  QAction *Set_1, *Set_2, *Set_3, *Sel_4, *Sel_5, *Sel_6;
  QMenu* Menu_Shipped;
  QAction *Shipped_1, *Shipped_2, *Shipped_3, *Shipped_4, *Shipped_MaskPhone;
  QMenu* Menu_Tools;
  QAction *Tools_Edit, *Tools_Del, *Tools_OpenURL, *Tools_ViewImages, *Tools_Rate, *Tools_Rate2, *Tool_apply,
      *Tool_Sort1, *Tool_Sort2, *Tool_Up, *Tool_Down, *Tool_ItemCheck, *Tool_ItemCheckFalse;

  // ---- handlers ----
  void Check1_Click();
  void Check2_Click();
  void Check3_Click();
  void Check4_Click();
  void Check5_Click();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command8_Click() { MoneyShow(); }
  void Command9_Click();
  void Command10_Click();
  void Command12_Click() { browse(1); }   // 下一筆
  void Command13_Click() { browse(-1); }  // 上一筆
  void Command14_Click();
  void Command16_Click();
  void Liv1_DblClick();
  void Liv1_ItemCheck(int row, bool checked);
  void Liv1_KeyDown(int key);
  // Prepares Menu_Tools for a right click; false when there is no popup.
  bool prepareToolsMenu();
  void Set_1_Click();
  void Set_2_Click();
  void Set_3_Click();
  void Sel_4_Click();
  void Sel_5_Click();
  void Sel_6_Click();
  void Shipped_Click(int which);  // 1..4
  void Shipped_MaskPhone_Click();
  void Tools_Edit_Click();
  void Tools_Del_Click();
  void Tools_OpenURL_Click();
  void Tools_ViewImages_Click();
  void Tools_Rate_Click() { rateTool(false); }
  void Tools_Rate2_Click() { rateTool(true); }
  void Tool_apply_Click();
  void Tool_Sort1_Click() { sortTool(false); }
  void Tool_Sort2_Click() { sortTool(true); }
  void Tool_Up_Click() { moveTool(true); }
  void Tool_Down_Click() { moveTool(false); }
  void Tool_ItemCheck_Click();
  void Tool_ItemCheckFalse_Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildWindow();
  void buildMenus();
  void Form_Load();
  void Form_Unload();
  void showMoney(const MoneyFigures& f);
  std::vector<bool> selection() const;
  void writeLines(const OrderLines& lines, const std::vector<bool>& selected);
  void rateTool(bool costs);
  void sortTool(bool byCategory);
  void moveTool(bool up);
  void save(bool close);
  std::optional<OrderLoad::LoadedOrder> readOrder(int orderRow) const;
  void fillFromOrder(const OrderLoad::LoadedOrder& o);
  void browse(int step);
  void selectLastLine();

  Database& db_;
  Prompt& prompt_;
  OrderInputHost& host_;
  std::optional<double> totalQty_;
  QString receivableText_;
};
