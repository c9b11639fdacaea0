#include "render/painters.hpp"

#include "model/text_box.hpp"
#include "render/entity_colour.hpp"

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

// A text shows as the outline of its text box, in the style in effect: Q1 the insertion
// point, Q2 the end of the baseline, Q3 above Q2, Q4 above Q1, drawn Q1-Q2-Q3-Q4-Q1.
Status DrawTextEntity(const Entity& e, Surface& p1) {
  TextBox box;
  if (!computeTextBox(e.Value1, e.Value2, e.Value3, e.Value4, e.Text, box)) return status::floatError;
  const float q[4][2] = {{single(box.X4), single(box.Y4)},
                         {single(box.X1), single(box.Y1)},
                         {single(box.X2), single(box.Y2)},
                         {single(box.X3), single(box.Y3)}};
  for (int side = 0; side < 4; ++side) {
    const int next = (side + 1) % 4;
    if (const Status s = p1.line(q[side][0], q[side][1], q[next][0], q[next][1], EntityColor(e.Col)); failed(s))
      return s;
  }
  return status::ok;
}

}  // namespace trazo
