// Puts a host's picture options on a device surface: the background Cls paints, the
// palette's colours and the pen for the device's resolution.
#pragma once

#include "device/colour_map.hpp"
#include "device/device_surface.hpp"
#include "shells/qt/picture_options.hpp"

namespace trazo::qt {

ColourMap colourMapFor(Palette palette);

// For `p1` as its device now is (its resolution decides the pen).
void applyPictureOptions(DeviceSurface& p1, const PictureOptions& options);

Rgb rgbOf(const QColor& colour);

}  // namespace trazo::qt
