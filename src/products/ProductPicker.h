#pragma once
// The product picker: chosen products become lines of the order open in the
// order editor and take their stock at once.
#include <vector>

#include "models/OrderEditorLines.h"

class Database;
class Prompt;

namespace ProductPicker {

struct Pick {
  int manufRow = 0;  // 1-based Manuf row
  double qty = 1;
};

// The effect alone: for each pick, in order, one line is appended to the
// order (name, category, price, cost, note and weight copied from the
// product, the quantity, no tick) and the product's stock is lowered by the
// quantity (it may go below 0; the line's 缺貨 then shows the quantity).
// Returns each product's new stock. Does not set the unsaved-changes flag:
// the order editor keeps or gives back the stock when the order is saved
// or cancelled. Rows must be valid.
std::vector<double> takeIntoOrder(Database& db, const std::vector<Pick>& picks, OrderEditorLines& lines);

// The three picker switches of the product window's 設定 menu.
struct Options {
  bool askQuantity = false;   // 商品加入訂單時輸入數量 (限定單筆)
  bool stayOpen = false;      // 商品加入訂單後不要馬上關閉
  bool noStockAlert = false;  // 商品加入訂單時不要跳出無庫存警示
};

enum class Outcome {
  Nothing,    // empty list, nothing selected, the question cancelled or answered No
  Added,      // lines added; the window stays open (stayOpen)
  AddedClose, // lines added; the window closes
  Failed,     // "加入商品發生錯誤!" was shown
};

struct Result {
  Outcome outcome = Outcome::Nothing;
  double qty = 0;                 // quantity given to each chosen product
  std::vector<double> newStocks;  // per chosen row, in order
};

// The "加入訂單" command: selectedRows are the Manuf rows of the selected
// list rows in list order; listRowCount the rows the list shows.
Result addToOrder(Database& db, Prompt& prompt, const std::vector<int>& selectedRows, int listRowCount,
                  const Options& options, OrderEditorLines& lines);

}  // namespace ProductPicker
