#include "shells/python/picture_output.hpp"

#include "picture/recording_surface.hpp"
#include "raster/raster_walk_split.hpp"
#include "svg/svg_writer.hpp"

#include <sstream>

namespace trazo::python {
namespace {

// Hands the control's painting to `observer` for as long as it lives.
class Observing {
 public:
  Observing(Trazo& control, PaintObserver* observer) : control_(control), previous_(control.paintObserver()) {
    if (observer != nullptr) control.observePainting(observer);
  }
  ~Observing() { control_.observePainting(previous_); }
  Observing(const Observing&) = delete;
  Observing& operator=(const Observing&) = delete;

 private:
  Trazo& control_;
  PaintObserver* previous_;
};

}  // namespace

ColourMap colourMapFor(bool lightPalette) { return lightPalette ? darkOnLight() : ColourMap{}; }

void applyLook(DeviceSurface& p1, const PictureLook& look) {
  p1.setBackground(look.background);
  p1.setColourMap(colourMapFor(look.lightPalette));
  p1.setPen(penFor(look.lineWidthPixels, p1.dpiX()));
}

Status paintOnto(Trazo& control, Surface& p1, PaintObserver* observer) {
  Surface& previous = control.picture();
  control.attachPicture(p1);
  Status s = status::ok;
  {
    Observing observing(control, observer);
    try {
      s = control.onPaint();
    } catch (...) {
      s = status::unexpected;
    }
  }
  control.attachPicture(previous);
  return s;
}

bool renderRaster(Trazo& control, int width, int height, const PictureLook& look, RasterSurface& p1,
                  Status& paintStatus) {
  if (!p1.setPixelSize(width, height, kScreenDpi, kScreenDpi)) return false;
  applyLook(p1, look);
  p1.raster().setThreads(look.threads);
  p1.setAntialias(look.antialias);
  // A large drawing's walk is shared between two threads, as the other shells share it.
  RasterWalkSplit split;
  split.use(p1, p1.raster());
  control.shareWalk(&split);
  paintStatus = paintOnto(control, p1);
  control.shareWalk(nullptr);
  return true;
}

WriteResult writePng(Trazo& control, int width, int height, const PictureLook& look, const png::ByteSink& sink,
                     Picker* picker) {
  WriteResult result;
  RasterSurface p1;
  if (!renderRaster(control, width, height, look, p1, result.paintStatus)) {
    result.error = "no memory for a picture of that size";
    return result;
  }
  if (picker != nullptr) picker->painted(control.store(), p1);
  result.written = png::encodePng(p1.picture(), kScreenDpi, sink, result.error);
  return result;
}

// SVG is written as it is painted, straight to the sink.
WriteResult writeSvg(Trazo& control, int width, int height, const PictureLook& look, const png::ByteSink& sink,
                     std::u16string_view title, Picker* picker) {
  WriteResult result;
  DeviceSurface picture;
  picture.setDevice(width, height, kScreenDpi, kScreenDpi);
  applyLook(picture, look);
  const SvgSink bytes = [&sink](const char* data, std::size_t n) {
    return sink(reinterpret_cast<const unsigned char*>(data), n);
  };
  SvgWriter svg(bytes, picture, {look.antialias, false});
  picture.setEngine(&svg);
  svg.begin(title);
  result.paintStatus = paintOnto(control, picture, &svg);
  if (picker != nullptr) picker->painted(control.store(), picture);
  result.written = svg.finish();
  if (!result.written) {
    result.error = "the output refused the data";
    result.paintStatus = status::ok;  // the painting stopped because the output did
  }
  return result;
}

std::string traceOfReflash(Trazo& control, double widthTwips, double heightTwips) {
  std::ostringstream out;
  RecordingSurface picture(out, widthTwips, heightTwips);
  Surface& previous = control.picture();
  control.attachPicture(picture);
  const Status s = control.Reflash();
  control.attachPicture(previous);
  if (failed(s)) out << "Error Reflash " << statusKind(s) << '\n';
  return std::move(out).str();
}

}  // namespace trazo::python
