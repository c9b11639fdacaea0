// The text box: the rotated rectangle that stands for a text, estimated from its number of
// characters and its height. AddText widens the extents by it and the text painter draws
// it, both from this one computation, so what is fitted is exactly what is painted.
#pragma once

#include <string_view>

namespace trazo {

// Width of one character as a fraction of the height, for a text that is all single-byte
// and for a text with at least one double-byte character (which then applies to all).
inline constexpr double kSingleByteWidth = 0.5;
inline constexpr double kDoubleByteWidth = 0.82;
// Degrees to radians as the quotient 3.14159265358979 / 180, not the double nearest pi/180.
inline constexpr double kDegreesToRadians = 0.017453292519943278;
// The box rises a quarter turn counter-clockwise from its baseline.
inline constexpr double kHeightDirection = 90;

struct TextBox {
  // Corners in the order the extents take them: 1 the end of the baseline, 2 the top of the
  // baseline's end, 3 the top of the insertion point, 4 the insertion point.
  double X1, Y1, X2, Y2, X3, Y3, X4, Y4;
};

// False when a step of the arithmetic overflows or is an invalid operation.
bool computeTextBox(double TX, double TY, double TH, double Tang, std::u16string_view text, TextBox& box);

}  // namespace trazo
