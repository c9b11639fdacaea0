#include "base/decimal_text.hpp"

#include <charconv>

#if !defined(__cpp_lib_to_chars)
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#endif

namespace trazo {

#if defined(__cpp_lib_to_chars)

char* writeGeneral(char* first, char* last, double value, int precision) {
  return std::to_chars(first, last, value, std::chars_format::general, precision).ptr;
}

char* writeFixed(char* first, char* last, double value, int decimals) {
  const auto [ptr, ec] = std::to_chars(first, last, value, std::chars_format::fixed, decimals);
  return ec == std::errc() ? ptr : first;
}

ReadResult readDouble(const char* first, const char* last, double& value) {
  const auto [ptr, ec] = std::from_chars(first, last, value);
  return {ptr, ec};
}

#else

char* writeGeneral(char* first, char* last, double value, int precision) {
  const int length = std::snprintf(first, static_cast<std::size_t>(last - first), "%.*g", precision, value);
  return length < 0 || length >= last - first ? first : first + length;
}

char* writeFixed(char* first, char* last, double value, int decimals) {
  const int length = std::snprintf(first, static_cast<std::size_t>(last - first), "%.*f", decimals, value);
  return length < 0 || length >= last - first ? first : first + length;
}

namespace {

const char* skipDigits(const char* p, const char* last) {
  while (p != last && *p >= '0' && *p <= '9') ++p;
  return p;
}

}  // namespace

ReadResult readDouble(const char* first, const char* last, double& value) {
  // The extent of the number, as from_chars would take it; strtod would take more forms.
  const char* p = first;
  if (p != last && *p == '-') ++p;
  const char* digits = p;
  p = skipDigits(p, last);
  bool any = p != digits;
  if (p != last && *p == '.') {
    const char* fraction = ++p;
    p = skipDigits(p, last);
    any = any || p != fraction;
  }
  if (!any) return {first, std::errc::invalid_argument};
  if (p != last && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    if (q != last && (*q == '+' || *q == '-')) ++q;
    const char* exponent = q;
    q = skipDigits(q, last);
    if (q != exponent) p = q;
  }
  const std::string text(first, p);
  errno = 0;
  const double read = std::strtod(text.c_str(), nullptr);
  // strtod says ERANGE for subnormal results too; like from_chars, only a result that
  // overflowed or came out as zero is out of range.
  if (errno == ERANGE && (std::isinf(read) || read == 0)) return {p, std::errc::result_out_of_range};
  value = read;
  return {p, std::errc()};
}

#endif

}  // namespace trazo
