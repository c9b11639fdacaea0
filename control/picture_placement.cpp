#include "control/picture_placement.hpp"

#include <algorithm>
#include <cmath>

namespace trazo {
namespace {

// A finite number of twips whose whole pixels lie within the largest placement.
bool placeable(double twips, double dpi) {
  const double rounded = std::round(twipsToPixels(twips, dpi));
  return std::isfinite(rounded) && std::fabs(rounded) <= kLargestPlacementPixels;
}

// A placement accepted at one resolution, kept within the limit at another.
std::int32_t clampedPixels(double twips, double dpi) {
  const double rounded = std::round(twipsToPixels(twips, dpi));
  return static_cast<std::int32_t>(std::clamp<double>(rounded, -kLargestPlacementPixels, kLargestPlacementPixels));
}

bool usableDpi(double dpi) { return std::isfinite(dpi) && dpi > 0; }

}  // namespace

PixelPlacement PicturePlacement::pixels() const {
  return {clampedPixels(twips_.left, dpiX_), clampedPixels(twips_.top, dpiY_), clampedPixels(twips_.width, dpiX_),
          clampedPixels(twips_.height, dpiY_)};
}

void PicturePlacement::attach(PlacementListener* listener, double dpiX, double dpiY) {
  if (usableDpi(dpiX)) dpiX_ = dpiX;
  if (usableDpi(dpiY)) dpiY_ = dpiY;
  listener_ = listener;
  announce();
}

Status PicturePlacement::place(float& field, float twips, bool isSize, double dpi) {
  if (!placeable(twips, dpi) || (isSize && twips < 0)) return status::invalidCall;
  field = twips;
  announce();
  return status::ok;
}

void PicturePlacement::announce() {
  if (listener_ != nullptr) listener_->picturePlaced(pixels());
}

}  // namespace trazo
