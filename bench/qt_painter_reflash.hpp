// One Reflash of a control through the Qt surface: QPainter, antialiased or not, fed by the
// device geometry into a QImage, as the Qt shell drew before the raster back end.
#pragma once

#include "control/trazo.hpp"
#include "device/device_surface.hpp"
#include "shells/qt/painter_engine.hpp"

#include <QImage>
#include <QPainter>
#include <QRectF>

#include <benchmark/benchmark.h>

namespace trazo::bench {

// `vector` is set up for the image's size, with `engine` as its engine.
inline void painterReflash(Trazo& control, DeviceSurface& vector, qt::PainterEngine& engine, QImage& image,
                           bool antialias) {
  QPainter painter(&image);
  engine.begin(painter, QRectF(0, 0, image.width(), image.height()), antialias);
  control.attachPicture(vector);
  benchmark::DoNotOptimize(control.Reflash());
  engine.end();
}

}  // namespace trazo::bench
