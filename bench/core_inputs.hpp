// The argument sets that every add benchmark and its bare counterpart draw from, so that both
// sides of a comparison store exactly the same values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace trazo::bench {

struct AddArgs {
  double x1, y1, x2, y2;  // a line's ends, a box's corners
  double r, sa, ea;       // a circle's radius, an arc's start and end
  double th, ang;         // a text's height and angle
  std::int32_t col;
  std::int32_t lType;
};

// A power of two, so that an index wraps with a mask.
inline constexpr std::size_t kInputCount = 1024;
inline constexpr std::size_t kInputMask = kInputCount - 1;

// The text of every text entity: short enough to live inside the string object.
inline constexpr std::u16string_view kShortText = u"Room 12";

// kInputCount argument sets from a fixed seed, the same on every run.
const std::vector<AddArgs>& addInputs();

}  // namespace trazo::bench
