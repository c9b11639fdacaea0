// P1 as a Qt widget: the child of the control's client area on which everything is drawn.
// Its paint event runs the control's Paint action (a whole Reflash) onto the widget, its
// pointer movements become the control's MouseMove, and its placement follows the control's
// Resize in the twips of the client area.
#pragma once

#include "control/trazo.hpp"
#include "shells/qt/painter_surface.hpp"

#include <QWidget>

namespace trazo::qt {

class PictureBox : public QWidget {
  Q_OBJECT

 public:
  PictureBox(Trazo& control, const PictureOptions& options, QWidget* parent);

  PainterSurface& surface() { return surface_; }
  const PainterSurface& surface() const { return surface_; }

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
  class Placement : public PainterSurface {
   public:
    Placement(QWidget& widget, const PictureOptions& options) : PainterSurface(options), widget_(widget) {}
    Status setLeft(float left) override;
    Status setTop(float top) override;
    Status setWidth(float width) override;
    Status setHeight(float height) override;
    void followWidget();

   private:
    bool toPixels(float twips, double dpi, int& pixels) const;
    QWidget& widget_;
  };

  void updateDevice();

  Trazo& control_;
  Placement surface_;
  Status lastPaintStatus_ = status::ok;
  int paintCount_ = 0;
};

}  // namespace trazo::qt
