#include "shells/qt/paint_sequence.hpp"

#include "shells/qt/entity_texts.hpp"
#include "shells/qt/painting_observed.hpp"

#include <QRectF>

#include <optional>

namespace trazo::qt {

Status paintWith(Trazo& control, DeviceSurface& picture, DeviceEngine& engine, PaintObserver* observer) {
  Surface& previousPicture = control.picture();
  DeviceEngine* const previousEngine = picture.engine();
  control.attachPicture(picture);
  picture.setEngine(&engine);
  Status s = status::ok;
  {
    std::optional<PaintingObserved> observed;
    if (observer != nullptr) observed.emplace(control, *observer);
    try {
      s = control.onPaint();
    } catch (...) {
      s = status::unexpected;
    }
  }
  picture.setEngine(previousEngine);
  control.attachPicture(previousPicture);
  return s;
}

Status paintWithRaster(Trazo& control, DeviceSurface& picture, RasterEngine& raster, const PictureOptions& options,
                       RasterWalkSplit* split) {
  EntityTexts texts(control.store(), picture);
  if (split != nullptr && !options.texts) {
    split->use(picture, raster);
    control.shareWalk(split);
  }
  const Status s = paintWith(control, picture, raster, options.texts ? &texts : nullptr);
  control.shareWalk(nullptr);
  texts.drawOver(raster.picture(), raster.window());
  return s;
}

Status paintWithPainter(Trazo& control, DeviceSurface& picture, PainterEngine& engine, QPainter& painter,
                        const PictureOptions& options) {
  engine.begin(painter, QRectF(0, 0, picture.widthPixels(), picture.heightPixels()), options.antialias);
  EntityTexts texts(control.store(), picture, &engine);
  const Status s = paintWith(control, picture, engine, options.texts ? &texts : nullptr);
  engine.end();
  return s;
}

}  // namespace trazo::qt
