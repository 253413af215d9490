#include "models/GuestList.h"

#include <QHash>
#include <deque>

#include "models/CustomerFields.h"
#include "store/Database.h"
#include "store/SharedRoutines.h"

namespace GuestList {

namespace {
const QString kAll = QStringLiteral("全部");

bool passes(const Table& guest, int r, const QString& filter) {
  return filter == kAll || guest.cell(r, GuestCell::CustomerCategory) == filter;
}
}  // namespace

View allShown() {
  View v;
  v.fill(true);
  return v;
}

QStringList filterEntries(const Database& db) {
  QStringList entries{kAll};
  entries += db.settings.CustomerCategories;
  entries << QStringLiteral("未分類") << QStringLiteral("編輯客戶分類");
  return entries;
}

QStringList dialogCategories(const Database& db) {
  QStringList entries = db.settings.CustomerCategories;
  entries << QStringLiteral("未分類");
  return entries;
}

QStringList row(const Table& guest, int r, const View& view) {
  QStringList cells;
  cells.reserve(Column::Count);
  cells << guest.key(r) << guest.cell(r, GuestCell::CustomerCategory);
  cells << (view[Name] ? NameSex::name(guest.cell(r, GuestCell::CustomerNameSex)) : QString());
  static constexpr int kCells[] = {GuestCell::CustomerPhone,   GuestCell::CustomerMobile, GuestCell::CustomerEmail,
                                   GuestCell::CustomerAddress, GuestCell::BankLast5,      GuestCell::CustomerNote};
  for (int i = 0; i < 6; ++i) cells << (view[Phone + i] ? guest.cell(r, kCells[i]) : QString());
  cells << QString::number(r);
  return cells;
}

std::vector<QStringList> show(const Table& guest, const QString& filter, const View& view) {
  std::vector<QStringList> rows;
  const int n = guest.count();
  for (int r = 1; r <= n; ++r)
    if (passes(guest, r, filter)) rows.push_back(row(guest, r, view));
  return rows;
}

QString searchText(const QString& typed) {
  qsizetype a = 0, b = typed.size();
  while (a < b && typed.at(a) == QLatin1Char(' ')) ++a;
  while (b > a && typed.at(b - 1) == QLatin1Char(' ')) --b;
  return FirstLine(typed.mid(a, b - a));
}

std::vector<QStringList> search(const Table& guest, const QString& text, const QString& filter,
                                bool allCategories, const View& view) {
  std::vector<QStringList> rows;
  const QString t = text.toLower();
  const int n = guest.count();
  for (int r = 1; r <= n; ++r) {
    if (!allCategories && !passes(guest, r, filter)) continue;
    bool hit = guest.key(r).toLower().contains(t);
    if (!hit) {
      const QString& ns = guest.cell(r, GuestCell::CustomerNameSex);
      hit = !ns.isEmpty() && NameSex::name(ns).toLower().contains(t);
    }
    if (hit) rows.push_back(row(guest, r, view));
  }
  return rows;
}

int removeGuests(Database& db, const std::vector<std::pair<QString, QString>>& keys) {
  if (keys.empty()) return 0;
  Table& guest = db.Guest;
  // The rows of every wanted key, first to last: the n-th request for a key
  // takes its n-th row, as removing the first match n times would.
  QHash<QString, std::deque<int>> rowsOf;
  const auto keyOf = [](const QString& account, const QString& category) {
    return account + QChar(0) + category;
  };
  for (const auto& [account, category] : keys) rowsOf.insert(keyOf(account, category), {});
  const int n = guest.count();
  for (int r = 1; r <= n; ++r) {
    const auto it = rowsOf.find(keyOf(guest.key(r), guest.cell(r, GuestCell::CustomerCategory)));
    if (it != rowsOf.end()) it->push_back(r);
  }
  std::vector<int> doomed;
  for (const auto& [account, category] : keys) {
    auto& queue = rowsOf[keyOf(account, category)];
    if (queue.empty()) continue;
    doomed.push_back(queue.front());
    queue.pop_front();
  }
  guest.removeRows(doomed);
  return static_cast<int>(doomed.size());
}

void sortGuests(Database& db) { db.Guest.sortBy(GuestCell::CustomerAccount); }

}  // namespace GuestList
