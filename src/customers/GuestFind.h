#pragma once
// The two searches of "進階搜尋": customers matching every condition typed
// (the category chosen, the sex, and text looked for anywhere in eight
// cells, lower case on both sides), and customers who bought a product
// whose name holds a text. Both give rows of the customer list.
#include <QString>
#include <array>
#include <vector>

#include "models/GuestList.h"
#include "store/CaselessSearch.h"

class Database;

namespace GuestFind {

// Whether `text` holds `what` with both turned to lower case. Compared by
// Qt's case folding, which turns every character code page 950 can hold the
// same way as lower case does, without making lower-case copies.
bool holds(QStringView text, QStringView what);
// The same test for many texts, with the look at `what` made once.
using Holds = CaselessSearch;

struct Conditions {
  // The dialog's category: "全部" passes every customer, any other text
  // (also an empty one) only the customers of exactly that category.
  QString category = QStringLiteral("全部");
  // 客戶帳號, 姓名, 電話, 手機, Email, 住址, 帳號末5碼, 備註 as normalised; an
  // empty text restricts nothing. 姓名 needs a name part.
  std::array<QString, 8> text;
  // 性別: looked for in the sex part; a customer without one fails.
  QString sex;
};

// The Guest rows of every customer meeting all conditions, in Guest order
// (listed with all columns filled).
std::vector<int> fieldSearch(const Table& guest, const Conditions& c);

// The Guest rows of the customers, in Guest order, who have an order (same
// account and category) with a line whose product name holds `text` (lower
// case on both sides; an empty text matches every line with a name).
std::vector<int> productSearch(const Database& db, const QString& text);

}  // namespace GuestFind
