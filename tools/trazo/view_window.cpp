#include "tools/trazo/view_window.hpp"

#include <QEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace trazo::cli {
namespace {

constexpr int kInitialWidth = 800;
constexpr int kInitialHeight = 600;
constexpr double kWheelNotch = 120;
constexpr int kSignificantDigits = 7;  // a float's

QString number(float value) { return QString::number(static_cast<double>(value), 'g', kSignificantDigits); }

QColor highlightOn(const QColor& background) {
  constexpr int kMiddleLightness = 128;
  return background.lightness() < kMiddleLightness ? QColor(Qt::white) : QColor(Qt::black);
}

}  // namespace

ViewWindow::ViewWindow(const QString& title, const qt::PictureOptions& options, const QColor& highlight)
    : view_(new QScrollArea(this)),
      control_(new qt::TrazoWidget(nullptr, options)),
      status_(new QLabel(this)),
      zoomLabel_(new QLabel(this)),
      entityLabel_(new QLabel(this)),
      selectionLabel_(new QLabel(this)),
      picking_(new ViewPicking(*control_, highlight.isValid() ? highlight : highlightOn(options.background),
                               *entityLabel_, *selectionLabel_)) {
  setWindowTitle(title);
  view_->setFrameShape(QFrame::NoFrame);
  view_->setWidgetResizable(false);
  view_->setWidget(control_);
  setCentralWidget(view_);
  statusBar()->addWidget(status_);
  entityLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // a long one is cut, not widening
  statusBar()->addWidget(entityLabel_, 1);
  statusBar()->addPermanentWidget(selectionLabel_);
  statusBar()->addPermanentWidget(zoomLabel_);
  status_->setText(QStringLiteral("Move the pointer over the drawing"));
  connect(control_, &qt::TrazoWidget::mouseMove, this, &ViewWindow::showMouseMove);
  control_->picture().installEventFilter(this);
  view_->installEventFilter(this);

  const auto shortcut = [this](const QKeySequence& keys, auto action) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
  };
  for (const auto& keys : {QKeySequence(Qt::Key_Home), QKeySequence(Qt::Key_F)}) shortcut(keys, [this] { fit(); });
  shortcut(QKeySequence(Qt::Key_Escape), [this] {
    if (!picking_->clearSelection()) close();
  });
  for (const auto& keys : {QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::CTRL | Qt::Key_W)})
    shortcut(keys, [this] { close(); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_C), [this] { (void)picking_->copyTags(); });
  const auto middle = [this] { return view_->viewport()->rect().center(); };
  for (const auto& keys : {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)})
    shortcut(keys, [this, middle] { zoomBy(kZoomPerNotch, middle()); });
  shortcut(QKeySequence(Qt::Key_Minus), [this, middle] { zoomBy(1 / kZoomPerNotch, middle()); });

  resize(kInitialWidth, kInitialHeight);
  layOut(1, {});
}

double ViewWindow::mostZoom() const {
  const QSize fitted = view_->maximumViewportSize();
  const int side = std::max({fitted.width(), fitted.height(), 1});
  return std::max(1.0, std::min(kMostZoom, kLargestSide / side));
}

void ViewWindow::zoomBy(double factor, QPoint viewportPoint) {
  if (!std::isfinite(factor) || factor <= 0) return;
  layOut(std::clamp(zoom_ * factor, 1.0, mostZoom()), viewportPoint);
}

void ViewWindow::fit() { layOut(1, {}); }

// The fitted view grows in proportion to P1 on each axis, so the drawing under the point
// stays there when the view scrolls by as much as P1 grew around it.
void ViewWindow::layOut(double zoom, QPoint viewportPoint) {
  const QSize fitted = view_->maximumViewportSize();
  const QSize size(std::max(1, static_cast<int>(std::lround(fitted.width() * zoom))),
                   std::max(1, static_cast<int>(std::lround(fitted.height() * zoom))));
  const QSize old = control_->size();
  QScrollBar& h = *view_->horizontalScrollBar();
  QScrollBar& v = *view_->verticalScrollBar();
  const double contentX = h.value() + viewportPoint.x(), contentY = v.value() + viewportPoint.y();
  zoom_ = zoom;
  if (size != old) control_->resize(size);
  if (old.width() > 0 && old.height() > 0) {
    h.setValue(static_cast<int>(std::lround(contentX * size.width() / old.width() - viewportPoint.x())));
    v.setValue(static_cast<int>(std::lround(contentY * size.height() / old.height() - viewportPoint.y())));
  }
  zoomLabel_->setText(zoom_ == 1 ? QStringLiteral("fitted") : QStringLiteral("zoom %1x").arg(zoom_, 0, 'g', 3));
}

bool ViewWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_) {
    if (event->type() == QEvent::Resize) layOut(zoom_, {});
    return false;
  }
  switch (event->type()) {
    case QEvent::Wheel: {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      const QPoint at = control_->picture().mapTo(view_->viewport(), wheel->position().toPoint());
      zoomBy(std::pow(kZoomPerNotch, wheel->angleDelta().y() / kWheelNotch), at);
      return true;
    }
    case QEvent::MouseButtonPress: {
      const auto* press = static_cast<QMouseEvent*>(event);
      const bool selecting = press->button() == Qt::LeftButton && (press->modifiers() & Qt::ShiftModifier);
      if ((press->button() == Qt::LeftButton || press->button() == Qt::MiddleButton) && !selecting) {
        dragging_ = true;
        dragFrom_ = press->globalPosition();
        scrolledFrom_ = {view_->horizontalScrollBar()->value(), view_->verticalScrollBar()->value()};
      }
      return false;
    }
    case QEvent::MouseMove:
      if (dragging_) {
        const QPointF moved = static_cast<QMouseEvent*>(event)->globalPosition() - dragFrom_;
        view_->horizontalScrollBar()->setValue(scrolledFrom_.x() - static_cast<int>(std::lround(moved.x())));
        view_->verticalScrollBar()->setValue(scrolledFrom_.y() - static_cast<int>(std::lround(moved.y())));
      }
      return false;  // P1 raises MouseMove all the same
    case QEvent::MouseButtonRelease: dragging_ = false; return false;
    default: return false;
  }
}

// The event's X is the vertical position and its Y the horizontal one: the line says so in
// words first, then shows the event as raised.
void ViewWindow::showMouseMove(qint16 button, qint16 shift, float x, float y) {
  status_->setText(QStringLiteral("horizontal %1, vertical %2    MouseMove X=%2 Y=%1 Button=%3 Shift=%4")
                       .arg(number(y), number(x))
                       .arg(button)
                       .arg(shift));
}

}  // namespace trazo::cli
