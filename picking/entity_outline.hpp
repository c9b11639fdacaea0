// An entity's outline as the device geometry places it, in device pixels: a line's segment,
// a text box's four sides, a circle, or an arc's sweep and its radius lines. Worked out from
// the same single-precision values the painters hand the picture and the same mapping, but
// whole: not cut to the picture. Rectangle tests and distances on it, for picking.
#pragma once

#include "device/device_surface.hpp"
#include "model/entity.hpp"

#include <array>

namespace trazo {

struct OutlinePiece {
  bool round = false;
  // A segment from (x1, y1) to (x2, y2), or the arc of centre (x1, y1) and radius r from
  // `start` over `span` radians, counter-clockwise on the screen (a circle: span one turn).
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double r = 0, start = 0, span = 0;
};

struct EntityOutline {
  std::array<OutlinePiece, 4> pieces{};
  int count = 0;  // 0: the entity draws nothing (values that are not finite numbers)
};

// A closed rectangle of device pixels, left <= right and top <= bottom.
struct DeviceBox {
  double left = 0, top = 0, right = 0, bottom = 0;
};

// The outline of `e` on `picture`.
EntityOutline outlineOf(const Entity& e, const DeviceSurface& picture);

// Whether some point of the outline lies in `box`, and whether every point does.
bool touches(const EntityOutline& outline, const DeviceBox& box);
bool liesIn(const EntityOutline& outline, const DeviceBox& box);
// The distance from (x, y) to the nearest point of the outline; infinity for no outline.
double distanceTo(const EntityOutline& outline, double x, double y);

}  // namespace trazo
