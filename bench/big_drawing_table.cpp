// What a repaint of a large drawing costs by how much of it shows, as one table: the
// benchmarks' mixed drawing at each count given, repainted through the raster into the
// whole 1920 x 1080 picture (and the same with every command drawn in order, without passing
// over those later ones hide, as the baseline), into a 1920 x 1080 window at the middle of the picture zoomed
// 10, 100 and 1000 times (the spatial index hands over only what reaches the window), and
// through the painters and the device geometry alone (a back end that keeps nothing), and
// into the whole picture by a fresh engine each time (what a program that draws each picture
// once, into a saved file, pays for the engine's lists growing from nothing). Each figure is the median of the rounds'
// processor times of the process in one run (on a machine shared with other work the wall clock also counts the others;
// by default the raster draws on one thread, so that the figure is that of one core); the first repaint of a window,
// which builds the index, is shown apart.
//
//   big_drawing_table [COUNT...] [--rounds N] [--threads N]
#include "bench/mixed_control.hpp"
#include "bench/table_arguments.hpp"
#include "control/trazo.hpp"
#include "device/device_surface.hpp"
#include "raster/raster_surface.hpp"

#include <ctime>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace trazo;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// A back end that keeps nothing: what is left is the painters and the device geometry.
class KeepNothing final : public DeviceEngine {
 public:
  Status fill(Rgb) override { return status::ok; }
  Status line(const DeviceLine&) override {
    ++shapes;
    return status::ok;
  }
  Status round(const DeviceRound&) override {
    ++shapes;
    return status::ok;
  }
  std::size_t shapes = 0;
};

double millisecondsOf(const std::function<bool()>& repaint, bool& ok) {
  const std::clock_t start = std::clock();
  ok = repaint() && ok;
  return static_cast<double>(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC;
}

using bench::median;

bool fill(Trazo& control, std::size_t count) {
  if (failed(control.Clear())) return false;
  return bench::addMixedDrawing(control, bench::mixedDrawing(count));
}

}  // namespace

int main(int argc, char** argv) {
  const bench::TableArguments arguments = bench::tableArguments(argc, argv, 1);
  const int rounds = arguments.rounds, threads = arguments.threads;

  std::printf(
      "| entities (records) | whole picture | whole, every command in order | zoom 10x | 100x | 1000x | painters and "
      "geometry alone | first window repaint (index built) | whole, fresh engine "
      "|\n|---|---|---|---|---|---|---|---|---|\n");
  bool ok = true;
  for (const std::size_t count : arguments.counts) {
    Trazo control;
    RasterSurface picture;
    picture.raster().setThreads(threads);
    control.attachPicture(picture);
    (void)control.onInitialize();
    if (!fill(control, count)) {
      std::fprintf(stderr, "adding %zu entities failed\n", count);
      return 1;
    }
    std::int32_t records = 0;
    (void)control.Count(records);
    const auto repaint = [&] { return !failed(control.Reflash()) && picture.picture().width() > 0; };
    const auto timed = [&](const std::function<bool()>& prepare, double* first) {
      ok = prepare() && ok;
      const double warm = millisecondsOf(repaint, ok);
      if (first != nullptr) *first = warm;
      std::vector<double> ms;
      for (int r = 0; r < rounds; ++r) ms.push_back(millisecondsOf(repaint, ok));
      return median(ms);
    };

    const double whole = timed([&] { return picture.setPixelSize(kWidth, kHeight); }, nullptr);
    picture.raster().setPassOverHidden(false);
    const double inOrder = timed([] { return true; }, nullptr);
    picture.raster().setPassOverHidden(true);
    double zoomed[3] = {}, firstWindow = 0;
    const int zooms[3] = {10, 100, 1000};
    for (int z = 0; z < 3; ++z) {
      const int width = kWidth * zooms[z], height = kHeight * zooms[z];
      const PixelWindow middle{(width - kWidth) / 2, (height - kHeight) / 2, kWidth, kHeight};
      zoomed[z] = timed([&] { return picture.setPixelWindow(width, height, middle); }, z == 0 ? &firstWindow : nullptr);
    }

    KeepNothing nothing;
    DeviceSurface geometry;
    geometry.setDevice(kWidth, kHeight, kScreenDpi, kScreenDpi);
    geometry.setEngine(&nothing);
    control.attachPicture(geometry);
    std::vector<double> alone;
    for (int r = 0; r <= rounds; ++r) {
      const double ms = millisecondsOf([&] { return !failed(control.Reflash()); }, ok);
      if (r > 0) alone.push_back(ms);
    }
    control.detachPicture();

    std::vector<double> fresh;
    for (int r = 0; r < rounds; ++r) {
      RasterSurface once;
      once.raster().setThreads(threads);
      ok = once.setPixelSize(kWidth, kHeight) && ok;
      control.attachPicture(once);
      fresh.push_back(millisecondsOf([&] { return !failed(control.Reflash()) && once.picture().width() > 0; }, ok));
      control.detachPicture();
    }

    std::printf("| %zu (%d) | %.1f ms | %.1f ms | %.1f ms | %.1f ms | %.1f ms | %.1f ms | %.1f ms | %.1f ms |\n", count,
                static_cast<int>(records), whole, inOrder, zoomed[0], zoomed[1], zoomed[2], median(alone), firstWindow,
                median(fresh));
    std::fflush(stdout);
  }
  if (!ok) std::fprintf(stderr, "a repaint failed\n");
  return ok ? 0 : 1;
}
