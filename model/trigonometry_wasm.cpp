// WebAssembly: cosine and sine correctly rounded, the values the MinGW-w64 builds get from
// libquadmath. musl's double cos and sin are off in the last place for 3 % of the values;
// sin(120 degrees) is one of them. The double-double sums decide all but about one in 2^40;
// those go to the C library's long double, IEEE quadruple precision here, rounded once
// (about 2 microseconds a call in software, against a fifth of that for the sums).
#include "model/double_double_trigonometry.hpp"
#include "model/trigonometry.hpp"

#include <cfloat>
#include <cmath>

static_assert(LDBL_MANT_DIG == 113, "long double must be IEEE quadruple precision here");

namespace trazo {

double cosine(double radians) {
  if (const auto c = roundedCosine(radians)) return *c;
  return static_cast<double>(std::cos(static_cast<long double>(radians)));
}

double sine(double radians) {
  if (const auto s = roundedSine(radians)) return *s;
  return static_cast<double>(std::sin(static_cast<long double>(radians)));
}

CosineSine cosineSine(double radians) { return {cosine(radians), sine(radians)}; }

}  // namespace trazo
