// One Paint action of the control onto a device picture, as every Qt picture runs it: the
// picture attached to the control for the while, the back end set on it, the texts of text
// entities drawn when the host shows them, the observer told of each entity, and afterwards
// the control's own picture and the picture's own back end given back. No exception from
// the control gets out.
#pragma once

#include "control/trazo.hpp"
#include "device/device_surface.hpp"
#include "raster/raster_engine.hpp"
#include "raster/raster_walk_split.hpp"
#include "shells/qt/painter_engine.hpp"
#include "shells/qt/picture_options.hpp"

class QPainter;

namespace trazo::qt {

// Through the raster back end, into the pixels of its window; the texts are drawn over
// those pixels once the control has painted. With `split`, a large drawing's walk is shared
// between two threads when no texts are shown. Returns Reflash's status.
[[nodiscard]] Status paintWithRaster(Trazo& control, DeviceSurface& picture, RasterEngine& raster,
                                     const PictureOptions& options, RasterWalkSplit* split = nullptr);
// Through QPainter across the whole picture, each text drawn as its entity is painted.
// Returns Reflash's status.
[[nodiscard]] Status paintWithPainter(Trazo& control, DeviceSurface& picture, PainterEngine& engine, QPainter& painter,
                                      const PictureOptions& options);
// Through any other back end, `observer` told of each entity it paints.
[[nodiscard]] Status paintWith(Trazo& control, DeviceSurface& picture, DeviceEngine& engine,
                               PaintObserver* observer = nullptr);

}  // namespace trazo::qt
