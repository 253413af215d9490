#pragma once
// A fast hash of a run of bytes (not seeded: the same bytes hash the same in
// every run), for the look-ups built while loading and joining tables.
#include <cstddef>
#include <cstdint>
#include <cstring>

inline uint64_t hashBytes(const char* p, size_t n) {
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
  return h ^ (h >> 29);
}

// Whether two runs of n bytes are equal, inline: the look-ups compare short
// texts (a few to a few dozen bytes) millions of times, where a call to
// memcmp costs more than the comparison. Reads only inside both runs.
inline bool sameBytes(const char* a, const char* b, size_t n) {
  if (n >= 8) {
    uint64_t x, y;
    for (size_t i = 0; i + 8 <= n; i += 8) {
      std::memcpy(&x, a + i, 8);
      std::memcpy(&y, b + i, 8);
      if (x != y) return false;
    }
    std::memcpy(&x, a + n - 8, 8);
    std::memcpy(&y, b + n - 8, 8);
    return x == y;
  }
  if (n >= 4) {
    uint32_t x, y, u, v;
    std::memcpy(&x, a, 4);
    std::memcpy(&y, b, 4);
    std::memcpy(&u, a + n - 4, 4);
    std::memcpy(&v, b + n - 4, 4);
    return x == y && u == v;
  }
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return false;
  return true;
}
