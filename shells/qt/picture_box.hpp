// P1 as a Qt widget: the child of the control's client area on which everything is drawn.
// Its paint event runs the control's Paint action (a whole Reflash) through the raster back
// end at the widget's device pixels and shows the pixel buffer, or through QPainter when the
// host asks for antialiasing. Its pointer movements become the control's MouseMove, and its
// placement follows the control's Resize in the twips of the client area.
//
// Outside a paint nothing is drawn: the coordinate system still follows every call, and Cls
// asks for a repaint, so a Reflash made outside a paint shows at the next one.
#pragma once

#include "control/trazo.hpp"
#include "device/device_surface.hpp"
#include "raster/raster_engine.hpp"
#include "shells/qt/painter_engine.hpp"
#include "shells/qt/picture_options.hpp"

#include <QWidget>

namespace trazo::qt {

class PictureBox : public QWidget {
  Q_OBJECT

 public:
  PictureBox(Trazo& control, const PictureOptions& options, QWidget* parent);

  DeviceSurface& surface() { return surface_; }
  const DeviceSurface& surface() const { return surface_; }
  const PictureOptions& options() const { return options_; }
  void setOptions(const PictureOptions& options);

  // The status of the Reflash that the last paint ran; a failure leaves the picture as the
  // Reflash left it (cleared, with whatever came before the failing entity).
  Status lastPaintStatus() const { return lastPaintStatus_; }
  // How many paints have run Reflash since the picture was made.
  int paintCount() const { return paintCount_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  // The drawing surface with P1's placement: Left, Top, Width and Height in the twips of
  // the control's client area move and size this widget.
  class Placement : public DeviceSurface {
   public:
    explicit Placement(QWidget& widget) : widget_(widget) {}
    Status cls() override;
    Status setLeft(float left) override;
    Status setTop(float top) override;
    Status setWidth(float width) override;
    Status setHeight(float height) override;
    void followWidget();

   private:
    bool toPixels(float twips, double dpi, int& pixels) const;
    QWidget& widget_;
  };

  Status paintRaster(QPainter& painter);
  Status paintVector(QPainter& painter);

  Trazo& control_;
  PictureOptions options_;
  Placement surface_;
  RasterEngine raster_;
  PainterEngine painterEngine_;
  Status lastPaintStatus_ = status::ok;
  int paintCount_ = 0;
};

}  // namespace trazo::qt
