// Byte lengths in code page 932 through iconv. Every BMP code unit is converted once, the
// first time a text holds anything beyond ASCII, and looked up in a table from then on.
#include "model/single_byte_text.hpp"

#include <iconv.h>

#include <array>
#include <cstdint>

namespace trazo {
namespace {

using LengthTable = std::array<std::uint8_t, 0x10000>;

int convertOne(iconv_t cd, char16_t unit) {
  if (unit >= 0xD800 && unit <= 0xDFFF) return 1;  // half of a pair: not representable
  char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  char out[8];
  char* inPtr = in;
  char* outPtr = out;
  std::size_t inLeft = sizeof in;
  std::size_t outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return 1;
  const auto written = static_cast<int>(sizeof out - outLeft);
  return written == 2 ? 2 : 1;
}

LengthTable buildTable() {
  LengthTable table;
  table.fill(1);
  const iconv_t cd = iconv_open("CP932", "UTF-16LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) return table;
  for (std::uint32_t unit = 0x80; unit < 0x10000; ++unit) {
    table[unit] = static_cast<std::uint8_t>(convertOne(cd, static_cast<char16_t>(unit)));
  }
  iconv_close(cd);
  return table;
}

}  // namespace

int codePageBytes(char16_t unit) {
  if (unit < 0x80) return 1;
  static const LengthTable table = buildTable();
  return table[unit];
}

}  // namespace trazo
