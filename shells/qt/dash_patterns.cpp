#include "shells/qt/dash_patterns.hpp"

#include "base/surface.hpp"

namespace trazo::qt {

QList<qreal> dashPattern(std::int32_t drawStyle) {
  switch (drawStyle) {
    case kDrawStyleDash: return {18, 6};
    case kDrawStyleDashDot: return {9, 6, 3, 6};
    case kDrawStyleDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
  }
}

}  // namespace trazo::qt
