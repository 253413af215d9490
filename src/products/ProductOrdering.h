#pragma once
// The user's own order of the products: moving the selected products of the
// product list one place up or down, and sorting the whole table by name.
#include <optional>
#include <utility>
#include <vector>

class Database;
class Prompt;
class Table;

namespace ProductOrdering {

// Exchanges two Manuf rows completely (name and every cell).
void exchangeRows(Table& manuf, int a, int b);

// "上移" / "下移" over the list as displayed: indexes holds the Index cell of
// each displayed row, selected its selection (it follows the moved rows).
// Each exchange of displayed rows i and j exchanges Manuf rows indexes[i]
// and indexes[j]; the Index cells stay with their places. Returns the
// exchanged pairs of displayed rows in the order made, for the list to
// follow. With two rows or more the unsaved-changes flag is set, also when
// nothing moved. nullopt when an Index names no product: nothing changes.
std::optional<std::vector<std::pair<int, int>>> moveSelected(Database& db, const std::vector<int>& indexes,
                                              std::vector<bool>& selected, bool up);

inline constexpr const char* SortQuestion = "排序後將無法恢復之前的順序，確定繼續嗎?";

// "排序商品": asks SortQuestion (Yes/No, no icon); on Yes sorts every product
// once by name compared as text (equal names keep their order) and sets the
// unsaved-changes flag. False on No: nothing changed.
bool sortByName(Database& db, Prompt& prompt);

}  // namespace ProductOrdering
