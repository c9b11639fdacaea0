#include "tools/trazo/highlight_layer.hpp"

#include "picking/picker.hpp"
#include "render/entity_colour.hpp"
#include "render/painters.hpp"
#include "shells/qt/painter_engine.hpp"
#include "shells/qt/picture_look.hpp"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace trazo::cli {
namespace {

Status drawEntity(const Entity& e, Surface& p1) {
  switch (e.Kind) {
    case kKindLine: return DrawLineEntity(e, p1);
    case kKindCircle: return DrawCircleEntity(e, p1);
    case kKindArc: return DrawArcEntity(e, p1);
    case kKindText: return DrawTextEntity(e, p1);
    default: return status::ok;
  }
}

// The largest rectangle handed to Qt: P1 may be far larger than the screen.
QRectF limited(QRectF area, const QRectF& within) { return area.intersected(within); }

}  // namespace

HighlightLayer::HighlightLayer(qt::TrazoWidget& control, const QColor& colour)
    : QWidget(&control.picture()), control_(control), colour_(colour) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setGeometry(control.picture().rect());
  control.picture().installEventFilter(this);
  show();
}

bool HighlightLayer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &control_.picture() && event->type() == QEvent::Resize) setGeometry(control_.picture().rect());
  return false;
}

QRect HighlightLayer::reach(int index) const {
  Extents bounds;
  Store::Reader reader(control_.control().store());
  if (index <= 0 || !reader.boundsAt(index, bounds)) return {};
  const DeviceSurface& painted = control_.picture().picker().picture();
  const DevicePoint a = painted.toDevice(bounds.MinX, bounds.MinY);
  const DevicePoint b = painted.toDevice(bounds.MaxX, bounds.MaxY);
  const double ratio = devicePixelRatioF();
  const double margin = (painted.pen().width + kHaloWidening) / ratio + 2;
  const QRectF area = QRectF(QPointF(a.x, a.y) / ratio, QPointF(b.x, b.y) / ratio).normalized();
  if (!std::isfinite(area.left()) || !std::isfinite(area.top()) || !std::isfinite(area.right()) ||
      !std::isfinite(area.bottom()))
    return rect();
  return limited(area.adjusted(-margin, -margin, margin, margin), QRectF(rect())).toAlignedRect();
}

void HighlightLayer::setHovered(int index) {
  if (index == hovered_) return;
  update(reach(hovered_));
  hovered_ = index;
  update(reach(hovered_));
}

void HighlightLayer::setSelected(const QList<int>& selected) {
  // A few entities repaint where they are; many, the whole layer.
  constexpr qsizetype kFewEntities = 64;
  const auto repaint = [this](const QList<int>& entities) {
    if (entities.size() > kFewEntities) {
      update();
      return;
    }
    for (const int index : entities) update(reach(index));
  };
  repaint(selected_);
  selected_ = selected;
  repaint(selected_);
}

void HighlightLayer::setBand(const QRect& band) {
  constexpr int kBandMargin = 2;
  update(band_.adjusted(-kBandMargin, -kBandMargin, kBandMargin, kBandMargin));
  band_ = band.normalized();
  update(band_.adjusted(-kBandMargin, -kBandMargin, kBandMargin, kBandMargin));
}

// The entities go through a copy of the picture as it was painted, with a colour map that
// turns each entity's colour into the highlight's.
void HighlightLayer::paintEvent(QPaintEvent* event) {
  const Store& store = control_.control().store();
  const Picker& picker = control_.picture().picker();
  if (!picker.ready(store) && band_.isEmpty()) return;
  const double ratio = devicePixelRatioF();
  QPainter painter(this);
  painter.save();
  painter.scale(1 / ratio, 1 / ratio);
  DeviceSurface p1(picker.picture());
  qt::PainterEngine engine;
  engine.begin(painter, QRectF(0, 0, p1.widthPixels(), p1.heightPixels()), false);
  p1.setEngine(&engine);
  const DevicePen pen = p1.pen();
  const Rgb highlight = qt::rgbOf(colour_);
  const QRectF exposed = QRectF(event->rect()).adjusted(-1, -1, 1, 1);
  Store::Reader reader(store);
  const auto draw = [&](int index) {
    const std::optional<Entity> entity = reader.at(index);
    if (!entity || entity->Kind == kKindNone) return;
    ColourMap map;
    (void)map.set(EntityColor(entity->Col), highlight);
    p1.setColourMap(map);
    (void)drawEntity(*entity, p1);
  };
  if (picker.ready(store)) {
    for (const int index : selected_) {
      if (reach(index).intersects(exposed.toAlignedRect())) draw(index);
    }
    if (hovered_ > 0 && reach(hovered_).intersects(exposed.toAlignedRect())) {
      painter.setOpacity(kHaloOpacity);
      p1.setPen(penFor(pen.width + kHaloWidening, p1.dpiX()));
      draw(hovered_);
      painter.setOpacity(1);
      p1.setPen(pen);
      draw(hovered_);
    }
  }
  engine.end();
  painter.restore();
  if (!band_.isEmpty()) {
    QColor fill = colour_;
    fill.setAlphaF(static_cast<float>(kHaloOpacity / 4));
    painter.setPen(QPen(colour_, 1, Qt::DashLine));
    painter.setBrush(fill);
    painter.drawRect(band_.adjusted(0, 0, -1, -1));
  }
}

}  // namespace trazo::cli
