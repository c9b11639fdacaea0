#include "shells/qt/painter_engine.hpp"

#include "device/portable_trig.hpp"

#include <QColor>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QString>
#include <QTransform>

#include <cmath>

namespace trazo::qt {
namespace {

// Pens kept for reuse; the six palette colours in four dash styles need 24.
constexpr std::size_t kMostCachedPens = 64;
constexpr double kSixteenthsOfDegreePerRadian = 16 * 180 / kHalfTurn;
// Texts are laid out at this many pixels to the em and then scaled to their box.
constexpr int kTextLayoutPixels = 64;

int sixteenthsOfDegree(double radians) { return static_cast<int>(std::lround(radians * kSixteenthsOfDegreePerRadian)); }

QColor colourOf(Rgb c) { return QColor(c.red, c.green, c.blue); }

// The classic pen is Qt's cosmetic one-pixel pen; any other is as wide as it says, in the
// device pixels the painter draws in. Qt counts dash patterns in pen widths.
QPen makePen(Rgb colour, DashPattern dash, const DevicePen& devicePen) {
  QPen pen(colourOf(colour));
  const bool classic = devicePen.width == 1;
  pen.setCosmetic(classic);
  pen.setWidthF(devicePen.width);
  const DashRuns runs = dashRuns(dash, devicePen.dashUnit);
  if (runs.empty()) {
    pen.setCapStyle(Qt::SquareCap);  // a solid line includes its end pixels
  } else {
    pen.setCapStyle(Qt::FlatCap);  // dashes exactly as long as their pattern says
    QList<qreal> pattern;
    for (const int run : runs) pattern.append(run / devicePen.width);
    pen.setDashPattern(pattern);
  }
  return pen;
}

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
  if (painter_ != nullptr) painter_->fillRect(area_, colourOf(colour));
  return status::ok;
}

// Pens change only when the colour, the pattern, the pen or the phase does.
void PainterEngine::usePen(Rgb colour, DashPattern dash, const DevicePen& pen, double phase) {
  if (current_ != nullptr && current_->dash == dash && current_->colour == colour && current_->pen == pen &&
      currentPhase_ == phase)
    return;
  const CachedPen* found = nullptr;
  for (const CachedPen& cached : pens_) {
    if (cached.dash == dash && cached.colour == colour && cached.pen == pen) {
      found = &cached;
      break;
    }
  }
  if (found == nullptr) {
    if (pens_.size() >= kMostCachedPens) pens_.clear();
    pens_.push_back({dash, colour, pen, makePen(colour, dash, pen)});
    found = &pens_.back();
  }
  current_ = found;
  currentPhase_ = phase;
  QPen qpen = found->qpen;
  if (phase != 0) qpen.setDashOffset(phase / pen.width);
  painter_->setPen(qpen);
}

Status PainterEngine::line(const DeviceLine& l) {
  if (painter_ == nullptr) return status::ok;
  usePen(l.colour, l.dash, l.pen, l.phase);
  painter_->drawLine(QLineF(l.x1, l.y1, l.x2, l.y2));
  return status::ok;
}

Status PainterEngine::round(const DeviceRound& r) {
  if (painter_ == nullptr) return status::ok;
  usePen(r.colour, r.dash, r.pen, 0);
  const QRectF bounds(r.cx - r.r, r.cy - r.r, 2 * r.r, 2 * r.r);
  if (r.whole || r.span >= kFullTurn) {
    painter_->drawEllipse(bounds);
  } else {
    painter_->drawArc(bounds, sixteenthsOfDegree(r.start), sixteenthsOfDegree(r.span));
  }
  return status::ok;
}

void PainterEngine::text(const DeviceText& t) {
  if (painter_ == nullptr) return;
  paintText(*painter_, textFont(), t);
  current_ = nullptr;  // the text's pen replaced the painter's
}

QFont textFont() {
  QFont font;
  font.setPixelSize(kTextLayoutPixels);
  return font;
}

void paintText(QPainter& painter, const QFont& font, const DeviceText& t) {
  const QString text = QString::fromUtf16(t.text.data(), static_cast<qsizetype>(t.text.size()));
  const double advance = QFontMetricsF(font).horizontalAdvance(text);
  const double em = font.pixelSize();
  if (!(advance > 0) || !(em > 0)) return;
  // Layout space has the baseline along +x from the origin and y down; x = advance lands on
  // the end of the box's baseline and y = -em on the top of the box.
  const QTransform toBox(t.baseX / advance, t.baseY / advance, -t.upX / em, -t.upY / em, t.x, t.y);
  painter.save();
  painter.setTransform(toBox, true);
  painter.setFont(font);
  painter.setPen(colourOf(t.colour));
  painter.drawText(QPointF(0, 0), text);
  painter.restore();
}

}  // namespace trazo::qt
