// Customer CSV import: any bytes must import without crashing; every
// customer stored has an account and a category and no quote, and what the
// export writes of them imports again to the same fields.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "customers/CustomerCsv.h"
#include "platform/Codec.h"
#include "store/Database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool replace = data[0] & 1;
  const QString text = Codec::decode(QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)));
  Database db;
  const int r = db.Guest.append(QStringLiteral("amy"));
  db.Guest.setCell(r, GuestCell::CustomerCategory, QStringLiteral("露天"));
  CustomerCsv::importText(db, text, replace);

  std::vector<int> rows;
  for (int g = 1; g <= db.Guest.count(); ++g) {
    if (db.Guest.key(g).isEmpty() || db.Guest.cell(g, GuestCell::CustomerCategory).isEmpty()) abort();
    for (int c = 0; c <= GuestCell::Count; ++c)
      if (db.Guest.cell(g, c).contains(u'"') || db.Guest.cell(g, c).contains(QChar(0x201D))) abort();
    rows.push_back(g);
  }
  Database again;
  CustomerCsv::importText(again, CustomerCsv::exportText(db.Guest, rows), true);
  if (again.Guest.count() != db.Guest.count()) abort();
  for (int g = 1; g <= db.Guest.count(); ++g)
    if (CustomerCsv::exportFields(again.Guest, g) != CustomerCsv::exportFields(db.Guest, g)) abort();
  return 0;
}
