// A 24-bit RGB colour as the drawing surface takes it.
#pragma once

#include <cstdint>

namespace trazo {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend constexpr bool operator==(Rgb a, Rgb b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }
  friend constexpr bool operator!=(Rgb a, Rgb b) { return !(a == b); }
};

}  // namespace trazo
