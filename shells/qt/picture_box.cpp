#include "shells/qt/picture_box.hpp"

#include "picking/picker.hpp"
#include "shells/qt/background_frame.hpp"
#include "shells/qt/paint_sequence.hpp"
#include "shells/qt/picture_look.hpp"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>
#include <optional>

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
  Painting(QWidget& widget, Trazo& control) : surface(widget), picker(std::make_unique<Picker>()), aside(control) {}
  WidgetSurface surface;
  std::unique_ptr<Picker> picker;
  BackgroundFrame aside;
  RasterWalkSplit split;                   // its second engine kept from one frame to the next
  std::optional<FinishedFrame> lastAside;  // the last frame drawn aside
  bool lastAsideShown = false;             // whether P1 has taken it as its own
};

PictureBox::PictureBox(Trazo& control, const PictureOptions& options, QWidget* parent)
    : QWidget(parent), control_(control), painting_(std::make_unique<Painting>(*this, control)) {
  setMouseTracking(true);                 // MouseMove is raised whether or not a button is held
  setAttribute(Qt::WA_OpaquePaintEvent);  // Reflash clears the whole picture itself
  setOptions(options);
  painting_->surface.followWidget();
  connect(&painting_->aside, &BackgroundFrame::finished, this, &PictureBox::frameFinished);
  control_.listenForStoreWrites(this);
}

PictureBox::~PictureBox() {
  control_.listenForStoreWrites(nullptr);
  painting_->aside.cancel();
}

void PictureBox::storeWriting() {
  ++drawing_;
  asideFailed_ = false;
  if (!painting_->aside.busy()) return;
  painting_->aside.cancel();
  update();  // the frame that was wanted is still wanted, of the drawing as it will be
}

bool PictureBox::drawingAside() const { return painting_->aside.busy(); }

RasterSurface& PictureBox::surface() { return painting_->surface; }
const RasterSurface& PictureBox::surface() const { return painting_->surface; }
Picker& PictureBox::picker() { return *painting_->picker; }

// The control's pixels are those of the client area, the parent's logical pixels.
void PictureBox::picturePlaced(const PixelPlacement& pixels) {
  setGeometry(pixels.left, pixels.top, pixels.width, pixels.height);
  painting_->surface.followWidget();
}

void PictureBox::setOptions(const PictureOptions& options) {
  ++drawing_;
  asideFailed_ = false;
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
  if (drawsAside()) {
    paintAside(painter, event->rect());
    return;
  }
  // Only one thread reads the store at a time, and an index for a drawing gone is given back.
  painting_->aside.cancel();
  painting_->aside.dropIndexUnlessFor(control_.store());
  painting_->lastAside.reset();
  // Nothing from the control may escape into Qt's event loop.
  try {
    lastPaintStatus_ = paintRaster(painter, event->rect());
  } catch (...) {
    lastPaintStatus_ = status::unexpected;
  }
  p1.setEngine(nullptr);
  painting_->picker->painted(control_.store(), p1);
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
  const Status s = paintWithRaster(control_, p1, p1.raster(), options_, &painting_->split);
  const PixelBuffer& picture = p1.picture();
  QImage image(reinterpret_cast<const uchar*>(picture.data()), picture.width(), picture.height(),
               static_cast<qsizetype>(picture.width()) * 4, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  painter.drawImage(QPointF(window.left / ratio, window.top / ratio), image);
  return s;
}

std::int64_t PictureBox::lastKeptPixels() const {
  return painting_->lastAside && painting_->lastAsideShown ? painting_->lastAside->keptPixels : 0;
}

// A host that observes the painting hears of every entity on its own thread, as before.
bool PictureBox::drawsAside() const {
  return options_.drawAsideFrom > 0 && control_.store().count() >= options_.drawAsideFrom &&
         control_.paintObserver() == nullptr && !asideFailed_;
}

void PictureBox::paintAside(QPainter& painter, const QRect& exposed) {
  WidgetSurface& p1 = painting_->surface;
  const double ratio = devicePixelRatioF();
  const int width = static_cast<int>(p1.widthPixels()), height = static_cast<int>(p1.heightPixels());
  const PixelWindow shown = deviceWindow(exposed, ratio, p1);
  std::optional<FinishedFrame>& last = painting_->lastAside;
  if (last && last->order.shows(drawing_, p1, width, height, shown)) {
    const PixelWindow& w = last->order.window;
    // The frame for this picture: P1 takes its coordinate system, and picking its picture.
    if (!painting_->lastAsideShown) {
      static_cast<DeviceSurface&>(p1) = last->p1;
      painting_->aside.handOverPicker(painting_->picker);
      lastPaintStatus_ = last->status;
      lastPaintedArea_ = QRect(w.left, w.top, w.width, w.height);
      ++paintCount_;
      painting_->lastAsideShown = true;
    }
    painter.drawImage(QRectF(w.left / ratio, w.top / ratio, w.width / ratio, w.height / ratio), last->image);
    return;
  }
  paintStandIn(painter, exposed);
  // One frame for all of P1 that can be seen serves every later paint of a part of it.
  const QRect visible = visibleRegion().boundingRect();
  const PixelWindow wanted = deviceWindow(visible.isEmpty() ? exposed : visible | exposed, ratio, p1);
  BackgroundFrame& aside = painting_->aside;
  if (aside.busy()) {
    aside.stop();  // it draws what is no longer wanted; the frame wanted starts when it ends
    return;
  }
  FrameOrder order{p1, width, height, wanted, options_, drawing_};
  if (!aside.start(order, last ? &*last : nullptr)) {
    asideFailed_ = true;
    update();
  }
}

void PictureBox::paintStandIn(QPainter& painter, const QRect& exposed) {
  painter.fillRect(exposed, options_.background);
  const std::optional<FinishedFrame>& last = painting_->lastAside;
  if (!last || last->order.width <= 0 || last->order.height <= 0) return;
  const WidgetSurface& p1 = painting_->surface;
  const double ratio = devicePixelRatioF();
  const double sx = p1.widthPixels() / last->order.width, sy = p1.heightPixels() / last->order.height;
  // Beyond this a stand-in shows a few pixels blown up to the window: not worth drawing.
  constexpr double kMostStretch = 256;
  if (!(sx * sy > 0) || sx > kMostStretch || sy > kMostStretch) return;
  const PixelWindow& w = last->order.window;
  painter.drawImage(QRectF(w.left * sx / ratio, w.top * sy / ratio, w.width * sx / ratio, w.height * sy / ratio),
                    last->image);
}

// A frame that ended is shown at the next paint if it is still the one wanted; the paint
// orders the one wanted otherwise.
void PictureBox::frameFinished() {
  BackgroundFrame& aside = painting_->aside;
  if (!aside.busy()) return;  // cancelled meanwhile
  const bool stopped = aside.stopAsked();
  std::optional<FinishedFrame> done = aside.take();
  if (done) {
    if (painting_->lastAside) aside.recycle(std::move(painting_->lastAside->image));
    painting_->lastAside = std::move(done);
    painting_->lastAsideShown = false;
  } else if (!stopped) {
    asideFailed_ = true;  // out of memory or threads: the next frames are drawn on this thread
  }
  update();
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
