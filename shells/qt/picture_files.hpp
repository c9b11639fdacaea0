// Drawing the control's picture without a window: one Reflash into the raster back end for
// PNG and images, or through QPainter for SVG, PDF and antialiased pictures, at 96 dots to
// the inch so that twips and pen widths read as on a screen.
#pragma once

#include "control/trazo.hpp"
#include "shells/png/png_codec.hpp"
#include "shells/qt/picture_options.hpp"

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

class QPaintDevice;

namespace trazo::qt {

inline constexpr int kOutputDpi = 96;

enum class PictureFormat { png, svg, pdf };

// By the file's extension, without regard to case; nothing for any other.
std::optional<PictureFormat> pictureFormatFor(const QString& path);
// By name: "png", "svg" or "pdf", without regard to case.
std::optional<PictureFormat> pictureFormatNamed(const QString& name);

// Runs the control's Paint action once onto `device` through QPainter, at the device's size;
// the control's own picture is attached again afterwards. Returns Reflash's status.
Status paintPicture(Trazo& control, QPaintDevice& device, const PictureOptions& options);

// The picture as an RGB image of `size` pixels.
QImage renderImage(Trazo& control, QSize size, const PictureOptions& options, Status* paintStatus = nullptr);

struct WriteResult {
  bool written = false;
  QString error;                    // why the picture was not written
  Status paintStatus = status::ok;  // what Reflash returned; the picture is written all the same
};

// Writes the picture as `format` to `sink`.
WriteResult writePicture(Trazo& control, PictureFormat format, QSize size, const PictureOptions& options,
                         const png::ByteSink& sink);
// Writes the picture to the file `path`, as PNG, SVG or PDF by its extension. The file
// appears, or replaces an old one, only once it is complete.
WriteResult writePicture(Trazo& control, const QString& path, QSize size, const PictureOptions& options);

}  // namespace trazo::qt
