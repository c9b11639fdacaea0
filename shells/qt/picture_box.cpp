#include "shells/qt/picture_box.hpp"

#include <QImage>
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

Rgb rgbOf(const QColor& c) {
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
          static_cast<std::uint8_t>(c.blue())};
}

}  // namespace

PictureBox::PictureBox(Trazo& control, const PictureOptions& options, QWidget* parent)
    : QWidget(parent), control_(control), surface_(*this) {
  setMouseTracking(true);                 // MouseMove is raised whether or not a button is held
  setAttribute(Qt::WA_OpaquePaintEvent);  // Reflash clears the whole picture itself
  setOptions(options);
  surface_.followWidget();
}

void PictureBox::setOptions(const PictureOptions& options) {
  options_ = options;
  surface_.setBackground(rgbOf(options.background));
  raster_.setThreads(options.threads);
}

// The device is the widget's pixels on the screen: a device pixel ratio of 2 gives twice as
// many pixels each way, and twips keep their size.
void PictureBox::Placement::followWidget() {
  const double ratio = widget_.devicePixelRatioF();
  setDevice(std::round(widget_.width() * ratio), std::round(widget_.height() * ratio), widget_.logicalDpiX() * ratio,
            widget_.logicalDpiY() * ratio);
}

Status PictureBox::Placement::cls() {
  if (engine() == nullptr) {
    widget_.update();
    return status::ok;
  }
  return DeviceSurface::cls();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  surface_.followWidget();
  // Nothing from the control may escape into Qt's event loop.
  try {
    lastPaintStatus_ = options_.antialias ? paintVector(painter) : paintRaster(painter);
  } catch (...) {
    lastPaintStatus_ = status::unexpected;
  }
  surface_.setEngine(nullptr);
  ++paintCount_;
}

Status PictureBox::paintRaster(QPainter& painter) {
  const int width = static_cast<int>(surface_.widthPixels());
  const int height = static_cast<int>(surface_.heightPixels());
  if (!raster_.resize(width, height)) return status::outOfMemory;
  surface_.setEngine(&raster_);
  const Status s = control_.onPaint();
  const PixelBuffer& picture = raster_.picture();
  QImage image(reinterpret_cast<const uchar*>(picture.data()), picture.width(), picture.height(),
               static_cast<qsizetype>(picture.width()) * 4, QImage::Format_RGB32);
  image.setDevicePixelRatio(devicePixelRatioF());
  painter.drawImage(QPointF(0, 0), image);
  return s;
}

// In device pixels, as the raster is: the painter's logical pixels scaled down.
Status PictureBox::paintVector(QPainter& painter) {
  const double ratio = devicePixelRatioF();
  painter.scale(1 / ratio, 1 / ratio);
  painterEngine_.begin(painter, QRectF(0, 0, surface_.widthPixels(), surface_.heightPixels()), true);
  surface_.setEngine(&painterEngine_);
  const Status s = control_.onPaint();
  painterEngine_.end();
  return s;
}

void PictureBox::resizeEvent(QResizeEvent*) { surface_.followWidget(); }

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  const double ratio = devicePixelRatioF();
  const DevicePoint at = surface_.fromDevice(event->position().x() * ratio, event->position().y() * ratio);
  control_.onMouseMove(buttonBits(event->buttons()), shiftBits(event->modifiers()), static_cast<float>(at.x),
                       static_cast<float>(at.y));
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
