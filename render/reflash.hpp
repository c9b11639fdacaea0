// Reflash: clear the picture, fit the drawing's extents into it (10 % margin on the fitting
// axis, equal scale, Y up, centred) and paint every entity in order of addition.
#pragma once

#include "base/status.hpp"
#include "picture/surface.hpp"
#include "model/spatial_index.hpp"
#include "model/store.hpp"
#include "render/paint_observer.hpp"
#include "render/walk_split.hpp"

#include <cstdint>
#include <vector>

namespace trazo {

// Spans narrower than this are widened by one unit each way before fitting; the widening
// is stored in the extents.
inline constexpr double kNarrowestSpan = 0.00001;
// Along the fitting axis the view is this many times the drawing's span.
inline constexpr double kViewMargin = 1.2;
// Point size given to the picture's font.
inline constexpr double kFontSize = 9;

// Where the work of a repaint that shows part of the picture is kept between repaints: the
// spatial index and the list of the entities it found.
struct ShownEntities {
  SpatialIndex index;
  std::vector<std::int32_t> found;
};

// `observer`, when there is one, is told of each entity before it is painted. With `shown`,
// a picture that keeps only part of itself (Surface::shownArea) is handed only the
// entities that can reach that part, in order, and keeps the same pixels; without it, or
// when there is no memory for the index, every entity is painted. With `split` and no
// observer, the walk may be shared with the split's second picture (walk_split.hpp).
Status Reflash(Store& store, Surface& p1, PaintObserver* observer = nullptr, ShownEntities* shown = nullptr,
               WalkSplit* split = nullptr);

}  // namespace trazo
