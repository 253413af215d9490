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
  QString Text1;  // part of an order number
  QString Text2;  // order date from (yyyymmdd)
  QString Text3;  // part of a customer account (or name)
  QString Text4;  // part of the order note
  QString Text5;  // order date to
  QString Text6;  // ship date from
  QString Text7;  // remittance date from
  QString Text8;  // remittance date to
  QString Text9;  // ship date to
  QString category = QStringLiteral("全部");  // Combo1 text
  bool Option1 = false;  // 未出貨
  bool Option2 = false;  // 已出貨
  bool Option3 = false;  // 未匯款
};

// Every box loses its outer blanks and is then cut at its first CR LF.
void prepare(Fields& f);
// The message for the first malformed date box (Text2, Text5, Text6, Text9,
// Text7, Text8 in this order); "" when every box is fine.
QString dateMessage(const Fields& f);
// Each range typed the wrong way round is turned.
void orderRanges(Fields& f);

// The Order rows (1-based, in row order) that meet every criterion. With
// username the customer's name is searched beside the account.
std::vector<int> find(const Database& db, const Fields& f, bool username);

}  // namespace AdvancedOrderSearch
