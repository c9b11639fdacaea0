// Numbers in text, as coercion reads them (a String argument passed to a Double or Long
// parameter, every number of a call script), checked against the C library's strtod: for
// any text of the form [blanks] [sign] digits [. digits] [e [sign] digits] [blanks] of at
// most 400 characters, parseNumber must give strtod's value bit for bit (0 below the
// Double range, overflow above it); anything else it must refuse.
#include "control/variant.hpp"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

[[noreturn]] void violated(const char* what, const std::string& text) {
  std::fprintf(stderr, "invariant violated: %s for \"%s\"\n", what, text.c_str());
  std::abort();
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Whether `s` (blanks already trimmed) is a number of the accepted form.
bool wellFormed(const std::string& s) {
  std::size_t i = 0, digits = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  return i == s.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Mostly the characters of numbers, so that the fuzzer spends its time on their forms.
  static constexpr char alphabet[] = "0123456789012345678900000.eE+- \t9x";
  std::string text;
  std::u16string units;
  for (std::size_t i = 0; i < size && i < 600; ++i) {
    const char c = data[i] < 0xF0 ? alphabet[data[i] % (sizeof alphabet - 1)] : static_cast<char>(data[i] & 0x7F);
    text += c;
    units += static_cast<char16_t>(static_cast<unsigned char>(c));
  }
  double value = 0;
  bool overflowed = false;
  const bool read = trazo::parseNumber(units, value, overflowed);

  const std::size_t first = text.find_first_not_of(" \t");
  const std::size_t last = text.find_last_not_of(" \t");
  const std::string trimmed = first == std::string::npos ? "" : text.substr(first, last - first + 1);
  if (!wellFormed(trimmed) || trimmed.size() > 400) {
    if (read) violated("a text that is no number was read", text);
    return 0;
  }
  errno = 0;
  const double expected = std::strtod(trimmed.c_str(), nullptr);
  if (errno == ERANGE && std::isinf(expected)) {
    if (read || !overflowed) violated("a number beyond the Double range did not overflow", text);
    return 0;
  }
  if (!read) violated("a number was refused", text);
  if (std::memcmp(&value, &expected, sizeof value) != 0) violated("a number was read as another value", text);
  return 0;
}
