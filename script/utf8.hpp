// One UTF-8 sequence read: the script's strings and its bytes in messages are read alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace trazo::script {

// The code point of the UTF-8 sequence at the start of `bytes` (not empty) and the
// sequence's length; 0 when the bytes start no valid sequence: a stray continuation byte,
// an overlong form, an encoded surrogate, a value past U+10FFFF, or a sequence cut off.
inline std::size_t decodeUtf8(std::string_view bytes, std::uint32_t& c) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  std::size_t extra = 0;
  if (lead < 0x80) {
    c = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) c = lead & 0x1Fu, extra = 1;
  else if (lead >= 0xE0 && lead <= 0xEF) c = lead & 0x0Fu, extra = 2;
  else if (lead >= 0xF0 && lead <= 0xF4) c = lead & 0x07u, extra = 3;
  else return 0;
  if (bytes.size() <= extra) return 0;
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto next = static_cast<unsigned char>(bytes[k]);
    if ((next & 0xC0u) != 0x80u) return 0;
    c = (c << 6) | (next & 0x3Fu);
  }
  if ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c <= 0xDFFF)) {
    return 0;
  }
  return extra + 1;
}

}  // namespace trazo::script
