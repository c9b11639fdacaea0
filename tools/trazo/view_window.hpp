// The window of trazo view: the control in a scrolling view, and a status line with where
// the pointer is and the latest MouseMove event as the control raised it.
//
// Zooming is done as any host of the control would do it: P1 grows inside the scrolling
// view, and the control fits the drawing into it as always, so MouseMove stays exactly
// what the control raises. The wheel zooms about the pointer, dragging pans, Home or F fits
// the drawing to the window again, + and - zoom about the middle, and Esc, Ctrl+Q and
// Ctrl+W close the window.
//
// The entity under the pointer is drawn highlighted and named on the status line; clicks
// and Shift-drags select entities and Ctrl+C copies their tags (view_picking.hpp). Esc
// clears the selection before it closes the window.
#pragma once

#include "shells/qt/trazo_widget.hpp"
#include "tools/trazo/view_picking.hpp"

#include <QLabel>
#include <QMainWindow>
#include <QPoint>
#include <QScrollArea>

namespace trazo::cli {

class ViewWindow : public QMainWindow {
 public:
  // Zoom is counted from the drawing fitted to the window (1); P1 grows to at most this many
  // times the window and this many logical pixels a side, where single precision still
  // places the pointer to a pixel.
  static constexpr double kMostZoom = 1000;
  static constexpr double kLargestSide = 1'000'000;
  // One notch of the wheel (120 eighths of a degree) zooms this much.
  static constexpr double kZoomPerNotch = 1.25;

  // `highlight` draws the entity under the pointer and the selected ones; by default white
  // on a dark background and black on a light one.
  ViewWindow(const QString& title, const qt::PictureOptions& options, const QColor& highlight = {});

  qt::TrazoWidget& control() { return *control_; }
  QScrollArea& view() { return *view_; }
  QString statusText() const { return status_->text(); }
  // The entity under the pointer in words, and how many are selected.
  QString entityText() const { return entityLabel_->text(); }
  QString selectionText() const { return selectionLabel_->text(); }
  ViewPicking& picking() { return *picking_; }
  double zoom() const { return zoom_; }

  // Zooms by `factor`, within the limits, keeping the drawing under `viewportPoint` there.
  void zoomBy(double factor, QPoint viewportPoint);
  // The drawing fitted to the window again.
  void fit();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showMouseMove(qint16 button, qint16 shift, float x, float y);
  // P1's size for the zoom and the window, the drawing under `viewportPoint` kept there.
  void layOut(double zoom, QPoint viewportPoint);
  double mostZoom() const;

  QScrollArea* view_;
  qt::TrazoWidget* control_;
  QLabel* status_;
  QLabel* zoomLabel_;
  QLabel* entityLabel_;
  QLabel* selectionLabel_;
  ViewPicking* picking_;  // owned by the control
  double zoom_ = 1;
  // Dragging: where the press was, on the screen, and where the view was scrolled then.
  bool dragging_ = false;
  QPointF dragFrom_;
  QPoint scrolledFrom_;
};

}  // namespace trazo::cli
