#include "customers/CustomerIndex.h"

#include <algorithm>
#include <cstring>

#include "store/HashedRows.h"
#include "store/Parallel.h"
#include "store/Table.h"

namespace {
bool sameAccount(const QChar* a, uint32_t na, QStringView b) {
  return na == static_cast<uint32_t>(b.size()) && std::memcmp(a, b.data(), na * sizeof(QChar)) == 0;
}
}  // namespace

uint64_t CustomerIndex::hashOf(QStringView account, int category) {
  uint64_t h = keyHash(account) + static_cast<uint64_t>(category) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 31;
  h *= 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 29);
}

CustomerIndex::CustomerIndex(const Table& guest) : guest_(guest) {
  const size_t n = static_cast<size_t>(guest.count());
  // Category numbers, one per distinct text.
  std::vector<int> categoryOf(n + 1, 0);
  {
    QHash<uint32_t, int> byId;
    for (size_t r = 1; r <= n; ++r) {
      const int g = static_cast<int>(r);
      const uint32_t id = guest.valueId(g, GuestCell::CustomerCategory);
      auto it = byId.constFind(id);
      if (it == byId.constEnd()) {
        const QStringView text(guest.cell(g, GuestCell::CustomerCategory));
        auto c = categories_.constFind(text);
        if (c == categories_.constEnd()) c = categories_.insert(text, static_cast<int>(categories_.size()));
        it = byId.insert(id, *c);
      }
      categoryOf[r] = *it;
    }
  }
  std::vector<uint64_t> hashes(n + 1);
  forEachSlice(n, 20000, [&](size_t from, size_t to) {
    for (size_t r = from + 1; r <= to; ++r) hashes[r] = hashOf(guest.key(static_cast<int>(r)), categoryOf[r]);
  });

  first_.assign(n + 1, 0);
  parts_.resize(size_t{1} << kPartBits);
  // Each part takes its keys in row order, so the row it keeps for a key is
  // the key's first.
  forEachSlice(parts_.size(), 1, [&](size_t fromPart, size_t toPart) {
    std::vector<int> mine;
    for (size_t p = fromPart; p < toPart; ++p) {
      mine.clear();
      for (size_t r = 1; r <= n; ++r)
        if ((hashes[r] & (parts_.size() - 1)) == p) mine.push_back(static_cast<int>(r));
      Part& part = parts_[p];
      part.entries.assign(std::max<size_t>(16, mine.size() * 3 / 2), Slot{});  // at most two thirds full
      constexpr size_t kGroup = 16;
      for (size_t g = 0; g < mine.size(); g += kGroup) {
        const size_t end = std::min(mine.size(), g + kGroup);
        for (size_t k = g; k < end; ++k) __builtin_prefetch(&part.entries[part.home(tagOf(hashes[mine[k]]))]);
        for (size_t k = g; k < end; ++k) {
          const int r = mine[k];
          const uint32_t tag = tagOf(hashes[r]);
          const QString& account = guest.key(r);
          const int category = categoryOf[r];
          for (size_t i = part.home(tag);; i = part.next(i)) {
            Slot& s = part.entries[i];
            if (s.row == 0) {
              s = {account.constData(), static_cast<uint32_t>(account.size()), category, tag, r};
              first_[r] = r;
              break;
            }
            if (s.tag == tag && s.category == category && sameAccount(s.account, s.length, account)) {
              first_[r] = s.row;
              break;
            }
          }
        }
      }
    }
  });
}

int CustomerIndex::findFrom(const Part& part, size_t i, uint32_t tag, QStringView account, int category) const {
  for (;; i = part.next(i)) {
    const Slot& s = part.entries[i];
    if (s.row == 0) return 0;
    if (s.tag == tag && s.category == category && sameAccount(s.account, s.length, account)) return s.row;
  }
}

int CustomerIndex::find(QStringView account, int category) const {
  const uint64_t h = hashOf(account, category);
  const Part& part = parts_[h & (parts_.size() - 1)];
  const uint32_t tag = tagOf(h);
  return findFrom(part, part.home(tag), tag, account, category);
}

int CustomerIndex::row(QStringView account, QStringView category) const {
  const auto c = categories_.constFind(category);
  return c == categories_.constEnd() ? 0 : find(account, *c);
}

int CustomerIndex::categoryOf(const Table& t, int r, int categoryCell, Memo& memo) const {
  const uint32_t id = t.valueId(r, categoryCell);
  const size_t k = id & 63;
  if (memo.id[k] != id) {
    memo.id[k] = id;
    memo.category[k] = categories_.value(QStringView(t.cell(r, categoryCell)), -1);
  }
  return memo.category[k];
}

int CustomerIndex::row(const Table& t, int r, int accountCell, int categoryCell, Memo& memo) const {
  const int category = categoryOf(t, r, categoryCell, memo);
  return category < 0 ? 0 : find(t.cell(r, accountCell), category);
}

template <typename RowAt>
void CustomerIndex::findRows(const Table& t, RowAt rowAt, size_t count, int accountCell, int categoryCell, Memo& memo,
                             int* out) const {
  // Groups of rows go through three steps together: hash and ask for the
  // slot; find the slot of the same hash and ask for its account's
  // characters; compare them. Each step's memory reads are on their way
  // while the group's other rows are worked on.
  constexpr size_t kGroup = 16;
  struct Ask {
    QStringView account;
    int category;
    uint32_t tag;
    const Part* part;
    size_t at;
  };
  Ask ask[kGroup];
  for (size_t start = 0; start < count; start += kGroup) {
    const size_t n = std::min(kGroup, count - start);
    for (size_t k = 0; k < n; ++k) {
      Ask& a = ask[k];
      const int r = rowAt(start + k);
      a.category = categoryOf(t, r, categoryCell, memo);
      if (a.category < 0) continue;
      a.account = t.cell(r, accountCell);
      const uint64_t h = hashOf(a.account, a.category);
      a.part = &parts_[h & (parts_.size() - 1)];
      a.tag = tagOf(h);
      a.at = a.part->home(a.tag);
      __builtin_prefetch(&a.part->entries[a.at]);
    }
    for (size_t k = 0; k < n; ++k) {
      Ask& a = ask[k];
      if (a.category < 0) continue;
      // The first slot that may hold the key (or the free one that ends the search).
      for (;; a.at = a.part->next(a.at)) {
        const Slot& s = a.part->entries[a.at];
        if (s.row == 0 || (s.tag == a.tag && s.category == a.category && s.length == a.account.size())) break;
      }
      __builtin_prefetch(a.part->entries[a.at].account);
    }
    for (size_t k = 0; k < n; ++k) {
      const Ask& a = ask[k];
      out[start + k] = a.category < 0 ? 0 : findFrom(*a.part, a.at, a.tag, a.account, a.category);
    }
  }
}

void CustomerIndex::rows(const Table& t, int from, int to, int accountCell, int categoryCell, Memo& memo,
                         int* out) const {
  findRows(t, [from](size_t k) { return from + static_cast<int>(k); }, static_cast<size_t>(std::max(0, to - from)),
           accountCell, categoryCell, memo, out);
}

void CustomerIndex::rows(const Table& t, const int* rowList, size_t count, int accountCell, int categoryCell,
                         Memo& memo, int* out) const {
  findRows(t, [rowList](size_t k) { return rowList[k]; }, count, accountCell, categoryCell, memo, out);
}
