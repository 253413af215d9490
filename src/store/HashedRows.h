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
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "store/HashBytes.h"

// A hash of a text's characters (not seeded: the same text hashes the same
// in every run).
inline uint64_t keyHash(QStringView text) {
  uint64_t h = hashBytes(reinterpret_cast<const char*>(text.utf16()), static_cast<size_t>(text.size()) * 2);
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

// Keys of a text and a small number (an account or a product name and the
// number of its category), each with a value (a row, a product number), for
// joins that ask once per row of a big table. Each slot holds where the
// key's characters lie (views into table cells, which must not change while
// the table is used), so a question costs one look into the table and one
// comparison of characters; find() can be split into steps whose memory
// reads a caller starts for a group of rows before it needs them
// (prefetch, candidate), so the rows' waits overlap.
class TextKeyTable {
 public:
  explicit TextKeyTable(size_t expected = 0) { resize(expected); }
  size_t size() const { return used_; }
  // Room for that many keys without growing.
  void reserve(size_t keys) {
    if ((keys + 1) * 3 > slots_.size() * 2) resize(keys);
  }
  // Changes when the table grows: candidates found before are void then.
  size_t capacity() const { return slots_.size(); }

  // Start reading the slot a key of hash h starts at.
  void prefetch(uint64_t h) const { __builtin_prefetch(&slots_[home(tagOf(h))]); }
  // The first slot from which a key may be found (its hash and length
  // agree, or a free one), with its characters asked for.
  size_t candidate(uint64_t h, QStringView text, int small) const {
    const uint32_t tag = tagOf(h);
    size_t i = home(tag);
    for (;; i = next(i)) {
      const Slot& s = slots_[i];
      if (s.value == 0 || (s.tag == tag && s.small == small && s.length == static_cast<uint32_t>(text.size()))) break;
    }
    __builtin_prefetch(slots_[i].text);
    return i;
  }
  // The value a slot holds (0 for a free one): what find() gives when a
  // candidate's characters agree.
  int valueAt(size_t slot) const { return slots_[slot].value; }
  // The value of the key; 0 when it is not stored. `from` is a candidate()
  // of the same key (or the key's home).
  int find(uint64_t h, QStringView text, int small, size_t from) const {
    const uint32_t tag = tagOf(h);
    for (size_t i = from;; i = next(i)) {
      const Slot& s = slots_[i];
      if (s.value == 0) return 0;
      if (s.tag == tag && s.small == small && same(s, text)) return s.value;
    }
  }
  int find(uint64_t h, QStringView text, int small) const { return find(h, text, small, home(tagOf(h))); }
  // Stores the key with value (> 0) unless it is stored; returns the value
  // stored before, 0 when the key was new.
  int insert(uint64_t h, QStringView text, int small, int value) {
    if ((used_ + 1) * 3 > slots_.size() * 2) resize(used_ * 2 + 1);
    const uint32_t tag = tagOf(h);
    for (size_t i = home(tag);; i = next(i)) {
      Slot& s = slots_[i];
      if (s.value == 0) {
        s = {text.data(), static_cast<uint32_t>(text.size()), small, tag, value};
        ++used_;
        return 0;
      }
      if (s.tag == tag && s.small == small && same(s, text)) return s.value;
    }
  }

 private:
  struct Slot {
    const QChar* text = nullptr;
    uint32_t length = 0;
    int small = 0;
    uint32_t tag = 0;
    int value = 0;  // 0: free
  };
  static uint32_t tagOf(uint64_t h) { return static_cast<uint32_t>(h >> 32); }
  static bool same(const Slot& s, QStringView text) {
    return s.length == static_cast<uint32_t>(text.size()) &&
           (s.length == 0 || std::memcmp(s.text, text.data(), s.length * sizeof(QChar)) == 0);
  }
  size_t home(uint32_t tag) const {
    return static_cast<size_t>((static_cast<uint64_t>(tag * 0x9E3779B9u) * slots_.size()) >> 32);
  }
  size_t next(size_t i) const { return i + 1 == slots_.size() ? 0 : i + 1; }
  void resize(size_t keys) {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(std::max<size_t>(16, keys * 3 / 2 + 1), Slot{});  // at most two thirds full
    for (const Slot& s : old) {
      if (s.value == 0) continue;
      size_t i = home(s.tag);
      while (slots_[i].value != 0) i = next(i);
      slots_[i] = s;
    }
  }

  std::vector<Slot> slots_;
  size_t used_ = 0;
};
