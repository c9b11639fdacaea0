#include "shells/qt/trazo_widget.hpp"

#include "picture/initial_placement.hpp"
#include "picture/sized_client_area.hpp"
#include "picture/units.hpp"
#include "render/entity_colour.hpp"
#include "shells/qt/picture_look.hpp"

#include <QApplication>
#include <QMouseEvent>

#include <cmath>
#include <string_view>
#include <vector>

namespace trazo::qt {
namespace {

std::u16string_view utf16Of(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

}  // namespace

class TrazoWidget::SignalSink : public TrazoEvents {
 public:
  explicit SignalSink(TrazoWidget& widget) : widget_(widget) {}
  void MouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override {
    emit widget_.mouseMove(Button, Shift, X, Y);
  }

 private:
  TrazoWidget& widget_;
};

TrazoWidget::TrazoWidget(QWidget* parent, const PictureOptions& options)
    : QWidget(parent), picture_(new PictureBox(control_, options, this)) {
  control_.attachPicture(picture_->surface());
  (void)control_.onInitialize();  // an empty store cannot fail to be made
  control_.placement().attach(picture_, logicalDpiX(), logicalDpiY());
  signalSink_ = std::make_unique<SignalSink>(*this);
  control_.connect(*signalSink_);
  connect(picture_, &PictureBox::pressed, this, &TrazoWidget::pointerPressed);
  connect(picture_, &PictureBox::released, this, &TrazoWidget::pointerReleased);
  connect(picture_, &PictureBox::wheelTurned, this, &TrazoWidget::wheelTurned);
  picture_->installEventFilter(this);
}

TrazoWidget::~TrazoWidget() {
  control_.onTerminate();
  control_.placement().detach();
  control_.detachPicture();
  delete picture_;
}

Status TrazoWidget::addLine(double x1, double y1, double x2, double y2, int col, int lType, const QString& tag) {
  return control_.AddLine(x1, y1, x2, y2, col, lType, utf16Of(tag));
}

Status TrazoWidget::addBox(double x1, double y1, double x2, double y2, int col, int lType, const QString& tag) {
  return control_.AddBox(x1, y1, x2, y2, col, lType, utf16Of(tag));
}

Status TrazoWidget::addCircle(double cx, double cy, double r, int col, int lType, const QString& tag) {
  return control_.AddCircle(cx, cy, r, col, lType, utf16Of(tag));
}

Status TrazoWidget::addCircle2(double cx, double cy, double r, double sa, double ea, int col, int lType,
                               const QString& tag) {
  return control_.AddCircle2(cx, cy, r, sa, ea, col, lType, utf16Of(tag));
}

Status TrazoWidget::addText(double tx, double ty, double th, double tang, int col, const QString& cText,
                            const QString& tag) {
  return control_.AddText(tx, ty, th, tang, col, utf16Of(cText), utf16Of(tag));
}

Status TrazoWidget::clear() { return control_.Clear(); }

int TrazoWidget::count() const {
  std::int32_t n = 0;
  (void)control_.Count(n);
  return n;
}

QColor TrazoWidget::colourOf(int col) const {
  const Rgb c = colourMapFor(picture_->options().palette)(EntityColor(col));
  return QColor(c.red, c.green, c.blue);
}

QPointF TrazoWidget::mapToDrawing(QPointF widgetPoint) const {
  return picture_->mapToDrawing(picture_->mapFrom(this, widgetPoint));
}

QPointF TrazoWidget::mapFromDrawing(QPointF drawingPoint) const {
  return picture_->mapTo(this, picture_->mapFromDrawing(drawingPoint));
}

QPointF TrazoWidget::devicePixelOf(QPointF widgetPoint) const {
  return picture_->mapFrom(this, widgetPoint) * picture_->devicePixelRatioF();
}

int TrazoWidget::pickAtDevice(QPointF device, double tolerance) {
  return picture_->picker().entityAt(control_.store(), device.x(), device.y(),
                                     tolerance * picture_->devicePixelRatioF());
}

int TrazoWidget::entityAt(QPointF widgetPoint, double tolerance) {
  return pickAtDevice(devicePixelOf(widgetPoint), tolerance);
}

int TrazoWidget::entityAtDrawing(QPointF drawingPoint, double tolerance) {
  const DevicePoint at = picture_->picker().picture().toDevice(drawingPoint.x(), drawingPoint.y());
  return pickAtDevice({at.x, at.y}, tolerance);
}

namespace {

QList<int> selected(Picker& picker, const Store& store, QPointF corner, QPointF opposite, BoxSelection mode) {
  std::vector<std::int32_t> found;
  const PickRect rect{corner.x(), corner.y(), opposite.x() - corner.x(), opposite.y() - corner.y()};
  if (failed(picker.entitiesIn(store, rect, mode, found))) return {};
  return QList<int>(found.begin(), found.end());
}

}  // namespace

QList<int> TrazoWidget::entitiesIn(const QRectF& widgetRect, BoxSelection mode) {
  return selected(picture_->picker(), control_.store(), devicePixelOf(widgetRect.topLeft()),
                  devicePixelOf(widgetRect.bottomRight()), mode);
}

// The drawing's Y runs up and the device's down: the corners are swapped by the mapping,
// which a rectangle of negative height takes as it comes.
QList<int> TrazoWidget::entitiesInDrawing(const QRectF& drawingRect, BoxSelection mode) {
  const DeviceSurface& painted = picture_->picker().picture();
  const DevicePoint a = painted.toDevice(drawingRect.left(), drawingRect.top());
  const DevicePoint b = painted.toDevice(drawingRect.right(), drawingRect.bottom());
  return selected(picture_->picker(), control_.store(), {a.x, a.y}, {b.x, b.y}, mode);
}

void TrazoWidget::hover(int index) {
  if (index == hovered_) return;
  hovered_ = index;
  emit entityHovered(index);
}

// P1's pointer events, seen before P1 raises MouseMove and its own signals: the entity under
// the pointer, and clicks.
bool TrazoWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched != picture_) return false;
  switch (event->type()) {
    case QEvent::MouseMove: {
      const auto* move = static_cast<QMouseEvent*>(event);
      hover(pickAtDevice(move->position() * picture_->devicePixelRatioF(), pickTolerance_));
      break;
    }
    case QEvent::Leave: hover(0); break;
    case QEvent::MouseButtonPress: {
      const auto* press = static_cast<QMouseEvent*>(event);
      pressedAt_ = press->position();
      pressedOnScreen_ = press->globalPosition();
      pressedButton_ = press->button();
      pressedModifiers_ = press->modifiers();
      break;
    }
    case QEvent::MouseButtonRelease: {
      const auto* release = static_cast<QMouseEvent*>(event);
      if (release->button() != pressedButton_) break;
      pressedButton_ = Qt::NoButton;
      if ((release->globalPosition() - pressedOnScreen_).manhattanLength() >= QApplication::startDragDistance()) break;
      emit entityClicked(pickAtDevice(pressedAt_ * picture_->devicePixelRatioF(), pickTolerance_), release->button(),
                         pressedModifiers_);
      break;
    }
    default: break;
  }
  return false;
}

void TrazoWidget::reflash() { picture_->update(); }

void TrazoWidget::setPictureOptions(const PictureOptions& options) {
  picture_->setOptions(options);
  picture_->update();
}

QSize TrazoWidget::sizeHint() const {
  return {static_cast<int>(twipsToPixels(kProposedWidthTwips, logicalDpiX())),
          static_cast<int>(twipsToPixels(kProposedHeightTwips, logicalDpiY()))};
}

void TrazoWidget::resizeEvent(QResizeEvent*) {
  // On another screen the client area's pixels may have another size.
  PicturePlacement& placement = control_.placement();
  if (placement.dpiX() != logicalDpiX() || placement.dpiY() != logicalDpiY())
    placement.attach(picture_, logicalDpiX(), logicalDpiY());
  SizedClientArea area(pixelsToTwips(width(), logicalDpiX()), pixelsToTwips(height(), logicalDpiY()));
  control_.onResize(area);
}

}  // namespace trazo::qt
