#include "products/ProductOrdering.h"

#include "models/OrderLineTools.h"
#include "platform/Prompt.h"
#include "store/Database.h"

namespace ProductOrdering {

void exchangeRows(Table& manuf, int a, int b) {
  if (a == b) return;
  for (int c = 0; c <= manuf.cellCount(); ++c) {
    const QString va = manuf.cell(a, c);
    manuf.setCell(a, c, manuf.cell(b, c));
    manuf.setCell(b, c, va);
  }
}

std::optional<std::vector<std::pair<int, int>>> moveSelected(Database& db, const std::vector<int>& indexes,
                                                             std::vector<bool>& selected, bool up) {
  std::vector<std::pair<int, int>> made;
  const int n = static_cast<int>(indexes.size());
  if (n < 2) return made;
  for (int r : indexes)
    if (r < 1 || r > db.Manuf.count()) return std::nullopt;
  OrderLineTools::moveSelectedRows(n, selected, up, [&](int i, int j) {
    exchangeRows(db.Manuf, indexes[static_cast<size_t>(i)], indexes[static_cast<size_t>(j)]);
    made.emplace_back(i, j);
  });
  db.setDirty(true);
  return made;
}

bool sortByName(Database& db, Prompt& prompt) {
  if (prompt.message(QString::fromUtf8(SortQuestion), Prompt::Icon::None, Prompt::Buttons::YesNo) !=
      Prompt::Answer::Yes)
    return false;
  db.Manuf.sortBy(ManufCell::ProductName);
  db.setDirty(true);
  return true;
}

}  // namespace ProductOrdering
