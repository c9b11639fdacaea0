// Writing the control's picture to files and streams: PNG from the raster back end, crisp or
// antialiased, SVG from the SVG writer as it is painted (every entity a group with its
// kind and tag), PDF through QPainter. A file appears whole or not at all.
#pragma once

#include "control/trazo.hpp"
#include "shells/png/png_codec.hpp"
#include "shells/qt/picture_options.hpp"
#include "shells/qt/picture_painting.hpp"  // the same pictures as images or on any paint device

#include <QSize>
#include <QString>

#include <optional>

class QIODevice;

namespace trazo::qt {

enum class PictureFormat { png, svg, pdf };

// By the file's extension, without regard to case; nothing for any other.
std::optional<PictureFormat> pictureFormatFor(const QString& path);
// By its name, "png", "svg" or "pdf", without regard to case; nothing for any other.
std::optional<PictureFormat> pictureFormatNamed(const QString& name);

struct WriteResult {
  bool written = false;
  QString error;                    // why the picture was not written
  Status paintStatus = status::ok;  // what Reflash returned; the picture is written all the same
};

// Writes the picture as `format` to `sink`; `title` names an SVG drawing. A PDF's page is
// `size` at 96 dots to the inch unless the options name a paper, whose orientation `size`
// then decides.
[[nodiscard]] WriteResult writePicture(Trazo& control, PictureFormat format, QSize size, const PictureOptions& options,
                                       const png::ByteSink& sink, const QString& title = {});
// Writes the picture in `format` to `out`, a device open for writing: standard output, a
// buffer, a socket.
[[nodiscard]] WriteResult writePicture(Trazo& control, QIODevice& out, PictureFormat format, QSize size,
                                       const PictureOptions& options, const QString& title = {});
// Writes the picture to the file `path`, as `format` or else as its extension says. The file
// appears, or replaces an old one, only once it is complete.
[[nodiscard]] WriteResult writePicture(Trazo& control, const QString& path, QSize size, const PictureOptions& options,
                                       std::optional<PictureFormat> format = std::nullopt);

}  // namespace trazo::qt
