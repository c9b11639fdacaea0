// A text entity's characters placed on the picture, for hosts that ask to see them: the
// control itself draws only the outline of the text box. The characters stand on the box's
// baseline from the insertion point, rotated with it, the font's height the entity's TH and
// their run as wide as the box, so that they fill the box the control draws around them.
#pragma once

#include "base/colour.hpp"
#include "device/device_surface.hpp"
#include "model/entity.hpp"

#include <string_view>

namespace trazo {

// Texts smaller than this many device pixels are not drawn: no glyph shows at that size.
inline constexpr double kSmallestTextPixels = 1;

// In device pixels, Y down.
struct DeviceText {
  double x = 0, y = 0;          // the insertion point
  double baseX = 0, baseY = 0;  // from there to the end of the baseline: the box's width
  double upX = 0, upY = 0;      // from there to the top of the box: the text's height
  Rgb colour;
  std::u16string_view text;  // the entity's own, valid while the entity is
  double width() const;
  double height() const;
  // Whether the box, or the characters below its baseline, may reach into `area`.
  bool reaches(const DeviceRect& area) const;
};

// Where the characters of text entity `text` go on `p1` in its current coordinate system,
// in `colour` as the host maps it. False when there is nothing to draw: no characters, a
// box of no width or a height below kSmallestTextPixels, a box that misses the picture, or
// one that cannot be computed.
bool placeText(const DeviceSurface& p1, const Entity& text, Rgb colour, DeviceText& out);

}  // namespace trazo
