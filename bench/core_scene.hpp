// A mixed drawing for the repaint benchmarks: lines, circles, arcs and texts in turn, with
// every line type and colour index, added through the control's own members.
#pragma once

#include "base/status.hpp"
#include "control/trazo.hpp"
#include "model/entity.hpp"

#include <cstdint>
#include <vector>

namespace trazo::bench {

// Clears `control` and adds `count` entities; the first failing status, or ok.
Status fillMixedScene(Trazo& control, std::int32_t count);

// A plain copy of every stored record, in order.
std::vector<Entity> copyRecords(const Trazo& control);

}  // namespace trazo::bench
