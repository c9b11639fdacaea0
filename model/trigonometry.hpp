// Cosine and sine of the text box, the same doubles on every system the control is built
// for. MinGW-w64's C library computes them with the x87 fcos and fsin instructions, whose
// argument reduction uses a 66-bit pi: near every multiple of pi/2 (the height side of an
// unrotated text) the result is off in the sixth digit.
#pragma once

namespace trazo {

double cosine(double radians);
double sine(double radians);

// Both at once: the doubles cosine and sine give, in one call where the library has one.
struct CosineSine {
  double cos, sin;
};
CosineSine cosineSine(double radians);

}  // namespace trazo
