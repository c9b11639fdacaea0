#include "shells/qt/picture_look.hpp"

#include "render/entity_colour.hpp"

namespace trazo::qt {
namespace {

// The six colour indexes, and the light half of the 16-colour palette.
constexpr std::int32_t kFirstColour = 1, kLastColour = 6;
constexpr std::int32_t kFirstLight = 8, kPaletteSize = 16;

}  // namespace

// Each light colour's dark counterpart sits eight places earlier in the palette.
ColourMap colourMapFor(Palette palette) {
  ColourMap map;
  if (palette != Palette::light) return map;
  for (std::int32_t col = kFirstColour; col <= kLastColour; ++col) {
    const Rgb light = EntityColor(col);
    for (std::int32_t n = kFirstLight; n < kPaletteSize; ++n) {
      if (QBColor(n) == light) (void)map.set(light, QBColor(n - kFirstLight));
    }
  }
  return map;
}

void applyPictureOptions(DeviceSurface& p1, const PictureOptions& options, double patternDpi) {
  p1.setBackground(rgbOf(options.background));
  p1.setColourMap(colourMapFor(options.palette));
  p1.setPen(penFor(options.lineWidth.pixels(p1.dpiX()), patternDpi));
}

Rgb rgbOf(const QColor& c) {
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
          static_cast<std::uint8_t>(c.blue())};
}

}  // namespace trazo::qt
