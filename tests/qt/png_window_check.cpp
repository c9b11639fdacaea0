// png_window_check WHOLE.png LEFT TOP PART.png [LEFT TOP PART.png ...]: exits 0 when each
// PART's pixels are exactly those of WHOLE from (LEFT, TOP) on, and 1 naming the first part
// that differs (or cannot be read) otherwise. It lets the command-line tests hold a window
// or a tile against a crop of the whole picture.
#include "shells/png/png_codec.hpp"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool readPng(const char* path, trazo::PixelBuffer& picture) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string error = "the file cannot be opened";
  if (!in || !trazo::png::decodePng(bytes.data(), bytes.size(), picture, error)) {
    std::cerr << path << ": cannot be read as a PNG: " << error << '\n';
    return false;
  }
  return true;
}

// Where the part first differs from the whole, or an empty text when it does not.
std::string firstDifference(const trazo::PixelBuffer& whole, int left, int top, const trazo::PixelBuffer& part) {
  if (left < 0 || top < 0 || left + part.width() > whole.width() || top + part.height() > whole.height())
    return "it reaches outside the whole picture";
  for (int y = 0; y < part.height(); ++y) {
    for (int x = 0; x < part.width(); ++x) {
      if (part.at(x, y) != whole.at(left + x, top + y))
        return "its pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") differs";
    }
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || (argc - 2) % 3 != 0) {
    std::cerr << "usage: png_window_check WHOLE.png LEFT TOP PART.png [LEFT TOP PART.png ...]\n";
    return 2;
  }
  trazo::PixelBuffer whole;
  if (!readPng(argv[1], whole)) return 1;
  for (int k = 2; k < argc; k += 3) {
    trazo::PixelBuffer part;
    if (!readPng(argv[k + 2], part)) return 1;
    const std::string difference = firstDifference(whole, std::atoi(argv[k]), std::atoi(argv[k + 1]), part);
    if (!difference.empty()) {
      std::cerr << argv[k + 2] << " at (" << argv[k] << ", " << argv[k + 1] << ") of " << argv[1] << ": " << difference
                << '\n';
      return 1;
    }
  }
  return 0;
}
