#include "tests/hardening/failing_allocator.hpp"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace trazo::testing {
namespace {

// Lock-free atomics: no allocation and no static-initialisation order to worry about, and
// the worker pool's threads allocate while a test arms and disarms the injection.
std::atomic<bool> armed{false};
std::atomic<FailureMode> failureMode{FailureMode::Once};
std::atomic<std::uint64_t> target{0};
std::atomic<std::uint64_t> seen{0};
std::atomic<bool> injected{false};

bool shouldFail() {
  if (!armed) return false;
  const std::uint64_t now = ++seen;
  if (now == target || (failureMode == FailureMode::Persistent && now > target)) {
    injected = true;
    return true;
  }
  return false;
}

void* allocate(std::size_t size, std::size_t alignment) {
  if (shouldFail()) return nullptr;
  if (size == 0) size = 1;
  if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
  void* p = nullptr;
  return posix_memalign(&p, alignment, size) == 0 ? p : nullptr;
}

void* allocateOrThrow(std::size_t size, std::size_t alignment) {
  void* p = allocate(size, alignment);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

void failAllocation(std::uint64_t k, FailureMode mode) {
  failureMode = mode;
  target = k;
  seen = 0;
  injected = false;
  armed = true;
}

void stopFailing() { armed = false; }
bool failureInjected() { return injected; }
std::uint64_t allocationsSeen() { return seen; }

}  // namespace trazo::testing

using trazo::testing::allocate;
using trazo::testing::allocateOrThrow;
constexpr std::size_t kDefault = alignof(std::max_align_t);

void* operator new(std::size_t n) { return allocateOrThrow(n, kDefault); }
void* operator new[](std::size_t n) { return allocateOrThrow(n, kDefault); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return allocate(n, kDefault); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return allocate(n, kDefault); }
void* operator new(std::size_t n, std::align_val_t a) { return allocateOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t n, std::align_val_t a) { return allocateOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return allocate(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return allocate(n, static_cast<std::size_t>(a));
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
