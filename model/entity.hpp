// One stored drawing element as the store hands it out. The meaning of Value1..Value5
// depends on Kind:
//   line   (1): x1, y1, x2, y2, -
//   circle (2): CX, CY, r, -, -
//   text   (3): TX, TY, TH, Tang, -
//   arc    (4): CX, CY, r, sa, ea
// A field an add operation does not write keeps the zero or empty value of a fresh slot.
// Text and Tag view the store's own copies: they stay valid until the store next changes.
#pragma once

#include <cstdint>
#include <string_view>

namespace trazo {

enum EntityKind : std::int16_t {
  kKindNone = 0,
  kKindLine = 1,
  kKindCircle = 2,
  kKindText = 3,
  kKindArc = 4,
};

struct Entity {
  std::int16_t Kind = kKindNone;
  double Value1 = 0;
  double Value2 = 0;
  double Value3 = 0;
  double Value4 = 0;
  double Value5 = 0;
  std::int32_t Col = 0;
  std::int32_t LineType = 0;
  std::u16string_view Text;
  std::u16string_view Tag;
};

// The running bounding rectangle of the drawing.
struct Extents {
  double MinX = 0;
  double MinY = 0;
  double MaxX = 1;
  double MaxY = 1;
};

// MinValue returns a when a < b, else b; MaxValue returns a when a >= b, else b. On equal
// arguments MinValue gives b and MaxValue gives a; with a NaN argument both give b.
constexpr double MinValue(double a, double b) { return a < b ? a : b; }
constexpr double MaxValue(double a, double b) { return a >= b ? a : b; }

}  // namespace trazo
