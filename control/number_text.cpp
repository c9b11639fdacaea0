#include "control/number_text.hpp"

#include "base/decimal_text.hpp"

#include <algorithm>
#include <system_error>

namespace trazo {
namespace {

using number_text::kClampedExponent;

using number_text::isDigit;
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The power of ten of the first significant digit of a well-formed number, its written
// exponent included: 2 for "123", -3 for "0.00123", -1 for "12e-2". Only its sign matters,
// so the written exponent is clamped where it cannot change that.
long decimalExponent(std::string_view number) {
  const std::size_t e = number.find_first_of("eE");
  const std::string_view mantissa = number.substr(0, e);
  long written = 0;
  if (e != std::string_view::npos) {
    std::size_t k = e + 1;
    const bool negative = k < number.size() && number[k] == '-';
    if (k < number.size() && (number[k] == '+' || number[k] == '-')) ++k;
    for (; k < number.size(); ++k) written = std::min(written * 10 + (number[k] - '0'), kClampedExponent);
    if (negative) written = -written;
  }
  const std::size_t dot = mantissa.find('.');
  std::size_t digitsBeforeDot = 0;
  for (std::size_t k = 0; k < std::min(dot, mantissa.size()); ++k) digitsBeforeDot += isDigit(mantissa[k]);
  long position = static_cast<long>(digitsBeforeDot) - 1;
  for (const char c : mantissa) {
    if (!isDigit(c)) continue;
    if (c != '0') return position + written;
    --position;
  }
  return -1;  // all zeros: zero is as small as it gets
}

}  // namespace

namespace number_text {

bool nearestDouble(std::string_view digits, double& value) {
  const char* end = digits.data() + digits.size();
  const auto [ptr, ec] = readDouble(digits.data(), end, value);
  if (ec == std::errc::result_out_of_range) {
    // Too small is zero; too large overflows.
    if (decimalExponent(digits) >= 0) return false;
    value = 0;
    return true;
  }
  return ec == std::errc() && ptr == end;
}

long significantDigits(std::string_view text) {
  long count = 0;
  bool started = false;
  for (const char c : text) {
    if (!isDigit(c)) continue;
    started = started || c != '0';
    count += started;
  }
  return count;
}

}  // namespace number_text

bool numberValue(std::string_view digits, double& value) { return numberValue(digits, scanNumber(digits), value); }

NumberText readNumberText(std::string_view text, double& value) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  if (text.empty() || text.size() > kLongestNumberText) return NumberText::notANumber;
  const bool negative = text.front() == '-';
  if (negative || text.front() == '+') text.remove_prefix(1);
  const NumberScan scan = scanNumber(text);
  if (scan.length == 0 || scan.malformed || scan.length != text.size()) return NumberText::notANumber;
  if (!numberValue(text, scan, value)) return NumberText::outOfRange;
  if (negative) value = -value;
  return NumberText::ok;
}

}  // namespace trazo
