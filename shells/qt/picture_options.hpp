// What a host may choose about how P1 looks: the background that Cls paints and whether
// lines are antialiased. The defaults give the classic look: crisp one-pixel lines on a
// dark ground, which the six light palette colours are meant for.
#pragma once

#include <QColor>

namespace trazo::qt {

struct PictureOptions {
  QColor background = QColor(0, 0, 0);
  bool antialias = false;
};

}  // namespace trazo::qt
