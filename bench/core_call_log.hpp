// A picture that keeps the drawing calls made on it (dash style, line, circle, arc) with
// their arguments, so that two ways of painting the same records can be compared call by call.
#pragma once

#include "picture/null_surface.hpp"

#include <array>
#include <cstdint>
#include <vector>

namespace trazo::bench {

struct DrawCall {
  char op;                 // 'S' dash style, 'L' line, 'C' circle, 'A' arc
  std::int32_t style;      // for 'S'
  std::array<float, 6> v;  // the coordinates, unused ones zero
  Rgb colour;

  friend bool operator==(const DrawCall&, const DrawCall&) = default;
};

class CallLogSurface : public NullSurface {
 public:
  Status setDrawStyle(std::int32_t style) override;
  Status line(float x1, float y1, float x2, float y2, Rgb colour) override;
  Status circle(float x, float y, float r, Rgb colour) override;
  Status arc(float x, float y, float r, Rgb colour, float start, float end) override;

  const std::vector<DrawCall>& calls() const { return calls_; }

 private:
  std::vector<DrawCall> calls_;
};

}  // namespace trazo::bench
