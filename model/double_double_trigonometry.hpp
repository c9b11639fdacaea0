// Cosine and sine correctly rounded from double arithmetic alone, for C libraries whose own
// are off in the last place (emscripten's musl, 3 % of the text box's values) or slow in
// the precision it takes to be right (quadruple precision in software). The angle is
// reduced by quarter turns with pi/2 to 160 bits, the series are summed in double-double
// (a pair of doubles, about 106 bits) and rounded once, with a bound on the error. Every
// step must round to double on its own: SSE2 or WebAssembly, not the x87's wider registers.
#pragma once

#include <optional>

namespace trazo {

// The double nearest the cosine or sine of `radians`; nothing where the error bound cannot
// decide it (a sum within about 2^-96 of halfway between two doubles), for angles beyond
// a million radians, and for infinities and NaN.
std::optional<double> roundedCosine(double radians);
std::optional<double> roundedSine(double radians);

}  // namespace trazo
