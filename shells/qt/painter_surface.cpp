#include "shells/qt/painter_surface.hpp"

#include "shells/qt/arc_sweep.hpp"
#include "shells/qt/dash_patterns.hpp"

#include <QLineF>
#include <QPainter>
#include <QPolygonF>
#include <QRectF>

#include <cmath>

namespace trazo::qt {
namespace {

// Segments reaching further than this beyond the picture are cut before QPainter sees them.
constexpr double kSafeMargin = 16384;
// Circles wider than this are drawn as polylines over the part that crosses the picture.
constexpr double kLargestPaintedRadius = 32768;
// How far a polyline standing for a huge circle may stray from it, and its most points.
constexpr double kPolylineTolerance = 0.25;
constexpr int kPolylineMaxPoints = 20000;
// Beyond this radius doubles cannot place the outline to a pixel; such circles are skipped.
constexpr double kLargestPlaceableRadius = 1e15;

// Pens kept for reuse; the six palette colours in four dash styles need 24.
constexpr std::size_t kMostCachedPens = 64;

constexpr double kDegreesPerRadian = 57.29577951308232;

bool finite(double a, double b, double c) { return std::isfinite(a) && std::isfinite(b) && std::isfinite(c); }

bool inside(const DeviceRect& box, double x, double y) {
  return x >= box.left && x <= box.right && y >= box.top && y <= box.bottom;
}

int sixteenthsOfDegree(double radians) { return static_cast<int>(std::lround(radians * kDegreesPerRadian * 16)); }

}  // namespace

PainterSurface::PainterSurface(PictureOptions options) : options_(options) {
  pens_.reserve(kMostCachedPens);
  updateTransform();
}

void PainterSurface::setDevice(double widthPixels, double heightPixels, double dpiX, double dpiY) {
  widthPixels_ = widthPixels;
  heightPixels_ = heightPixels;
  dpiX_ = dpiX > 0 ? dpiX : 96;
  dpiY_ = dpiY > 0 ? dpiY : 96;
  mapping_.setInnerSize(widthPixels_ * kTwipsPerInch / dpiX_, heightPixels_ * kTwipsPerInch / dpiY_);
  updateTransform();
}

void PainterSurface::begin(QPainter& painter) {
  painter_ = &painter;
  currentPen_ = nullptr;
  painter.setRenderHint(QPainter::Antialiasing, options_.antialias);
  painter.setBrush(Qt::NoBrush);
}

void PainterSurface::end() { painter_ = nullptr; }

void PainterSurface::updateTransform() {
  if (mapping_.userScale()) {
    scaleX_ = widthPixels_ / (mapping_.x2() - mapping_.x1());
    scaleY_ = heightPixels_ / (mapping_.y2() - mapping_.y1());
    offsetX_ = -mapping_.x1() * scaleX_;
    offsetY_ = -mapping_.y1() * scaleY_;
  } else {
    scaleX_ = dpiX_ / kTwipsPerInch;
    scaleY_ = dpiY_ / kTwipsPerInch;
    offsetX_ = 0;
    offsetY_ = 0;
  }
  safeBox_ = {-kSafeMargin, -kSafeMargin, widthPixels_ + kSafeMargin, heightPixels_ + kSafeMargin};
}

QPointF PainterSurface::toDevice(double x, double y) const { return {x * scaleX_ + offsetX_, y * scaleY_ + offsetY_}; }

QPointF PainterSurface::fromDevice(QPointF pixel) const {
  double x = 0;
  double y = 0;
  mapping_.fromTwips(pixel.x() * kTwipsPerInch / dpiX_, pixel.y() * kTwipsPerInch / dpiY_, x, y);
  return {x, y};
}

Status PainterSurface::cls() {
  if (painter_ == nullptr) {
    if (repaintRequest_) repaintRequest_();
    return status::ok;
  }
  painter_->fillRect(QRectF(0, 0, widthPixels_, heightPixels_), options_.background);
  return status::ok;
}

Status PainterSurface::setScaleMode(std::int32_t mode) {
  const Status s = ScaledSurface::setScaleMode(mode);
  if (failed(s)) return s;
  updateTransform();
  return status::ok;
}

Status PainterSurface::setScale(double x1, double y1, double x2, double y2) {
  ScaledSurface::setScale(x1, y1, x2, y2);
  updateTransform();
  return status::ok;
}

Status PainterSurface::setFontSize(double points) {
  fontSize_ = points;
  return status::ok;
}

Status PainterSurface::setDrawStyle(std::int32_t style) {
  drawStyle_ = style;
  return status::ok;
}

// Pens change only when the colour or the dash style does: a drawing of many entities in
// few colours then pays for few pen changes.
void PainterSurface::usePen(Rgb colour) {
  if (currentPen_ != nullptr && currentPen_->style == drawStyle_ && currentPen_->colour == colour) return;
  const CachedPen* found = nullptr;
  for (const CachedPen& cached : pens_) {
    if (cached.style == drawStyle_ && cached.colour == colour) {
      found = &cached;
      break;
    }
  }
  if (found == nullptr) {
    if (pens_.size() >= kMostCachedPens) pens_.clear();
    QPen pen(QColor(colour.red, colour.green, colour.blue));
    pen.setCosmetic(true);
    pen.setWidth(1);
    const QList<qreal> dashes = dashPattern(drawStyle_);
    if (dashes.isEmpty()) {
      pen.setCapStyle(Qt::SquareCap);  // a solid line includes its end pixel
    } else {
      pen.setCapStyle(Qt::FlatCap);  // dashes exactly as long as their pattern says
      pen.setDashPattern(dashes);
    }
    pens_.push_back({drawStyle_, colour, pen});
    found = &pens_.back();
  }
  currentPen_ = found;
  painter_->setPen(found->pen);
}

void PainterSurface::drawSegment(double x1, double y1, double x2, double y2) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
  if (!inside(safeBox_, x1, y1) || !inside(safeBox_, x2, y2)) {
    if (!clipSegment(x1, y1, x2, y2, safeBox_)) return;
  }
  painter_->drawLine(QLineF(x1, y1, x2, y2));
}

Status PainterSurface::line(float x1, float y1, float x2, float y2, Rgb colour) {
  if (painter_ == nullptr) return status::ok;
  usePen(colour);
  const QPointF a = toDevice(x1, y1);
  const QPointF b = toDevice(x2, y2);
  drawSegment(a.x(), a.y(), b.x(), b.y());
  return status::ok;
}

// The radius is measured along X, so a circle stays round on the screen whatever the
// proportions of the user system (the classic control's aspect ratio of 1).
Status PainterSurface::circle(float x, float y, float r, Rgb colour) {
  if (painter_ == nullptr) return status::ok;
  const QPointF c = toDevice(x, y);
  const double radius = std::fabs(r * scaleX_);
  if (!finite(c.x(), c.y(), radius)) return status::ok;
  usePen(colour);
  drawRound(c.x(), c.y(), radius, 0, kFullTurn, true);
  return status::ok;
}

Status PainterSurface::arc(float x, float y, float r, Rgb colour, float start, float end) {
  if (painter_ == nullptr) return status::ok;
  const auto sweep = arcSweep(start, end);
  const QPointF c = toDevice(x, y);
  const double radius = std::fabs(r * scaleX_);
  if (!sweep || !finite(c.x(), c.y(), radius)) return status::ok;
  usePen(colour);
  drawRound(c.x(), c.y(), radius, sweep->start, sweep->span, false);
  const double stop = sweep->start + sweep->span;
  if (sweep->radiusToStart)
    drawSegment(c.x(), c.y(), c.x() + radius * std::cos(sweep->start), c.y() - radius * std::sin(sweep->start));
  if (sweep->radiusToEnd)
    drawSegment(c.x(), c.y(), c.x() + radius * std::cos(stop), c.y() - radius * std::sin(stop));
  return status::ok;
}

void PainterSurface::drawRound(double cx, double cy, double r, double start, double span, bool whole) {
  if (r > kLargestPlaceableRadius) return;
  const DeviceRect near{-1, -1, widthPixels_ + 1, heightPixels_ + 1};
  if (circleReach(cx, cy, r, near) != CircleReach::crosses) return;
  if (r <= kLargestPaintedRadius) {
    const QRectF bounds(cx - r, cy - r, 2 * r, 2 * r);
    if (whole) {
      painter_->drawEllipse(bounds);
    } else {
      painter_->drawArc(bounds, sixteenthsOfDegree(start), sixteenthsOfDegree(span));
    }
    return;
  }
  // Only a sliver of such a circle can cross the picture, and its centre lies far outside.
  const AngleSpan seen = boxAngles(cx, cy, near);
  const std::vector<AngleSpan> pieces = whole ? std::vector<AngleSpan>{seen} : intersectArcs({start, span}, seen);
  for (const AngleSpan& piece : pieces) {
    const std::vector<DevicePoint> points = arcPoints(cx, cy, r, piece, kPolylineTolerance, kPolylineMaxPoints);
    QPolygonF polyline;
    polyline.reserve(static_cast<qsizetype>(points.size()));
    for (const DevicePoint& p : points) polyline.append(QPointF(p.x, p.y));
    painter_->drawPolyline(polyline);
  }
}

}  // namespace trazo::qt
