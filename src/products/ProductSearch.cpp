#include "products/ProductSearch.h"

#include "models/SearchFields.h"
#include "store/Database.h"
#include "store/SharedRoutines.h"

namespace ProductSearch {

QString normalise(const QString& text) { return FirstLine(SearchFields::trimBlanks(text)); }

QStringList keywords(const QString& normalised) {
  if (normalised.isEmpty()) return {};
  return normalised.split(u' ', Qt::KeepEmptyParts);
}

namespace {

// Keywords already lower-cased; the note is lower-cased only when a keyword
// is missing from the name.
bool matchesLower(const QStringList& keys, const QString& name, const QString& note) {
  if (keys.isEmpty()) return true;
  const QString lowerName = name.toLower();
  QString lowerNote;
  bool noteDone = false;
  for (const QString& k : keys) {
    if (!lowerName.isEmpty() && lowerName.contains(k)) continue;
    if (!noteDone) {
      lowerNote = note.toLower();
      noteDone = true;
    }
    if (lowerNote.isEmpty() || !lowerNote.contains(k)) return false;
  }
  return true;
}

}  // namespace

bool matches(const QStringList& keywords, const QString& name, const QString& note) {
  QStringList keys = keywords;
  for (QString& k : keys) k = k.toLower();
  return matchesLower(keys, name, note);
}

Result run(const Database& db, const QString& boxText, const ProductList::Options& options, bool allCategories) {
  Result r;
  if (boxText.isEmpty()) {
    r.refused = true;
    return r;
  }
  r.searchText = normalise(boxText);
  QStringList keys = keywords(r.searchText);
  for (QString& k : keys) k = k.toLower();
  const Table& t = db.Manuf;
  const bool every = allCategories || options.category == QStringLiteral("全部");
  for (int i = 1, n = t.count(); i <= n; ++i) {
    if (!every && t.cell(i, ManufCell::ProductCategory) != options.category) continue;
    if (!matchesLower(keys, t.cell(i, ManufCell::ProductName), t.cell(i, ManufCell::ProductNote))) continue;
    ProductList::appendRow(t, i, options, r.listing);
  }
  return r;
}

}  // namespace ProductSearch
