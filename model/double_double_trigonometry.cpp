#include "model/double_double_trigonometry.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace trazo {
namespace {

// A value as the unevaluated sum hi + lo, |lo| at most half a unit in the last place of hi.
struct Pair {
  double hi, lo;
};

constexpr Pair quickTwoSum(double a, double b) {  // |a| >= |b|
  const double s = a + b;
  return {s, b - (s - a)};
}

constexpr Pair twoSum(double a, double b) {
  const double s = a + b;
  const double v = s - a;
  return {s, (a - (s - v)) + (b - v)};
}

// Dekker's product: exact, as long as no fused multiply-add joins the steps (this file is
// compiled without contraction).
constexpr Pair twoProduct(double a, double b) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double p = a * b;
  const double ta = kSplitter * a, tb = kSplitter * b;
  const double ah = ta - (ta - a), al = a - ah;
  const double bh = tb - (tb - b), bl = b - bh;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

constexpr Pair add(Pair a, Pair b) {
  Pair s = twoSum(a.hi, b.hi);
  const Pair t = twoSum(a.lo, b.lo);
  s = quickTwoSum(s.hi, s.lo + t.hi);
  return quickTwoSum(s.hi, s.lo + t.lo);
}

constexpr Pair multiply(Pair a, Pair b) {
  const Pair p = twoProduct(a.hi, b.hi);
  return quickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

constexpr Pair divide(Pair a, double b) {
  const double q = a.hi / b;
  const Pair p = twoProduct(q, b);
  const double rest = ((a.hi - p.hi) - p.lo) + a.lo;
  return quickTwoSum(q, rest / b);
}

constexpr Pair negate(Pair a) { return {-a.hi, -a.lo}; }

// (-1)^j / n! for the terms of the two series, n up to 31.
constexpr int kTerms = 32;
constexpr std::array<Pair, kTerms> kSignedInverseFactorials = [] {
  std::array<Pair, kTerms> c{};
  Pair f{1, 0};
  for (int n = 0; n < kTerms; ++n) {
    if (n > 0) f = divide(f, n);
    c[n] = (n / 2) % 2 == 0 ? f : negate(f);
  }
  return c;
}();

// sin r / r = sum of (-1)^j z^j / (2j+1)!, z = r^2, |r| below 0.8: the terms past j = 8 are
// below 2^-63 and are summed in plain doubles.
Pair sinOverR(Pair z) {
  double tail = 0;
  for (int j = 14; j >= 9; --j) tail = kSignedInverseFactorials[2 * j + 1].hi + z.hi * tail;
  Pair sum{tail, 0};
  for (int j = 8; j >= 0; --j) sum = add(kSignedInverseFactorials[2 * j + 1], multiply(z, sum));
  return sum;
}

// cos r = sum of (-1)^j z^j / (2j)!; past j = 9 the terms are below 2^-67.
Pair cosOfR(Pair z) {
  double tail = 0;
  for (int j = 15; j >= 10; --j) tail = kSignedInverseFactorials[2 * j].hi + z.hi * tail;
  Pair sum{tail, 0};
  for (int j = 9; j >= 0; --j) sum = add(kSignedInverseFactorials[2 * j], multiply(z, sum));
  return sum;
}

// pi/2 in four parts, the first three of at most 32 significant bits, so that k times each
// is exact for every k below 2^20; together they are pi/2 to within 2^-160.
constexpr double kPiOver2Part1 = 0x1.921fb544p+0;
constexpr double kPiOver2Part2 = 0x1.0b4611a6p-34;
constexpr double kPiOver2Part3 = 0x1.3198a2ep-69;
constexpr double kPiOver2Part4 = 0x1.b839a252049c1p-104;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
constexpr double kLargestAngle = 1e6;  // below 2^20 quarter turns

// Error of the double-double series relative to the result, with a wide margin: about
// twenty operations of 2^-104 each.
constexpr double kSeriesError = 0x1p-96;
// What the reduction leaves in r: k times what the four parts miss of pi/2, with k below
// 2^20, and the rounding of adding them up.
constexpr double kReductionError = 0x1p-125;

struct Reduced {
  Pair r;
  int quadrant;  // radians = r + quadrant * pi/2, modulo a turn
};

Reduced reduce(double radians) {
  const double k = std::floor(radians * kTwoOverPi + 0.5);
  // Exact: k * part1 is exact, and radians lies within a factor of two of it (or k is 0).
  Pair r = twoSum(radians - k * kPiOver2Part1, -(k * kPiOver2Part2));
  r = add(r, {-(k * kPiOver2Part3), 0});
  r = add(r, negate(twoProduct(k, kPiOver2Part4)));
  return {r, static_cast<int>(k - 4 * std::floor(k / 4))};
}

// The double nearest the true value, which lies within `error` (relative) of hi + lo, if
// that is sure.
std::optional<double> roundOnce(Pair v, double error) {
  const double magnitude = std::fabs(v.hi);
  // Half the gap to the neighbour on lo's side: half a unit in the last place, or a quarter
  // below a power of two. The results here are far above the subnormal range (no angle
  // below a million radians comes within 2^-70 of a multiple of pi/2).
  std::uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const std::uint64_t exponentBits = bits & 0x7FF0000000000000u;
  double scale = 0;
  std::memcpy(&scale, &exponentBits, sizeof scale);
  const double unit = scale * 0x1p-52;
  const bool towardZero = (v.lo < 0) == (v.hi > 0) && v.lo != 0;
  const bool powerOfTwo = (bits & 0x000FFFFFFFFFFFFFu) == 0;
  const double halfGap = unit * (towardZero && powerOfTwo ? 0.25 : 0.5);
  if (std::fabs(v.lo) + error * magnitude < halfGap) return v.hi;
  return std::nullopt;
}

enum class Function { cosine, sine };

std::optional<double> rounded(Function f, double radians) {
  if (!(std::fabs(radians) < kLargestAngle)) return std::nullopt;
  // Near 0 the series' first term decides alone: sin x rounds to x, cos x to 1.
  if (std::fabs(radians) < 0x1p-27) return f == Function::sine ? radians : 1.0;
  const Reduced at = reduce(radians);
  const Pair z = multiply(at.r, at.r);
  // sin x and cos x are, by quadrant, sin r, cos r, -sin r, -cos r and cos r, -sin r,
  // -cos r, sin r.
  const int quadrant = f == Function::sine ? at.quadrant : (at.quadrant + 1) % 4;
  const bool ofSine = quadrant % 2 == 0;
  Pair v = ofSine ? multiply(at.r, sinOverR(z)) : cosOfR(z);
  if (quadrant >= 2) v = negate(v);
  // An error in r moves sin r by as much, which relative to sin r, about r, is that error
  // over r; cos r barely moves.
  const double error = kSeriesError + (ofSine ? kReductionError / std::fabs(at.r.hi) : kReductionError);
  return roundOnce(v, error);
}

}  // namespace

std::optional<double> roundedCosine(double radians) { return rounded(Function::cosine, radians); }
std::optional<double> roundedSine(double radians) { return rounded(Function::sine, radians); }

}  // namespace trazo
