// Keeping what reaches a back end within the picture: segments are cut to a box around it,
// and circles are classed by how their outline meets it, so that those that miss it or
// surround it cost nothing and huge ones are drawn only where they cross it. Coordinates are
// device pixels, Y down; angles are radians, counter-clockwise on the screen, from +X.
#pragma once

#include <vector>

namespace trazo {

struct DeviceRect {
  double left = 0, top = 0, right = 0, bottom = 0;
};

inline bool inside(const DeviceRect& box, double x, double y) {
  return x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
}

// Cuts the segment to the box; false when nothing of it is inside.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, const DeviceRect& box);

// How a circle outline meets a box: wholly outside it, wholly around it, or through it.
enum class CircleReach { outside, encloses, crosses };
CircleReach circleReach(double cx, double cy, double r, const DeviceRect& box);

struct AngleSpan {
  double from = 0;
  double width = 0;
};

// The angles under which a box is seen from a centre outside it (width below half a turn).
AngleSpan boxAngles(double cx, double cy, const DeviceRect& box);

// The common parts of two arcs of the same circle: none, one or two pieces.
std::vector<AngleSpan> intersectArcs(AngleSpan a, AngleSpan b);

struct DevicePoint {
  double x = 0, y = 0;
};

// Points along a span of the circle, close enough that no chord strays more than
// `tolerance` pixels from the circle; never more than `maxPoints`.
std::vector<DevicePoint> arcPoints(double cx, double cy, double r, AngleSpan span, double tolerance, int maxPoints);

}  // namespace trazo
