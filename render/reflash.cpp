#include "render/reflash.hpp"

#include "base/vector_registers.hpp"
#include "base/worker_pool.hpp"
#include "model/checked_math.hpp"
#include "render/painters.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

namespace trazo {
namespace {

constexpr double kHuge = std::numeric_limits<double>::max();

// The next double from `v` towards `to`, or `v` itself where that would be an infinity.
double nextFinite(double v, double to) {
  const double next = std::nextafter(v, to);
  return std::isfinite(next) ? next : v;
}

// Half of the span from `low` to `high`, and half of their sum: from halves of finite
// bounds neither can overflow.
double halfSpan(double low, double high) { return high * 0.5 - low * 0.5; }
double centre(double low, double high) { return low * 0.5 + high * 0.5; }

bool finite(const Extents& e) {
  return std::isfinite(e.MinX) && std::isfinite(e.MinY) && std::isfinite(e.MaxX) && std::isfinite(e.MaxY);
}

// Widens the span from `low` to `high` by one unit on each side when it is narrower than
// kNarrowestSpan. The result is kept in the store: later adds widen from it. A span too
// wide for a double is no narrow one; a point so far out that one unit changes neither
// bound is widened by the least that changes each (one step to the next double).
Status widenSpan(double& low, double& high) {
  CheckedMath m;
  const double span = std::fabs(m.sub(high, low));
  if (m.failed()) return std::isfinite(low) && std::isfinite(high) ? status::ok : status::floatError;
  if (span >= kNarrowestSpan || std::isnan(span)) return status::ok;
  double newHigh = m.add(high, 1);
  double newLow = m.sub(low, 1);
  if (m.failed()) return status::floatError;
  if (newHigh == high && newLow == low) {
    newHigh = nextFinite(high, kHuge);
    newLow = nextFinite(low, -kHuge);
  }
  high = newHigh;
  low = newLow;
  return status::ok;
}

// Y first, then X.
Status widenDegenerateSpans(Extents& e) {
  if (const Status s = widenSpan(e.MinY, e.MaxY); failed(s)) return s;
  return widenSpan(e.MinX, e.MaxX);
}

struct ViewCorners {
  double left, top, right, bottom;
};

// A corner `half` away from the centre `c`, stopped at the largest double only where the
// corner itself passes it. Where `half` is past the range but the corner is not (a centre
// far out on the other side), the corner is worked out on halves: `quarter` is half of
// `half`, and halving and doubling only move the exponent, so nothing is rounded anew.
double corner(double c, double half, double quarter) {
  const auto bounded = [](double v) { return std::clamp(v, -kHuge, kHuge); };
  if (std::isfinite(half)) return bounded(c + half);
  return bounded(2 * (c * 0.5 + quarter));
}

// The view of finite extents whose spans, centre or view are beyond what the classic
// arithmetic can hold: the same fit worked out on half-spans, which never overflow. A view
// that itself reaches past the largest double stops there.
ViewCorners halfSpanView(const Extents& e, bool toWidth, double aspect) {
  const double halfX = halfSpan(e.MinX, e.MaxX);
  const double halfY = halfSpan(e.MinY, e.MaxY);
  const double cx = centre(e.MinX, e.MaxX);
  const double cy = centre(e.MinY, e.MaxY);
  // Each half is worked out on its own, so that only an axis truly past the range stops.
  const double halfW = (toWidth ? halfX : aspect * halfY) * kViewMargin;
  const double halfH = (toWidth ? halfX / aspect : halfY) * kViewMargin;
  const double quarterW = (toWidth ? halfX * 0.5 : aspect * (halfY * 0.5)) * kViewMargin;
  const double quarterH = (toWidth ? halfX * 0.5 / aspect : halfY * 0.5) * kViewMargin;
  return {corner(cx, -halfW, -quarterW), corner(cy, halfH, quarterH), corner(cx, halfW, quarterW),
          corner(cy, -halfH, -quarterH)};
}

// Fits the extents into a picture of w x h current units. `fits` is false when the picture
// or the drawing has no area to fit (the guard): the repaint then ends with the picture
// cleared. Finite extents too far apart for the classic steps are fitted on half-spans.
Status fitView(const Extents& e, Surface& p1, bool& fits, ViewCorners& view) {
  float h = 0;
  if (const Status s = p1.scaleHeight(h); failed(s)) return s;
  CheckedMath ratio;
  double D = std::fabs(ratio.div(ratio.sub(e.MaxX, e.MinX), ratio.sub(e.MaxY, e.MinY)));
  const bool huge = ratio.failed() && finite(e);
  if (huge) D = std::fabs(halfSpan(e.MinX, e.MaxX) / halfSpan(e.MinY, e.MaxY));  // +inf past the range
  else if (ratio.failed()) return status::floatError;
  CheckedMath m;
  float w = 0;
  if (const Status s = p1.scaleWidth(w); failed(s)) return s;
  // A picture of no height is treated like one of no width: nothing to fit, no error.
  const float A = h == 0 ? 0.0f : static_cast<float>(std::fabs(m.div(w, h)));
  if (m.failed()) return status::floatError;
  fits = D > 0 && A > 0;
  if (!fits) return status::ok;

  const double aspect = m.div(w, h);
  const bool toWidth = static_cast<float>(D) >= A;
  if (!huge) {
    const double cx = m.mul(m.add(e.MinX, e.MaxX), 0.5);
    const double cy = m.mul(m.add(e.MinY, e.MaxY), 0.5);
    double W = 0;
    double H = 0;
    if (toWidth) {
      W = m.mul(m.sub(e.MaxX, e.MinX), kViewMargin);
      H = m.div(W, aspect);
    } else {
      H = m.mul(m.sub(e.MaxY, e.MinY), kViewMargin);
      W = m.mul(aspect, H);
    }
    view.left = m.sub(cx, m.mul(W, 0.5));
    view.top = m.add(cy, m.mul(H, 0.5));
    view.bottom = m.sub(view.top, H);
    view.right = m.add(W, view.left);
    if (!m.failed()) return status::ok;
    // Only the magnitude of the drawing can fail here once the picture has passed.
    if (!finite(e) || !std::isfinite(w) || !std::isfinite(h)) return status::floatError;
  }
  view = halfSpanView(e, toWidth, aspect);
  return status::ok;
}

Status paintEntity(const std::optional<Entity>& e, Surface& p1) {
  if (!e) return status::subscript;
  switch (e->Kind) {
    case kKindLine: return DrawLineEntity(*e, p1);
    case kKindCircle: return DrawCircleEntity(*e, p1);
    case kKindText: return DrawTextEntity(*e, p1);
    case kKindArc: return DrawArcEntity(*e, p1);
    default: return status::ok;  // unknown kinds are skipped
  }
}

// The entities numberAt(0) .. numberAt(count - 1), in rising order: all of a run, or those
// an index found. A text is drawn in the dash style in effect, which is the picture's own
// until the first line, circle or arc painter completes and solid from then on; where that
// painter was left out (it lies before the run, or the index passed over it), solid is set
// in its place. `kScattered`: the numbers lie all over the store, so records are read a
// batch at a time before any is painted: each read waits on memory, and reads one after
// another wait together, where a read between two entities' painting waits alone. Asking
// the processor for records ahead did not shorten those waits.
template <bool kScattered, class NumberAt>
Status paintInOrder(const Store& store, Surface& p1, PaintObserver* observer, std::size_t count,
                    const NumberAt& numberAt) {
  Store::Reader entities(store);
  bool solidInEffect = false;
  const auto paint = [&](std::int32_t i, const std::optional<Entity>& e) {
    if (!solidInEffect && store.firstStyled() != 0 && store.firstStyled() < i) {
      if (const Status s = p1.setDrawStyle(kDrawStyleSolid); failed(s)) return s;
      solidInEffect = true;
    }
    if (observer != nullptr && e) observer->paintingEntity(i, *e);
    if (const Status s = paintEntity(e, p1); failed(s)) return s;
    if (e && e->Kind != kKindText) solidInEffect = true;
    return status::ok;
  };
  if constexpr (kScattered) {
    constexpr std::size_t kBatch = 32;
    std::optional<Entity> batch[kBatch];
    for (std::size_t first = 0; first < count; first += kBatch) {
      const std::size_t n = std::min(kBatch, count - first);
      for (std::size_t k = 0; k < n; ++k) batch[k] = entities.at(numberAt(first + k));
      for (std::size_t k = 0; k < n; ++k) {
        if (const Status s = paint(numberAt(first + k), batch[k]); failed(s)) return s;
      }
    }
  } else {
    for (std::size_t k = 0; k < count; ++k) {
      const std::int32_t i = numberAt(k);
      if (const Status s = paint(i, entities.at(i)); failed(s)) return s;
    }
  }
  return status::ok;
}

Status paintShown(const Store& store, Surface& p1, PaintObserver* observer, std::span<const std::int32_t> shown) {
  return paintInOrder<true>(store, p1, observer, shown.size(), [&](std::size_t k) { return shown[k]; });
}

// Entities `from` to `to`, both included.
Status paintRun(const Store& store, Surface& p1, PaintObserver* observer, std::int32_t from, std::int32_t to) {
  const auto count = static_cast<std::size_t>(std::max(to - from + 1, 0));
  return paintInOrder<false>(store, p1, observer, count,
                             [&](std::size_t k) { return from + static_cast<std::int32_t>(k); });
}

// The two halves of a walk side by side, `half(picture, 1)` into the split's second picture.
// Reflash stops at the first failure: when the first half fails nothing of the second
// counts; when the second fails, what it painted before stays, after all of the first.
template <class Half>
Status paintSideBySide(Surface& p1, Surface& second, WalkSplit& split, const Half& half) {
  Surface* const pictures[2] = {&p1, &second};
  Status done[2] = {status::ok, status::ok};
  (void)sharedWorkerPool().runEach(2, 2, [&](int index) { done[index] = half(*pictures[index], index); });
  if (failed(done[0])) return done[0];
  if (const Status s = split.join(); failed(s)) return s;
  return done[1];
}

bool hasInfinity(const Extents& e) {
  const bool anyNaN = std::isnan(e.MinX) || std::isnan(e.MinY) || std::isnan(e.MaxX) || std::isnan(e.MaxY);
  return !anyNaN && !finite(e);
}

// The extents an entity with an infinite coordinate leaves have no centre and no span. The
// fit then passes over the non-finite values, as the device geometry passes over them when
// it paints: it fits what is finite of each entity's bounds, so the rest of the drawing is
// shown. An axis with one finite side is a point there, one with none a point at 0; both
// are widened as narrow spans are. Nothing of this is stored.
Extents finiteExtents(const Store& store) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  Extents f{inf, inf, -inf, -inf};
  const auto lower = [](double& bound, double v) {
    if (std::isfinite(v)) bound = MinValue(v, bound);
  };
  const auto raise = [](double& bound, double v) {
    if (std::isfinite(v)) bound = MaxValue(v, bound);
  };
  Store::Reader entities(store);
  Extents b;
  for (std::int32_t i = 1; i <= store.count(); ++i) {
    if (!entities.boundsAt(i, b)) continue;
    lower(f.MinX, b.MinX);
    lower(f.MinY, b.MinY);
    raise(f.MaxX, b.MaxX);
    raise(f.MaxY, b.MaxY);
  }
  const auto settle = [](double& low, double& high) {
    if (!std::isfinite(low) && !std::isfinite(high)) low = high = 0;
    if (!std::isfinite(low)) low = high;
    if (!std::isfinite(high)) high = low;
  };
  settle(f.MinX, f.MaxX);
  settle(f.MinY, f.MaxY);
  widenDegenerateSpans(f);  // finite bounds: cannot fail
  return f;
}

}  // namespace

Status Reflash(Store& store, Surface& p1, PaintObserver* observer, ShownEntities* shown, WalkSplit* split) {
  settleVectorRegisters();  // the host's own drawing may have left them in use
  if (const Status s = p1.cls(); failed(s)) return s;
  if (const Status s = p1.setScaleMode(kScaleModeTwips); failed(s)) return s;
  if (const Status s = widenDegenerateSpans(store.extents()); failed(s)) return s;

  bool fits = false;
  ViewCorners view{};
  const Extents fitted = hasInfinity(store.extents()) ? finiteExtents(store) : store.extents();
  if (const Status s = fitView(fitted, p1, fits, view); failed(s)) return s;
  if (!fits) return status::ok;
  if (const Status s = p1.setScale(view.left, view.top, view.right, view.bottom); failed(s)) return s;
  if (const Status s = p1.setFontSize(kFontSize); failed(s)) return s;

  Extents area;
  if (shown != nullptr && p1.shownArea(area.MinX, area.MinY, area.MaxX, area.MaxY) && shown->index.update(store) &&
      shown->index.query(store, area, shown->found)) {
    const std::span<const std::int32_t> found(shown->found);
    Surface* const second =
        observer == nullptr && split != nullptr ? split->second(p1, static_cast<std::int32_t>(found.size())) : nullptr;
    if (second == nullptr) return paintShown(store, p1, observer, found);
    const std::size_t middle = found.size() / 2;
    return paintSideBySide(p1, *second, *split, [&](Surface& picture, int half) {
      return paintShown(store, picture, nullptr, half == 0 ? found.first(middle) : found.subspan(middle));
    });
  }
  const std::int32_t n = store.count();
  Surface* const second = observer == nullptr && split != nullptr ? split->second(p1, n) : nullptr;
  if (second == nullptr) return paintRun(store, p1, observer, 1, n);
  const std::int32_t middle = n / 2;
  return paintSideBySide(p1, *second, *split, [&](Surface& picture, int half) {
    return half == 0 ? paintRun(store, picture, nullptr, 1, middle) : paintRun(store, picture, nullptr, middle + 1, n);
  });
}

}  // namespace trazo
