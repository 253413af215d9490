#pragma once
// The product CSV file ("商品資料") and the picture-path CSV file ("img"):
// code page 950, CR LF, no header, one product a line.
//   products:      name, category, price, cost, stock, note, safety stock, weight
//   picture paths: name, category, path ("<DataBasePath>" for the database folder)
// A CR LF inside a value is dropped on export; a value holding a comma (or a
// lone line break) is written in double quotes, and the importers read
// quoted fields, so such a value comes back whole. Files without such values
// are the plain comma-separated lines they always were.
#include <QString>
#include <vector>

class Database;

namespace ProductCsv {

// The export text of these Manuf rows, in the order given. Every value
// comes from the product row itself, so a column switched off in the list
// or a stock shown rounded never writes an empty or changed value.
QString productText(const Database& db, const std::vector<int>& manufRows);

// The picture-path export text of these Manuf rows: name, category and the
// stored path of the product's first picture row ("" when it has none).
QString picturePathText(const Database& db, const std::vector<int>& manufRows);

struct ImportCounts {
  int added = 0;     // new products (each with one purchase record)
  int replaced = 0;  // existing products rewritten (replace on)
};

// Imports the product file's text. A line needs a name and a category; the
// first product of that name and category (one added earlier in the same
// file included) gets fields 3 to 8 when replace is on and is left alone
// otherwise; an unknown product is added with a purchase record "進貨" of
// today, its stock as quantity and its cost as amount. Quotes and "”" are
// removed from the fields. Sets the unsaved-changes flag.
ImportCounts importProducts(Database& db, const QString& text, bool replace);

// Imports the picture-path file's text: each line with name, category and
// path sets the path of that pair's first picture row, or adds one; a path
// inside the open database folder is stored with "<DataBasePath>". Then
// every picture row whose product does not exist is removed. Sets the
// unsaved-changes flag. Returns the number of lines taken.
int importPicturePaths(Database& db, const QString& text);

}  // namespace ProductCsv
