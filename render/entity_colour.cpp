#include "render/entity_colour.hpp"

#include "picture/surface.hpp"

#include <array>

namespace trazo {
namespace {

constexpr std::array<Rgb, 16> kPalette{{
    {0, 0, 0},
    {0, 0, 128},
    {0, 128, 0},
    {0, 128, 128},
    {128, 0, 0},
    {128, 0, 128},
    {128, 128, 0},
    {192, 192, 192},
    {128, 128, 128},
    {0, 0, 255},
    {0, 255, 0},
    {0, 255, 255},
    {255, 0, 0},
    {255, 0, 255},
    {255, 255, 0},
    {255, 255, 255},
}};

// Colour index to colour for 0..6; 0 stands for every index outside 1..6. Looked up rather
// than switched on: a repaint asks for a colour per entity, and the indices of consecutive
// entities rarely follow a pattern a branch predictor could learn.
constexpr std::array<Rgb, 7> kEntityColours{{
    kPalette[12],  // light red, for every index outside 1..6
    kPalette[12],  // 1 light red
    kPalette[14],  // 2 light yellow
    kPalette[10],  // 3 light green
    kPalette[11],  // 4 light cyan
    kPalette[9],   // 5 light blue
    kPalette[13],  // 6 light magenta
}};

// Line type 1..3 to its dash style, by line type less one.
constexpr std::array<std::int32_t, 3> kLineTypeStyles{kDrawStyleDash, kDrawStyleDashDot, kDrawStyleDashDotDot};

}  // namespace

Rgb QBColor(std::int32_t paletteNumber) { return kPalette[static_cast<std::size_t>(paletteNumber & 15)]; }

Rgb EntityColor(std::int32_t c) {
  const auto index = static_cast<std::uint32_t>(c);  // negative indices wrap far above 6
  return kEntityColours[index <= 6 ? index : 0];
}

std::optional<std::int32_t> drawStyleFor(std::int32_t lineType) {
  const auto offset = static_cast<std::uint32_t>(lineType) - 1u;  // 0 and negatives wrap far above 2
  if (offset < kLineTypeStyles.size()) return kLineTypeStyles[offset];
  return std::nullopt;
}

}  // namespace trazo
