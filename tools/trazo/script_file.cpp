#include "tools/trazo/script_file.hpp"

#include "base/decimal_text.hpp"

#include <fstream>
#include <iostream>
#include <sstream>

namespace trazo::cli {

std::optional<script::Script> loadScript(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << path << ": cannot be read\n";
    return std::nullopt;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    std::cerr << path << ": cannot be read\n";
    return std::nullopt;
  }
  script::Script s = script::readScript(text.str(), path);
  if (!s.errors.empty()) {
    for (const std::string& e : s.errors) std::cerr << e << '\n';
    return std::nullopt;
  }
  return s;
}

bool parseSize(const std::string& text, double& width, double& height) {
  const auto x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  const char* begin = text.data();
  const char* end = begin + text.size();
  const auto w = readDouble(begin, begin + x, width);
  const auto h = readDouble(begin + x + 1, end, height);
  return w.ec == std::errc() && w.ptr == begin + x && h.ec == std::errc() && h.ptr == end && x > 0 &&
         width >= 0 && height >= 0 && width < 1e9 && height < 1e9;
}

}  // namespace trazo::cli
