// An allocator for the standard containers that asks for large pages for each allocation
// of at least kLargeArrayBytes (large_pages.hpp): lists that grow to millions of entries.
#pragma once

#include "base/large_pages.hpp"

#include <cstddef>
#include <memory>
#include <vector>

namespace trazo {

inline constexpr std::size_t kLargeArrayBytes = std::size_t{4} << 20;

template <class T>
struct LargeArrayAllocator {
  using value_type = T;
  LargeArrayAllocator() = default;
  template <class U>
  LargeArrayAllocator(const LargeArrayAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    T* const at = std::allocator<T>().allocate(n);
    if (n >= kLargeArrayBytes / sizeof(T)) adviseLargePages(at, n * sizeof(T));
    return at;
  }
  void deallocate(T* at, std::size_t n) noexcept { std::allocator<T>().deallocate(at, n); }
  template <class U>
  bool operator==(const LargeArrayAllocator<U>&) const noexcept {
    return true;
  }
  template <class U>
  bool operator!=(const LargeArrayAllocator<U>&) const noexcept {
    return false;
  }
};

template <class T>
using LargeArray = std::vector<T, LargeArrayAllocator<T>>;

}  // namespace trazo
