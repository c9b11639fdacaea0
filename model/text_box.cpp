#include "model/text_box.hpp"

#include "model/checked_math.hpp"
#include "model/single_byte_text.hpp"

#include <cmath>

namespace trazo {

namespace {

// Every step of the box, each result checked as it comes.
bool computeChecked(double TX, double TY, double TH, double Tang, double factor, double n, TextBox& box) {
  CheckedMath m;
  const double W = m.mul(m.mul(n, TH), factor);
  const double a = m.mul(Tang, kDegreesToRadians);
  const double b = m.mul(m.add(Tang, kHeightDirection), kDegreesToRadians);
  const double cosA = m.cos(a);
  const double sinA = m.sin(a);
  const double cosB = m.cos(b);
  const double sinB = m.sin(b);
  box.X1 = m.add(m.mul(cosA, W), TX);
  box.Y1 = m.add(m.mul(sinA, W), TY);
  box.X2 = m.add(m.mul(cosB, TH), box.X1);
  box.Y2 = m.add(m.mul(sinB, TH), box.Y1);
  box.X3 = m.add(m.mul(cosB, TH), TX);
  box.Y3 = m.add(m.mul(sinB, TH), TY);
  box.X4 = TX;
  box.Y4 = TY;
  return !m.failed();
}

// The same steps unchecked. With finite arguments this settles the common case alone: the
// first step to leave the finite numbers would have finite operands, so it is exactly a
// failing step; and a step that fails yields an infinity or a NaN that no later step turns
// finite again (sums, products, sine and cosine of one stay infinite or NaN) and that every
// step reaches some corner. So finite arguments and six finite corners mean no step failed.
bool computeFast(double TX, double TY, double TH, double Tang, double factor, double n, TextBox& box) {
  const double W = n * TH * factor;
  const double a = Tang * kDegreesToRadians;
  const double b = (Tang + kHeightDirection) * kDegreesToRadians;
  const double cosA = std::cos(a);
  const double sinA = std::sin(a);
  const double cosB = std::cos(b);
  const double sinB = std::sin(b);
  box.X1 = cosA * W + TX;
  box.Y1 = sinA * W + TY;
  box.X2 = cosB * TH + box.X1;
  box.Y2 = sinB * TH + box.Y1;
  box.X3 = cosB * TH + TX;
  box.Y3 = sinB * TH + TY;
  box.X4 = TX;
  box.Y4 = TY;
  return std::isfinite(TX) && std::isfinite(TY) && std::isfinite(TH) && std::isfinite(Tang) &&
         std::isfinite(box.X1) && std::isfinite(box.Y1) && std::isfinite(box.X2) && std::isfinite(box.Y2) &&
         std::isfinite(box.X3) && std::isfinite(box.Y3);
}

}  // namespace

bool computeTextBox(double TX, double TY, double TH, double Tang, std::u16string_view text, TextBox& box) {
  const auto n = static_cast<double>(text.size());
  const double factor = IsSingleByteText(text) ? kSingleByteWidth : kDoubleByteWidth;
  if (computeFast(TX, TY, TH, Tang, factor, n, box)) return true;
  // NaN or infinite arguments, or a result out of range: step by step decides.
  return computeChecked(TX, TY, TH, Tang, factor, n, box);
}

}  // namespace trazo
