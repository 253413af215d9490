#pragma once
// The shipping notes "出貨單": one HTML page per order with the title, the
// buyer's and the order's details, the seller's own block, the table of the
// order's products and a total row, laid out by the shipping-note settings
// of the open database (NoteTitle, NoteShopInfo, NoteFields, NoteColPct,
// NoteShopPct, NoteWidth, NoteSeparators). Two sources: the orders selected
// in the main order list, and the one order open in the order editor with
// its line filter. Builds the text only; PrintoutCommands writes and opens it.
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

#include "models/OrderLine.h"

class Database;

namespace ShippingNote {

// Pages of the orders of these rows of the main order list (its cells, Index
// last), in this order, each ending with a page break. nullopt when a row's
// Index names no Order row. The mobile number is masked when maskPhone.
std::optional<QString> selectedOrders(const Database& db, const std::vector<QStringList>& listRows, bool maskPhone);

// The order editor's boxes as the one-order note reads them.
struct EditorOrder {
  QString number;
  QString date;
  QString account;
  QString category;  // customerCategoryEdit
  QString name;
  QString sex;
  QString phone;
  QString mobile;
  QString email;
  QString bank;      // bankLast5Edit
  QString payDate;
  QString shipDate;
  QString fee;
  bool sellerPays = false;
  QString method;
  QString address;
  QString note;      // noteEdit, line breaks as CR LF
  bool percentOn = false;   // percentDiscountCheck
  QString percent;          // percentDiscountEdit
  bool amountOn = false;    // amountDiscountCheck
  QString amount;           // amountDiscountEdit
  OrderLines lines;         // the lines that pass the filter, in list order
};

// The editor's line filter "出貨單設定": entries 1 to 4 ticked or not.
// A line is printed when any ticked entry lets it through.
std::vector<int> filterLines(const OrderLines& lines, const std::vector<bool>& selected,
                             const std::array<bool, 4>& filter);

// R: the receivable of the printed lines (goods, less the discounts, plus
// the fee when the buyer pays it), by the number rule.
QString editorReceivable(const EditorOrder& o);

// The one-order page (no page break).
QString editorOrder(const Database& db, const EditorOrder& o, bool maskPhone);

}  // namespace ShippingNote
