#include "render/reflash.hpp"

#include "model/checked_math.hpp"
#include "render/painters.hpp"

#include <cmath>

namespace trazo {
namespace {

// Widens the span from `low` to `high` by one unit on each side when it is narrower than
// kNarrowestSpan. The result is kept in the store: later adds widen from it.
Status widenSpan(double& low, double& high) {
  CheckedMath m;
  const double span = std::fabs(m.sub(high, low));
  if (m.failed()) return status::floatError;
  if (span >= kNarrowestSpan || std::isnan(span)) return status::ok;
  const double newHigh = m.add(high, 1);
  const double newLow = m.sub(low, 1);
  if (m.failed()) return status::floatError;
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

// Fits the extents into a picture of w x h current units. `fits` is false when the picture
// or the drawing has no area to fit (the guard): the repaint then ends with the picture
// cleared.
Status fitView(const Extents& e, Surface& p1, bool& fits, ViewCorners& view) {
  CheckedMath m;
  float h = 0;
  if (const Status s = p1.scaleHeight(h); failed(s)) return s;
  const double D = std::fabs(m.div(m.sub(e.MaxX, e.MinX), m.sub(e.MaxY, e.MinY)));
  if (m.failed()) return status::floatError;
  float w = 0;
  if (const Status s = p1.scaleWidth(w); failed(s)) return s;
  // A picture of no height is treated like one of no width: nothing to fit, no error.
  const float A = h == 0 ? 0.0f : static_cast<float>(std::fabs(m.div(w, h)));
  if (m.failed()) return status::floatError;
  fits = D > 0 && A > 0;
  if (!fits) return status::ok;

  const double aspect = m.div(w, h);
  const double cx = m.mul(m.add(e.MinX, e.MaxX), 0.5);
  const double cy = m.mul(m.add(e.MinY, e.MaxY), 0.5);
  double W = 0;
  double H = 0;
  if (static_cast<float>(D) >= A) {
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
  return m.failed() ? status::floatError : status::ok;
}

Status paintEntity(const Store& store, Surface& p1, std::int32_t i) {
  const Entity* e = store.at(i);
  if (e == nullptr) return status::subscript;
  switch (e->Kind) {
    case kKindLine: return DrawLineEntity(*e, p1);
    case kKindCircle: return DrawCircleEntity(*e, p1);
    case kKindText: return DrawTextEntity(*e, p1);
    case kKindArc: return DrawArcEntity(*e, p1);
    default: return status::ok;  // unknown kinds are skipped
  }
}

}  // namespace

Status Reflash(Store& store, Surface& p1, PaintObserver* observer) {
  if (const Status s = p1.cls(); failed(s)) return s;
  if (const Status s = p1.setScaleMode(kScaleModeTwips); failed(s)) return s;
  if (const Status s = widenDegenerateSpans(store.extents()); failed(s)) return s;

  bool fits = false;
  ViewCorners view{};
  if (const Status s = fitView(store.extents(), p1, fits, view); failed(s)) return s;
  if (!fits) return status::ok;
  if (const Status s = p1.setScale(view.left, view.top, view.right, view.bottom); failed(s)) return s;
  if (const Status s = p1.setFontSize(kFontSize); failed(s)) return s;

  const std::int32_t n = store.count();
  for (std::int32_t i = 1; i <= n; ++i) {
    if (observer != nullptr) {
      if (const Entity* e = store.at(i)) observer->paintingEntity(i, *e);
    }
    if (const Status s = paintEntity(store, p1, i); failed(s)) return s;
  }
  return status::ok;
}

}  // namespace trazo
