// The vector back end: what the device geometry hands over, drawn with QPainter, for PDF
// and printing. The shapes, their clipping, arc sweeps, pens and dash
// patterns are those the raster back end draws; only the pixels are QPainter's.
#pragma once

#include "device/device_engine.hpp"
#include "device/device_text.hpp"

#include <QFont>
#include <QPen>
#include <QRectF>

#include <vector>

class QPainter;

namespace trazo::qt {

class PainterEngine final : public DeviceEngine {
 public:
  // Draws on `painter` within `area` (device pixels) until end().
  void begin(QPainter& painter, QRectF area, bool antialias);
  void end() { painter_ = nullptr; }

  Status fill(Rgb colour) override;
  Status line(const DeviceLine& line) override;
  Status round(const DeviceRound& round) override;
  // A text entity's characters, where the host shows them.
  void text(const DeviceText& text);

 private:
  void usePen(Rgb colour, DashPattern dash, const DevicePen& pen, double phase);

  QPainter* painter_ = nullptr;
  QRectF area_;
  // Pens made so far, by dash pattern, colour and pen: a drawing uses few of them.
  struct CachedPen {
    DashPattern dash;
    Rgb colour;
    DevicePen pen;
    QPen qpen;
  };
  std::vector<CachedPen> pens_;
  const CachedPen* current_ = nullptr;
  double currentPhase_ = 0;
};

// Draws `text` with `painter` in device pixels: the characters laid out in `font` along the
// baseline, scaled to the box's width and to the text's height.
void paintText(QPainter& painter, const QFont& font, const DeviceText& text);
// The font texts are laid out in before they are scaled to their box.
QFont textFont();

}  // namespace trazo::qt
