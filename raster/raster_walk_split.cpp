#include "raster/raster_walk_split.hpp"

namespace trazo {

Surface* RasterWalkSplit::second(const Surface& first, std::int32_t entities) {
  if (first_ == nullptr || &first != first_ || entities < from_) return nullptr;
  const int threads = raster_->threads() == 0 ? standardBandRunner().parallelism() : raster_->threads();
  // Commands are about as many as entities, a box's four more: room for twice as many keeps
  // either list from moving while it grows, and costs nothing until it is written. The
  // second list is joined to the first without being copied (raster_engine.hpp). The second
  // engine holds all it records: a walk whose commands the first would not hold is not
  // shared.
  const auto room = static_cast<std::size_t>(entities) + 2;
  if (threads < 2 || room > raster_->commandsHeld() || !secondRaster_.recordLike(*raster_)) return nullptr;
  raster_->expect(room);
  secondRaster_.expect(room);
  second_ = *first_;
  second_.setEngine(&frontOf(secondRaster_));
  return &second_;
}

// The first picture then stands as the walk's last entity left it, as after one walk: a
// painter that failed keeps its dash style, which later texts draw in.
Status RasterWalkSplit::join() {
  DeviceEngine* const engine = first_->engine();
  *first_ = second_;
  first_->setEngine(engine);
  return raster_->append(secondRaster_);
}

}  // namespace trazo
