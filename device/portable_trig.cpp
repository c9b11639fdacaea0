#include "device/portable_trig.hpp"

#include <cmath>

namespace trazo {
namespace {

// pi/2 in two parts: the first has its low 20 bits zero, so that k * kPiOver2High is exact
// for every count k of quarter turns below a million.
constexpr double kPiOver2High = 1.57079632673412561417e+00;
constexpr double kPiOver2Low = 6.07710050650619224932e-11;

// Taylor series on [-pi/4, pi/4], where their remainders are below 1e-19.
double sinNear(double x) {
  const double z = x * x;
  constexpr double s3 = -1.0 / 6, s5 = 1.0 / 120, s7 = -1.0 / 5040, s9 = 1.0 / 362880, s11 = -1.0 / 39916800,
                   s13 = 1.0 / 6227020800, s15 = -1.0 / 1307674368000, s17 = 1.0 / 355687428096000;
  return x + x * z * (s3 + z * (s5 + z * (s7 + z * (s9 + z * (s11 + z * (s13 + z * (s15 + z * s17)))))));
}

double cosNear(double x) {
  const double z = x * x;
  constexpr double c2 = -1.0 / 2, c4 = 1.0 / 24, c6 = -1.0 / 720, c8 = 1.0 / 40320, c10 = -1.0 / 3628800,
                   c12 = 1.0 / 479001600, c14 = -1.0 / 87178291200, c16 = 1.0 / 20922789888000;
  return 1 + z * (c2 + z * (c4 + z * (c6 + z * (c8 + z * (c10 + z * (c12 + z * (c14 + z * c16)))))));
}

// The series' coefficients (-1)^k / (2k + 1) for 2k + 1 = 3 .. 43, each rounded once as a
// division would round it, worked out before the program runs.
struct AtanCoefficients {
  double c[21];
  constexpr AtanCoefficients() : c() {
    for (int n = 3, i = 0; n <= 43; n += 2, ++i) c[i] = (n % 4 == 1 ? 1.0 : -1.0) / n;
  }
};
constexpr AtanCoefficients kAtan;

// atan on [-tan(pi/8), tan(pi/8)]: the series' terms fall by a factor of 6 or more.
double atanNear(double u) {
  const double z = u * u;
  double sum = 0;
  for (int i = 20; i >= 0; --i) sum = kAtan.c[i] + z * sum;
  return u + u * z * sum;
}

constexpr double kTanEighthTurn = 0.41421356237309503;  // tan(pi/8)

// atan for 0 <= t <= 1.
double atanUnit(double t) {
  if (t <= kTanEighthTurn) return atanNear(t);
  return kEighthTurn + atanNear((t - 1) / (t + 1));
}

}  // namespace

SinCos portableSinCos(double radians) {
  double a = radians;
  // Up to a million radians the reduction below is exact to the last place; beyond, the
  // angle is first taken modulo the double nearest a turn (fmod is exact everywhere).
  if (std::fabs(a) > 1e6) a = std::fmod(a, kFullTurn);
  const double k = std::floor(a / kQuarterTurn + 0.5);
  const double x = (a - k * kPiOver2High) - k * kPiOver2Low;
  const double s = sinNear(x);
  const double c = cosNear(x);
  switch (static_cast<int>(k - 4 * std::floor(k / 4))) {
    case 0: return {s, c};
    case 1: return {c, -s};
    case 2: return {-s, -c};
    default: return {-c, s};
  }
}

double portableAtan2(double y, double x) {
  if (x == 0 && y == 0) return 0;
  const double ax = std::fabs(x), ay = std::fabs(y);
  // The angle within the first octant, then unfolded by the signs and the larger side.
  double a = ay <= ax ? atanUnit(ay / ax) : kQuarterTurn - atanUnit(ax / ay);
  if (x < 0) a = kHalfTurn - a;
  return y < 0 ? -a : a;
}

}  // namespace trazo
