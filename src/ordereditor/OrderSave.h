#pragma once
// Saving an order from the editor ("儲存後離開" and "儲存"), without any window:
// the checks and their messages, the tidying of the boxes, the Order row and
// its run of Stock rows, the counter and the remembered defaults. The editor
// copies its boxes into OrderBoxes, calls save, and shows what comes back.
#include <QString>
#include <QStringList>

#include "models/OrderLine.h"
#include "models/OrderMoney.h"

class Database;
class Prompt;

// The editor's boxes that an order is made of (control names in comments).
struct OrderBoxes {
  QString number;         // numberEdit 編號, read-only
  QString date;           // dateEdit 日期
  QString account;        // accountEdit 客戶帳號
  QString category;       // customerCategoryEdit 客戶分類
  QString name;           // nameEdit 姓名, shown in the list only
  QString fee;            // feeEdit 運費
  bool sellerPays = false;  // sellerPaysCheck 賣方負擔
  QString method;         // methodCombo 運送方式
  bool paid = false;      // paidCheck 已匯款
  QString payDate;        // payDateEdit
  bool rated = false;     // ratedCheck 已給評價
  bool shipped = false;   // shippedCheck 已出貨
  QString shipDate;       // shipDateEdit
  bool percentOn = false;   // percentDiscountCheck 折扣(%)
  QString percent;        // percentDiscountEdit
  bool amountOn = false;    // amountDiscountCheck 折扣(整數)
  QString amount;         // amountDiscountEdit
  QString note;           // noteEdit 備註

  MoneyBoxes money() const { return {fee, sellerPays, percentOn, percent, amountOn, amount}; }
};

// The texts of one row of the main window's order list, as the save
// rewrites it: key text and cells 1 to 11 (the Index cell stays).
struct OrderListRow {
  QStringList cells;
  bool unpaid = false;     // 匯款日 shown in red
  bool unshipped = false;  // 出貨日 shown in red
};

namespace OrderSave {

enum class Mode { New, Edited };

struct Options {
  bool rememberFee = false;     // Set_1: store the fee as Set_1_Value
  bool rememberMethod = false;  // Set_2: store the method as Set_2_Value
  bool viewUsername = false;    // the order list shows "account (name)"
};

struct Result {
  enum class Status { Refused, Failed, Saved };
  Status status = Status::Refused;
  MoneyFigures money;      // the totals as computed for this save (when they were)
  int orderRow = 0;        // the Order row written
  OrderListRow listRow;    // for an edited order: its rewritten list row
  bool saved() const { return status == Status::Saved; }
};

// The checks, in order; the first that fails shows its message (title
// "注意") and gives false. An empty or non-numeric fee becomes "0" on the
// way, also when a later check fails. A ticked discount box without a
// number refuses the save too, so no stale totals are stored.
bool check(OrderBoxes& boxes, Prompt& prompt);

// Date as "yyyy/mm/dd"; quotes and "”" out of the free-text boxes; blanks
// out of the method and the two dates.
void tidy(OrderBoxes& boxes);

// Key text and cells 1 to 12 of the Order row.
QStringList orderCells(const OrderBoxes& boxes, const MoneyFigures& money, int lineCount);

// The Stock row of one line: key text and cells 1 to 8.
QStringList stockCells(const QString& orderNo, const OrderLine& line);

// The order list row of an edited order.
OrderListRow listRow(const OrderBoxes& boxes, const QString& receivable, bool viewUsername);

// The whole save. Text code page 950 cannot hold is refused first (the
// message names the character and its box) and nothing changes. New: the Order row and its lines are appended and the
// counter num advances. Edited (orderRow = the Index of the edited list
// row): the row is rewritten, its old lines removed and the lines appended
// at the end of Stock. Either everything is written or nothing. Sets the
// unsaved-changes flag and stores the remembered defaults when saved. The
// boxes come back checked and tidied, the lines with their subtotals.
Result save(Database& db, Prompt& prompt, OrderBoxes& boxes, OrderLines& lines, Mode mode, int orderRow,
            const Options& options);

}  // namespace OrderSave
