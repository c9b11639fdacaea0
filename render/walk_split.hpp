// A picture whose walk through the entities can be shared with a second picture of the
// same kind: Reflash paints the first half of the entities on its own thread and the second
// half on another into the second picture, side by side, then has what the second recorded
// appended after what the first did. The pictures' owner decides when that pays.
#pragma once

#include "base/status.hpp"
#include "picture/surface.hpp"

#include <cstdint>

namespace trazo {

class WalkSplit {
 public:
  // A second picture in the state `first` is in now (the fit made, nothing of the entities
  // painted), recording nothing yet, for a walk through `entities` entities; none when the
  // walk is better not split or `first` is not the picture this split belongs to.
  virtual Surface* second(const Surface& first, std::int32_t entities) = 0;
  // Appends what the second picture recorded after everything the first did, in order, as
  // one picture would have recorded them all, and leaves the first picture in the state the
  // second's walk ended in.
  virtual Status join() = 0;

 protected:
  ~WalkSplit() = default;
};

}  // namespace trazo
