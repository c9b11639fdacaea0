// A text as the text painter draws it: the outline of its text box, Q1 the insertion
// point, Q2 the end of the baseline, Q3 above Q2, Q4 above Q1, in single precision as every
// painter hands its drawing coordinates on, sides Q1-Q2-Q3-Q4-Q1. Picking finds a text by
// the same sides.
#pragma once

#include "base/status.hpp"
#include "model/entity.hpp"

namespace trazo {

struct TextOutline {
  float corner[4][2];  // Q1 .. Q4, x then y
};

// False where the text box cannot be computed (a value out of range).
bool textOutlineOf(const Entity& text, TextOutline& outline);

// Calls side(x1, y1, x2, y2) for each side in drawing order; the first failure ends it and
// is returned.
template <typename Side>
Status forEachSide(const TextOutline& outline, Side side) {
  const auto& q = outline.corner;
  for (int at = 0; at < 4; ++at) {
    const int next = (at + 1) % 4;
    if (const Status s = side(q[at][0], q[at][1], q[next][0], q[next][1]); failed(s)) return s;
  }
  return status::ok;
}

}  // namespace trazo
