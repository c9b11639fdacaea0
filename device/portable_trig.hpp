// Sine, cosine and arc tangent computed from the four basic operations alone, so that every
// platform gets the same bits: the C libraries of Linux, Windows and the browser round their
// own sin, cos and atan2 differently in the last place, and one differing bit can move an
// arc's end to the next pixel. Accurate to a few units in the last place.
#pragma once

namespace trazo {

inline constexpr double kFullTurn = 6.283185307179586;
inline constexpr double kHalfTurn = 3.141592653589793;
inline constexpr double kQuarterTurn = 1.5707963267948966;
inline constexpr double kEighthTurn = 0.78539816339744828;
static_assert(kEighthTurn == kQuarterTurn / 2);

struct SinCos {
  double sin = 0;
  double cos = 1;
};

// For any finite angle in radians; angles beyond a few turns are first taken modulo a turn.
SinCos portableSinCos(double radians);

// The angle of (x, y) from +X, counter-clockwise, in (-half turn, half turn]; 0 for (0, 0).
double portableAtan2(double y, double x);

}  // namespace trazo
