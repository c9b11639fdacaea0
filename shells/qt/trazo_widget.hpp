// The Trazo control as a Qt widget. The widget stands for the control's client area and
// holds P1 (a PictureBox) as its only child; it runs the control's lifecycle: Initialize
// on construction, Resize whenever its size changes, Paint whenever P1 must be redrawn,
// MouseMove on pointer movement over P1, Terminate on destruction.
//
// A host fills the drawing through control() (the eight members as the control has them)
// or through the Qt conveniences below, and shows it with reflash(), which repaints P1 at
// the next frame; several calls before that frame cost one Reflash. The MouseMove event
// reaches sinks connected with control().connect() and the Qt signal mouseMove(); presses,
// releases and the wheel over P1 arrive as Qt signals of their own, in drawing units.
//
// Picking: which entity the user sees at a point, and which entities a rectangle selects,
// are answered from the picture as the last paint left it (picking/picker.hpp), in widget
// points or in drawing units; the entity under the pointer and clicks on entities arrive as
// signals.
#pragma once

#include "control/trazo.hpp"
#include "picking/picker.hpp"
#include "shells/qt/picture_box.hpp"
#include "shells/qt/picture_options.hpp"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <memory>

namespace trazo::qt {

class TrazoWidget : public QWidget {
  Q_OBJECT

 public:
  explicit TrazoWidget(QWidget* parent = nullptr, const PictureOptions& options = {});
  ~TrazoWidget() override;

  Trazo& control() { return control_; }
  const Trazo& control() const { return control_; }
  PictureBox& picture() { return *picture_; }
  const PictureBox& picture() const { return *picture_; }

  // The members with Qt's types: the same calls, statuses and stored values as the control's
  // own (Tag and cText as QString, col and lType as int).
  [[nodiscard]] Status addLine(double x1, double y1, double x2, double y2, int col, int lType, const QString& tag = {});
  [[nodiscard]] Status addBox(double x1, double y1, double x2, double y2, int col, int lType, const QString& tag = {});
  [[nodiscard]] Status addCircle(double cx, double cy, double r, int col, int lType, const QString& tag = {});
  [[nodiscard]] Status addCircle2(double cx, double cy, double r, double sa, double ea, int col, int lType,
                                  const QString& tag = {});
  [[nodiscard]] Status addText(double tx, double ty, double th, double tang, int col, const QString& cText,
                               const QString& tag = {});
  [[nodiscard]] Status clear();
  [[nodiscard]] int count() const;

  // Shows the drawing afresh at the next frame.
  void reflash();
  const PictureOptions& pictureOptions() const { return picture_->options(); }
  void setPictureOptions(const PictureOptions& options);
  // The colour colour index `col` paints with, in this widget's palette.
  QColor colourOf(int col) const;

  // A point of this widget in the drawing's units, and back: X to the right and Y up, as
  // the drawing has them (not crossed as MouseMove has them), once the drawing is shown;
  // twips before the first Reflash.
  QPointF mapToDrawing(QPointF widgetPoint) const;
  QPointF mapFromDrawing(QPointF drawingPoint) const;

  // The number of the entity seen at a point of this widget (or of the drawing), 0 for none:
  // the one painted last among those that put a pixel within `tolerance` widget points of
  // it (0: the pixel under the point). Nothing is found before the first paint, after a
  // Clear until the next, outside P1, or for a point or tolerance that is not a finite
  // number or a negative tolerance. Entities added since the last paint are not found.
  [[nodiscard]] int entityAt(QPointF widgetPoint, double tolerance = 0);
  [[nodiscard]] int entityAtDrawing(QPointF drawingPoint, double tolerance = 0);
  // The entities a rectangle of this widget (or of the drawing) selects, in the order they
  // were painted: those whose outline crosses it or lies in it, or with `inside` only those
  // wholly in it. Empty under the same conditions as entityAt, and without memory.
  [[nodiscard]] QList<int> entitiesIn(const QRectF& widgetRect, BoxSelection mode = BoxSelection::crossing);
  [[nodiscard]] QList<int> entitiesInDrawing(const QRectF& drawingRect, BoxSelection mode = BoxSelection::crossing);
  // How near, in widget points, the pointer must come to an entity for entityHovered and
  // entityClicked (3 unless set).
  double pickTolerance() const { return pickTolerance_; }
  void setPickTolerance(double points) { pickTolerance_ = points; }
  // The entity under the pointer as entityHovered last told, 0 for none.
  int hoveredEntity() const { return hovered_; }

  // The control's proposed size: 4800 x 3600 twips.
  QSize sizeHint() const override;

 signals:
  // The control's MouseMove event, as the sinks get it: X carries the vertical and Y the
  // horizontal position, in P1's current units.
  void mouseMove(qint16 button, qint16 shift, float x, float y);
  // Pointer presses, releases and the wheel over P1, at `at` in the drawing's units (not
  // crossed). The control itself has no such events: these are the widget's.
  void pointerPressed(QPointF at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void pointerReleased(QPointF at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void wheelTurned(QPointF at, QPoint angleDelta, Qt::KeyboardModifiers modifiers);
  // The entity under the pointer changed to `index` (0: none, also when the pointer leaves).
  void entityHovered(int index);
  // A click (a press and a release of `button` without the pointer moving on the screen as
  // far as a drag starts) on entity `index` (0: on none), with the modifiers held at the press.
  void entityClicked(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class SignalSink;

  Trazo control_;
  PictureBox* picture_;  // owned as a child widget
  std::unique_ptr<SignalSink> signalSink_;
  // P1's device pixel under a point of this widget.
  QPointF devicePixelOf(QPointF widgetPoint) const;
  int pickAtDevice(QPointF device, double tolerance);
  void hover(int index);

  static constexpr double kDefaultPickTolerance = 3;
  double pickTolerance_ = kDefaultPickTolerance;
  int hovered_ = 0;
  // The press a click may end: where on P1 (its logical pixels) and on the screen (a view
  // may scroll P1 under a still pointer), which button, which keys.
  QPointF pressedAt_;
  QPointF pressedOnScreen_;
  Qt::MouseButton pressedButton_ = Qt::NoButton;
  Qt::KeyboardModifiers pressedModifiers_;
};

}  // namespace trazo::qt
