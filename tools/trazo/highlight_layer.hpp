// Entities of the viewer's drawing drawn again over its picture in one colour: those
// selected, and the one under the pointer with a faint wider halo as well, so that even a
// one-pixel line stands out; and the rectangle a Shift-drag selects with. Each is drawn
// exactly as the control drew it (the same device geometry, pen and dashes, through
// QPainter), on a layer that lies over P1 and lets every pointer event through to it.
#pragma once

#include "shells/qt/trazo_widget.hpp"

#include <QColor>
#include <QList>
#include <QRect>
#include <QWidget>

namespace trazo::cli {

class HighlightLayer : public QWidget {
 public:
  // How much wider than the picture's pen the halo around the entity under the pointer is,
  // in device pixels, and how strongly it shows.
  static constexpr double kHaloWidening = 4;
  static constexpr double kHaloOpacity = 0.35;

  HighlightLayer(qt::TrazoWidget& control, const QColor& colour);

  QColor colour() const { return colour_; }
  void setHovered(int index);
  // Entity numbers in rising order.
  void setSelected(const QList<int>& selected);
  // In P1's logical pixels; an empty rectangle for none.
  void setBand(const QRect& band);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Where entity `index` may draw on P1, in its logical pixels, halo included.
  QRect reach(int index) const;

  qt::TrazoWidget& control_;
  QColor colour_;
  int hovered_ = 0;
  QList<int> selected_;
  QRect band_;
};

}  // namespace trazo::cli
