#include "shells/qt/picture_files.hpp"

#include "device/device_surface.hpp"
#include "raster/raster_surface.hpp"
#include "shells/qt/painter_engine.hpp"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace trazo::qt {
namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr double kPointsPerInch = 72;

Rgb rgbOf(const QColor& c) {
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
          static_cast<std::uint8_t>(c.blue())};
}

// Runs the control's Paint action onto `p1`, then gives the control its own picture back.
Status paintOnto(Trazo& control, Surface& p1) {
  Surface& previous = control.picture();
  control.attachPicture(p1);
  Status s = status::ok;
  try {
    s = control.onPaint();
  } catch (...) {
    s = status::unexpected;
  }
  control.attachPicture(previous);
  return s;
}

// The raster picture at the given size; false when there is no memory for it.
bool renderRaster(Trazo& control, QSize size, const PictureOptions& options, RasterSurface& p1, Status& paintStatus) {
  if (!p1.setPixelSize(size.width(), size.height(), kOutputDpi, kOutputDpi)) return false;
  p1.setBackground(rgbOf(options.background));
  p1.raster().setThreads(options.threads);
  paintStatus = paintOnto(control, p1);
  return true;
}

PixelBuffer pixelsOf(const QImage& image) {
  PixelBuffer pixels;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  if (!pixels.resize(rgb.width(), rgb.height(), {})) return pixels;
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* from = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
    std::copy(from, from + rgb.width(), pixels.row(y));
  }
  return pixels;
}

WriteResult writePng(Trazo& control, QSize size, const PictureOptions& options, const png::ByteSink& sink) {
  WriteResult result;
  std::string error;
  bool encoded = false;
  if (options.antialias) {
    const PixelBuffer pixels = pixelsOf(renderImage(control, size, options, &result.paintStatus));
    encoded = png::encodePng(pixels, kOutputDpi, sink, error);
  } else {
    RasterSurface p1;
    if (!renderRaster(control, size, options, p1, result.paintStatus)) {
      result.error = QStringLiteral("no memory for a picture of that size");
      return result;
    }
    encoded = png::encodePng(p1.picture(), kOutputDpi, sink, error);
  }
  result.written = encoded;
  if (!encoded) result.error = QString::fromStdString(error);
  return result;
}

// SVG and PDF are painted into memory and handed to the sink whole.
WriteResult writeVector(Trazo& control, PictureFormat format, QSize size, const PictureOptions& options,
                        const png::ByteSink& sink, const QString& title) {
  WriteResult result;
  QBuffer bytes;
  bytes.open(QIODevice::WriteOnly);
  if (format == PictureFormat::svg) {
    QSvgGenerator svg;
    svg.setOutputDevice(&bytes);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(kOutputDpi);
    svg.setTitle(title);
    result.paintStatus = paintPicture(control, svg, options);
  } else {
    QPdfWriter pdf(&bytes);
    pdf.setResolution(kOutputDpi);
    const QSizeF points(size.width() * kPointsPerInch / kOutputDpi, size.height() * kPointsPerInch / kOutputDpi);
    pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                  QPageLayout::Portrait, QMarginsF()));
    result.paintStatus = paintPicture(control, pdf, options);
  }
  bytes.close();
  const QByteArray& data = bytes.data();
  if (data.isEmpty()) {
    result.error = QStringLiteral("the picture could not be drawn");
    return result;
  }
  result.written = sink(reinterpret_cast<const unsigned char*>(data.constData()), static_cast<std::size_t>(data.size()));
  if (!result.written) result.error = QStringLiteral("the output refused the data");
  return result;
}

}  // namespace

std::optional<PictureFormat> pictureFormatFor(const QString& path) { return pictureFormatNamed(QFileInfo(path).suffix()); }

std::optional<PictureFormat> pictureFormatNamed(const QString& name) {
  const QString lower = name.toLower();
  if (lower == QLatin1String("png")) return PictureFormat::png;
  if (lower == QLatin1String("svg")) return PictureFormat::svg;
  if (lower == QLatin1String("pdf")) return PictureFormat::pdf;
  return std::nullopt;
}

Status paintPicture(Trazo& control, QPaintDevice& device, const PictureOptions& options) {
  DeviceSurface picture;
  picture.setDevice(device.width(), device.height(), device.logicalDpiX(), device.logicalDpiY());
  picture.setBackground(rgbOf(options.background));
  QPainter painter;
  if (!painter.begin(&device)) return status::unexpected;
  PainterEngine engine;
  engine.begin(painter, QRectF(0, 0, device.width(), device.height()), options.antialias);
  picture.setEngine(&engine);
  const Status s = paintOnto(control, picture);
  engine.end();
  painter.end();
  return s;
}

QImage renderImage(Trazo& control, QSize size, const PictureOptions& options, Status* paintStatus) {
  Status s = status::ok;
  QImage image;
  if (options.antialias) {
    image = QImage(size, QImage::Format_RGB32);
    if (!image.isNull()) {
      image.fill(options.background);
      s = paintPicture(control, image, options);
    } else {
      s = status::outOfMemory;
    }
  } else {
    RasterSurface p1;
    if (renderRaster(control, size, options, p1, s)) {
      const PixelBuffer& pixels = p1.picture();
      image = QImage(reinterpret_cast<const uchar*>(pixels.data()), pixels.width(), pixels.height(),
                     static_cast<qsizetype>(pixels.width()) * 4, QImage::Format_RGB32)
                  .copy();
    } else {
      s = status::outOfMemory;
    }
  }
  const int dotsPerMetre = static_cast<int>(kOutputDpi / kMetresPerInch + 0.5);
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  if (paintStatus != nullptr) *paintStatus = s;
  return image;
}

WriteResult writePicture(Trazo& control, PictureFormat format, QSize size, const PictureOptions& options,
                         const png::ByteSink& sink, const QString& title) {
  return format == PictureFormat::png ? writePng(control, size, options, sink)
                                      : writeVector(control, format, size, options, sink, title);
}

WriteResult writePicture(Trazo& control, QIODevice& out, PictureFormat format, QSize size,
                         const PictureOptions& options, const QString& title) {
  WriteResult result = writePicture(
      control, format, size, options,
      [&](const unsigned char* data, std::size_t n) {
        return out.write(reinterpret_cast<const char*>(data), static_cast<qint64>(n)) == static_cast<qint64>(n);
      },
      title);
  if (!result.written && !out.errorString().isEmpty() && out.errorString() != QLatin1String("Unknown error"))
    result.error = out.errorString();
  return result;
}

WriteResult writePicture(Trazo& control, const QString& path, QSize size, const PictureOptions& options,
                         std::optional<PictureFormat> format) {
  if (!format) format = pictureFormatFor(path);
  if (!format) return {false, QStringLiteral("the file name must end in .png, .svg or .pdf"), status::ok};
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {false, file.errorString(), status::ok};
  WriteResult result = writePicture(control, file, *format, size, options, QFileInfo(path).fileName());
  if (!result.written) {
    file.cancelWriting();
    return result;
  }
  if (!file.commit()) {
    result.written = false;
    result.error = file.errorString();
  }
  return result;
}

}  // namespace trazo::qt
