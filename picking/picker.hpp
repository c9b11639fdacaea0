// Which entity a user sees at a point of P1, and which entities a rectangle of P1 selects.
//
// A shell hands the picker its P1 right after each Reflash that painted it (`painted`): the
// picker keeps a copy of P1's device geometry (its size, resolution, coordinate system, pen
// and colour map) and the number of entities painted. Points and rectangles are then in
// device pixels of that picture (Y down, pixel (i, j) the square [i, i+1) x [j, j+1)).
//
// `entityAt` answers by the pixel rules of the painting engine: the candidates the spatial
// index finds near the point are drawn again one at a time, last first, through the same
// device geometry and raster into a window around the point, and the first that inks a
// pixel within the tolerance is the one seen. `entitiesIn` answers from the exact geometry
// of each entity's outline in device pixels (a line's segment, a circle, an arc's sweep
// with its radius lines, a text's box), without the pen's width.
#pragma once

#include "base/status.hpp"
#include "device/device_surface.hpp"
#include "model/spatial_index.hpp"
#include "model/store.hpp"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace trazo {

class RasterEngine;

// A rectangle of P1 in device pixels: `left` and `top` its corner, `width` and `height` its
// size. It covers the closed area [left, left + width] x [top, top + height]; for whole
// numbers that holds the pixels left .. left + width - 1 and top .. top + height - 1 and
// their right and bottom edges.
struct PickRect {
  double left = 0, top = 0, width = 0, height = 0;
};

enum class BoxSelection : std::uint8_t {
  crossing,  // every entity whose outline touches the rectangle or lies in it
  inside,    // only those whose whole outline lies in it
};

class Picker {
 public:
  Picker();
  ~Picker();
  Picker(const Picker&) = delete;
  Picker& operator=(const Picker&) = delete;

  // P1 as a Reflash of `store` has just left it. Call it after every Reflash (onPaint) that
  // painted `p1`; until the first call, and after `forget`, nothing is painted and every
  // question finds nothing.
  void painted(const Store& store, const DeviceSurface& p1);
  void forget();
  // Whether a picture was painted and the drawing it showed is still the store's (no Clear
  // since). Entities added after the Reflash are not on the picture and are never found.
  bool ready(const Store& store) const;
  // Builds what questions about `store` need (its spatial index) ahead of the first one, as
  // a shell may on another thread before it hands the picker over; false without memory.
  bool prepare(const Store& store);

  // The number (from 1) of the entity seen at device pixel (x, y) of the painted picture:
  // the one painted last among those that ink a pixel within `tolerance` pixels of it, the
  // pixels whose offsets (dx, dy) from the pixel holding (x, y) have dx^2 + dy^2 <=
  // tolerance^2 (0: that pixel alone). 0 when none does, and for a point outside the
  // picture, a coordinate or tolerance that is not a finite number, a negative tolerance,
  // or a picture not painted (`ready` false). A tolerance above kMostPickTolerance is
  // taken as that. It may use a few kilobytes of memory; without them it finds nothing.
  std::int32_t entityAt(const Store& store, double x, double y, double tolerance = 0);

  // The entities `mode` selects in `rect`, in the order they were painted, into `found`
  // (emptied first). A rectangle of negative width or height is taken from its other
  // corner; one with a coordinate that is not a finite number, or a picture not painted,
  // selects nothing. Out of memory when there is none for the answer (`found` then empty).
  Status entitiesIn(const Store& store, const PickRect& rect, BoxSelection mode, std::vector<std::int32_t>& found);

  // The picture the picker answers for, as `painted` copied it (its coordinate system
  // turns drawing units into device pixels and back).
  const DeviceSurface& picture() const { return picture_; }

 private:
  DeviceSurface picture_;
  bool painted_ = false;
  bool fitted_ = false;  // the Reflash set a coordinate system (it had something to fit)
  std::uint64_t generation_ = 0;
  std::int32_t paintedCount_ = 0;
  SpatialIndex index_;
  std::vector<std::int32_t> candidates_;
  std::vector<std::int32_t> near_;  // candidates near a point, from the last down
  std::unique_ptr<RasterEngine> probe_;
};

// The largest tolerance entityAt looks at, in pixels.
inline constexpr double kMostPickTolerance = 64;

// "line", "circle", "text" or "arc"; "none" for any other kind.
std::string_view entityKindName(std::int16_t kind);

}  // namespace trazo
