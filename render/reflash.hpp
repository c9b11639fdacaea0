// Reflash: clear the picture, fit the drawing's extents into it (10 % margin on the fitting
// axis, equal scale, Y up, centred) and paint every entity in order of addition.
#pragma once

#include "base/status.hpp"
#include "picture/surface.hpp"
#include "model/store.hpp"
#include "render/paint_observer.hpp"

namespace trazo {

// Spans narrower than this are widened by one unit each way before fitting; the widening
// is stored in the extents.
inline constexpr double kNarrowestSpan = 0.00001;
// Along the fitting axis the view is this many times the drawing's span.
inline constexpr double kViewMargin = 1.2;
// Point size given to the picture's font.
inline constexpr double kFontSize = 9;

// `observer`, when there is one, is told of each entity before it is painted.
Status Reflash(Store& store, Surface& p1, PaintObserver* observer = nullptr);

}  // namespace trazo
