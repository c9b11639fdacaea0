// Picking in trazo view: the entity under the pointer is drawn highlighted and named on the
// status line; a click selects the entity under the pointer (with Ctrl or Shift it is added
// to the selection or taken out of it, and a click on nothing clears it), a drag with Shift
// selects every entity crossing its rectangle (with Ctrl as well, adds them); the selected
// entities' tags can be copied, one a line.
#pragma once

#include "shells/qt/trazo_widget.hpp"
#include "tools/trazo/highlight_layer.hpp"

#include <QLabel>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QRect>

namespace trazo::cli {

class ViewPicking : public QObject {
 public:
  // `entityLine` names the entity under the pointer, `selectionLine` how many are selected.
  ViewPicking(qt::TrazoWidget& control, const QColor& highlight, QLabel& entityLine, QLabel& selectionLine);

  // The selected entities, in rising order.
  const QList<int>& selection() const { return selection_; }
  void select(QList<int> entities);
  // False when nothing was selected.
  bool clearSelection();
  // The selected entities' tags, one a line, in their order; empty tags too.
  QString selectedTags() const;
  // Puts them on the clipboard; false when nothing is selected.
  bool copyTags() const;
  // Whether a Shift-drag is selecting: the window does not pan meanwhile.
  bool selectingByDrag() const { return banding_; }
  const HighlightLayer& layer() const { return *layer_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void hovered(int index);
  void clicked(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void showSelection();

  qt::TrazoWidget& control_;
  HighlightLayer* layer_;  // owned by P1
  QLabel& entityLine_;
  QLabel& selectionLine_;
  QList<int> selection_;
  // A Shift-drag: where it started on P1 (logical pixels), whether it adds to the selection.
  bool banding_ = false;
  bool adding_ = false;
  QPointF bandFrom_;
};

}  // namespace trazo::cli
