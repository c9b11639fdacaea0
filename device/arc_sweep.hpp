// How the picture reads the start and end angles of an arc: radians from +X, counter-
// clockwise on the screen, from start to end. A negative angle stands for its magnitude and
// asks for a radius line from the centre to that end of the arc (the classic pie
// convention); an angle beyond one turn is taken modulo one turn. Equal ends draw the whole
// circle.
#pragma once

#include <optional>

namespace trazo {

struct ArcSweep {
  double start = 0;  // [0, one turn)
  double span = 0;   // (0, one turn], counter-clockwise on the screen
  bool radiusToStart = false;
  bool radiusToEnd = false;
};

// Nothing for an angle that is not a finite number.
std::optional<ArcSweep> arcSweep(double start, double end);

}  // namespace trazo
