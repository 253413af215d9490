#pragma once
// Finding products and their pictures, and the picture-path token.
#include <QString>

class Database;

namespace ProductLookup {

// The first Images row of this name and category; 0 when none.
int findImageRow(const Database& db, const QString& name, const QString& category);

// Picture paths are stored with the open database folder written as the
// token "<DataBasePath>". forStorage replaces the folder by the token (a
// path outside the folder stays as it is); fromStorage puts the folder back,
// reading a "\" in the part after the token as "/".
QString picturePathForStorage(const Database& db, const QString& path);
QString picturePathFromStorage(const Database& db, const QString& stored);

// The picture path of a product ready to open, or "" when it has none.
QString picturePathOf(const Database& db, const QString& name, const QString& category);

}  // namespace ProductLookup
