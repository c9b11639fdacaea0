// P1 drawn with QPainter: one surface for a window, a raster image, an SVG or a PDF file,
// since all of them are paint devices. The surface keeps P1's coordinate system (twips at
// 1440 to the device's logical inch, or the user system of Scale) and turns it into device
// pixels itself, so that pens stay one device pixel wide and dash lengths stay in pixels.
//
// Drawing reaches a device only between begin() and end(). Outside them the coordinate
// system still follows every call, drawing operations draw nothing, and Cls asks the owner
// for a repaint, so a Reflash made outside a paint shows at the next one.
#pragma once

#include "base/scaled_surface.hpp"
#include "shells/qt/clip_geometry.hpp"
#include "shells/qt/picture_options.hpp"

#include <QColor>
#include <QPen>
#include <QPointF>

#include <functional>
#include <vector>

class QPainter;

namespace trazo::qt {

class PainterSurface : public ScaledSurface {
 public:
  explicit PainterSurface(PictureOptions options = {});

  // The inner area in device pixels and the device's logical resolution (dots per inch).
  void setDevice(double widthPixels, double heightPixels, double dpiX, double dpiY);
  void setOptions(const PictureOptions& options) { options_ = options; }
  const PictureOptions& options() const { return options_; }

  void begin(QPainter& painter);
  void end();
  bool painting() const { return painter_ != nullptr; }

  // Called by Cls outside a paint.
  void setRepaintRequest(std::function<void()> request) { repaintRequest_ = std::move(request); }

  // A point in current units to device pixels, and back.
  QPointF toDevice(double x, double y) const;
  QPointF fromDevice(QPointF pixel) const;

  double fontSize() const { return fontSize_; }
  std::int32_t drawStyle() const { return drawStyle_; }

  Status cls() override;
  Status setScaleMode(std::int32_t mode) override;
  Status setScale(double x1, double y1, double x2, double y2) override;
  Status setFontSize(double points) override;
  Status setDrawStyle(std::int32_t style) override;
  Status line(float x1, float y1, float x2, float y2, Rgb colour) override;
  Status circle(float x, float y, float r, Rgb colour) override;
  Status arc(float x, float y, float r, Rgb colour, float start, float end) override;

  // An off-screen picture has no placement; the widget's picture moves itself.
  Status setLeft(float) override { return status::ok; }
  Status setTop(float) override { return status::ok; }
  Status setWidth(float) override { return status::ok; }
  Status setHeight(float) override { return status::ok; }

 private:
  void updateTransform();
  void usePen(Rgb colour);
  void drawSegment(double x1, double y1, double x2, double y2);
  void drawRound(double cx, double cy, double r, double start, double span, bool whole);

  PictureOptions options_;
  double widthPixels_ = 0, heightPixels_ = 0;
  double dpiX_ = 96, dpiY_ = 96;
  // device = current * scale + offset
  double scaleX_ = 1, offsetX_ = 0, scaleY_ = 1, offsetY_ = 0;
  DeviceRect safeBox_;
  double fontSize_ = 9;
  std::int32_t drawStyle_ = kDrawStyleSolid;

  QPainter* painter_ = nullptr;
  // Pens made so far, by dash style and colour: a drawing uses few of them, and a pen made
  // once is not made again at every change of colour or style.
  struct CachedPen {
    std::int32_t style;
    Rgb colour;
    QPen pen;
  };
  std::vector<CachedPen> pens_;
  const CachedPen* currentPen_ = nullptr;
  std::function<void()> repaintRequest_;
};

}  // namespace trazo::qt
