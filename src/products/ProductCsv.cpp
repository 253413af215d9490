#include "products/ProductCsv.h"

#include <QHash>
#include <QSet>

#include "models/ProductLookup.h"
#include "platform/Numbers.h"
#include "store/CsvFile.h"
#include "store/Database.h"
#include "store/TextEntry.h"

namespace ProductCsv {

namespace {

using Pair = std::pair<QString, QString>;

void appendLine(QString& out, const QStringList& fields) {
  QStringList clean;
  clean.reserve(fields.size());
  for (const QString& f : fields) clean << TextEntry::withoutCrLf(f);
  out += Csv::record(clean);
  out += QStringLiteral("\r\n");
}

bool validRow(const Table& t, int r) { return r >= 1 && r <= t.count(); }

// The first row of each (key text, cell 1) pair.
QHash<Pair, int> firstRows(const Table& t) {
  QHash<Pair, int> out;
  out.reserve(t.count());
  for (int r = t.count(); r >= 1; --r) out.insert(Pair(t.cell(r, 0), t.cell(r, 1)), r);  // the first row wins
  return out;
}

}  // namespace

QString productText(const Database& db, const std::vector<int>& manufRows) {
  const Table& t = db.Manuf;
  QString out;
  out.reserve(static_cast<qsizetype>(manufRows.size()) * 48);
  for (int r : manufRows) {
    if (!validRow(t, r)) continue;
    QStringList fields;
    fields.reserve(ManufCell::Count + 1);
    for (int c = 0; c <= ManufCell::Count; ++c) fields << t.cell(r, c);
    appendLine(out, fields);
  }
  return out;
}

QString picturePathText(const Database& db, const std::vector<int>& manufRows) {
  const Table& t = db.Manuf;
  const QHash<Pair, int> pictures = firstRows(db.Images);
  QString out;
  for (int r : manufRows) {
    if (!validRow(t, r)) continue;
    const QString& name = t.cell(r, ManufCell::ProductName);
    const QString& category = t.cell(r, ManufCell::ProductCategory);
    const int i = pictures.value(Pair(name, category), 0);
    appendLine(out, {name, category, i ? db.Images.cell(i, ImagesCell::ImagePath) : QString()});
  }
  return out;
}

ImportCounts importProducts(Database& db, const QString& text, bool replace) {
  ImportCounts counts;
  const std::vector<QStringList> records = Csv::parse(text);
  Table& t = db.Manuf;
  QHash<Pair, int> products = firstRows(t);
  const QString today = DateText::today();
  for (const QStringList& raw : records) {
    const qsizetype n = std::min<qsizetype>(raw.size(), ManufCell::Count + 1);
    QStringList f;
    f.reserve(n);
    for (qsizetype i = 0; i < n; ++i) f << TextEntry::clean(raw[i]);
    if (n < 2 || f[0].isEmpty() || f[1].isEmpty()) continue;
    const Pair key(f[0], f[1]);
    const int found = products.value(key, 0);
    if (found) {
      if (!replace) continue;
      for (qsizetype c = 2; c < n; ++c) t.setCell(found, static_cast<int>(c), f[c]);
      ++counts.replaced;
      continue;
    }
    const int r = t.append(f[0]);
    for (qsizetype c = 1; c < n; ++c) t.setCell(r, static_cast<int>(c), f[c]);
    products.insert(key, r);
    Table& p = db.ManufStock;
    const int k = p.append(today);
    p.setCell(k, ManufStockCell::PurchaseProduct, f[0]);
    p.setCell(k, ManufStockCell::PurchaseKind, QStringLiteral("進貨"));
    if (n > ManufCell::ProductStock) p.setCell(k, ManufStockCell::PurchaseQty, f[ManufCell::ProductStock]);
    if (n > ManufCell::ProductCost) p.setCell(k, ManufStockCell::PurchaseAmount, f[ManufCell::ProductCost]);
    ++counts.added;
  }
  db.setDirty(true);
  return counts;
}

int importPicturePaths(Database& db, const QString& text) {
  const std::vector<QStringList> records = Csv::parse(text);
  Table& images = db.Images;
  QHash<Pair, int> pictures = firstRows(images);
  int taken = 0;
  for (const QStringList& raw : records) {
    if (raw.size() < 3) continue;
    const QString name = TextEntry::clean(raw[0]);
    const QString category = TextEntry::clean(raw[1]);
    const QString path = TextEntry::clean(raw[2]);
    if (name.isEmpty() || category.isEmpty() || path.isEmpty()) continue;
    const QString stored = ProductLookup::picturePathForStorage(db, path);
    const Pair key(name, category);
    int r = pictures.value(key, 0);
    if (!r) {
      r = images.append(name);
      images.setCell(r, ImagesCell::ImageCategory, category);
      pictures.insert(key, r);
    }
    images.setCell(r, ImagesCell::ImagePath, stored);
    ++taken;
  }
  // Picture rows of products that do not exist go, older ones included.
  QSet<Pair> products;
  products.reserve(db.Manuf.count());
  for (int r = 1, n = db.Manuf.count(); r <= n; ++r)
    products.insert(Pair(db.Manuf.cell(r, ManufCell::ProductName), db.Manuf.cell(r, ManufCell::ProductCategory)));
  std::vector<int> orphans;
  for (int r = 1, n = images.count(); r <= n; ++r)
    if (!products.contains(Pair(images.cell(r, ImagesCell::ImageProduct), images.cell(r, ImagesCell::ImageCategory))))
      orphans.push_back(r);
  images.removeRows(orphans);
  db.setDirty(true);
  return taken;
}

}  // namespace ProductCsv
