#include "core_bare_paint.hpp"

#include "model/single_byte_text.hpp"
#include "model/text_box.hpp"

#include <cmath>
#include <cstdint>

namespace trazo::bench {
namespace {

float single(double v) { return static_cast<float>(v); }

// The six light colours by index 1..6; index 0 stands for every other index (light red).
constexpr Rgb kColours[7] = {{255, 0, 0},   {255, 0, 0}, {255, 255, 0}, {0, 255, 0},
                             {0, 255, 255}, {0, 0, 255}, {255, 0, 255}};

Rgb colourOf(std::int32_t c) { return kColours[c >= 1 && c <= 6 ? c : 0]; }

// Dash style for a line type, or -1 for none.
std::int32_t styleOf(std::int32_t lineType) {
  switch (lineType) {
    case 1: return kDrawStyleDash;
    case 2: return kDrawStyleDashDot;
    case 3: return kDrawStyleDashDotDot;
    default: return -1;
  }
}

void paintText(const Entity& e, Surface& p1) {
  const double n = static_cast<double>(e.Text.size());
  const double W = n * e.Value3 * (IsSingleByteText(e.Text) ? kSingleByteWidth : kDoubleByteWidth);
  const double a = e.Value4 * kDegreesToRadians;
  const double b = (e.Value4 + kHeightDirection) * kDegreesToRadians;
  const double x1 = std::cos(a) * W + e.Value1, y1 = std::sin(a) * W + e.Value2;
  const double x2 = std::cos(b) * e.Value3 + x1, y2 = std::sin(b) * e.Value3 + y1;
  const double x3 = std::cos(b) * e.Value3 + e.Value1, y3 = std::sin(b) * e.Value3 + e.Value2;
  const Rgb c = colourOf(e.Col);
  p1.line(single(e.Value1), single(e.Value2), single(x1), single(y1), c);
  p1.line(single(x1), single(y1), single(x2), single(y2), c);
  p1.line(single(x2), single(y2), single(x3), single(y3), c);
  p1.line(single(x3), single(y3), single(e.Value1), single(e.Value2), c);
}

}  // namespace

void paintBare(const std::vector<Entity>& records, Surface& p1) {
  for (const Entity& e : records) {
    if (e.Kind == kKindText) {
      paintText(e, p1);
      continue;
    }
    if (e.Kind != kKindLine && e.Kind != kKindCircle && e.Kind != kKindArc) continue;
    const std::int32_t style = styleOf(e.LineType);
    if (style >= 0) p1.setDrawStyle(style);
    const Rgb c = colourOf(e.Col);
    if (e.Kind == kKindLine) {
      p1.line(single(e.Value1), single(e.Value2), single(e.Value3), single(e.Value4), c);
    } else if (e.Kind == kKindCircle) {
      p1.circle(single(e.Value1), single(e.Value2), single(e.Value3), c);
    } else {
      p1.arc(single(e.Value1), single(e.Value2), single(e.Value3), c, single(e.Value4), single(e.Value5));
    }
    p1.setDrawStyle(kDrawStyleSolid);
  }
}

}  // namespace trazo::bench
