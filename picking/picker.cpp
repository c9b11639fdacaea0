#include "picking/picker.hpp"

#include "picking/entity_outline.hpp"
#include "raster/raster_engine.hpp"
#include "render/entity_colour.hpp"
#include "render/painters.hpp"

#include <algorithm>
#include <cmath>
#include <new>

namespace trazo {
namespace {

// How far, in pixels, the centre of a pixel the raster inks may lie from the outline it
// draws, beyond the pen's reach: a circle is centred on a whole pixel (up to half its
// diagonal away) with its radius rounded, and its ring is the pixels nearest the circle so
// rounded (half a pixel more); then a margin.
constexpr double kInkReach = 2.5;

double penReach(const DeviceSurface& picture) { return picture.pen().wide() ? picture.pen().width / 2 : 0; }

// The drawing-unit rectangle of the device box, widened by what single precision may move
// a coordinate, for the spatial index.
Extents drawingArea(const DeviceSurface& picture, const DeviceBox& box) {
  const DevicePoint a = picture.fromDevice(box.left, box.top);
  const DevicePoint b = picture.fromDevice(box.right, box.bottom);
  Extents e{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  const auto slack = [](double v) { return std::fabs(v) * 1e-6; };
  const double sx = std::max(slack(e.MinX), slack(e.MaxX)), sy = std::max(slack(e.MinY), slack(e.MaxY));
  e.MinX -= sx;
  e.MaxX += sx;
  e.MinY -= sy;
  e.MaxY += sy;
  return e;
}

Status paintEntity(const Entity& e, Surface& p1) {
  switch (e.Kind) {
    case kKindLine: return DrawLineEntity(e, p1);
    case kKindCircle: return DrawCircleEntity(e, p1);
    case kKindText: return DrawTextEntity(e, p1);
    case kKindArc: return DrawArcEntity(e, p1);
    default: return status::ok;
  }
}

}  // namespace

std::string_view entityKindName(std::int16_t kind) {
  switch (kind) {
    case kKindLine: return "line";
    case kKindCircle: return "circle";
    case kKindText: return "text";
    case kKindArc: return "arc";
    default: return "none";
  }
}

Picker::Picker() = default;
Picker::~Picker() = default;

void Picker::painted(const Store& store, const DeviceSurface& p1) {
  picture_ = p1;
  picture_.setEngine(nullptr);
  painted_ = true;
  // A Reflash that found nothing to fit leaves P1 in twips, cleared.
  fitted_ = p1.mapping().userScale();
  generation_ = store.generation();
  paintedCount_ = store.count();
}

void Picker::forget() {
  painted_ = false;
  index_.clear();
  candidates_.clear();
}

bool Picker::ready(const Store& store) const { return painted_ && generation_ == store.generation(); }

bool Picker::prepare(const Store& store) { return index_.covers(store) || index_.update(store); }

std::int32_t Picker::entityAt(const Store& store, double x, double y, double tolerance) {
  if (!ready(store) || !fitted_ || !std::isfinite(x) || !std::isfinite(y) || !(tolerance >= 0)) return 0;
  const double width = picture_.widthPixels(), height = picture_.heightPixels();
  if (!(x >= 0 && x < width && y >= 0 && y < height)) return 0;
  const double disc = std::min(tolerance, kMostPickTolerance);
  const int reach = static_cast<int>(std::floor(disc));
  const int px = static_cast<int>(std::floor(x)), py = static_cast<int>(std::floor(y));
  // The pixels that may count, cut to the picture.
  const int left = std::max(px - reach, 0), top = std::max(py - reach, 0);
  const int right = std::min(px + reach, static_cast<int>(std::ceil(width)) - 1);
  const int bottom = std::min(py + reach, static_cast<int>(std::ceil(height)) - 1);

  const double ink = penReach(picture_) + kInkReach;
  const DeviceBox near{left - ink, top - ink, right + 1 + ink, bottom + 1 + ink};
  if (!prepare(store) || !index_.query(store, drawingArea(picture_, near), candidates_)) return 0;
  const auto last = std::upper_bound(candidates_.begin(), candidates_.end(), paintedCount_);
  if (last == candidates_.begin()) return 0;

  if (!probe_) {
    probe_ = std::unique_ptr<RasterEngine>(new (std::nothrow) RasterEngine());
    if (!probe_) return 0;
    probe_->setThreads(1);
  }
  if (!probe_->setWindow({left, top, right - left + 1, bottom - top + 1})) return 0;
  // An entity can ink a pixel of the disc only if its outline passes within this distance
  // of the centre of the pixel holding the point.
  const double farthest = disc + ink;
  const double cx = px + 0.5, cy = py + 0.5;

  // The entities near enough, from the last down, are drawn in batches, each in rising
  // order and each entity in a colour that stands for its place in the batch. The entity
  // painted last among those that ink the disc is on top wherever it inks, so the highest
  // place seen in the disc names it; a batch that shows none passes to the earlier entities.
  std::size_t batch = 16;
  auto from = last;
  while (from != candidates_.begin()) {
    near_.clear();
    while (from != candidates_.begin() && near_.size() < batch) {
      const std::int32_t i = *--from;
      const std::optional<Entity> e = store.at(i);
      if (!e || distanceTo(outlineOf(*e, picture_), cx, cy) > farthest) continue;
      try {
        near_.push_back(i);
      } catch (const std::bad_alloc&) {
        return 0;
      }
    }
    batch *= 4;
    if (near_.empty()) continue;
    if (failed(probe_->fill({}))) return 0;
    DeviceSurface drawn = picture_;
    drawn.setEngine(probe_.get());
    // A text, and a shape without a dash style of its own, is drawn in the style in effect:
    // the picture's own before the first line, circle or arc and solid after it.
    bool solidInEffect = false;
    for (std::size_t place = near_.size(); place-- > 0;) {
      const std::int32_t i = near_[place];
      const std::optional<Entity> e = store.at(i);
      if (!solidInEffect && store.firstStyled() != 0 && store.firstStyled() < i) {
        (void)drawn.setDrawStyle(kDrawStyleSolid);
        solidInEffect = true;
      }
      const auto code = static_cast<std::uint32_t>(near_.size() - place);
      ColourMap mark;
      mark.set(EntityColor(e->Col), {static_cast<std::uint8_t>(code >> 16), static_cast<std::uint8_t>(code >> 8),
                                     static_cast<std::uint8_t>(code)});
      drawn.setColourMap(mark);
      const Status painted = paintEntity(*e, drawn);
      // An entity left out for want of memory could hide the one seen: find nothing.
      if (painted == status::outOfMemory) return 0;
      if (failed(painted)) {
        (void)drawn.setDrawStyle(kDrawStyleSolid);
        solidInEffect = true;
      }
      if (e->Kind != kKindText) solidInEffect = true;
    }
    const PixelBuffer& pixels = probe_->picture();
    std::uint32_t highest = 0;
    for (int row = top; row <= bottom; ++row) {
      for (int column = left; column <= right; ++column) {
        const double dx = column - px, dy = row - py;
        if (dx * dx + dy * dy <= disc * disc)
          highest = std::max(highest, pixels.at(column - left, row - top) & 0xFFFFFFu);
      }
    }
    if (highest != 0) return near_[near_.size() - highest];
  }
  return 0;
}

Status Picker::entitiesIn(const Store& store, const PickRect& rect, BoxSelection mode,
                          std::vector<std::int32_t>& found) {
  found.clear();
  if (!ready(store) || !fitted_) return status::ok;
  const DeviceBox box{std::min(rect.left, rect.left + rect.width), std::min(rect.top, rect.top + rect.height),
                      std::max(rect.left, rect.left + rect.width), std::max(rect.top, rect.top + rect.height)};
  if (!std::isfinite(box.left) || !std::isfinite(box.top) || !std::isfinite(box.right) || !std::isfinite(box.bottom))
    return status::ok;
  const DeviceBox near{box.left - 1, box.top - 1, box.right + 1, box.bottom + 1};
  if (!prepare(store) || !index_.query(store, drawingArea(picture_, near), candidates_)) return status::outOfMemory;
  try {
    Store::Reader entities(store);
    for (const std::int32_t i : candidates_) {
      if (i > paintedCount_) break;
      const std::optional<Entity> e = entities.at(i);
      if (!e) continue;
      const EntityOutline outline = outlineOf(*e, picture_);
      if (mode == BoxSelection::inside ? liesIn(outline, box) : touches(outline, box)) found.push_back(i);
    }
  } catch (const std::bad_alloc&) {
    found.clear();
    return status::outOfMemory;
  }
  return status::ok;
}

}  // namespace trazo
