// The native side of bench/web_reflash.mjs: the benchmarks' mixed drawing in a control with
// a 1920 x 1080 raster picture on one thread, timed Reflash by Reflash (the raster drawn
// each time), beside the same drawing written as a call script for the browser to read.
//   web_reflash_baseline COUNT SCRIPT ROUNDS
// prints {"ms": [...], "hash": "..."}: each round's milliseconds and a hash of the pixels.
#include "bench/mixed_control.hpp"
#include "control/trazo.hpp"
#include "raster/raster_surface.hpp"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// FNV-1a over the 0xFFRRGGBB words, as the browser side hashes its canvas.
std::uint32_t hashOf(const trazo::PixelBuffer& picture) {
  std::uint32_t hash = 2166136261u;
  const std::size_t count = static_cast<std::size_t>(picture.width()) * static_cast<std::size_t>(picture.height());
  for (std::size_t i = 0; i < count; ++i) hash = (hash ^ picture.data()[i]) * 16777619u;
  return hash;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: web_reflash_baseline COUNT SCRIPT ROUNDS\n");
    return 2;
  }
  const auto drawing = trazo::bench::mixedDrawing(static_cast<std::size_t>(std::strtoul(argv[1], nullptr, 10)));
  {
    std::ofstream script(argv[2]);
    trazo::bench::writeScript(drawing, script);
    if (!script) return 1;
  }
  trazo::Trazo control;
  trazo::RasterSurface picture;
  if (!picture.setPixelSize(kWidth, kHeight)) return 1;
  picture.raster().setThreads(1);
  control.attachPicture(picture);
  (void)control.onInitialize();
  (void)trazo::bench::addMixedDrawing(control, drawing);
  const int rounds = std::atoi(argv[3]);
  std::printf("{\"ms\": [");
  for (int round = 0; round <= rounds; ++round) {  // round 0 warms up and is not counted
    const auto start = std::chrono::steady_clock::now();
    if (trazo::failed(control.Reflash())) return 1;
    (void)picture.picture();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    if (round > 0) std::printf("%s%.3f", round > 1 ? ", " : "", took.count());
  }
  std::printf("], \"hash\": \"%08x\"}\n", static_cast<unsigned>(hashOf(picture.picture())));
  return 0;
}
