#include "render/text_outline.hpp"

#include "model/text_box.hpp"

namespace trazo {
namespace {

float single(double v) { return static_cast<float>(v); }

}  // namespace

bool textOutlineOf(const Entity& text, TextOutline& outline) {
  TextBox box;
  if (!computeTextBox(text.Value1, text.Value2, text.Value3, text.Value4, text.Text, box)) return false;
  outline = {{{single(box.X4), single(box.Y4)},
              {single(box.X1), single(box.Y1)},
              {single(box.X2), single(box.Y2)},
              {single(box.X3), single(box.Y3)}}};
  return true;
}

}  // namespace trazo
