#include "script/printable_text.hpp"

#include "script/utf8.hpp"

#include <cstdint>
#include <cstdio>

namespace trazo::script {
namespace {

// Characters that change how a terminal shows what follows, or show as nothing at all.
bool actsRatherThanPrints(std::uint32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x180E || (c >= 0x200B && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB);
}

void appendEscape(std::string& out, const char* format, std::uint32_t value) {
  char escape[12];
  std::snprintf(escape, sizeof escape, format, static_cast<unsigned>(value));
  out += escape;
}

// Appends up to `most` characters of `bytes`; returns how many bytes it used.
std::size_t appendPrintable(std::string& out, std::string_view bytes, std::size_t most, bool doubledQuotes) {
  std::size_t at = 0;
  for (std::size_t shown = 0; at < bytes.size() && shown < most; ++shown) {
    std::uint32_t c = 0;
    const std::size_t length = decodeUtf8(bytes.substr(at), c);
    if (length == 0) {
      appendEscape(out, "\\x%02x", static_cast<unsigned char>(bytes[at]));
      ++at;
      continue;
    }
    if (c == '\\') {
      out += "\\\\";
    } else if (actsRatherThanPrints(c)) {
      appendEscape(out, c < 0x80 ? "\\x%02x" : "\\u%04x", c);
    } else {
      out.append(bytes.substr(at, length));
    }
    at += length;
    if (doubledQuotes && c == '"' && at < bytes.size() && bytes[at] == '"') ++at;
  }
  return at;
}

}  // namespace

std::string printable(std::string_view bytes) {
  std::string out;
  appendPrintable(out, bytes, bytes.size(), false);
  return out;
}

std::string quoted(std::string_view bytes, bool doubledQuotes) {
  std::string out = "'";
  const std::size_t used = appendPrintable(out, bytes, kQuotedCharacters, doubledQuotes);
  if (used < bytes.size()) out += "...";
  return out += "'";
}

}  // namespace trazo::script
