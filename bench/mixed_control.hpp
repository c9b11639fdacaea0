// The benchmarks' mixed drawing added to a control through its members, as a host adds it.
#pragma once

#include "bench/qt_mixed_drawing.hpp"
#include "control/trazo.hpp"

#include <vector>

namespace trazo::bench {

// Adds `drawing` in order; false at the first add that fails.
inline bool addMixedDrawing(Trazo& control, const std::vector<MixedEntity>& drawing) {
  for (const MixedEntity& e : drawing) {
    Status s = status::ok;
    switch (e.shape) {
      case Shape::line: s = control.AddLine(e.a, e.b, e.c, e.d, e.col, e.lType, u""); break;
      case Shape::box: s = control.AddBox(e.a, e.b, e.c, e.d, e.col, e.lType, u""); break;
      case Shape::circle: s = control.AddCircle(e.a, e.b, e.c, e.col, e.lType, u""); break;
      case Shape::arc: s = control.AddCircle2(e.a, e.b, e.c, e.d, e.e, e.col, e.lType, u""); break;
    }
    if (failed(s)) return false;
  }
  return true;
}

}  // namespace trazo::bench
