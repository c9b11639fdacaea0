#include "device/device_text.hpp"

#include "model/text_box.hpp"

#include <algorithm>
#include <cmath>

namespace trazo {

double DeviceText::width() const { return std::hypot(baseX, baseY); }
double DeviceText::height() const { return std::hypot(upX, upY); }

bool placeText(const DeviceSurface& p1, const Entity& text, Rgb colour, DeviceText& out) {
  if (text.Kind != kKindText || text.Text.empty()) return false;
  TextBox box;
  if (!computeTextBox(text.Value1, text.Value2, text.Value3, text.Value4, text.Text, box)) return false;
  // The corners as the painter hands them to the picture: in single precision.
  const auto at = [&](double x, double y) { return p1.toDevice(static_cast<float>(x), static_cast<float>(y)); };
  const DevicePoint origin = at(box.X4, box.Y4);
  const DevicePoint end = at(box.X1, box.Y1);
  const DevicePoint top = at(box.X3, box.Y3);
  out = {origin.x,         origin.y,         end.x - origin.x,     end.y - origin.y,
         top.x - origin.x, top.y - origin.y, p1.mapColour(colour), text.Text};
  const double width = out.width(), height = out.height();
  if (!std::isfinite(width) || !std::isfinite(height) || !std::isfinite(out.x) || !std::isfinite(out.y)) return false;
  if (width <= 0 || height < kSmallestTextPixels) return false;
  return out.reaches({0, 0, p1.widthPixels(), p1.heightPixels()});
}

// The box, widened by half its height all round for what reaches below the baseline.
bool DeviceText::reaches(const DeviceRect& area) const {
  const double reach = height() / 2;
  const double xs[] = {x, x + baseX, x + upX, x + baseX + upX};
  const double ys[] = {y, y + baseY, y + upY, y + baseY + upY};
  const double left = *std::min_element(std::begin(xs), std::end(xs)) - reach;
  const double right = *std::max_element(std::begin(xs), std::end(xs)) + reach;
  const double top = *std::min_element(std::begin(ys), std::end(ys)) - reach;
  const double bottom = *std::max_element(std::begin(ys), std::end(ys)) + reach;
  return right >= area.left && left <= area.right && bottom >= area.top && top <= area.bottom;
}

}  // namespace trazo
