#pragma once
// A small product table shared by the product tests.
#include <QStringList>

#include "store/Database.h"

inline int addProduct(Database& db, const QStringList& cells) {
  const int r = db.Manuf.append(cells.value(0));
  for (int c = 1; c < cells.size(); ++c) db.Manuf.setCell(r, c, cells[c]);
  return r;
}

// name, category, price, cost, stock, note, safety stock, weight
inline void fillProducts(Database& db) {
  db.settings.ProductCategories = {QStringLiteral("飾品"), QStringLiteral("文具")};
  addProduct(db, {"戒指", "飾品", "100", "60", "5", "銀", "2", "10"});
  addProduct(db, {"項鍊", "飾品", "200", "120", "0", "", "1", "20"});
  addProduct(db, {"鉛筆", "文具", "10", "4", "-2", "", "0", "1"});
  addProduct(db, {"橡皮", "文具", "5", "2", "3", "", "3", "1"});
  addProduct(db, {"雜物", "", "1", "1", "1", "", "", ""});
  addProduct(db, {"貼紙", "未分類", "3", "1", "", "", "1", "0"});
}
