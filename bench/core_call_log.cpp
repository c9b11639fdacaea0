#include "core_call_log.hpp"

namespace trazo::bench {

Status CallLogSurface::setDrawStyle(std::int32_t style) {
  calls_.push_back({'S', style, {}, {}});
  return status::ok;
}

Status CallLogSurface::line(float x1, float y1, float x2, float y2, Rgb colour) {
  calls_.push_back({'L', 0, {x1, y1, x2, y2, 0, 0}, colour});
  return status::ok;
}

Status CallLogSurface::circle(float x, float y, float r, Rgb colour) {
  calls_.push_back({'C', 0, {x, y, r, 0, 0, 0}, colour});
  return status::ok;
}

Status CallLogSurface::arc(float x, float y, float r, Rgb colour, float start, float end) {
  calls_.push_back({'A', 0, {x, y, r, start, end, 0}, colour});
  return status::ok;
}

}  // namespace trazo::bench
