#pragma once
// Removing products ("刪除商品").
#include <QString>
#include <utility>
#include <vector>

class Database;

namespace ProductDelete {

// Removes, for each (name, category), the first product of that exact pair
// and its first picture row. Pairs without a product are passed over. Order
// lines and purchase records stay. Sets the unsaved-changes flag. Returns the
// number of products removed.
int remove(Database& db, const std::vector<std::pair<QString, QString>>& products);

}  // namespace ProductDelete
