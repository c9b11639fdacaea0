// The double-double cosine and sine against libquadmath's, rounded once to double: the
// correctly rounded values the MinGW builds use, on angles where the C libraries differ.
#include "model/double_double_trigonometry.hpp"
#include "model/text_box.hpp"

#include <gtest/gtest.h>

#include <quadmath.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace trazo {
namespace {

double quadCos(double x) { return static_cast<double>(cosq(x)); }
double quadSin(double x) { return static_cast<double>(sinq(x)); }

// Every angle the text box takes for texts at every tenth of a degree in two turns either
// way (its angle and the height side's, 90 degrees on), small and huge ones, quarter turns
// as doubles give them, and 20,000 pseudo-random ones within a hundred thousand radians.
std::vector<double> angles() {
  std::vector<double> out;
  for (int tenths = -7200; tenths <= 7200; ++tenths) {
    const double degrees = tenths / 10.0;
    out.push_back(degrees * kDegreesToRadians);
    out.push_back((degrees + kHeightDirection) * kDegreesToRadians);
  }
  for (double x = 0x1p-30; x < 1; x *= 1.37) out.insert(out.end(), {x, -x});
  for (int k = 1; k < 4000; ++k) out.push_back(k * 1.5707963267948966);
  std::uint64_t state = 20261209;
  for (int i = 0; i < 20000; ++i) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    out.push_back((static_cast<double>(state >> 11) * 0x1p-53 - 0.5) * 2e5);
  }
  return out;
}

TEST(RoundedTrigonometry, EqualsTheCorrectlyRoundedValueWhereverItAnswers) {
  int answered = 0, total = 0;
  for (const double x : angles()) {
    for (const bool sine : {false, true}) {
      const auto got = sine ? roundedSine(x) : roundedCosine(x);
      ++total;
      if (!got) continue;
      ++answered;
      const double want = sine ? quadSin(x) : quadCos(x);
      ASSERT_EQ(*got, want) << (sine ? "sin" : "cos") << "(" << std::hexfloat << x << ")";
    }
  }
  // Undecided sums are rare enough never to be met here.
  EXPECT_EQ(answered, total);
}

TEST(RoundedTrigonometry, KnownValuesAndWhatItLeavesToOthers) {
  // sin(120 degrees): musl's double sin rounds up; the value is 0.486 of a unit past ...cb3.
  EXPECT_EQ(roundedSine(120 * kDegreesToRadians), 0x1.bb67ae8584cb3p-1);
  // cos(32.5 degrees) is 0.5004 of a unit past ...292, which glibc returns.
  EXPECT_EQ(roundedCosine(32.5 * kDegreesToRadians), 0x1.afd100eafc293p-1);
  EXPECT_EQ(roundedCosine(0.0), 1.0);
  EXPECT_TRUE(std::signbit(*roundedSine(-0.0)));
  EXPECT_EQ(roundedSine(0x1p-40), 0x1p-40);
  for (const double x :
       {1e6, -2e6, 1e300, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_FALSE(roundedSine(x)) << x;
    EXPECT_FALSE(roundedCosine(x)) << x;
  }
}

}  // namespace
}  // namespace trazo
