// What a host may choose about how P1 looks and is drawn: the background that Cls paints,
// whether lines are antialiased, and how many threads the raster step may use. The defaults
// give the classic look: crisp one-pixel lines on a dark ground, which the six light palette
// colours are meant for.
#pragma once

#include <QColor>

namespace trazo::qt {

struct PictureOptions {
  QColor background = QColor(0, 0, 0);
  bool antialias = false;
  // Threads for the raster step of a large drawing: 0 as many as the machine has cores,
  // 1 none.
  int threads = 0;
};

}  // namespace trazo::qt
