// The C library's cosine and sine, where they are accurate to the last bit or nearly so.
#include "model/trigonometry.hpp"

#include <cmath>

namespace trazo {

double cosine(double radians) { return std::cos(radians); }
double sine(double radians) { return std::sin(radians); }

}  // namespace trazo
