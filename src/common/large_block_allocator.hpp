#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace morvane::detail {

/// An allocator for the few arrays that grow to megabytes (the tries of
/// large dictionaries): blocks of 1 MiB or more are rounded up to whole
/// 2 MiB pages and offered to the kernel as transparent huge pages, so that
/// filling them costs one page fault per 2 MiB rather than one per 4 KiB
/// (where page faults are dear, as in virtual machines, that is most of the
/// cost of building a large trie). Smaller blocks come from the usual
/// allocator.
template <class T>
struct LargeBlockAllocator {
  using value_type = T;

  static constexpr std::size_t kHugePage = std::size_t{2} << 20;
  static constexpr std::size_t kLarge = std::size_t{1} << 20;

  LargeBlockAllocator() = default;
  template <class U>
  explicit LargeBlockAllocator(const LargeBlockAllocator<U>& /*other*/) {}

  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kLarge) return std::allocator<T>().allocate(n);
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* block = std::aligned_alloc(kHugePage, rounded);
    if (block == nullptr) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    (void)madvise(block, rounded, MADV_HUGEPAGE);  // a hint: failing costs nothing
#endif
    return static_cast<T*>(block);
  }

  void deallocate(T* p, std::size_t n) {
    if (n * sizeof(T) < kLarge) {
      std::allocator<T>().deallocate(p, n);
    } else {
      std::free(p);  // NOLINT(cppcoreguidelines-no-malloc): from aligned_alloc
    }
  }

  template <class U>
  bool operator==(const LargeBlockAllocator<U>& /*other*/) const {
    return true;
  }
};

/// A vector that may grow to megabytes.
template <class T>
using LargeVector = std::vector<T, LargeBlockAllocator<T>>;

}  // namespace morvane::detail
