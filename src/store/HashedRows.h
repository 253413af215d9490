#pragma once
// Table rows by a key of one or two cell texts (an account and its
// category, a product name and its category), for the joins of a command:
// built once, then asked once per row of another table.
//
// Each stored key keeps 32 bits of its hash beside its row, so a probe
// reads the texts of a stored row only when the hashes agree: a key that is
// not stored costs no text comparison, a stored one mostly a single one.
// The caller hashes the key (keyHash) and tells how to compare it with the
// key of a stored row; the index holds no texts, only row numbers.
//
//   HashedRows firstRow(guest.count());
//   for (int r = 1; r <= guest.count(); ++r)
//     firstRow.insert(keyHash(guest.key(r), cat(r)), r, [&](int s) { return sameKey(s, r); });
//   const int g = firstRow.find(keyHash(account, category), [&](int s) { return ...; });
//
// find() only reads, so threads may share a built index.
#include <QStringView>
#include <cstdint>
#include <cstring>
#include <vector>

// A hash of a text's characters (not seeded: the same text hashes the same
// in every run).
inline uint64_t keyHash(QStringView text) {
  const char* p = reinterpret_cast<const char*>(text.utf16());
  size_t n = static_cast<size_t>(text.size()) * 2;
  uint64_t h = 0x9E3779B97F4A7C15ull ^ (n * 0x100000001B3ull);
  while (n >= 8) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    h = (h ^ v) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 32;
    p += 8;
    n -= 8;
  }
  uint64_t v = 0;
  std::memcpy(&v, p, n);
  h = (h ^ v) * 0xC4CEB9FE1A85EC53ull;
  h ^= h >> 29;
  h *= 0xFF51AFD7ED558CCDull;
  return h ^ (h >> 32);
}

// A hash of a pair of texts (a differs from b's beginning: "ab"+"c" and
// "a"+"bc" hash apart).
inline uint64_t keyHash(QStringView a, QStringView b) {
  uint64_t h = keyHash(a) * 0x9E3779B97F4A7C15ull ^ keyHash(b);
  h ^= h >> 31;
  h *= 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 29);
}

class HashedRows {
 public:
  // Room for `expected` keys without growing.
  explicit HashedRows(size_t expected = 0) { rehash(expected); }

  size_t size() const { return used_; }

  // The row stored under the key hashed to h; same(row) tells whether the
  // key of a stored row equals the one asked for. 0 when none.
  template <typename Same>
  int find(uint64_t h, Same&& same) const {
    const uint32_t tag = tagOf(h);
    for (size_t i = home(tag);; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.row == 0) return 0;
      if (s.tag == tag && same(s.row)) return s.row;
    }
  }

  // Stores row (> 0) under its key unless an equal key is stored already.
  // Returns the row stored before under an equal key, 0 when row was stored.
  template <typename Same>
  int insert(uint64_t h, int row, Same&& same) {
    if ((used_ + 1) * 2 > slots_.size()) rehash(used_ * 2 + 1);
    const uint32_t tag = tagOf(h);
    for (size_t i = home(tag);; i = (i + 1) & mask_) {
      Slot& s = slots_[i];
      if (s.row == 0) {
        s = {tag, row};
        ++used_;
        return 0;
      }
      if (s.tag == tag && same(s.row)) return s.row;
    }
  }

 private:
  // 32 bits of the hash are kept; the slot a key starts from is worked out
  // from them alone, so the index can grow without the keys.
  struct Slot {
    uint32_t tag = 0;
    int row = 0;  // 0: free
  };
  static uint32_t tagOf(uint64_t h) { return static_cast<uint32_t>(h >> 32); }
  size_t home(uint32_t tag) const { return static_cast<size_t>((tag * 0x9E3779B97F4A7C15ull) >> shift_); }
  void rehash(size_t keys) {
    size_t n = 16;
    int bits = 4;
    while (n < keys * 2) n *= 2, ++bits;
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(n, Slot{});
    mask_ = n - 1;
    shift_ = 64 - bits;
    for (const Slot& s : old) {
      if (s.row == 0) continue;
      size_t i = home(s.tag);
      while (slots_[i].row != 0) i = (i + 1) & mask_;
      slots_[i] = s;
    }
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  int shift_ = 60;
  size_t used_ = 0;
};
