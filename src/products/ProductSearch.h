#pragma once
// The product window's search ("搜尋" within the chosen category, "全區搜尋"
// over every category): the products whose name or note holds every keyword
// of the search box, listed as the product list lists them, with its totals.
#include <QString>
#include <QStringList>

#include "models/ProductList.h"

class Database;

namespace ProductSearch {

inline const QString EmptyText = QStringLiteral("請先輸入商品名稱");
inline const QString NothingFoundText = QStringLiteral("沒有找到符合的商品");

// The search box's text as searched: blanks (the ASCII space only) trimmed
// at both ends, then cut before the first CR LF.
QString normalise(const QString& text);

// The keywords of a normalised text: cut at every single ASCII blank, empty
// pieces kept ("a  b" gives "a", "", "b"); an empty text gives none. The
// full-width blank is an ordinary character.
QStringList keywords(const QString& normalised);

// True when every keyword occurs in the name or in the note, compared
// lower-cased; each keyword may be in either. A keyword occurs only in a
// text that is not empty, so the empty keyword matches any non-empty text.
bool matches(const QStringList& keywords, const QString& name, const QString& note);

struct Result {
  bool refused = false;  // the box was empty: warn EmptyText, change nothing
  QString searchText;    // the normalised text, written back into the box
  ProductList::Listing listing;
};

// options.category is the filter's text for "搜尋"; allCategories is
// "全區搜尋". The stock filters of options are not read.
Result run(const Database& db, const QString& boxText, const ProductList::Options& options, bool allCategories);

}  // namespace ProductSearch
