// The mixed drawing the Qt benchmarks measure: 60 % lines, 15 % circles, 15 % arcs and
// 10 % boxes, spread over all four line types (solid, dash, dash-dot, dash-dot-dot) and all
// six colours, from a fixed seed so that every run draws the same.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

namespace trazo::bench {

enum class Shape { line, circle, arc, box };

struct MixedEntity {
  Shape shape;
  double a, b, c, d, e;  // line/box: x1 y1 x2 y2; circle/arc: cx cy r sa ea
  std::int32_t col;
  std::int32_t lType;
};

std::vector<MixedEntity> mixedDrawing(std::size_t count);

// The same drawing as a call script, ending with Reflash.
void writeScript(const std::vector<MixedEntity>& drawing, std::ostream& out);

}  // namespace trazo::bench
