#include "render/entity_colour.hpp"

#include "control/surface.hpp"

#include <array>

namespace trazo {

Rgb QBColor(std::int32_t paletteNumber) {
  static constexpr std::array<Rgb, 16> palette{{
      {0, 0, 0},       {0, 0, 128},     {0, 128, 0},   {0, 128, 128},
      {128, 0, 0},     {128, 0, 128},   {128, 128, 0}, {192, 192, 192},
      {128, 128, 128}, {0, 0, 255},     {0, 255, 0},   {0, 255, 255},
      {255, 0, 0},     {255, 0, 255},   {255, 255, 0}, {255, 255, 255},
  }};
  return palette[static_cast<std::size_t>(paletteNumber & 15)];
}

Rgb EntityColor(std::int32_t c) {
  switch (c) {
    case 2: return QBColor(14);  // light yellow
    case 3: return QBColor(10);  // light green
    case 4: return QBColor(11);  // light cyan
    case 5: return QBColor(9);   // light blue
    case 6: return QBColor(13);  // light magenta
    default: return QBColor(12);  // light red, for 1 and every index outside 1..6
  }
}

std::optional<std::int32_t> drawStyleFor(std::int32_t lineType) {
  switch (lineType) {
    case 1: return kDrawStyleDash;
    case 2: return kDrawStyleDashDot;
    case 3: return kDrawStyleDashDotDot;
    default: return std::nullopt;
  }
}

}  // namespace trazo
