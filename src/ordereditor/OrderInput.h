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
//   (listRow is unselected in the main window's order list)
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

  // Replaces every field from numberEdit down, the lines and the snapshot by
  // those of Order row orderRow (1-based), with the shortfalls of the
  // shortage list while the main list shows unshipped orders, and
  // recomputes the totals. False, with nothing changed, when there is no
  // such row. Changes no table.
  bool LoadOrderIntoEditor(int orderRow);

  // The customer boxes accountEdit, customerCategoryEdit, nameEdit, sexEdit,
  // phoneEdit, mobileEdit, emailEdit, addressEdit, bankLast5Edit and
  // customerNoteEdit (sexEdit kept when f.hasSex is false).
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

  // The lines of lineList (ticks included) and the snapshot snapshotList
  // (name, category and quantity of the lines as last loaded or saved).
  OrderLines lines() const;
  void setLines(const OrderLines& lines);
  void addLine(const OrderLine& line);
  void setLine(int row, const OrderLine& line);
  OrderLines snapshot() const;
  void setSnapshot(const OrderLines& lines);

  // Option-menu states.
  bool rememberFee() const;
  bool rememberMethod() const;
  bool dateMarks() const;

  // ---- controls ----
  QLabel* headingLabel;             // "新增資料", "新增訂單", "編輯訂單"
  QLabel* receivableLabel;          // 應收款項
  QLabel* quantityLabel;            // quantity and weight
  QLineEdit* numberEdit;            // 編號 (read-only)
  QLineEdit* dateEdit;              // 日期
  QLineEdit* accountEdit;           // 客戶帳號 (read-only)
  QLineEdit* customerCategoryEdit;  // 客戶分類 (read-only)
  QPushButton* customerButton;      // 新增客戶 / 編輯客戶
  QPushButton* pickCustomerButton;  // 從客戶名單加入
  QLineEdit* nameEdit;              // 姓名
  QLineEdit* sexEdit;               // 性別
  QLineEdit* phoneEdit;             // 電話
  QLineEdit* mobileEdit;            // 手機
  QLineEdit* emailEdit;             // Email
  QPushButton* writeMailButton;     // 寫信
  QLineEdit* bankLast5Edit;         // 帳號末5碼
  QLineEdit* addressEdit;           // 地址
  QLineEdit* customerNoteEdit;      // 客戶備註
  QLineEdit* feeEdit;               // 運費
  QCheckBox* sellerPaysCheck;       // 賣方負擔
  QCheckBox* percentDiscountCheck;  // 折扣(%)
  QLineEdit* percentDiscountEdit;
  QCheckBox* amountDiscountCheck;  // 折扣(整數)
  QLineEdit* amountDiscountEdit;
  QPushButton* computeButton;     // 計算
  QPlainTextEdit* noteEdit;       // 備註
  QPushButton* expandNoteButton;  // 展開
  ListView* lineList;
  ListView* snapshotList;           // hidden
  QPushButton* pickProductsButton;  // 從商品清單加入
  QPushButton* newLineButton;       // 新增
  QPushButton* openUrlButton;       // 打開網址
  QPushButton* exportButton;        // 匯出
  QCheckBox* paidCheck;             // 已匯款
  QLineEdit* payDateEdit;
  QCheckBox* ratedCheck;            // 已給評價
  QPushButton* mailingLabelButton;  // 郵寄名條
  QPushButton* previousButton;      // 上一筆
  QPushButton* nextButton;          // 下一筆
  QCheckBox* shippedCheck;          // 已出貨
  QLineEdit* shipDateEdit;
  QComboBox* methodCombo;           // 運送方式
  QPushButton* shippingNoteButton;  // 出貨單
  QPushButton* saveButton;          // 儲存
  QPushButton* saveAndCloseButton;  // 儲存後離開
  QPushButton* cancelButton;        // 取消
  QLineEdit* netGoodsEdit;          // hidden
  QLineEdit* costEdit;              // hidden
  QStatusBar* statusBar;
  QLabel* statusPanels[4];

  // Menus: 訂單設定, 出貨單設定 and the line list's popup 功能.
  QMenu* orderSettingsMenu;
  QAction *rememberFeeAction, *rememberMethodAction, *dateMarksAction, *percentDefaultAction, *amountDefaultAction,
      *noteDefaultAction;
  QMenu* shippingNoteMenu;
  QAction *shipAllLinesAction, *shipTickedLinesAction, *shipUntickedLinesAction, *shipSelectedLinesAction,
      *maskPhoneAction;
  QMenu* lineMenu;
  QAction *editLineAction, *deleteLinesAction, *openUrlAction, *viewPictureAction, *priceRateAction, *costRateAction,
      *applyProductPricesAction, *sortByNameAction, *sortByCategoryAction, *moveUpAction, *moveDownAction, *tickAction,
      *untickAction;

  // ---- handlers ----
  void onShippedClicked();
  void onPaidClicked();
  void onSellerPaysClicked();
  void onPercentDiscountClicked();
  void onAmountDiscountClicked();
  void onPickCustomer();
  void onPickProducts();
  void onAddOrEditCustomer();
  void onSaveAndClose();
  void onCancel();
  void onCompute() { MoneyShow(); }
  void onWriteMail();
  void onNewLine();
  void onNext() { browse(1); }
  void onPrevious() { browse(-1); }
  void onSave();
  void onExpandNote();
  void onLineDoubleClicked();
  void onLineTicked(int row, bool checked);
  void onLineKeyDown(int key);
  // Prepares lineMenu for a right click; false when there is no popup.
  bool prepareLineMenu();
  void onRememberFee();
  void onRememberMethod();
  void onDateMarks();
  void onSetPercentDefault();
  void onSetAmountDefault();
  void onSetNoteDefault();
  void onShippingNoteLinesChosen(int which);  // 1..4
  void onMaskPhone();
  void onEditLine();
  void onDeleteLines();
  void onOpenUrl();
  void onViewPicture();
  void onPriceRate() { rateTool(false); }
  void onCostRate() { rateTool(true); }
  void onApplyProductPrices();
  void onSortByName() { sortTool(false); }
  void onSortByCategory() { sortTool(true); }
  void onMoveUp() { moveTool(true); }
  void onMoveDown() { moveTool(false); }
  void onTick();
  void onUntick();

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
