// DrawStyle dash patterns in device pixels, modelled on the cosmetic pens of classic
// Windows (which the original control drew with), not on Qt's pen-width-relative styles:
//   1 dash           18 on, 6 off
//   3 dash-dot        9 on, 6 off, 3 on, 6 off
//   4 dash-dot-dot    9 on, 3 off, 3 on, 3 off, 3 on, 3 off
// Any other style draws solid.
#pragma once

#include <QList>

#include <cstdint>

namespace trazo::qt {

// An empty list means solid.
QList<qreal> dashPattern(std::int32_t drawStyle);

}  // namespace trazo::qt
