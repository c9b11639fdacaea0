// A drawing of random lines, circles and arcs over every dash style, reaching past the
// picture's edges, from a fixed seed: for tests that compare two ways of drawing it.
#pragma once

#include "picture/surface.hpp"

#include <cstdint>
#include <random>

namespace trazo::testing {

// `count` shapes on `p1`, whose user system is about 300 x 200 units; all in `every` colour
// when one is given.
inline void drawRandomShapes(Surface& p1, unsigned seed, int count, const Rgb* every = nullptr) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> at(-40, 340), size(0, 120), angle(-7, 7);
  std::uniform_int_distribution<int> style(0, 4), colour(0, 255);
  for (int i = 0; i < count; ++i) {
    (void)p1.setDrawStyle(style(random));
    Rgb c{static_cast<std::uint8_t>(colour(random)), static_cast<std::uint8_t>(colour(random)), 1};
    if (every != nullptr) c = *every;
    switch (i % 3) {
      case 0: (void)p1.line(at(random), at(random), at(random), at(random), c); break;
      case 1: (void)p1.circle(at(random), at(random), size(random), c); break;
      default: (void)p1.arc(at(random), at(random), size(random), c, angle(random), angle(random)); break;
    }
  }
}

}  // namespace trazo::testing
