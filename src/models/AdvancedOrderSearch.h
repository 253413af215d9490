#pragma once
// The advanced order search "進階搜尋" without its dialog: the boxes as
// typed, their cleaning and date checks, and the orders that meet every
// filled criterion. The dialog OrderSearch reads its controls into Fields,
// runs the three steps and lists the found rows in the main window's order
// list through OrderList::listOrders.
#include <QString>
#include <vector>

class Database;

namespace AdvancedOrderSearch {

inline const QString DateMessage = QStringLiteral("日期欄位不是正確的日期格式");
inline const QString ShipDateMessage = QStringLiteral("出貨日欄位不是正確的日期格式");
inline const QString PayDateMessage = QStringLiteral("匯款日欄位不是正確的日期格式");

struct Fields {
  QString orderNo;   // part of an order number
  QString dateFrom;  // order date from (yyyymmdd)
  QString account;   // part of a customer account (or name)
  QString note;      // part of the order note
  QString dateTo;    // order date to
  QString shipDateFrom;
  QString payDateFrom;  // remittance date from
  QString payDateTo;    // remittance date to
  QString shipDateTo;
  QString category = QStringLiteral("全部");  // customer category
  bool unshipped = false;                     // 未出貨
  bool shipped = false;                       // 已出貨
  bool unpaid = false;                        // 未匯款
};

// Every box loses its outer blanks and is then cut at its first CR LF.
void prepare(Fields& f);
// The message for the first malformed date box (dateFrom, dateTo,
// shipDateFrom, shipDateTo, payDateFrom, payDateTo in this order); "" when
// every box is fine.
QString dateMessage(const Fields& f);
// Each range typed the wrong way round is turned.
void orderRanges(Fields& f);

// The Order rows (1-based, in row order) that meet every criterion. With
// username the customer's name is searched beside the account.
std::vector<int> find(const Database& db, const Fields& f, bool username);

}  // namespace AdvancedOrderSearch
