// What a host may choose about how P1 looks and is drawn. None of it is the control's own:
// by default the picture has the classic look, crisp one-pixel lines in the six light
// palette colours on a dark ground, which those colours are meant for.
#pragma once

#include "picture/units.hpp"
#include "raster/raster_engine.hpp"

#include <QColor>

namespace trazo::qt {

// The colours the six colour indexes paint.
enum class Palette {
  classic,  // light red, yellow, green, cyan, blue and magenta
  light,    // for light backgrounds: each drawn as its dark counterpart in the same 16-colour
            // palette (dark red, olive, dark green, teal, navy, purple)
};

// The width of every line and outline. Dash patterns grow with it, and with the device's
// resolution (a printer, a display's device pixel ratio), so that dashes keep their look.
struct LineWidth {
  enum class Unit { devicePixels, millimetres };
  double value = 0;  // 0: the classic one device pixel
  Unit unit = Unit::devicePixels;

  // In device pixels, on a device of `dpi` dots per inch.
  double pixels(double dpi) const { return unit == Unit::millimetres ? value * dpi / kMillimetresPerInch : value; }
  static constexpr double kMillimetresPerInch = 25.4;
};

// The page of a PDF file.
enum class Paper {
  pictureSize,  // as large as the picture at 96 dots to the inch
  a4,
  letter,
};

struct PictureOptions {
  QColor background = QColor(0, 0, 0);
  bool antialias = false;
  // Threads for the raster step of a large drawing: 0 as many as the machine has cores,
  // 1 none.
  int threads = 0;
  Palette palette = Palette::classic;
  LineWidth lineWidth;
  // Besides the outline of each text's box, the text's characters in it (the control draws
  // only the box).
  bool texts = false;
  // PDF only: the page, oriented as the picture is (landscape when it is wider than high),
  // the picture filling it within 10 mm margins, and the resolution it is drawn at.
  Paper paper = Paper::pictureSize;
  int printDpi = static_cast<int>(kScreenDpi);
  // Raster pictures only: the part of the picture drawn, in its device pixels, the buffer
  // holding that part alone; empty (no width) for the whole picture.
  PixelWindow window;
  // The widget only: a drawing of at least this many entities is drawn on a thread of its
  // own, the window meanwhile showing the last picture scaled in place and answering input;
  // 0: every frame on the GUI thread.
  int drawAsideFrom = 200000;
};

}  // namespace trazo::qt
