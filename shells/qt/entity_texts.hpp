// The characters of text entities, for hosts that show them (PictureOptions::texts): told
// which entity the control paints next, this draws each text on a vector picture at once,
// so that what is painted later covers it as on the control's own picture, and keeps those
// of a raster picture to draw over its pixels once they are drawn.
#pragma once

#include "model/store.hpp"
#include "render/paint_observer.hpp"
#include "device/device_surface.hpp"
#include "raster/raster_engine.hpp"
#include "shells/qt/painter_engine.hpp"

#include <cstdint>
#include <vector>

namespace trazo::qt {

class EntityTexts final : public PaintObserver {
 public:
  // Texts of the drawing in `store` placed on `picture`; drawn with `vector` when there is one.
  EntityTexts(const Store& store, const DeviceSurface& picture, PainterEngine* vector = nullptr)
      : store_(store), picture_(picture), vector_(vector) {}

  void paintingEntity(std::int32_t index, const Entity& entity) override;
  // The texts kept while a raster picture was painted, drawn over `pixels`, which hold
  // `window` of the picture.
  void drawOver(PixelBuffer& pixels, const PixelWindow& window) const;

 private:
  const Store& store_;
  const DeviceSurface& picture_;
  PainterEngine* vector_;
  std::vector<std::int32_t> kept_;  // the numbers of the text entities painted
};

}  // namespace trazo::qt
