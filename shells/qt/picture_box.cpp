#include "shells/qt/picture_box.hpp"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <limits>

namespace trazo::qt {
namespace {

// The classic button and modifier bits of MouseMove.
constexpr std::int16_t kLeftButton = 1;
constexpr std::int16_t kRightButton = 2;
constexpr std::int16_t kMiddleButton = 4;
constexpr std::int16_t kShiftKey = 1;
constexpr std::int16_t kCtrlKey = 2;
constexpr std::int16_t kAltKey = 4;

std::int16_t buttonBits(Qt::MouseButtons buttons) {
  std::int16_t bits = 0;
  if (buttons & Qt::LeftButton) bits |= kLeftButton;
  if (buttons & Qt::RightButton) bits |= kRightButton;
  if (buttons & Qt::MiddleButton) bits |= kMiddleButton;
  return bits;
}

std::int16_t shiftBits(Qt::KeyboardModifiers modifiers) {
  std::int16_t bits = 0;
  if (modifiers & Qt::ShiftModifier) bits |= kShiftKey;
  if (modifiers & Qt::ControlModifier) bits |= kCtrlKey;
  if (modifiers & Qt::AltModifier) bits |= kAltKey;
  return bits;
}

}  // namespace

PictureBox::PictureBox(Trazo& control, const PictureOptions& options, QWidget* parent)
    : QWidget(parent), control_(control), surface_(*this, options) {
  setMouseTracking(true);  // MouseMove is raised whether or not a button is held
  setAttribute(Qt::WA_OpaquePaintEvent);  // Reflash clears the whole picture itself
  surface_.setRepaintRequest([this] { update(); });
  updateDevice();
}

void PictureBox::updateDevice() { surface_.followWidget(); }

// A hidden widget gets its resize event only when shown; the picture's size must be right
// at once, for a Reflash may come before that.
void PictureBox::Placement::followWidget() {
  setDevice(widget_.width(), widget_.height(), widget_.logicalDpiX(), widget_.logicalDpiY());
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  surface_.begin(painter);
  // Nothing from the control may escape into Qt's event loop.
  try {
    lastPaintStatus_ = control_.onPaint();
  } catch (...) {
    lastPaintStatus_ = status::unexpected;
  }
  surface_.end();
  ++paintCount_;
}

void PictureBox::resizeEvent(QResizeEvent*) { updateDevice(); }

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = surface_.fromDevice(event->position());
  control_.onMouseMove(buttonBits(event->buttons()), shiftBits(event->modifiers()), static_cast<float>(at.x()),
                       static_cast<float>(at.y()));
}

bool PictureBox::Placement::toPixels(float twips, double dpi, int& pixels) const {
  const double value = std::round(static_cast<double>(twips) * dpi / kTwipsPerInch);
  if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<int>::max() / 4) return false;
  pixels = static_cast<int>(value);
  return true;
}

// The client area's twips are those of the parent widget's device.
Status PictureBox::Placement::setLeft(float left) {
  int x = 0;
  if (!toPixels(left, widget_.logicalDpiX(), x)) return status::invalidCall;
  widget_.move(x, widget_.y());
  return status::ok;
}

Status PictureBox::Placement::setTop(float top) {
  int y = 0;
  if (!toPixels(top, widget_.logicalDpiY(), y)) return status::invalidCall;
  widget_.move(widget_.x(), y);
  return status::ok;
}

Status PictureBox::Placement::setWidth(float width) {
  int w = 0;
  if (!toPixels(width, widget_.logicalDpiX(), w)) return status::invalidCall;
  widget_.resize(std::max(w, 0), widget_.height());
  followWidget();
  return status::ok;
}

Status PictureBox::Placement::setHeight(float height) {
  int h = 0;
  if (!toPixels(height, widget_.logicalDpiY(), h)) return status::invalidCall;
  widget_.resize(widget_.width(), std::max(h, 0));
  followWidget();
  return status::ok;
}

}  // namespace trazo::qt
