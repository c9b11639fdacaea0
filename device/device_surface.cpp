#include "device/device_surface.hpp"

#include "device/arc_sweep.hpp"
#include "device/portable_trig.hpp"

#include <algorithm>
#include <cmath>
#include <new>

namespace trazo {
namespace {

// How far a chord standing for a huge circle may stray from it, and its most points.
constexpr double kChordTolerance = 0.25;
constexpr int kMostChordPoints = 20000;

bool finite(double a, double b, double c) { return std::isfinite(a) && std::isfinite(b) && std::isfinite(c); }

// How far along its dash pattern a pen has gone over a stretch: whole pixels along the
// longer axis for the one-pixel pen, the length for a wide one.
double walkedAlong(double dx, double dy, bool wide) {
  return wide ? std::hypot(dx, dy) : std::max(std::fabs(dx), std::fabs(dy));
}

}  // namespace

DeviceSurface::DeviceSurface() { updateTransform(); }

void DeviceSurface::setPen(const DevicePen& pen) {
  pen_ = pen;
  updateTransform();
}

// Worked out only for a segment that is cut: the painters set a style twice per entity.
double DeviceSurface::dashPeriod() const { return dashRuns(dash_, pen_.dashUnit).period(); }

double DeviceSurface::cutLength(double fromX, double fromY, double toX, double toY) const {
  const double walked = walkedAlong(toX - fromX, toY - fromY, pen_.wide());
  return pen_.wide() ? walked : std::floor(walked);
}

void DeviceSurface::setDevice(double widthPixels, double heightPixels, double dpiX, double dpiY) {
  widthPixels_ = widthPixels;
  heightPixels_ = heightPixels;
  dpiX_ = dpiX > 0 ? dpiX : kScreenDpi;
  dpiY_ = dpiY > 0 ? dpiY : kScreenDpi;
  mapping_.setInnerSize(pixelsToTwips(widthPixels_, dpiX_), pixelsToTwips(heightPixels_, dpiY_));
  updateTransform();
}

void DeviceSurface::updateTransform() {
  if (mapping_.userScale()) {
    originX_ = mapping_.x1();
    originY_ = mapping_.y1();
    scaleX_ = widthPixels_ / (mapping_.x2() - mapping_.x1());
    scaleY_ = heightPixels_ / (mapping_.y2() - mapping_.y1());
  } else {
    originX_ = 0;
    originY_ = 0;
    scaleX_ = twipsToPixels(1, dpiX_);
    scaleY_ = twipsToPixels(1, dpiY_);
  }
  // A wide pen reaches half its width beyond the shape.
  const double reach = pen_.wide() ? pen_.width / 2 : 0;
  const double segmentMargin = kSegmentMargin + reach;
  segmentBox_ = {-segmentMargin, -segmentMargin, widthPixels_ + segmentMargin, heightPixels_ + segmentMargin};
  roundBox_ = {-1 - reach, -1 - reach, widthPixels_ + 1 + reach, heightPixels_ + 1 + reach};
  updateShownBoxes();
}

void DeviceSurface::updateShownBoxes() {
  shownSegmentBox_ = segmentBox_;
  shownRoundBox_ = roundBox_;
  double left = 0, top = 0, width = 0, height = 0;
  if (engine_ == nullptr || !engine_->keptWindow(left, top, width, height)) return;
  // The window's pixels and one more each way, for a pixel that rounds outward.
  const double reach = 1 + (pen_.wide() ? pen_.width / 2 : 0);
  const DeviceRect kept{left - reach, top - reach, left + width + reach, top + height + reach};
  const auto narrow = [](DeviceRect& box, const DeviceRect& by) {
    box = {std::max(box.left, by.left), std::max(box.top, by.top), std::min(box.right, by.right),
           std::min(box.bottom, by.bottom)};
  };
  narrow(shownSegmentBox_, kept);
  narrow(shownRoundBox_, kept);
}

bool DeviceSurface::missesShown(double x1, double y1, double x2, double y2, double by) const {
  return std::max(x1, x2) < shownSegmentBox_.left - by || std::min(x1, x2) > shownSegmentBox_.right + by ||
         std::max(y1, y2) < shownSegmentBox_.top - by || std::min(y1, y2) > shownSegmentBox_.bottom + by;
}

DevicePoint DeviceSurface::fromDevice(double px, double py) const {
  DevicePoint p;
  mapping_.fromTwips(pixelsToTwips(px, dpiX_), pixelsToTwips(py, dpiY_), p.x, p.y);
  return p;
}

bool DeviceSurface::shownArea(double& x1, double& y1, double& x2, double& y2) const {
  double left = 0, top = 0, width = 0, height = 0;
  if (engine_ == nullptr || !engine_->keptWindow(left, top, width, height)) return false;
  if (left <= 0 && top <= 0 && left + width >= widthPixels_ && top + height >= heightPixels_) return false;
  // As far as the segments are cut beyond the picture, and a pixel more for rounding.
  const double reach = kSegmentMargin + 1 + (pen_.wide() ? pen_.width / 2 : 0);
  const DevicePoint a = fromDevice(left - reach, top - reach);
  const DevicePoint b = fromDevice(left + width + reach, top + height + reach);
  x1 = std::min(a.x, b.x);
  y1 = std::min(a.y, b.y);
  x2 = std::max(a.x, b.x);
  y2 = std::max(a.y, b.y);
  return true;
}

Status DeviceSurface::cls() {
  updateShownBoxes();
  return engine_ != nullptr ? engine_->fill(background_) : status::ok;
}

Status DeviceSurface::setScaleMode(std::int32_t mode) {
  const Status s = ScaledSurface::setScaleMode(mode);
  if (failed(s)) return s;
  updateTransform();
  return status::ok;
}

Status DeviceSurface::setScale(double x1, double y1, double x2, double y2) {
  ScaledSurface::setScale(x1, y1, x2, y2);
  updateTransform();
  return status::ok;
}

// The device draws no text, so the font size changes nothing it draws.
Status DeviceSurface::setFontSize(double) { return status::ok; }

Status DeviceSurface::setDrawStyle(std::int32_t style) {
  dash_ = dashPatternFor(style);
  return status::ok;
}

Status DeviceSurface::segment(double x1, double y1, double x2, double y2, Rgb colour) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return status::ok;
  DeviceLine out{x1, y1, x2, y2, colour, dash_, 0, pen_};
  if (!inside(segmentBox_, x1, y1) || !inside(segmentBox_, x2, y2)) {
    if (!clipSegment(out.x1, out.y1, out.x2, out.y2, segmentBox_)) return status::ok;
    if (dash_ != DashPattern::solid) out.phase = std::fmod(cutLength(x1, y1, out.x1, out.y1), dashPeriod());
  }
  if (missesShown(out.x1, out.y1, out.x2, out.y2)) return status::ok;
  return engine_->line(out);
}

Status DeviceSurface::line(float x1, float y1, float x2, float y2, Rgb colour) {
  if (engine_ == nullptr) return status::ok;
  const DevicePoint a = toDevice(x1, y1);
  const DevicePoint b = toDevice(x2, y2);
  return segment(a.x, a.y, b.x, b.y, mapColour(colour));
}

// The radius is measured along X, so a circle stays round on the screen whatever the
// proportions of the user system (the classic control's aspect ratio of 1).
Status DeviceSurface::circle(float x, float y, float r, Rgb colour) {
  if (engine_ == nullptr) return status::ok;
  return round(x, y, r, mapColour(colour), 0, kFullTurn, true);
}

Status DeviceSurface::arc(float x, float y, float r, Rgb colour, float start, float end) {
  if (engine_ == nullptr) return status::ok;
  const auto sweep = arcSweep(start, end);
  if (!sweep) return status::ok;
  colour = mapColour(colour);
  if (const Status s = round(x, y, r, colour, sweep->start, sweep->span, false); failed(s)) return s;
  if (sweep->radiusToStart) {
    if (const Status s = radiusLine(x, y, r, sweep->start, colour); failed(s)) return s;
  }
  if (sweep->radiusToEnd) return radiusLine(x, y, r, sweep->start + sweep->span, colour);
  return status::ok;
}

Status DeviceSurface::chords(const std::vector<DevicePoint>& points, Rgb colour) {
  const double period = dash_ != DashPattern::solid ? dashPeriod() : 0;
  double walked = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    DeviceLine chord{points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, colour, dash_, 0, pen_};
    const double length = walkedAlong(chord.x2 - chord.x1, chord.y2 - chord.y1, pen_.wide());
    // A chord that misses the window by a pixel misses it once cut (cutting moves its ends
    // along it, by no more than a rounding): of such a chord only its length counts.
    if (!missesShown(chord.x1, chord.y1, chord.x2, chord.y2, 1) &&
        clipSegment(chord.x1, chord.y1, chord.x2, chord.y2, segmentBox_)) {
      if (dash_ != DashPattern::solid) {
        const double before = pen_.wide() ? walked : std::floor(walked);
        const double lost = before + cutLength(points[i - 1].x, points[i - 1].y, chord.x1, chord.y1);
        chord.phase = std::fmod(lost, period);
      }
      if (missesShown(chord.x1, chord.y1, chord.x2, chord.y2)) {
        // kept out of the window: nothing to draw
      } else if (const Status s = engine_->line(chord); failed(s)) {
        return s;
      }
    }
    walked += length;
  }
  return status::ok;
}

Status DeviceSurface::radiusLine(double cx, double cy, double r, double angle, Rgb colour) {
  const DevicePoint c = toDevice(cx, cy);
  const double radius = std::fabs(r * scaleX_);
  const SinCos a = portableSinCos(angle);
  return segment(c.x, c.y, c.x + radius * a.cos, c.y - radius * a.sin, colour);
}

Status DeviceSurface::round(double x, double y, double r, Rgb colour, double start, double span, bool whole) {
  const DevicePoint c = toDevice(x, y);
  const double radius = std::fabs(r * scaleX_);
  if (!finite(c.x, c.y, radius) || radius > kLargestPlaceableRadius) return status::ok;
  if (circleReach(c.x, c.y, radius, shownRoundBox_) != CircleReach::crosses) return status::ok;
  if (radius <= kLargestRoundRadius) return engine_->round({c.x, c.y, radius, colour, dash_, whole, start, span, pen_});
  // Only a sliver of such a circle can cross the picture, and its centre lies far outside:
  // chords along that sliver, the dash pattern running on from chord to chord.
  try {
    const AngleSpan seen = boxAngles(c.x, c.y, roundBox_);
    const std::vector<AngleSpan> pieces = whole ? std::vector<AngleSpan>{seen} : intersectArcs({start, span}, seen);
    for (const AngleSpan& piece : pieces) {
      if (const Status s = chords(arcPoints(c.x, c.y, radius, piece, kChordTolerance, kMostChordPoints), colour);
          failed(s))
        return s;
    }
  } catch (const std::bad_alloc&) {
    return status::outOfMemory;
  }
  return status::ok;
}

}  // namespace trazo
