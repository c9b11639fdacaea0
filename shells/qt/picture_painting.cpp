#include "shells/qt/picture_painting.hpp"

#include "device/device_surface.hpp"
#include "shells/qt/paint_sequence.hpp"
#include "shells/qt/painter_engine.hpp"
#include "shells/qt/picture_look.hpp"

#include <QPainter>

namespace trazo::qt {
namespace {

constexpr double kMetresPerInch = 0.0254;

}  // namespace

bool renderRaster(Trazo& control, QSize size, const PictureOptions& options, RasterSurface& p1, Status& paintStatus) {
  const bool whole = options.window.width <= 0 || options.window.height <= 0;
  if (whole ? !p1.setPixelSize(size.width(), size.height(), kScreenDpi, kScreenDpi)
            : !p1.setPixelWindow(size.width(), size.height(), options.window, kScreenDpi, kScreenDpi)) {
    return false;
  }
  applyPictureOptions(p1, options, p1.dpiX());
  p1.raster().setThreads(options.threads);
  p1.setAntialias(options.antialias);
  RasterWalkSplit split;
  paintStatus = paintWithRaster(control, p1, p1.raster(), options, &split);
  return true;
}

Status paintPicture(Trazo& control, QPaintDevice& device, const PictureOptions& options) {
  DeviceSurface picture;
  picture.setDevice(device.width(), device.height(), device.logicalDpiX(), device.logicalDpiY());
  applyPictureOptions(picture, options, picture.dpiX());
  QPainter painter;
  if (!painter.begin(&device)) return status::unexpected;
  PainterEngine engine;
  const Status s = paintWithPainter(control, picture, engine, painter, options);
  painter.end();
  return s;
}

// Through the raster, aliased or antialiased, at 96 dots to the inch.
QImage renderImage(Trazo& control, QSize size, const PictureOptions& options, Status* paintStatus) {
  Status s = status::ok;
  QImage image;
  const int dotsPerMetre = static_cast<int>(kScreenDpi / kMetresPerInch + 0.5);
  RasterSurface p1;
  if (renderRaster(control, size, options, p1, s)) {
    const PixelBuffer& pixels = p1.picture();
    image = QImage(reinterpret_cast<const uchar*>(pixels.data()), pixels.width(), pixels.height(),
                   static_cast<qsizetype>(pixels.width()) * 4, QImage::Format_RGB32)
                .copy();
  } else {
    s = status::outOfMemory;
  }
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  if (paintStatus != nullptr) *paintStatus = s;
  return image;
}

}  // namespace trazo::qt
