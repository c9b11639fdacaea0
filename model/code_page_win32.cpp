// Byte lengths in the system's default ANSI code page.
#include "model/single_byte_text.hpp"

#include <windows.h>

namespace trazo {

int codePageBytes(char16_t unit) {
  if (unit < 0x80) return 1;
  if (unit >= 0xD800 && unit <= 0xDFFF) return 1;
  const wchar_t wide = static_cast<wchar_t>(unit);
  char out[8];
  const int written = WideCharToMultiByte(CP_ACP, 0, &wide, 1, out, sizeof out, nullptr, nullptr);
  return written == 2 ? 2 : 1;
}

}  // namespace trazo
