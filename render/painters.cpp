#include "render/painters.hpp"

#include "render/entity_colour.hpp"
#include "render/text_outline.hpp"

namespace trazo {
namespace {

float single(double v) { return static_cast<float>(v); }

// The shared frame of the line, circle and arc painters: the entity's dash style, the
// drawing, then solid again. A failure leaves the dash style as it was set.
template <typename Draw>
Status drawStyled(const Entity& e, Surface& p1, Draw draw) {
  if (const auto style = drawStyleFor(e.LineType)) {
    if (const Status s = p1.setDrawStyle(*style); failed(s)) return s;
  }
  if (const Status s = draw(EntityColor(e.Col)); failed(s)) return s;
  return p1.setDrawStyle(kDrawStyleSolid);
}

}  // namespace

Status DrawLineEntity(const Entity& e, Surface& p1) {
  return drawStyled(e, p1, [&](Rgb colour) {
    return p1.line(single(e.Value1), single(e.Value2), single(e.Value3), single(e.Value4), colour);
  });
}

Status DrawCircleEntity(const Entity& e, Surface& p1) {
  return drawStyled(
      e, p1, [&](Rgb colour) { return p1.circle(single(e.Value1), single(e.Value2), single(e.Value3), colour); });
}

Status DrawArcEntity(const Entity& e, Surface& p1) {
  return drawStyled(e, p1, [&](Rgb colour) {
    return p1.arc(single(e.Value1), single(e.Value2), single(e.Value3), colour, single(e.Value4), single(e.Value5));
  });
}

// A text shows as the outline of its text box (text_outline.hpp), in the style in effect.
Status DrawTextEntity(const Entity& e, Surface& p1) {
  TextOutline outline;
  if (!textOutlineOf(e, outline)) return status::floatError;
  return forEachSide(
      outline, [&](float x1, float y1, float x2, float y2) { return p1.line(x1, y1, x2, y2, EntityColor(e.Col)); });
}

}  // namespace trazo
