#pragma once
// Products and purchase records shared by the purchasing tests.
#include <QStringList>

#include "../products/ProductFixture.h"
#include "purchasing/PurchaseRecords.h"
#include "store/Database.h"

// date, product, kind, qty, supplier, no, amount, note
inline int addRecord(Database& db, const QStringList& c) {
  PurchaseRecord r{c.value(0), c.value(1), c.value(2), c.value(3), c.value(4), c.value(5), c.value(6), c.value(7)};
  return PurchaseRecords::append(db, r);
}

inline QString stockOf(const Database& db, int r) { return db.Manuf.cell(r, ManufCell::ProductStock); }
inline QString costOf(const Database& db, int r) { return db.Manuf.cell(r, ManufCell::ProductCost); }
