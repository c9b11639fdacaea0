// The vector back end: what the device geometry hands over, drawn with QPainter, for SVG,
// PDF, printing and antialiased pictures. The shapes, their clipping, arc sweeps and dash
// patterns are those the raster back end draws; only the pixels are QPainter's.
#pragma once

#include "device/device_engine.hpp"

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

 private:
  void usePen(Rgb colour, DashPattern dash, int phase);

  QPainter* painter_ = nullptr;
  QRectF area_;
  // Pens made so far, by dash pattern and colour: a drawing uses few of them.
  struct CachedPen {
    DashPattern dash;
    Rgb colour;
    QPen pen;
  };
  std::vector<CachedPen> pens_;
  const CachedPen* current_ = nullptr;
  int currentPhase_ = 0;
};

}  // namespace trazo::qt
