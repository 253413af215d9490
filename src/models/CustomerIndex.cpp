#include "models/CustomerIndex.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <mutex>

#include "store/HashedRows.h"
#include "store/Parallel.h"
#include "store/Table.h"

uint64_t CustomerIndex::hashOf(QStringView account, int category) {
  uint64_t h = keyHash(account) + static_cast<uint64_t>(category) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 31;
  h *= 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 29);
}

CustomerIndex::CustomerIndex(const Table& guest) : guest_(guest) {
  const size_t n = static_cast<size_t>(guest.count());
  // Each row's category number (one per distinct text) and key hash, on
  // several threads; the numbers are handed out under a lock, which a
  // thread takes once per distinct category cell it meets.
  // What a part needs of a row, gathered by slices of rows, each slice's
  // rows already sorted into the parts.
  struct Key {
    int row;
    int category;
    uint64_t hash;
    QStringView account;
  };
  parts_.resize(size_t{1} << kPartBits);
  const size_t kSlice = 16384;
  std::vector<std::vector<std::vector<Key>>> slices((n + kSlice - 1) / kSlice,
                                                   std::vector<std::vector<Key>>(parts_.size()));
  std::mutex numbering;
  forEachSlice(slices.size(), 1, [&](size_t fromSlice, size_t toSlice) {
    Memo memo;
    for (size_t sl = fromSlice; sl < toSlice; ++sl) {
      for (auto& part : slices[sl]) part.reserve(kSlice / parts_.size() + kSlice / 64);
      for (size_t r = sl * kSlice + 1; r <= std::min(n, (sl + 1) * kSlice); ++r) {
        const int g = static_cast<int>(r);
        const uint32_t id = guest.valueId(g, GuestCell::CustomerCategory);
        const size_t k = id & (memo.id.size() - 1);
        if (memo.id[k] != id) {
          const QStringView text(guest.cell(g, GuestCell::CustomerCategory));
          const std::lock_guard<std::mutex> lock(numbering);
          auto c = categories_.constFind(text);
          if (c == categories_.constEnd()) c = categories_.insert(text, static_cast<int>(categories_.size()));
          memo.id[k] = id;
          memo.category[k] = *c;
        }
        const QStringView account(guest.key(g));
        const uint64_t h = hashOf(account, memo.category[k]);
        slices[sl][h & (parts_.size() - 1)].push_back({g, memo.category[k], h, account});
      }
    }
  });

  first_.assign(n + 1, 0);
  // Each part takes its keys in row order, so the row it keeps for a key is
  // the key's first.
  forEachSlice(parts_.size(), 1, [&](size_t fromPart, size_t toPart) {
    for (size_t p = fromPart; p < toPart; ++p) {
      size_t keys = 0;
      for (const auto& sl : slices) keys += sl[p].size();
      TextKeyTable part(keys);
      constexpr size_t kGroup = 16;
      for (const auto& sl : slices) {
        const std::vector<Key>& mine = sl[p];
        for (size_t g = 0; g < mine.size(); g += kGroup) {
          const size_t end = std::min(mine.size(), g + kGroup);
          for (size_t k = g; k < end; ++k) part.prefetch(mine[k].hash);
          for (size_t k = g; k < end; ++k) {
            const Key& key = mine[k];
            const int before = part.insert(key.hash, key.account, key.category, key.row);
            first_[static_cast<size_t>(key.row)] = before ? before : key.row;
          }
        }
      }
      parts_[p] = std::move(part);
    }
  });
}

int CustomerIndex::find(QStringView account, int category) const {
  const uint64_t h = hashOf(account, category);
  return parts_[h & (parts_.size() - 1)].find(h, account, category);
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
    uint64_t hash;
    const TextKeyTable* part;
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
      a.hash = hashOf(a.account, a.category);
      a.part = &parts_[a.hash & (parts_.size() - 1)];
      a.part->prefetch(a.hash);
    }
    for (size_t k = 0; k < n; ++k)
      if (ask[k].category >= 0) ask[k].at = ask[k].part->candidate(ask[k].hash, ask[k].account, ask[k].category);
    for (size_t k = 0; k < n; ++k) {
      const Ask& a = ask[k];
      out[start + k] = a.category < 0 ? 0 : a.part->find(a.hash, a.account, a.category, a.at);
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

std::vector<int> customerRowsOf(const Table& guest, const Table& t, const std::vector<int>& rows, int accountCell,
                                int categoryCell) {
  std::vector<int> out(rows.size(), 0);
  if (rows.empty() || guest.count() == 0) return out;
  const size_t kSlice = 8192;
  if (rows.size() * 4 > static_cast<size_t>(guest.count())) {
    // Many rows: most customers are asked for, so every one is indexed.
    const CustomerIndex index(guest);
    forEachSlice(rows.size(), kSlice, [&](size_t from, size_t to) {
      CustomerIndex::Memo memo;
      index.rows(t, rows.data() + from, to - from, accountCell, categoryCell, memo, out.data() + from);
    });
    return out;
  }

  // Few rows: their distinct keys (categories numbered by text), then one
  // pass over Guest that looks up only rows of a wanted category.
  QHash<QStringView, int> categories;
  std::vector<int> keyOf(rows.size());
  TextKeyTable wanted(rows.size());
  int keys = 0;
  {
    CustomerIndex::Memo memo;
    for (size_t i = 0; i < rows.size(); ++i) {
      const int r = rows[i];
      const uint32_t id = t.valueId(r, categoryCell);
      const size_t m = id & (memo.id.size() - 1);
      if (memo.id[m] != id) {
        const QStringView text(t.cell(r, categoryCell));
        auto c = categories.constFind(text);
        if (c == categories.constEnd()) c = categories.insert(text, static_cast<int>(categories.size()));
        memo.id[m] = id;
        memo.category[m] = *c;
      }
      const QStringView account(t.cell(r, accountCell));
      const int before = wanted.insert(CustomerIndex::hashOf(account, memo.category[m]), account, memo.category[m], keys + 1);
      keyOf[i] = before ? before - 1 : keys++;
    }
  }
  std::vector<std::atomic<int>> first(static_cast<size_t>(keys));
  for (auto& f : first) f.store(INT_MAX, std::memory_order_relaxed);
  forEachSlice(static_cast<size_t>(guest.count()), 16384, [&](size_t from, size_t to) {
    CustomerIndex::Memo memo;
    for (size_t g = from + 1; g <= to; ++g) {
      const int r = static_cast<int>(g);
      const uint32_t id = guest.valueId(r, GuestCell::CustomerCategory);
      const size_t m = id & (memo.id.size() - 1);
      if (memo.id[m] != id) {
        memo.id[m] = id;
        memo.category[m] = categories.value(QStringView(guest.cell(r, GuestCell::CustomerCategory)), -1);
      }
      const int category = memo.category[m];
      if (category < 0) continue;
      const QStringView account(guest.key(r));
      const int k = wanted.find(CustomerIndex::hashOf(account, category), account, category);
      if (!k) continue;
      // Rows of a slice come in order, so a slice lowers a key's row once.
      std::atomic<int>& f = first[static_cast<size_t>(k - 1)];
      int seen = f.load(std::memory_order_relaxed);
      while (r < seen && !f.compare_exchange_weak(seen, r, std::memory_order_relaxed)) {
      }
    }
  });
  for (size_t i = 0; i < rows.size(); ++i) {
    const int f = first[static_cast<size_t>(keyOf[i])].load(std::memory_order_relaxed);
    out[i] = f == INT_MAX ? 0 : f;
  }
  return out;
}
