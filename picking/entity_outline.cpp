#include "picking/entity_outline.hpp"

#include "device/arc_sweep.hpp"
#include "device/portable_trig.hpp"
#include "render/text_outline.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trazo {
namespace {

float single(double v) { return static_cast<float>(v); }

bool finite(const OutlinePiece& p) {
  return std::isfinite(p.x1) && std::isfinite(p.y1) && std::isfinite(p.x2) && std::isfinite(p.y2) && std::isfinite(p.r);
}

void addSegment(EntityOutline& o, const DeviceSurface& picture, float x1, float y1, float x2, float y2) {
  const DevicePoint a = picture.toDevice(x1, y1);
  const DevicePoint b = picture.toDevice(x2, y2);
  OutlinePiece p;
  p.x1 = a.x;
  p.y1 = a.y;
  p.x2 = b.x;
  p.y2 = b.y;
  if (finite(p)) o.pieces[static_cast<std::size_t>(o.count++)] = p;
}

DevicePoint pointAt(const OutlinePiece& p, double angle) {
  const SinCos a = portableSinCos(angle);
  return {p.x1 + p.r * a.cos, p.y1 - p.r * a.sin};
}

// A round piece of centre (x, y) in drawing units; its end points land in x2, y2 unused.
bool roundPiece(const DeviceSurface& picture, float x, float y, float r, double start, double span, OutlinePiece& p) {
  const DevicePoint c = picture.toDevice(x, y);
  p.round = true;
  p.x1 = p.x2 = c.x;
  p.y1 = p.y2 = c.y;
  p.r = std::fabs(r * picture.pixelsPerUnitX());
  p.start = start;
  p.span = span;
  return finite(p) && p.r <= kLargestPlaceableRadius;
}

void addRadius(EntityOutline& o, const OutlinePiece& round, double angle) {
  const DevicePoint end = pointAt(round, angle);
  OutlinePiece p;
  p.x1 = round.x1;
  p.y1 = round.y1;
  p.x2 = end.x;
  p.y2 = end.y;
  o.pieces[static_cast<std::size_t>(o.count++)] = p;
}

// Whether the screen angle `a` lies on the sweep of `p`.
bool onSweep(const OutlinePiece& p, double a) {
  if (p.span >= kFullTurn) return true;
  double from = std::fmod(a - p.start, kFullTurn);
  if (from < 0) from += kFullTurn;
  return from <= p.span;
}

bool inBox(const DeviceBox& b, double x, double y) {
  return x >= b.left && x <= b.right && y >= b.top && y <= b.bottom;
}

// Liang-Barsky: whether the segment meets the closed box.
bool segmentMeets(const OutlinePiece& p, const DeviceBox& b) {
  double t0 = 0, t1 = 1;
  const double dx = p.x2 - p.x1, dy = p.y2 - p.y1;
  const double q[4][2] = {{-dx, p.x1 - b.left}, {dx, b.right - p.x1}, {-dy, p.y1 - b.top}, {dy, b.bottom - p.y1}};
  for (const auto& [pq, qq] : q) {
    if (pq == 0) {
      if (qq < 0) return false;
      continue;
    }
    const double t = qq / pq;
    if (pq < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  return true;
}

// Where the circle of `p` crosses the line x = `at` (or y = `at` when `vertical` is
// false), within [from, to] along it and on the sweep.
bool arcCrossesEdge(const OutlinePiece& p, double at, double from, double to, bool vertical) {
  const double d = vertical ? at - p.x1 : at - p.y1;
  const double h2 = p.r * p.r - d * d;
  if (h2 < 0) return false;
  const double h = std::sqrt(h2);
  for (const double sign : {-1.0, 1.0}) {
    const double along = (vertical ? p.y1 : p.x1) + sign * h;
    if (along < from || along > to) continue;
    const double x = vertical ? at : along, y = vertical ? along : at;
    if (onSweep(p, std::atan2(p.y1 - y, x - p.x1))) return true;
  }
  return false;
}

bool arcMeets(const OutlinePiece& p, const DeviceBox& b) {
  const DevicePoint s = pointAt(p, p.start), e = pointAt(p, p.start + p.span);
  if (inBox(b, s.x, s.y) || inBox(b, e.x, e.y)) return true;
  // Any other part in the box enters it across an edge.
  return arcCrossesEdge(p, b.left, b.top, b.bottom, true) || arcCrossesEdge(p, b.right, b.top, b.bottom, true) ||
         arcCrossesEdge(p, b.top, b.left, b.right, false) || arcCrossesEdge(p, b.bottom, b.left, b.right, false);
}

bool arcLiesIn(const OutlinePiece& p, const DeviceBox& b) {
  const DevicePoint s = pointAt(p, p.start), e = pointAt(p, p.start + p.span);
  if (!inBox(b, s.x, s.y) || !inBox(b, e.x, e.y)) return false;
  // The arc's extremes: its ends and the four compass points on its sweep.
  const double compass[4][3] = {{0, p.x1 + p.r, p.y1},
                                {kFullTurn / 4, p.x1, p.y1 - p.r},
                                {kFullTurn / 2, p.x1 - p.r, p.y1},
                                {kFullTurn * 3 / 4, p.x1, p.y1 + p.r}};
  for (const auto& [angle, x, y] : compass) {
    if (onSweep(p, angle) && !inBox(b, x, y)) return false;
  }
  return true;
}

double segmentDistance(const OutlinePiece& p, double x, double y) {
  const double dx = p.x2 - p.x1, dy = p.y2 - p.y1;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((x - p.x1) * dx + (y - p.y1) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(x - (p.x1 + t * dx), y - (p.y1 + t * dy));
}

double arcDistance(const OutlinePiece& p, double x, double y) {
  const double fromCentre = std::hypot(x - p.x1, y - p.y1);
  if (onSweep(p, std::atan2(p.y1 - y, x - p.x1))) return std::fabs(fromCentre - p.r);
  const DevicePoint s = pointAt(p, p.start), e = pointAt(p, p.start + p.span);
  return std::min(std::hypot(x - s.x, y - s.y), std::hypot(x - e.x, y - e.y));
}

}  // namespace

EntityOutline outlineOf(const Entity& e, const DeviceSurface& picture) {
  EntityOutline o;
  switch (e.Kind) {
    case kKindLine:
      addSegment(o, picture, single(e.Value1), single(e.Value2), single(e.Value3), single(e.Value4));
      break;
    case kKindText: {
      TextOutline outline;
      if (!textOutlineOf(e, outline)) break;
      (void)forEachSide(outline, [&](float x1, float y1, float x2, float y2) {
        addSegment(o, picture, x1, y1, x2, y2);
        return status::ok;
      });
      break;
    }
    case kKindCircle: {
      OutlinePiece p;
      if (roundPiece(picture, single(e.Value1), single(e.Value2), single(e.Value3), 0, kFullTurn, p))
        o.pieces[static_cast<std::size_t>(o.count++)] = p;
      break;
    }
    case kKindArc: {
      const auto sweep = arcSweep(single(e.Value4), single(e.Value5));
      OutlinePiece p;
      if (!sweep ||
          !roundPiece(picture, single(e.Value1), single(e.Value2), single(e.Value3), sweep->start, sweep->span, p))
        break;
      o.pieces[static_cast<std::size_t>(o.count++)] = p;
      if (sweep->radiusToStart) addRadius(o, p, sweep->start);
      if (sweep->radiusToEnd) addRadius(o, p, sweep->start + sweep->span);
      break;
    }
    default: break;
  }
  return o;
}

bool touches(const EntityOutline& outline, const DeviceBox& box) {
  for (int i = 0; i < outline.count; ++i) {
    const OutlinePiece& p = outline.pieces[static_cast<std::size_t>(i)];
    if (p.round ? arcMeets(p, box) : segmentMeets(p, box)) return true;
  }
  return false;
}

bool liesIn(const EntityOutline& outline, const DeviceBox& box) {
  if (outline.count == 0) return false;
  for (int i = 0; i < outline.count; ++i) {
    const OutlinePiece& p = outline.pieces[static_cast<std::size_t>(i)];
    const bool in = p.round ? arcLiesIn(p, box) : inBox(box, p.x1, p.y1) && inBox(box, p.x2, p.y2);
    if (!in) return false;
  }
  return true;
}

double distanceTo(const EntityOutline& outline, double x, double y) {
  double nearest = std::numeric_limits<double>::infinity();
  for (int i = 0; i < outline.count; ++i) {
    const OutlinePiece& p = outline.pieces[static_cast<std::size_t>(i)];
    nearest = std::min(nearest, p.round ? arcDistance(p, x, y) : segmentDistance(p, x, y));
  }
  return nearest;
}

}  // namespace trazo
