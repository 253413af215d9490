#pragma once
// The export to a text file without its window: the fields each source
// offers, the choice remembered per feeding window, the tick rule of the
// order list's line fields, and the lines written into "temp.txt".
//
// Sources (ex): 1 order list, 2 customers, 3 products, 4 products in orders,
// 5 order lines of the editor, 6 purchase history, 7 purchase records,
// 8 picking list, 9 expenses. Sources 1 to 4 export the selected rows, the
// others every row. Code 0 is a row's key text, code k its cell k; the order
// list adds codes of its own (orderListOffers).
#include <QChar>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class Database;

// One field a source offers: its caption and its code.
struct ExportOffer {
  QString caption;
  int code = 0;
};

namespace ExportText {

// One row of the chooser.
struct Field {
  QString caption;
  int code = 0;
  bool ticked = false;
  bool operator==(const Field&) const = default;
};

// The order list's own codes.
namespace OrderCode {
enum : int { Account = 2, FeeBearer = 12, LineName = 100, LineFirst = 101, LineLast = 199, CustomerName = 203,
             CustomerFirst = 204, CustomerLast = 209 };
}
// Codes strictly between 100 and 200: fields of the order lines, ticked only
// together with "商品名稱" (code 100).
inline bool isLineField(int code) { return code > OrderCode::LineName && code < 200; }

// The 27 fields of the order list (ex 1), in the order the chooser shows them.
std::vector<ExportOffer> orderListOffers();

// The chooser's rows: the offers with the choice saved in the feeding
// window's section ("L1_" i, "L2_" i, "L1Selected_" i) laid over them; a
// position never saved keeps its offer, unticked.
std::vector<Field> restoreChoice(const QString& section, const std::vector<ExportOffer>& offers);
// Stores the three keys of every row.
void saveChoice(const QString& section, const std::vector<Field>& fields);

// The order list's tick rule after the tick of row `row` changed: ticking or
// unticking "商品名稱" does the same to every line field; a line field cannot
// be ticked while "商品名稱" is not. Returns the rows whose tick it changed.
std::vector<int> applyLineRule(std::vector<Field>& fields, int row);

// "↑" (-1) and "↓" (+1): the row trades places with its neighbour, its tick
// going with it. Returns the row's new position, or -1 when it cannot move.
int move(std::vector<Field>& fields, int row, int step);

// The rows of a source list as the export reads them.
struct Source {
  int rowCount = 0;
  std::function<bool(int row)> selected;                 // sources 1 to 4
  std::function<QString(int row, int column)> text;      // column 0 = key text
};

bool selectedRowsOnly(int ex);

// The text of "temp.txt": one line per exported row (per order line of an
// order with "商品名稱" ticked), the ticked fields in chooser order joined
// by sep, CR LF pairs inside values removed, each line ended by CR LF.
// nullopt when an order-list row names no Order row.
std::optional<QString> text(const Database& db, int ex, const Source& source, const std::vector<Field>& fields,
                            QChar sep);

}  // namespace ExportText
