// MinGW-w64: cosine and sine worked out in quadruple precision and rounded once to double.
// That is the correctly rounded value, the one glibc returns for all but rare arguments.
#include "model/trigonometry.hpp"

#include <quadmath.h>

namespace trazo {

double cosine(double radians) { return static_cast<double>(cosq(radians)); }
double sine(double radians) { return static_cast<double>(sinq(radians)); }

CosineSine cosineSine(double radians) { return {cosine(radians), sine(radians)}; }

}  // namespace trazo
