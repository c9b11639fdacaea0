// Puts a host's picture options on a device surface: the background Cls paints, the
// palette's colours and the pen for the device's resolution.
#pragma once

#include "device/colour_map.hpp"
#include "device/device_surface.hpp"
#include "shells/qt/picture_options.hpp"

namespace trazo::qt {

ColourMap colourMapFor(Palette palette);

// For `p1` as its device now is: its resolution turns millimetres into device pixels, and
// dash patterns grow with `patternDpi` / 96 or with the pen, whichever is more. A file's
// patterns follow its resolution; a screen's its device pixel ratio alone (96 times the
// ratio), as its logical pixels are what the patterns are counted in.
void applyPictureOptions(DeviceSurface& p1, const PictureOptions& options, double patternDpi);

Rgb rgbOf(const QColor& colour);

}  // namespace trazo::qt
