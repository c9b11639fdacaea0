// WebAssembly: cosine and sine worked out in the C library's long double, which is IEEE
// quadruple precision there, and rounded once to double: the correctly rounded value, as
// the MinGW-w64 builds compute it. The double cos and sin of emscripten's C library (musl)
// are off in the last place far more often; sin(120 degrees) is one of them.
#include "model/trigonometry.hpp"

#include <cfloat>
#include <cmath>

static_assert(LDBL_MANT_DIG == 113, "long double must be IEEE quadruple precision here");

namespace trazo {

double cosine(double radians) { return static_cast<double>(std::cos(static_cast<long double>(radians))); }
double sine(double radians) { return static_cast<double>(std::sin(static_cast<long double>(radians))); }

}  // namespace trazo
