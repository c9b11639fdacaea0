// The C library's cosine and sine, where they are accurate to the last bit or nearly so.
#include "model/trigonometry.hpp"

#include <cmath>

namespace trazo {

double cosine(double radians) { return std::cos(radians); }
double sine(double radians) { return std::sin(radians); }

// glibc's sincos shares its argument reduction and polynomials with sin and cos, so it
// gives the same doubles for about half the work.
CosineSine cosineSine(double radians) {
#if defined(__GLIBC__)
  CosineSine r{};
  ::sincos(radians, &r.sin, &r.cos);
  return r;
#else
  return {cosine(radians), sine(radians)};
#endif
}

}  // namespace trazo
