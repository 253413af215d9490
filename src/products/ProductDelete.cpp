#include "products/ProductDelete.h"

#include <QHash>

#include "store/Database.h"

namespace ProductDelete {

namespace {

// Rows of a table by (key text, cell 1), each list ascending; taking from the
// front gives what a look-up from row 1 finds once the earlier ones are gone.
QHash<QString, std::vector<int>> rowsByPair(const Table& t) {
  QHash<QString, std::vector<int>> out;
  out.reserve(t.count());
  for (int r = 1, n = t.count(); r <= n; ++r) out[t.cell(r, 0) + QChar(1) + t.cell(r, 1)].push_back(r);
  return out;
}

}  // namespace

int remove(Database& db, const std::vector<std::pair<QString, QString>>& products) {
  auto manuf = rowsByPair(db.Manuf);
  auto images = rowsByPair(db.Images);
  QHash<QString, size_t> usedManuf, usedImages;
  std::vector<int> manufGone, imagesGone;
  for (const auto& [name, category] : products) {
    const QString key = name + QChar(1) + category;
    auto m = manuf.constFind(key);
    size_t& um = usedManuf[key];
    if (m == manuf.constEnd() || um >= m->size()) continue;
    manufGone.push_back((*m)[um++]);
    auto i = images.constFind(key);
    size_t& ui = usedImages[key];
    if (i != images.constEnd() && ui < i->size()) imagesGone.push_back((*i)[ui++]);
  }
  db.Images.removeRows(imagesGone);
  db.Manuf.removeRows(manufGone);
  db.setDirty(true);
  return static_cast<int>(manufGone.size());
}

}  // namespace ProductDelete
