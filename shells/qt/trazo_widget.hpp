// The Trazo control as a Qt widget. The widget stands for the control's client area and
// holds P1 (a PictureBox) as its only child; it runs the control's lifecycle: Initialize
// on construction, Resize whenever its size changes, Paint whenever P1 must be redrawn,
// MouseMove on pointer movement over P1, Terminate on destruction.
//
// A host fills the drawing through control() and shows it with reflash(), which repaints
// P1 at the next frame; several calls before that frame cost one Reflash. The MouseMove
// event reaches sinks connected with control().connect() and the Qt signal mouseMove().
#pragma once

#include "control/trazo.hpp"
#include "shells/qt/picture_box.hpp"
#include "shells/qt/picture_options.hpp"

#include <QWidget>

#include <memory>

namespace trazo::qt {

class TrazoWidget : public QWidget {
  Q_OBJECT

 public:
  explicit TrazoWidget(QWidget* parent = nullptr, const PictureOptions& options = {});
  ~TrazoWidget() override;

  Trazo& control() { return control_; }
  PictureBox& picture() { return *picture_; }

  // Shows the drawing afresh at the next frame.
  void reflash();
  void setPictureOptions(const PictureOptions& options);

  // The control's proposed size: 4800 x 3600 twips.
  QSize sizeHint() const override;

 signals:
  // The control's MouseMove event, as the sinks get it: X carries the vertical and Y the
  // horizontal position, in P1's current units.
  void mouseMove(qint16 button, qint16 shift, float x, float y);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  class ClientArea;
  class SignalSink;

  Trazo control_;
  PictureBox* picture_;  // owned as a child widget
  std::unique_ptr<SignalSink> signalSink_;
};

}  // namespace trazo::qt
