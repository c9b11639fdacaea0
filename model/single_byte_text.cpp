#include "model/single_byte_text.hpp"

namespace trazo {

bool IsSingleByteText(std::u16string_view s) {
  for (const char16_t unit : s) {
    if (unit >= 0x80 && codePageBytes(unit) != 1) return false;
  }
  return true;
}

}  // namespace trazo
