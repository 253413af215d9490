#pragma once
// The tools on the orders selected in the main order list: mark them
// paid ("設為已匯款"), mark them shipped today ("設為已出貨") and write an
// e-mail to their customers ("寫Email"). No widgets here: the window hands
// in the selected rows and its Prompt.
//
// ---------------------------------------------------------------------------
// How OrderForm calls them (the 選取 menu and the list's popup entries alike):
//
//   std::vector<SelectedOrder> selected() const {   // selected rows, first to last
//     std::vector<SelectedOrder> out;
//     for (int r : orderList->selectedRows())
//       out.push_back({orderList->tableIndex(r), orderList->text(r, OrderListCol::PaymentDate),
//                      orderList->text(r, OrderListCol::ShippingMethod)});
//     return out;
//   }
//
//   onMarkSelectedPaid:    if (SelectionTools::markPaid(db, prompt, orderList->rowCount(), selected()))
//                            OrderShow();
//   onMarkSelectedShipped: if (SelectionTools::markShipped(db, prompt, orderList->rowCount(), selected()))
//                            OrderShow();
//   onEmailSelected:       const QUrl url = SelectionTools::emailSelected(db, prompt, indexes of selected());
//                          if (!url.isEmpty()) QDesktopServices::openUrl(url);
//
// The drivers ask their questions through the Prompt, show their own
// messages ("發生錯誤!", the e-mail limit) and set the unsaved-changes flag;
// the window only rebuilds the list when told to. The pieces they are made
// of are public for windows that ask in their own way.
// ---------------------------------------------------------------------------
#include <QString>
#include <QUrl>
#include <vector>

#include "platform/Numbers.h"

class Database;
class Prompt;

// A selected row of the order list as the tools read it.
struct SelectedOrder {
  int index = 0;           // hidden Index column: the 1-based Order row
  QString paymentDate;     // PaymentDate column (first token of PaymentState)
  QString shippingMethod;  // ShippingMethod column
};

namespace SelectionTools {

inline const QString PaidQuestion = QStringLiteral("選擇的訂單內含有已匯款的訂單，確定要全部設為已匯款嗎?");
inline const QString PaidQuestionTitle = QStringLiteral("刪除");
inline const QString PayDatePrompt = QStringLiteral("請輸入匯款日期");
inline const QString EmailTooLongText = QStringLiteral("Email名單超出容納範圍，請減少名單數量並分多次寄送");
constexpr int EmailListLimit = 2048;

// ---- pieces ----

// How many selected rows are already paid (PaymentDate not "未匯款"); above
// 0 the payment tool asks PaidQuestion first.
int countPaid(const std::vector<SelectedOrder>& selected);

// Writes `answer` as typed into PaymentState of every selected order,
// keeping a feedback mark (" 已給" as token 2). Sets the unsaved-changes
// flag, also when nothing was selected. False, with nothing changed, when an
// Index names no Order row.
bool SetPay(Database& db, const std::vector<SelectedOrder>& selected, const QString& answer);

// Writes the row's shipping method, a blank and `today` ("yyyy/mm/dd") into
// ShippingState of every selected order. Flag and failure as SetPay.
bool SetShipping(Database& db, const std::vector<SelectedOrder>& selected, const QString& today);

// The e-mail address list of the selected orders: the CustomerEmail of the
// first customer of each order's account and category, in list order, not
// de-duplicated, joined by ";".
struct EmailList {
  bool failed = false;  // an Index named no Order row
  QString list;
  bool tooLong() const { return list.size() > EmailListLimit; }
};
EmailList emailList(const Database& db, const std::vector<int>& selectedIndexes);

// "mailto:" with the addresses of a list (split at ";" and ",", blanks
// trimmed, empties dropped), each percent-encoded, joined by ",".
QUrl mailtoUrl(const QString& list);

// ---- the commands ----

// "設為已匯款": nothing when the list is empty; PaidQuestion (Yes/No,
// exclamation, title "刪除") when a selected order is paid, No ends; the
// input box PayDatePrompt prefilled with today, an empty answer ends; then
// SetPay. True when the caller must rebuild the list (OrderShow).
bool markPaid(Database& db, Prompt& prompt, int listRows, const std::vector<SelectedOrder>& selected,
              const QString& today = DateText::today());

// "設為已出貨": nothing when the list is empty; otherwise SetShipping.
// True when the caller must rebuild the list.
bool markShipped(Database& db, Prompt& prompt, int listRows, const std::vector<SelectedOrder>& selected,
                 const QString& today = DateText::today());

// "寫Email": the mailto address to open, or an empty QUrl (no address
// found; or the list is longer than 2048 characters, after EmailTooLongText;
// or "發生錯誤!").
QUrl emailSelected(const Database& db, Prompt& prompt, const std::vector<int>& selectedIndexes);

}  // namespace SelectionTools
