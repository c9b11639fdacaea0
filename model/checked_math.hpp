// Floating-point steps that notice the IEEE overflow, divide-by-zero and invalid-operation
// conditions by looking at each result, so the outcome does not depend on the floating-point
// environment or on compiler flags a host might have changed. A step has failed when it
// turns finite operands into an infinity, or non-NaN operands into a NaN; a quiet NaN that
// comes in goes out without a failure, and underflow is no failure.
#pragma once

#include "model/trigonometry.hpp"

#include <cmath>

namespace trazo {

class CheckedMath {
 public:
  double add(double a, double b) { return check(a + b, a, b); }
  double sub(double a, double b) { return check(a - b, a, b); }
  double mul(double a, double b) { return check(a * b, a, b); }
  double div(double a, double b) { return check(a / b, a, b); }
  double cos(double a) { return check(cosine(a), a, 0.0); }
  double sin(double a) { return check(sine(a), a, 0.0); }
  CosineSine cosSin(double a) {
    const CosineSine r = cosineSine(a);
    return {check(r.cos, a, 0.0), check(r.sin, a, 0.0)};
  }

  // True once any step since construction has failed.
  bool failed() const { return failed_; }

 private:
  double check(double result, double a, double b) {
    // A finite result never failed; only an infinity or a NaN needs a look at the operands.
    if (!std::isfinite(result)) [[unlikely]] {
      const bool overflowed = std::isinf(result) && std::isfinite(a) && std::isfinite(b);
      const bool invalid = std::isnan(result) && !std::isnan(a) && !std::isnan(b);
      if (overflowed || invalid) failed_ = true;
    }
    return result;
  }

  bool failed_ = false;
};

}  // namespace trazo
