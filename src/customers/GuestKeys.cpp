#include "customers/GuestKeys.h"

#include <algorithm>

#include "store/Table.h"

GuestKeys::GuestKeys(const Table& guest) {
  const int n = guest.count();
  first_.reserve(n);
  for (int r = 1; r <= n; ++r) added(guest.key(r), guest.cell(r, GuestCell::CustomerCategory), r);
}

int GuestKeys::find(const QString& account, const QString& category) const {
  return first_.value({account, category}, 0);
}

void GuestKeys::added(const QString& account, const QString& category, int row) {
  std::pair<QString, QString> key{account, category};
  if (!first_.contains(key)) first_.insert(std::move(key), row);
}

void GuestKeys::reserveForLines(Table& guest, QStringView text) {
  const qsizetype lines = std::min<qsizetype>(std::max(text.count(u'\n'), text.count(u'\r')), 10'000'000);
  guest.reserve(guest.count() + static_cast<int>(lines));
  first_.reserve(first_.size() + lines);
}
