// Drawing the control's picture without a window: one Reflash into the raster back end for
// images, crisp or antialiased, or through QPainter for a paint device (a PDF, a printer),
// at 96 dots to the inch so that twips and pen widths read as on a screen.
#pragma once

#include "control/trazo.hpp"
#include "raster/raster_surface.hpp"
#include "shells/qt/picture_options.hpp"

#include <QImage>
#include <QSize>

class QPaintDevice;

namespace trazo::qt {

// Runs the control's Paint action once onto `device` through QPainter, at the device's size
// and resolution; the control's own picture is attached again afterwards. Returns
// Reflash's status.
[[nodiscard]] Status paintPicture(Trazo& control, QPaintDevice& device, const PictureOptions& options);

// The picture as an RGB image of `size` pixels.
[[nodiscard]] QImage renderImage(Trazo& control, QSize size, const PictureOptions& options,
                                 Status* paintStatus = nullptr);

// The raster picture of `size` pixels (or the options' window of it) in `p1`, texts drawn over it when the host shows
// them; false when there is no memory for it.
[[nodiscard]] bool renderRaster(Trazo& control, QSize size, const PictureOptions& options, RasterSurface& p1,
                                Status& paintStatus);

}  // namespace trazo::qt
