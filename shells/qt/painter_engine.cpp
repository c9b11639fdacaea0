#include "shells/qt/painter_engine.hpp"

#include "device/portable_trig.hpp"

#include <QColor>
#include <QLineF>
#include <QPainter>

#include <cmath>

namespace trazo::qt {
namespace {

// Pens kept for reuse; the six palette colours in four dash styles need 24.
constexpr std::size_t kMostCachedPens = 64;
constexpr double kSixteenthsOfDegreePerRadian = 16 * 180 / kHalfTurn;

int sixteenthsOfDegree(double radians) { return static_cast<int>(std::lround(radians * kSixteenthsOfDegreePerRadian)); }

}  // namespace

void PainterEngine::begin(QPainter& painter, QRectF area, bool antialias) {
  painter_ = &painter;
  area_ = area;
  current_ = nullptr;
  pens_.reserve(kMostCachedPens);
  painter.setRenderHint(QPainter::Antialiasing, antialias);
  painter.setBrush(Qt::NoBrush);
}

Status PainterEngine::fill(Rgb colour) {
  if (painter_ != nullptr) painter_->fillRect(area_, QColor(colour.red, colour.green, colour.blue));
  return status::ok;
}

// Pens change only when the colour, the pattern or its phase does.
void PainterEngine::usePen(Rgb colour, DashPattern dash, int phase) {
  if (current_ != nullptr && current_->dash == dash && current_->colour == colour && currentPhase_ == phase) return;
  const CachedPen* found = nullptr;
  for (const CachedPen& cached : pens_) {
    if (cached.dash == dash && cached.colour == colour) {
      found = &cached;
      break;
    }
  }
  if (found == nullptr) {
    if (pens_.size() >= kMostCachedPens) pens_.clear();
    QPen pen(QColor(colour.red, colour.green, colour.blue));
    pen.setCosmetic(true);
    pen.setWidth(1);
    const auto runs = dashRuns(dash);
    if (runs.empty()) {
      pen.setCapStyle(Qt::SquareCap);  // a solid line includes its end pixels
    } else {
      pen.setCapStyle(Qt::FlatCap);  // dashes exactly as long as their pattern says
      pen.setDashPattern(QList<qreal>(runs.begin(), runs.end()));
    }
    pens_.push_back({dash, colour, pen});
    found = &pens_.back();
  }
  current_ = found;
  currentPhase_ = phase;
  QPen pen = found->pen;
  if (phase != 0) pen.setDashOffset(phase);
  painter_->setPen(pen);
}

Status PainterEngine::line(const DeviceLine& l) {
  if (painter_ == nullptr) return status::ok;
  usePen(l.colour, l.dash, l.phase);
  painter_->drawLine(QLineF(l.x1, l.y1, l.x2, l.y2));
  return status::ok;
}

Status PainterEngine::round(const DeviceRound& r) {
  if (painter_ == nullptr) return status::ok;
  usePen(r.colour, r.dash, 0);
  const QRectF bounds(r.cx - r.r, r.cy - r.r, 2 * r.r, 2 * r.r);
  if (r.whole || r.span >= kFullTurn) {
    painter_->drawEllipse(bounds);
  } else {
    painter_->drawArc(bounds, sixteenthsOfDegree(r.start), sixteenthsOfDegree(r.span));
  }
  return status::ok;
}

}  // namespace trazo::qt
