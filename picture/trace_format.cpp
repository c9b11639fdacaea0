#include "picture/trace_format.hpp"

#include "base/decimal_text.hpp"

namespace trazo {
namespace {

void appendGeneral(std::string& out, double value, int precision) {
  char buffer[48];
  const char* end = writeGeneral(buffer, buffer + sizeof buffer, value, precision);
  out.append(buffer, static_cast<std::size_t>(end - buffer));
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
