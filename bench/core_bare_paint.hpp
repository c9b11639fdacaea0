// The repaint reduced to its surface calls: for each record the dash style, the drawing call
// with the entity's colour, solid again, and for a text the four sides of its box. Plain
// arithmetic, no status checks, no store look-ups: the floor a repaint cannot go below.
#pragma once

#include "picture/surface.hpp"
#include "model/entity.hpp"

#include <vector>

namespace trazo::bench {

void paintBare(const std::vector<Entity>& records, Surface& p1);

}  // namespace trazo::bench
