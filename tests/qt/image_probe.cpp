#include "tests/qt/image_probe.hpp"

#include <cmath>

namespace trazo::qt::testing {

bool colourNear(const QImage& image, double x, double y, QColor colour, int reach) {
  const int cx = static_cast<int>(std::floor(x));
  const int cy = static_cast<int>(std::floor(y));
  for (int py = cy - reach; py <= cy + reach; ++py) {
    for (int px = cx - reach; px <= cx + reach; ++px) {
      if (image.valid(px, py) && image.pixelColor(px, py) == colour) return true;
    }
  }
  return false;
}

std::vector<int> runsAlongRow(const QImage& image, int y, int x0, int x1, QColor colour) {
  std::vector<int> runs;
  bool started = false;
  bool inInk = false;
  for (int x = x0; x <= x1; ++x) {
    const bool ink = image.pixelColor(x, y) == colour;
    if (!started) {
      if (!ink) continue;
      started = true;
      inInk = true;
      runs.push_back(0);
    }
    if (ink != inInk) {
      inInk = ink;
      runs.push_back(0);
    }
    ++runs.back();
  }
  if (runs.size() % 2 == 0 && !runs.empty()) runs.pop_back();  // what follows the last ink
  return runs;
}

int inkOutside(const QImage& image, int left, int top, int right, int bottom, QColor background) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const bool inside = x >= left && x <= right && y >= top && y <= bottom;
      if (!inside && image.pixelColor(x, y) != background) ++count;
    }
  }
  return count;
}

}  // namespace trazo::qt::testing
