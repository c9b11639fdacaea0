// Whether a text converts to the system's multi-byte code page at one byte per 16-bit code
// unit. On Linux the code page is 932 (Shift_JIS, as on a Japanese Windows); on Windows it
// is the system's default ANSI code page. A code unit the code page cannot hold counts as
// one byte, as the platform's replacement character would.
#pragma once

#include <string_view>

namespace trazo {

bool IsSingleByteText(std::u16string_view s);

// Bytes that one code unit takes in the code page: 1 or 2.
int codePageBytes(char16_t unit);

}  // namespace trazo
