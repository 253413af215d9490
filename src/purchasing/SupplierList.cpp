#include "purchasing/SupplierList.h"

#include "store/CsvFile.h"
#include "store/Database.h"
#include "store/TextEntry.h"

namespace {

const QString kNewSupplier = QStringLiteral("新廠商");

QString oneLine(QString s) {
  s.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  return s;
}

}  // namespace

SupplierList::SupplierList(const DatabaseSettings& s) : names(s.SupplierNames), details(s.SupplierDetails) {
  while (details.size() < names.size()) details << QString();
  details.resize(names.size());
}

SupplierList::Outcome SupplierList::add(QString& name, QString& detail) {
  if (count() >= Capacity::Suppliers) return Outcome::Full;
  name = TextEntry::cleanName(name);
  if (name.isEmpty()) name = kNewSupplier;
  detail = TextEntry::clean(detail);
  if (find(name) >= 0) return Outcome::Duplicate;
  names << name;
  details << detail;
  return Outcome::Done;
}

SupplierList::Outcome SupplierList::edit(Database& db, int i, QString& name, QString& detail) {
  if (i < 0 || i >= count()) return Outcome::NoSupplier;
  name = TextEntry::cleanName(name);
  if (name.isEmpty()) name = kNewSupplier;
  detail = TextEntry::clean(detail);
  for (int k = 0; k < count(); ++k)
    if (k != i && names[k] == name) return Outcome::Duplicate;
  const QString old = names[i];
  if (name != old) {
    Table& t = db.ManufStock;
    for (int r = 1, n = t.count(); r <= n; ++r)
      if (t.cell(r, ManufStockCell::PurchaseSupplier) == old) t.setCell(r, ManufStockCell::PurchaseSupplier, name);
  }
  names[i] = name;
  details[i] = detail;
  return Outcome::Done;
}

void SupplierList::remove(int i) {
  if (i < 0 || i >= count()) return;
  names.removeAt(i);
  details.removeAt(i);
}

int SupplierList::moveUp(int i) {
  if (i <= 0 || i >= count()) return i;
  names.swapItemsAt(i, i - 1);
  details.swapItemsAt(i, i - 1);
  return i - 1;
}

int SupplierList::moveDown(int i) {
  if (i < 0 || i + 1 >= count()) return i;
  names.swapItemsAt(i, i + 1);
  details.swapItemsAt(i, i + 1);
  return i + 1;
}

QString SupplierList::csvText() const {
  QString out;
  for (int i = 0; i < count(); ++i)
    out += Csv::record({oneLine(names[i]), oneLine(details[i])}) + QStringLiteral("\r\n");
  return out;
}

void SupplierList::importCsv(const QString& text, bool replace) {
  for (const QStringList& fields : Csv::parse(text)) {
    const QString name = TextEntry::cleanName(fields.value(0));
    if (name.isEmpty()) continue;
    const bool hasDetails = fields.size() > 1;
    // Bare commas of an older file's details belong to the details.
    const QString detail = hasDetails ? TextEntry::clean(fields.mid(1).join(u',')) : QString();
    const int i = find(name);
    if (i >= 0) {
      if (replace && hasDetails) details[i] = detail;
      continue;
    }
    names << name;
    details << detail;
  }
}

SupplierList::CloseCheck SupplierList::closeCheck() const {
  if (names.isEmpty()) return CloseCheck::Empty;
  if (count() > Capacity::Suppliers) return CloseCheck::TooMany;
  return CloseCheck::Ok;
}

void SupplierList::commit(DatabaseSettings& s) const {
  s.SupplierNames = names;
  s.SupplierDetails = details;
}
