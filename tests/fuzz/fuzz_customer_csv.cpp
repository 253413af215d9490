// Customer CSV import: any bytes must import without crashing; every
// customer stored has an account and no quote, a customer without a
// category (a line of the account alone) nothing but its account, and what
// the export writes of the customers with a category imports again to the
// same fields (an exported line with an empty category is passed over).
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
    if (db.Guest.key(g).isEmpty()) abort();
    for (int c = 0; c <= GuestCell::Count; ++c)
      if (db.Guest.cell(g, c).contains(u'"') || db.Guest.cell(g, c).contains(QChar(0x201D))) abort();
    if (db.Guest.cell(g, GuestCell::CustomerCategory).isEmpty()) {
      for (int c = 1; c <= GuestCell::Count; ++c)
        if (!db.Guest.cell(g, c).isEmpty()) abort();
      continue;
    }
    rows.push_back(g);
  }
  Database again;
  CustomerCsv::importText(again, CustomerCsv::exportText(db.Guest, rows), true);
  if (again.Guest.count() != static_cast<int>(rows.size())) abort();
  for (size_t k = 0; k < rows.size(); ++k)
    if (CustomerCsv::exportFields(again.Guest, static_cast<int>(k) + 1) != CustomerCsv::exportFields(db.Guest, rows[k]))
      abort();
  return 0;
}
