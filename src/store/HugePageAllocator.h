#pragma once
// An allocator for the big arrays worked out from whole tables (a figure
// for each of a million order lines): blocks of 4 MiB or more are aligned
// to 2 MiB and advised to the kernel as huge pages, so filling one takes a
// page fault per 2 MiB instead of one per 4 KiB, which costs more than the
// filling itself on a busy or virtual machine. Smaller blocks come from
// the heap as usual.
//
//   std::vector<Line, HugePageAllocator<Line>> lines(count);
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

// Advises the whole 2 MiB pages inside a block not yet filled (one made by
// someone else's allocator, such as a big QString) as huge pages.
inline void adviseHugePages(void* p, std::size_t bytes) {
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
  const std::uintptr_t to = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(kHuge - 1);
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

template <typename T>
struct HugePageAllocator {
  using value_type = T;
  static constexpr std::size_t kHugePage = std::size_t{2} << 20;
  static constexpr std::size_t kLarge = std::size_t{4} << 20;

  HugePageAllocator() = default;
  template <typename U>
  HugePageAllocator(const HugePageAllocator<U>&) {}  // NOLINT(google-explicit-constructor)

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kLarge) {
      void* p = std::malloc(bytes ? bytes : 1);
      if (!p) throw std::bad_alloc();
      return static_cast<T*>(p);
    }
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (!p) throw std::bad_alloc();
    ::madvise(p, rounded, MADV_HUGEPAGE);  // advice only: without huge pages it works as before
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t) noexcept { std::free(p); }

  template <typename U>
  bool operator==(const HugePageAllocator<U>&) const {
    return true;
  }
};
