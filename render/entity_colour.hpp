// The colour and dash-style mappings that every painter shares.
#pragma once

#include "base/colour.hpp"

#include <cstdint>
#include <optional>

namespace trazo {

// The platform's 16-colour palette (QBColor); the control uses six of its light colours.
Rgb QBColor(std::int32_t paletteNumber);

// Colour index 1..6 to light red, yellow, green, cyan, blue, magenta; any other index to
// light red.
Rgb EntityColor(std::int32_t c);

// Line-type code to a DrawStyle: 1 dash, 2 dash-dot, 3 dash-dot-dot. Any other code sets no
// style, so the style in effect stays.
std::optional<std::int32_t> drawStyleFor(std::int32_t lineType);

}  // namespace trazo
