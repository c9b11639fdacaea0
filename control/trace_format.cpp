#include "control/trace_format.hpp"

#include <charconv>

namespace trazo {
namespace {

void appendGeneral(std::string& out, double value, int precision) {
  char buffer[48];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision).ptr;
  out.append(buffer, end);
}

}  // namespace

void appendDouble(std::string& out, double value) { appendGeneral(out, value, 17); }

void appendSingle(std::string& out, float value) { appendGeneral(out, static_cast<double>(value), 9); }

void appendColour(std::string& out, Rgb colour) {
  static constexpr char digits[] = "0123456789ABCDEF";
  for (const std::uint8_t component : {colour.red, colour.green, colour.blue}) {
    out += digits[component >> 4];
    out += digits[component & 15];
  }
}

}  // namespace trazo
