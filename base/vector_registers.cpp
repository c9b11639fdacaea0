#include "base/vector_registers.hpp"

namespace trazo {

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))

namespace {

// Built for AVX on its own: the rest of the product runs on processors without it.
__attribute__((target("avx"))) void zeroUpperHalves() noexcept { __builtin_ia32_vzeroupper(); }

}  // namespace

void settleVectorRegisters() noexcept {
  static const bool hasUpperHalves = __builtin_cpu_supports("avx");
  if (hasUpperHalves) zeroUpperHalves();
}

#else

void settleVectorRegisters() noexcept {}

#endif

}  // namespace trazo
