#include "model/text_box.hpp"

#include "model/checked_math.hpp"
#include "model/single_byte_text.hpp"

namespace trazo {

bool computeTextBox(double TX, double TY, double TH, double Tang, std::u16string_view text, TextBox& box) {
  CheckedMath m;
  const auto n = static_cast<double>(text.size());
  const double factor = IsSingleByteText(text) ? kSingleByteWidth : kDoubleByteWidth;
  const double W = m.mul(m.mul(n, TH), factor);
  const double a = m.mul(Tang, kDegreesToRadians);
  const double b = m.mul(m.add(Tang, kHeightDirection), kDegreesToRadians);
  const auto [cosA, sinA] = m.cosSin(a);
  const auto [cosB, sinB] = m.cosSin(b);
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

}  // namespace trazo
