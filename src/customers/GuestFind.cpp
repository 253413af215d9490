#include "customers/GuestFind.h"

#include <QHash>
#include <QSet>

#include "customers/CustomerFields.h"
#include "store/Database.h"

namespace GuestFind {

namespace {
// The cells of Conditions::text, in its order (the name is handled apart).
constexpr int kCells[] = {GuestCell::CustomerAccount, GuestCell::CustomerNameSex, GuestCell::CustomerPhone,
                          GuestCell::CustomerMobile,  GuestCell::CustomerEmail,   GuestCell::CustomerAddress,
                          GuestCell::BankLast5,       GuestCell::CustomerNote};
// The name part of a name-and-sex cell, without a copy.
QStringView nameOf(const QString& cell) {
  const qsizetype i = cell.indexOf(NameSex::Separator);
  return i < 0 ? QStringView(cell) : QStringView(cell).left(i);
}
}  // namespace

bool holds(QStringView text, QStringView what) {
  // Text without letters that have cases (Chinese names, digits) is the
  // same in any case: the plain, much faster comparison gives the answer.
  for (const QChar ch : what)
    if (ch.toLower() != ch || ch.toUpper() != ch) return text.contains(what, Qt::CaseInsensitive);
  return text.contains(what, Qt::CaseSensitive);
}

std::vector<QStringList> fieldSearch(const Table& guest, const Conditions& c) {
  const std::array<QString, 8>& text = c.text;
  const bool all = c.category == QStringLiteral("全部");
  const GuestList::View view = GuestList::allShown();

  std::vector<QStringList> rows;
  const int n = guest.count();
  for (int r = 1; r <= n; ++r) {
    if (!all && guest.cell(r, GuestCell::CustomerCategory) != c.category) continue;
    const QString& ns = guest.cell(r, GuestCell::CustomerNameSex);
    bool ok = true;
    for (size_t i = 0; i < 8 && ok; ++i) {
      if (text[i].isEmpty()) continue;
      if (i == 1) ok = !ns.isEmpty() && holds(nameOf(ns), text[i]);
      else ok = holds(guest.cell(r, kCells[i]), text[i]);
    }
    if (ok && !c.sex.isEmpty()) ok = NameSex::hasSeparator(ns) && holds(NameSex::sex(ns), c.sex);
    if (ok) rows.push_back(GuestList::row(guest, r, view));
  }
  return rows;
}

std::vector<QStringList> productSearch(const Database& db, const QString& text, const GuestList::View& view) {
  // Orders holding a matching line, wherever their lines lie in Stock.
  QSet<QString> orderNos;
  const int nLines = db.Stock.count();
  for (int s = 1; s <= nLines; ++s) {
    const QString& name = db.Stock.cell(s, StockCell::LineName);
    if (name.isEmpty()) continue;
    if (holds(name, text)) orderNos.insert(db.Stock.key(s));
  }
  // Their customers.
  QSet<std::pair<QString, QString>> buyers;
  if (!orderNos.isEmpty()) {
    const int nOrders = db.Order.count();
    for (int o = 1; o <= nOrders; ++o)
      if (orderNos.contains(db.Order.key(o)))
        buyers.insert({db.Order.cell(o, OrderCell::BuyerAccount), db.Order.cell(o, OrderCell::BuyerCategory)});
  }
  std::vector<QStringList> rows;
  if (buyers.isEmpty()) return rows;
  const int n = db.Guest.count();
  for (int r = 1; r <= n; ++r)
    if (buyers.contains({db.Guest.key(r), db.Guest.cell(r, GuestCell::CustomerCategory)}))
      rows.push_back(GuestList::row(db.Guest, r, view));
  return rows;
}

}  // namespace GuestFind
