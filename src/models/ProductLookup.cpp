#include "models/ProductLookup.h"

#include "store/Database.h"

namespace ProductLookup {

namespace {
const QString kToken = QStringLiteral("<DataBasePath>");
}

int findImageRow(const Database& db, const QString& name, const QString& category) {
  const Table& t = db.Images;
  for (int r = 1, n = t.count(); r <= n; ++r)
    if (t.cell(r, ImagesCell::ImageProduct) == name && t.cell(r, ImagesCell::ImageCategory) == category) return r;
  return 0;
}

QString picturePathForStorage(const Database& db, const QString& path) {
  // Only a path inside the folder gets the token: a path that merely holds
  // the folder's text further on (a copy of the folder kept elsewhere) would
  // otherwise follow the database to a place where the file is not.
  if (db.DataBasePath.isEmpty() || !path.startsWith(db.DataBasePath)) return path;
  return kToken + path.mid(db.DataBasePath.size());
}

QString picturePathFromStorage(const Database& db, const QString& stored) {
  if (!stored.contains(kToken)) return stored;
  QString out = stored;
  out.replace(QLatin1Char('\\'), QLatin1Char('/'));
  out.replace(kToken, db.DataBasePath);
  return out;
}

QString picturePathOf(const Database& db, const QString& name, const QString& category) {
  const int r = findImageRow(db, name, category);
  if (r == 0) return {};
  return picturePathFromStorage(db, db.Images.cell(r, ImagesCell::ImagePath));
}

}  // namespace ProductLookup
