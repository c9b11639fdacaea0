// One entity in words, for the viewer's status line: its kind, its number, its tag and the
// values that define it (a line's two points, a circle's centre and radius, an arc's also
// its angles in radians, a text's characters, height and angle in degrees).
#pragma once

#include "model/entity.hpp"

#include <QString>

#include <cstdint>

namespace trazo::cli {

// For instance `line 12 "wall": (0, 0) to (100, 50)`; the tag is left out when empty.
QString describeEntity(std::int32_t index, const Entity& entity);

}  // namespace trazo::cli
