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
