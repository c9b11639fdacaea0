#include "shells/qt/picture_look.hpp"

namespace trazo::qt {

ColourMap colourMapFor(Palette palette) { return palette == Palette::light ? darkOnLight() : ColourMap{}; }

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
