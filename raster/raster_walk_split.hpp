// The walk of a large raster picture shared between two threads: a second device picture
// and raster engine, set up like the first after the fit, record the later half of the
// entities while the first records the earlier half, and the second engine's lists are then
// appended to the first's. The pixels are those of one walk.
#pragma once

#include "device/device_surface.hpp"
#include "raster/raster_engine.hpp"
#include "render/walk_split.hpp"

#include <cstdint>

namespace trazo {

// From this many entities walked on, a walk is shared when the engine may use more than
// one thread: below it the second picture's set-up and the join cost more than they save.
inline constexpr std::int32_t kSplitWalkFrom = 200000;

class RasterWalkSplit : public WalkSplit {
 public:
  RasterWalkSplit() = default;
  RasterWalkSplit(const RasterWalkSplit&) = delete;
  RasterWalkSplit& operator=(const RasterWalkSplit&) = delete;
  virtual ~RasterWalkSplit() = default;

  // The picture and its engine whose walks are shared; the second engine and its memory are
  // kept from one picture to the next.
  void use(DeviceSurface& first, RasterEngine& raster) {
    first_ = &first;
    raster_ = &raster;
  }
  // From how many entities on a walk is shared (kSplitWalkFrom at first).
  void setSplitFrom(std::int32_t entities) { from_ = entities; }

  Surface* second(const Surface& first, std::int32_t entities) override;
  Status join() override;

 protected:
  // What the second picture draws through: the second engine itself, unless the host puts
  // its own front before it (as it does before the first).
  virtual DeviceEngine& frontOf(RasterEngine& second) { return second; }

 private:
  DeviceSurface* first_ = nullptr;
  RasterEngine* raster_ = nullptr;
  std::int32_t from_ = kSplitWalkFrom;
  DeviceSurface second_;
  RasterEngine secondRaster_;
};

}  // namespace trazo
