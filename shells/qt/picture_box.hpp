// P1 as a Qt widget: the child of the control's client area on which everything is drawn.
// Its paint event runs the control's Paint action (a whole Reflash) through the raster back
// end at the widget's device pixels, crisp or antialiased as the host asks, and shows the
// pixel buffer. Its pointer movements become the control's MouseMove, and it
// sits where the control's placement of P1 puts it, in the client area's pixels.
//
// Only the part of P1 that Qt asks to have painted is drawn: the raster buffer covers just
// that part, so P1 may be far larger than the screen (a host zooming in through a scrolling
// view) at the cost of the part shown.
//
// A drawing of many entities is drawn on a thread of its own (background_frame.hpp): a paint
// shows the last picture scaled in place until the frame for the window's visible part is
// done, then that frame; the window answers input all the while. A write to the store first
// ends the frame being drawn.
//
// Outside a paint nothing is drawn: the coordinate system still follows every call, and Cls
// asks for a repaint, so a Reflash made outside a paint shows at the next one.
#pragma once

#include "control/trazo.hpp"
#include "raster/raster_surface.hpp"
#include "shells/qt/picture_options.hpp"

#include <QPointF>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace trazo {
class Picker;
}  // namespace trazo

namespace trazo::qt {

class PictureBox : public QWidget, public PlacementListener, public StoreWriteListener {
  Q_OBJECT

 public:
  PictureBox(Trazo& control, const PictureOptions& options, QWidget* parent);
  ~PictureBox() override;

  RasterSurface& surface();
  const RasterSurface& surface() const;
  // Moves and sizes the widget to where the control placed P1.
  void picturePlaced(const PixelPlacement& pixels) override;
  const PictureOptions& options() const { return options_; }
  void setOptions(const PictureOptions& options);
  // The store is about to change: a frame being drawn aside ends first.
  void storeWriting() override;
  // Whether a frame is being drawn on a thread of its own.
  bool drawingAside() const;

  // A point of this widget (logical pixels) in P1's current units, and back: drawing units
  // with X to the right and Y up after a Reflash, twips before. Not crossed, unlike
  // MouseMove.
  QPointF mapToDrawing(QPointF widgetPoint) const;
  QPointF mapFromDrawing(QPointF drawingPoint) const;

  // The status of the Reflash that the last paint ran; a failure leaves the picture as the
  // Reflash left it (cleared, with whatever came before the failing entity).
  [[nodiscard]] Status lastPaintStatus() const { return lastPaintStatus_; }
  // How many paints have run Reflash since the picture was made.
  int paintCount() const { return paintCount_; }
  // The part of P1 the last paint drew, in device pixels.
  QRect lastPaintedArea() const { return lastPaintedArea_; }
  // How many of those pixels a frame drawn aside took from the frame before it, whose
  // window it overlapped, instead of drawing them.
  std::int64_t lastKeptPixels() const;
  // Which entity shows where on the picture as the last paint left it, in device pixels.
  Picker& picker();

 signals:
  // A button pressed or released, and the wheel turned, over P1 at `at` in P1's current
  // units (not crossed). The control has no such events; these are the shell's own.
  void pressed(QPointF at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void released(QPointF at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void wheelTurned(QPointF at, QPoint angleDelta, Qt::KeyboardModifiers modifiers);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  struct Painting;

  Status paintRaster(QPainter& painter, const QRect& exposed);
  bool drawsAside() const;
  void paintAside(QPainter& painter, const QRect& exposed);
  // The last frame drawn aside, scaled to where P1 now puts it, over the background.
  void paintStandIn(QPainter& painter, const QRect& exposed);
  void frameFinished();

  Trazo& control_;
  PictureOptions options_;
  std::unique_ptr<Painting> painting_;
  Status lastPaintStatus_ = status::ok;
  int paintCount_ = 0;
  QRect lastPaintedArea_;
  // Counts the changes to what P1 shows (writes to the store, options): a frame drawn aside
  // shows the state it was ordered for.
  std::uint64_t drawing_ = 0;
  bool asideFailed_ = false;  // the last frame aside could not be drawn: draw on this thread
};

}  // namespace trazo::qt
