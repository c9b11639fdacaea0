// The raster's pixels of a call script for the Wine suite's comparisons: runs the script as
// `trazo render` does (the statements against a control whose P1 has the picture's size,
// then one paint into the raster picture at 96 dots per inch) and writes the pixels as a
// binary PPM; with --antialias, the antialiased picture. Built natively it gives the Linux
// side; built for Windows it runs under Wine, so that the antialiased raster, which the
// Windows control does not offer yet, is held to Linux's pixels there too.
//   raster_pixels [--antialias] WIDTHxHEIGHT SCRIPT OUT.ppm
// Exits 0 when written, 1 when a statement failed or the file could not be written, 2 for
// bad arguments or a rejected script.
#include "ppm_image.hpp"

#include "control/trazo.hpp"
#include "raster/raster_surface.hpp"
#include "tools/trazo/script_file.hpp"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string_view>

using namespace trazo;

int main(int argc, char** argv) {
  const bool antialias = argc > 1 && std::string_view(argv[1]) == "--antialias";
  if (antialias) --argc, ++argv;
  double width = 0, height = 0;
  if (argc != 4 || !cli::parseSize(argv[1], width, height) || width < 1 || height < 1) {
    std::cerr << "usage: raster_pixels [--antialias] WIDTHxHEIGHT SCRIPT OUT.ppm\n";
    return 2;
  }
  cli::ProgressDisplay quiet(argv[2], std::cerr, false);
  auto script = cli::loadScript(argv[2], quiet);
  if (!script) return 2;

  DeviceSurface running;
  running.setDevice(width, height, kScreenDpi, kScreenDpi);
  Trazo control;
  control.attachPicture(running);
  (void)control.onInitialize();
  cli::FailureReport failures(argv[2]);
  script->run(control, failures);
  if (failures.failures() != 0) return 1;

  RasterSurface p1;
  if (!p1.setPixelSize(static_cast<int>(width), static_cast<int>(height), kScreenDpi, kScreenDpi)) return 1;
  p1.setAntialias(antialias);
  control.attachPicture(p1);
  const Status painted = control.onPaint();
  control.onTerminate();
  if (failed(painted)) {
    std::cerr << argv[2] << ": the paint failed: " << statusKind(painted) << '\n';
    return 1;
  }
  std::ofstream out(argv[3], std::ios::binary);
  out << wintest::ppmBytes(p1.picture());
  out.close();
  if (!out) {
    std::cerr << argv[3] << ": cannot be written\n";
    return 1;
  }
  return 0;
}
