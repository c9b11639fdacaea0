// The colour and dash-style mappings that every painter shares.
#pragma once

#include "base/colour.hpp"
#include "picture/surface.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace trazo {

// The tables and lookups are inline: a repaint asks for a colour and a style per entity, and
// a small value returned from a call makes the processor wait on it.

// The platform's 16-colour palette (QBColor); the control uses six of its light colours.
inline constexpr std::array<Rgb, 16> kPalette{{
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
inline constexpr std::array<Rgb, 7> kEntityColours{{
    kPalette[12],  // light red, for every index outside 1..6
    kPalette[12],  // 1 light red
    kPalette[14],  // 2 light yellow
    kPalette[10],  // 3 light green
    kPalette[11],  // 4 light cyan
    kPalette[9],   // 5 light blue
    kPalette[13],  // 6 light magenta
}};

inline Rgb QBColor(std::int32_t paletteNumber) { return kPalette[static_cast<std::size_t>(paletteNumber & 15)]; }

// Colour index 1..6 to light red, yellow, green, cyan, blue, magenta; any other index to
// light red.
inline Rgb EntityColor(std::int32_t c) {
  const auto index = static_cast<std::uint32_t>(c);  // negative indices wrap far above 6
  return kEntityColours[index <= 6 ? index : 0];
}

// Line-type code to a DrawStyle: 1 dash, 2 dash-dot, 3 dash-dot-dot. Any other code sets no
// style, so the style in effect stays.
inline std::optional<std::int32_t> drawStyleFor(std::int32_t lineType) {
  const auto offset = static_cast<std::uint32_t>(lineType) - 1u;  // 0 and negatives wrap far above 2
  constexpr std::int32_t kStyles[3] = {kDrawStyleDash, kDrawStyleDashDot, kDrawStyleDashDotDot};
  if (offset < 3) return kStyles[offset];
  return std::nullopt;
}

}  // namespace trazo
