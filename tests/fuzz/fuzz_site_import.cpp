// The auction sites' buyer lists: any bytes must import without crashing
// under each of the three layouts; every buyer stored has an account, the
// chosen category and no quote, and a second import of the same list adds
// no customer.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "customers/SiteImport.h"
#include "platform/Codec.h"
#include "store/CsvFile.h"
#include "store/Database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool replace = data[0] & 1;
  const QString text = Codec::decode(QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)));
  for (SiteImport::Site site : {SiteImport::Site::Ruten, SiteImport::Site::Shopee, SiteImport::Site::Yahoo}) {
    for (const QStringList& record : Csv::parse(text)) (void)SiteImport::buyerOf(site, record);
    Database db;
    const int r = db.Guest.append(QStringLiteral("amy"));
    db.Guest.setCell(r, GuestCell::CustomerCategory, QStringLiteral("露天拍賣"));
    SiteImport::importText(db, site, text, QStringLiteral("蝦皮拍賣"), replace);
    for (int g = 2; g <= db.Guest.count(); ++g) {
      if (db.Guest.key(g).isEmpty() || db.Guest.cell(g, GuestCell::CustomerCategory) != QStringLiteral("蝦皮拍賣"))
        abort();
      for (int c = 0; c <= GuestCell::Count; ++c)
        if (db.Guest.cell(g, c).contains(u'"')) abort();
    }
    const int count = db.Guest.count();
    SiteImport::importText(db, site, text, QStringLiteral("蝦皮拍賣"), replace);
    if (db.Guest.count() != count) abort();
  }
  return 0;
}
