#include "device/device_clip.hpp"

#include "device/portable_trig.hpp"

#include <algorithm>
#include <cmath>

namespace trazo {
namespace {

double normalised(double angle) {
  double a = std::fmod(angle, kFullTurn);
  if (a < 0) a += kFullTurn;
  return a;
}

// Angle difference folded into (-half turn, half turn].
double folded(double delta) {
  while (delta > kHalfTurn) delta -= kFullTurn;
  while (delta <= -kHalfTurn) delta += kFullTurn;
  return delta;
}

double screenAngle(double cx, double cy, double x, double y) { return portableAtan2(cy - y, x - cx); }

}  // namespace

// Cohen-Sutherland: an end outside is moved onto the edge it lies beyond. The edge
// coordinate is set exactly and the other one interpolated, so that a horizontal or
// vertical segment from far away keeps its exact height or abscissa.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, const DeviceRect& box) {
  constexpr int kLeft = 1, kRight = 2, kTop = 4, kBottom = 8;
  const auto outcode = [&](double x, double y) {
    int code = 0;
    if (x < box.left) code |= kLeft;
    if (x > box.right) code |= kRight;
    if (y < box.top) code |= kTop;
    if (y > box.bottom) code |= kBottom;
    return code;
  };
  int code1 = outcode(x1, y1);
  int code2 = outcode(x2, y2);
  // Each pass puts one end on one edge; four passes per end at most.
  for (int pass = 0; pass < 8; ++pass) {
    if ((code1 | code2) == 0) return true;
    if ((code1 & code2) != 0) return false;
    const bool first = code1 != 0;
    const int code = first ? code1 : code2;
    double x = 0;
    double y = 0;
    if (code & kTop) {
      y = box.top;
      x = x1 + (x2 - x1) * ((box.top - y1) / (y2 - y1));
    } else if (code & kBottom) {
      y = box.bottom;
      x = x1 + (x2 - x1) * ((box.bottom - y1) / (y2 - y1));
    } else if (code & kLeft) {
      x = box.left;
      y = y1 + (y2 - y1) * ((box.left - x1) / (x2 - x1));
    } else {
      x = box.right;
      y = y1 + (y2 - y1) * ((box.right - x1) / (x2 - x1));
    }
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    if (first) {
      x1 = x;
      y1 = y;
      code1 = outcode(x1, y1);
    } else {
      x2 = x;
      y2 = y;
      code2 = outcode(x2, y2);
    }
  }
  return (code1 | code2) == 0;
}

CircleReach circleReach(double cx, double cy, double r, const DeviceRect& box) {
  // Squared distances: this runs for every circle and arc painted.
  const double nearX = std::clamp(cx, box.left, box.right) - cx;
  const double nearY = std::clamp(cy, box.top, box.bottom) - cy;
  const double rr = r * r;
  if (nearX * nearX + nearY * nearY > rr) return CircleReach::outside;
  const double farX = std::max(std::fabs(cx - box.left), std::fabs(cx - box.right));
  const double farY = std::max(std::fabs(cy - box.top), std::fabs(cy - box.bottom));
  if (farX * farX + farY * farY < rr) return CircleReach::encloses;
  return CircleReach::crosses;
}

AngleSpan boxAngles(double cx, double cy, const DeviceRect& box) {
  const double middle = screenAngle(cx, cy, (box.left + box.right) / 2, (box.top + box.bottom) / 2);
  const double corners[4][2] = {
      {box.left, box.top}, {box.right, box.top}, {box.left, box.bottom}, {box.right, box.bottom}};
  double low = 0;
  double high = 0;
  for (const auto& c : corners) {
    const double d = folded(screenAngle(cx, cy, c[0], c[1]) - middle);
    low = std::min(low, d);
    high = std::max(high, d);
  }
  return {normalised(middle + low), high - low};
}

std::vector<AngleSpan> intersectArcs(AngleSpan a, AngleSpan b) {
  std::vector<AngleSpan> pieces;
  const double aFrom = normalised(a.from);
  const double bFrom = normalised(b.from);
  for (const double shift : {-kFullTurn, 0.0, kFullTurn}) {
    const double from = std::max(aFrom, bFrom + shift);
    const double to = std::min(aFrom + a.width, bFrom + shift + b.width);
    if (to > from) pieces.push_back({normalised(from), to - from});
  }
  return pieces;
}

std::vector<DevicePoint> arcPoints(double cx, double cy, double r, AngleSpan span, double tolerance, int maxPoints) {
  std::vector<DevicePoint> points;
  if (!(r > 0) || !(span.width > 0) || maxPoints < 2) return points;
  // A chord of angle s strays about r s^2 / 8 from the circle.
  const double step = std::sqrt(8 * tolerance / r);
  const double wanted = std::ceil(span.width / std::max(step, 1e-300));
  const int segments = static_cast<int>(std::clamp(wanted, 1.0, static_cast<double>(maxPoints - 1)));
  points.reserve(static_cast<std::size_t>(segments) + 1);
  for (int i = 0; i <= segments; ++i) {
    const SinCos a = portableSinCos(span.from + span.width * i / segments);
    points.push_back({cx + r * a.cos, cy - r * a.sin});
  }
  return points;
}

}  // namespace trazo
