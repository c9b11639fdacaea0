#include "shells/web/web_control.hpp"

#include "picture/sized_client_area.hpp"
#include "picture/units.hpp"

namespace trazo::web {

WebControl::WebControl(MouseMoveHandler onMouseMove) : sink_(std::move(onMouseMove)) {
  control_.attachPicture(picture_);
  control_.placement().attach(&picture_, kScreenDpi, kScreenDpi);
  cookie_ = control_.connect(sink_);
}

WebControl::~WebControl() {
  control_.disconnect(cookie_);
  control_.placement().detach();
  control_.detachPicture();
}

Status WebControl::initialize() { return control_.onInitialize(); }

void WebControl::resize(double width, double height) {
  SizedClientArea box(pixelsToTwips(width, kScreenDpi), pixelsToTwips(height, kScreenDpi));
  control_.onResize(box);
}

Status WebControl::paint(double ratio) {
  if (!picture_.followPlacement(ratio)) return status::outOfMemory;
  const Status s = control_.onPaint();
  (void)picture_.picture();  // the raster draws its bands here, as part of the paint
  painted();
  return s;
}

void WebControl::painted() { picker_.painted(control_.store(), picture_); }

// The client area's CSS pixels to P1's device pixels: from P1's corner, at the ratio it was
// last painted at.
std::int32_t WebControl::entityAt(double x, double y, double tolerance) {
  const PixelPlacement& p = picture_.placement();
  const double ratio = picture_.ratio();
  return picker_.entityAt(control_.store(), (x - p.left) * ratio, (y - p.top) * ratio, tolerance * ratio);
}

Status WebControl::entitiesIn(double x, double y, double width, double height, BoxSelection mode,
                              std::vector<std::int32_t>& found) {
  const PixelPlacement& p = picture_.placement();
  const double ratio = picture_.ratio();
  return picker_.entitiesIn(control_.store(),
                            {(x - p.left) * ratio, (y - p.top) * ratio, width * ratio, height * ratio}, mode, found);
}

// Device pixels of the last paint, so that the position is read in the coordinate system
// that picture was drawn in.
void WebControl::pointerMoved(std::int16_t button, std::int16_t shift, double x, double y) {
  const DevicePoint at = picture_.fromDevice(x * picture_.ratio(), y * picture_.ratio());
  control_.onMouseMove(button, shift, static_cast<float>(at.x), static_cast<float>(at.y));
}

void WebControl::terminate() { control_.onTerminate(); }

}  // namespace trazo::web
