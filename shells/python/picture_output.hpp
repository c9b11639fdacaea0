// The control's picture without a window, as the trazo host makes it: one Reflash into the
// raster back end for pixels and PNG, into the SVG writer for SVG, at 96 dots to the inch,
// with the host's choice of background, palette, line width and threads. Nothing here
// needs the interpreter.
#pragma once

#include "control/trazo.hpp"
#include "device/device_surface.hpp"
#include "picking/picker.hpp"
#include "raster/raster_surface.hpp"
#include "shells/png/png_codec.hpp"

#include <string>
#include <string_view>

namespace trazo::python {

// What the host chooses about how the picture looks; none of it is the control's. By
// default the classic look: one-pixel lines in the six light colours on black.
struct PictureLook {
  Rgb background{};
  bool lightPalette = false;   // the six colours' dark counterparts, for a light background
  double lineWidthPixels = 0;  // 0: the classic one device pixel
  int threads = 0;             // for the raster step: 0 as many as there are cores, 1 none
};

// The colours of the light palette: each of the six drawn as its dark counterpart in the
// same 16-colour palette.
ColourMap colourMapFor(bool lightPalette);

// Puts the look on a picture of 96 dots to the inch.
void applyLook(DeviceSurface& p1, const PictureLook& look);

// Runs the control's Paint action onto `p1`, `observer` told of each entity, then gives the
// control its own picture back. Returns Reflash's status.
Status paintOnto(Trazo& control, Surface& p1, PaintObserver* observer = nullptr);

// The raster picture of `width` x `height` pixels in `p1`; false when there is no memory for it.
bool renderRaster(Trazo& control, int width, int height, const PictureLook& look, RasterSurface& p1,
                  Status& paintStatus);

struct WriteResult {
  bool written = false;
  std::string error;                // why the picture was not written
  Status paintStatus = status::ok;  // what Reflash returned; the picture is written all the same
};

// With `picker`, it is told of the picture painted (picking/picker.hpp).
WriteResult writePng(Trazo& control, int width, int height, const PictureLook& look, const png::ByteSink& sink,
                     Picker* picker = nullptr);
// `title` names the drawing in the document.
WriteResult writeSvg(Trazo& control, int width, int height, const PictureLook& look, const png::ByteSink& sink,
                     std::u16string_view title, Picker* picker = nullptr);

// The drawing calls of one Reflash on a recording picture of `widthTwips` x `heightTwips`,
// in the trace format, and "Error Reflash <kind>" after them when it failed.
std::string traceOfReflash(Trazo& control, double widthTwips, double heightTwips);

}  // namespace trazo::python
