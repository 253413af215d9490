#pragma once
// The product list's bulk changes: one new stock, price, cost or category
// for every selected product.
#include <QString>
#include <vector>

class Database;
class Prompt;

namespace ProductBulk {

enum class Field { Stock, Price, Cost };

// The input box's question for each field.
QString question(Field field);

// True when the text begins with a number (blanks before it allowed), the
// way the number reader finds one.
bool hasLeadingNumber(const QString& text);

// "變更多筆商品的庫存/售價/成本": asks for the value (title "變更"). An empty
// answer (or cancel) and an answer without a leading number change nothing
// and give false. Otherwise every one of the Manuf rows gets the answer's
// leading number as plain decimal text, the unsaved-changes flag is set and
// the result is true (also for no rows): the list is rebuilt. Purchase
// records and order lines are not touched.
bool setValue(Database& db, Prompt& prompt, Field field, const std::vector<int>& manufRows);

struct CategoryResult {
  bool changed = false;       // products moved: the flag is set; rebuild the list
  bool categoryAdded = false; // category appended to the list (also when answered No)
  QString category;           // the new category as stored
};

// "變更多筆商品的分類": asks for the category (title "變更"); the answer is
// checked for characters code page 950 cannot hold, loses '"' and "”" and
// is trimmed; empty changes nothing. A change that would give two products
// the same name and category is refused first. A new name (not "未分類")
// joins the category list while it holds fewer than 2000; then the
// question about the order lines: on Yes every order line and the first
// picture row of each product follow it, and the product itself last.
CategoryResult setCategory(Database& db, Prompt& prompt, const std::vector<int>& manufRows);

}  // namespace ProductBulk
