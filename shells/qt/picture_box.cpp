#include "shells/qt/picture_box.hpp"

#include "picking/picker.hpp"
#include "shells/qt/paint_sequence.hpp"
#include "shells/qt/picture_look.hpp"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

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

// P1's drawing surface: the raster picture at the widget's device pixels, of which a paint
// fills the exposed part; outside a paint it draws nothing and Cls asks for a repaint.
class WidgetSurface final : public RasterSurface {
 public:
  explicit WidgetSurface(QWidget& widget) : widget_(widget) { setEngine(nullptr); }

  // The device is the widget's pixels on the screen: a device pixel ratio of 2 gives twice
  // as many pixels each way, and twips keep their size.
  void followWidget() {
    const double ratio = widget_.devicePixelRatioF();
    setDevice(std::round(widget_.width() * ratio), std::round(widget_.height() * ratio), widget_.logicalDpiX() * ratio,
              widget_.logicalDpiY() * ratio);
  }

  Status cls() override {
    if (engine() == nullptr) {
      widget_.update();
      return status::ok;
    }
    return RasterSurface::cls();
  }

 private:
  QWidget& widget_;
};

// The exposed part of the widget in whole device pixels, within the picture.
PixelWindow deviceWindow(const QRect& exposed, double ratio, const DeviceSurface& p1) {
  const int left = std::max(0, static_cast<int>(std::floor(exposed.left() * ratio)));
  const int top = std::max(0, static_cast<int>(std::floor(exposed.top() * ratio)));
  const int right =
      std::min(static_cast<int>(p1.widthPixels()), static_cast<int>(std::ceil((exposed.right() + 1) * ratio)));
  const int bottom =
      std::min(static_cast<int>(p1.heightPixels()), static_cast<int>(std::ceil((exposed.bottom() + 1) * ratio)));
  return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

}  // namespace

struct PictureBox::Painting {
  explicit Painting(QWidget& widget) : surface(widget) {}
  WidgetSurface surface;
  Picker picker;
};

PictureBox::PictureBox(Trazo& control, const PictureOptions& options, QWidget* parent)
    : QWidget(parent), control_(control), painting_(std::make_unique<Painting>(*this)) {
  setMouseTracking(true);                 // MouseMove is raised whether or not a button is held
  setAttribute(Qt::WA_OpaquePaintEvent);  // Reflash clears the whole picture itself
  setOptions(options);
  painting_->surface.followWidget();
}

PictureBox::~PictureBox() = default;

RasterSurface& PictureBox::surface() { return painting_->surface; }
const RasterSurface& PictureBox::surface() const { return painting_->surface; }
Picker& PictureBox::picker() { return painting_->picker; }

// The control's pixels are those of the client area, the parent's logical pixels.
void PictureBox::picturePlaced(const PixelPlacement& pixels) {
  setGeometry(pixels.left, pixels.top, pixels.width, pixels.height);
  painting_->surface.followWidget();
}

void PictureBox::setOptions(const PictureOptions& options) {
  options_ = options;
  painting_->surface.raster().setThreads(options.threads);
  painting_->surface.setAntialias(options.antialias);
  applyPictureOptions(painting_->surface, options_, kScreenDpi * devicePixelRatioF());
}

QPointF PictureBox::mapToDrawing(QPointF widgetPoint) const {
  const double ratio = devicePixelRatioF();
  const DevicePoint at = painting_->surface.fromDevice(widgetPoint.x() * ratio, widgetPoint.y() * ratio);
  return {at.x, at.y};
}

QPointF PictureBox::mapFromDrawing(QPointF drawingPoint) const {
  const double ratio = devicePixelRatioF();
  const DevicePoint at = painting_->surface.toDevice(drawingPoint.x(), drawingPoint.y());
  return {at.x / ratio, at.y / ratio};
}

void PictureBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  WidgetSurface& p1 = painting_->surface;
  p1.followWidget();
  applyPictureOptions(p1, options_, kScreenDpi * devicePixelRatioF());  // the pen follows the device
  // Nothing from the control may escape into Qt's event loop.
  try {
    lastPaintStatus_ = paintRaster(painter, event->rect());
  } catch (...) {
    lastPaintStatus_ = status::unexpected;
  }
  p1.setEngine(nullptr);
  painting_->picker.painted(control_.store(), p1);
  ++paintCount_;
}

Status PictureBox::paintRaster(QPainter& painter, const QRect& exposed) {
  const double ratio = devicePixelRatioF();
  const PixelWindow window = deviceWindow(exposed, ratio, painting_->surface);
  lastPaintedArea_ = QRect(window.left, window.top, window.width, window.height);
  WidgetSurface& p1 = painting_->surface;
  if (!p1.setPixelWindow(static_cast<int>(p1.widthPixels()), static_cast<int>(p1.heightPixels()), window, p1.dpiX(),
                         p1.dpiY()))
    return status::outOfMemory;
  const Status s = paintWithRaster(control_, p1, p1.raster(), options_);
  const PixelBuffer& picture = p1.picture();
  QImage image(reinterpret_cast<const uchar*>(picture.data()), picture.width(), picture.height(),
               static_cast<qsizetype>(picture.width()) * 4, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  painter.drawImage(QPointF(window.left / ratio, window.top / ratio), image);
  return s;
}

void PictureBox::resizeEvent(QResizeEvent*) { painting_->surface.followWidget(); }

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = mapToDrawing(event->position());
  control_.onMouseMove(buttonBits(event->buttons()), shiftBits(event->modifiers()), static_cast<float>(at.x()),
                       static_cast<float>(at.y()));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  emit pressed(mapToDrawing(event->position()), event->button(), event->modifiers());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  emit released(mapToDrawing(event->position()), event->button(), event->modifiers());
}

// The wheel goes on to the parents as well: a scrolling view around the control still
// scrolls.
void PictureBox::wheelEvent(QWheelEvent* event) {
  emit wheelTurned(mapToDrawing(event->position()), event->angleDelta(), event->modifiers());
  event->ignore();
}

}  // namespace trazo::qt
