#pragma once
// The tools of the order editor's line list, without any window: stock given
// back by a delete, moving, sorting, ticking with the date mark, and the web
// address and picture of a line. The editor reads its lines and selection
// flags out of its line list, calls these, and writes them back.
#include <QDate>
#include <QString>
#include <QUrl>
#include <functional>
#include <vector>

#include "models/OrderLine.h"

class Database;
class Table;

namespace OrderLineTools {

// Adds qty (the leading number of its text) to ProductStock of the first
// product of that name and category. False when there is no such product.
bool giveBackStock(Table& Manuf, const QString& name, const QString& category, const QString& qty);
// What cancelling and browsing give back: every line of the editor returns
// its quantity to its product, then (with takeAgain, for an order that was
// stored) every snapshot line takes its quantity again, so the unsaved line
// changes leave no trace in the stock. Lines whose product is not in Manuf
// change nothing.
void giveBackUnsaved(Table& Manuf, const OrderLines& lines, const OrderLines& snapshot, bool takeAgain);

// "刪除(&D)": removes the selected lines from the last to the first, each
// giving its quantity back to its product; every line left gets the
// shortage mark "..". With no line at all nothing happens (false).
bool deleteSelected(OrderLines& lines, std::vector<bool>& selected, Table& Manuf);

// MoveSelectedRows: moves the selected rows of a list of n rows one place up
// or down. exchange(i, j) swaps the contents of rows i and j (0-based); the
// selection flags are swapped here. Rows next to a selected row in the
// direction of the move stay where they are.
void moveSelectedRows(int n, std::vector<bool>& selected, bool up, const std::function<void(int, int)>& exchange);

// Moves whole lines, tick included.
void moveSelected(OrderLines& lines, std::vector<bool>& selected, bool up);

// Sorts every line once by name (byCategory false) or category, compared as
// text; equal keys keep their order. Lines carry their tick and selection.
void sortLines(OrderLines& lines, std::vector<bool>& selected, bool byCategory);

// The date mark: "*", the date "yyyy/mm/dd", the old note and one blank.
QString dateMarked(const QString& note, const QDate& today);
// The note without its leading "*" (unchanged when there is none).
QString tickRemoved(const QString& note);

// A tick set or cleared by the user on one line of the list.
void userTicked(OrderLine& line, bool ticked, bool dateMark, const QDate& today);

// "勾選": every selected unticked line gets the date mark (when dateMark is
// on) and is ticked; a line already ticked keeps its note.
void tickSelected(OrderLines& lines, const std::vector<bool>& selected, bool dateMark, const QDate& today);
// "取消勾選": every selected ticked line loses a leading "*" (when dateMark
// is on); every selected line is unticked.
void untickSelected(OrderLines& lines, const std::vector<bool>& selected, bool dateMark);

// The web address of a line as it may be opened: http and https only; a
// text starting "www." gets "http://". An invalid QUrl means nothing opens.
QUrl webAddress(const QString& text);

// The picture file of a product: the path of the first Images row of that
// name and category with "<DataBasePath>" put back; "" when there is none.
QString picturePath(const Database& db, const QString& name, const QString& category);

}  // namespace OrderLineTools
