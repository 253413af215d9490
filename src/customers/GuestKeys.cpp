#include "customers/GuestKeys.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "store/Table.h"

GuestKeys::GuestKeys(const Table& guest, size_t more) : keys_(static_cast<size_t>(guest.count()) + more) {
  const int n = guest.count();
  accounts_.reserve(static_cast<size_t>(n) + more);
  // Categories repeat all through: each value number of the cell is looked
  // up once in a while.
  std::array<uint32_t, 64> id;
  std::array<int, 64> number{};
  id.fill(UINT32_MAX);
  for (int r = 1; r <= n; ++r) {
    const uint32_t v = guest.valueId(r, GuestCell::CustomerCategory);
    const size_t m = v & 63;
    if (id[m] != v) {
      id[m] = v;
      number[m] = categoryNumber(guest.valueText(v), true);
    }
    store(guest.key(r), number[m], r);
  }
}

int GuestKeys::store(const QString& account, int category, int row) {
  // The characters the key points at are those of the copy kept here; the
  // copy goes again when the key was stored before.
  accounts_.push_back(account);
  const int before = keys_.insert(hashOf(account, category), accounts_.back(), category, row);
  if (before) accounts_.pop_back();
  return before;
}

uint64_t GuestKeys::hashOf(QStringView account, int category) {
  uint64_t h = keyHash(account) + static_cast<uint64_t>(category) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 31;
  h *= 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 29);
}

int GuestKeys::categoryNumber(const QString& category, bool add) {
  const auto it = categories_.constFind(category);
  if (it != categories_.constEnd()) return *it;
  if (!add) return -1;
  const int n = static_cast<int>(categories_.size());
  categories_.insert(category, n);
  return n;
}

int GuestKeys::categoryNumber(const QString& category) const { return categories_.value(category, -1); }

int GuestKeys::find(const QString& account, const QString& category) const {
  const int c = categoryNumber(category);
  return c < 0 ? 0 : keys_.find(hashOf(account, c), account, c);
}

int GuestKeys::findOrAdd(const QString& account, const QString& category, int row) {
  return store(account, categoryNumber(category, true), row);
}

void GuestKeys::added(const QString& account, const QString& category, int row) {
  findOrAdd(account, category, row);
}

qsizetype GuestKeys::linesIn(QStringView text) {
  return std::min<qsizetype>(std::max(text.count(u'\n'), text.count(u'\r')), 10'000'000);
}

void GuestKeys::reserveForLines(Table& guest, QStringView text) {
  const qsizetype lines = linesIn(text);
  guest.reserve(guest.count() + static_cast<int>(lines));
  accounts_.reserve(accounts_.size() + static_cast<size_t>(lines));
  keys_.reserve(keys_.size() + static_cast<size_t>(lines));
}
