#include "raster/raster_walk_split.hpp"

namespace trazo {

Surface* RasterWalkSplit::second(const Surface& first, std::int32_t entities) {
  if (first_ == nullptr || &first != first_ || entities < from_) return nullptr;
  const int threads = raster_->threads() == 0 ? standardBandRunner().parallelism() : raster_->threads();
  if (threads < 2 || !secondRaster_.recordLike(*raster_)) return nullptr;
  second_ = *first_;
  second_.setEngine(&frontOf(secondRaster_));
  return &second_;
}

Status RasterWalkSplit::join() { return raster_->append(secondRaster_); }

}  // namespace trazo
