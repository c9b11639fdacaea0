// Numbers written as text. A call script's numbers: digits [. digits] [E [sign] digits],
// or . digits [...], with no sign (a script writes it as a token of its own); and what
// automation's coercion reads in a String argument passed to a number (readCoercedNumber).
// Both give the nearest Double of the digits they read, and neither depends on the process
// locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>

namespace trazo {

// Longest number text read, sign included for coercion: a guard against texts that no one
// writes by hand, not a limit of the value.
inline constexpr std::size_t kLongestNumberText = 400;

struct NumberScan {
  std::size_t length = 0;  // characters of `text` that the number covers; 0 when none starts it
  bool malformed = false;  // an exponent mark without digits; `length` runs to where it stopped
  // The number as significand x 10^exponent, when the significand's digits fit 64 bits.
  bool fitted = true;
  std::uint64_t significand = 0;
  long exponent = 0;
};

namespace number_text {

// Significant digits that always fit a 64-bit significand.
inline constexpr long kFittedDigits = 19;
// A written exponent beyond this says nothing more about the value.
inline constexpr long kClampedExponent = 1000000;
// Integers up to 2^53 and powers of ten up to 10^22 are exact Doubles.
inline constexpr std::uint64_t kExactIntegers = std::uint64_t{1} << 53;
inline constexpr long kExactPowers = 22;
inline constexpr double kPowersOfTen[kExactPowers + 1] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                          1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                          1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline constexpr std::uint64_t kPowersOfTen64[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The nearest Double to a well-formed number, correctly rounded; 0 below the Double range,
// false beyond it.
bool nearestDouble(std::string_view digits, double& value);

// Reads the run of digits from `p` on into `significand` (times ten per digit, wrapping
// around past 19 digits); returns where the run ends. Eight bytes at a time where the text
// has them, on a little-endian machine.
inline const char* readDigits(const char* p, const char* end, std::uint64_t& significand) {
  if constexpr (std::endian::native == std::endian::little) {
    while (end - p >= 8) {
      std::uint64_t bytes;
      std::memcpy(&bytes, p, sizeof bytes);
      const std::uint64_t x = bytes ^ 0x3030303030303030u;  // a digit byte becomes 0 to 9
      // The top bit of each byte that is more than 9; a carry out of such a byte can only
      // spoil the flags of the bytes after it.
      const std::uint64_t notDigit = ((x + 0x7676767676767676u) | x) & 0x8080808080808080u;
      const int run = notDigit == 0 ? 8 : std::countr_zero(notDigit) / 8;
      if (run == 0) return p;
      // The run's digits as an eight-digit number with leading zeros, in three multiplications.
      std::uint64_t v = x << (8 * (8 - run));
      v = (v * 10) + (v >> 8);
      v = static_cast<std::uint32_t>((((v & 0x000000FF000000FFu) * (100 + (1000000ull << 32))) +
                                      (((v >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32)))) >>
                                     32);
      significand = significand * kPowersOfTen64[run] + v;
      p += run;
      if (run < 8) return p;
    }
  }
  for (; p != end; ++p) {
    const auto d = static_cast<unsigned>(*p - '0');
    if (d > 9) break;
    significand = significand * 10 + d;
  }
  return p;
}

// Significant digits of a run of digits, leading zeros left out.
long significantDigits(std::string_view text);

}  // namespace number_text

// Scans the number at the start of `text`, into `scan` (which a caller may keep in place).
// Inline, as is numberValue: every number of a script passes here.
inline void scanNumber(std::string_view text, NumberScan& scan) {
  using namespace number_text;
  const char* begin = text.data();
  const char* end = begin + text.size();
  std::uint64_t significand = 0;
  const char* p = readDigits(begin, end, significand);
  const auto integerDigits = static_cast<std::size_t>(p - begin);
  std::size_t fractionDigits = 0;
  if (p != end && *p == '.') {
    const char* fraction = p + 1;
    p = readDigits(fraction, end, significand);
    fractionDigits = static_cast<std::size_t>(p - fraction);
  }
  scan.malformed = false;
  if (integerDigits + fractionDigits == 0) {  // no digit: no number (the rest unset)
    scan.length = 0;
    return;
  }
  long written = 0;
  if (p != end && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '+' || *p == '-')) ++p;
    const char* digits = p;
    for (; p != end && isDigit(*p); ++p) written = std::min(written * 10 + (*p - '0'), kClampedExponent);
    if (p == digits) {
      scan.length = static_cast<std::size_t>(p - begin);
      scan.malformed = true;
      return;
    }
    if (negative) written = -written;
  }
  scan.length = static_cast<std::size_t>(p - begin);
  // The significand is only used when it kept every significant digit.
  scan.fitted = integerDigits + fractionDigits <= static_cast<std::size_t>(kFittedDigits) ||
                significantDigits(std::string_view(
                    begin, integerDigits + (fractionDigits > 0 ? 1 + fractionDigits : 0))) <= kFittedDigits;
  scan.significand = significand;
  scan.exponent = written - static_cast<long>(fractionDigits);
}

inline NumberScan scanNumber(std::string_view text) {
  NumberScan scan;
  scanNumber(text, scan);
  return scan;
}

// The value of `digits`, a whole number that scanNumber accepted (as `scan`). Below the
// Double range is 0 (underflow is no error); false beyond it, or for more than
// kLongestNumberText characters. The nearest Double, correctly rounded.
inline bool numberValue(std::string_view digits, const NumberScan& scan, double& value) {
  using namespace number_text;
  if (digits.size() > kLongestNumberText) return false;
  if (scan.fitted && scan.significand == 0) {
    value = 0;
    return true;
  }
  // Both factors exact, so the one rounding of the product or quotient is the correct one.
  if (scan.fitted && scan.significand <= kExactIntegers && scan.exponent >= -kExactPowers &&
      scan.exponent <= kExactPowers) {
    const auto significand = static_cast<double>(scan.significand);
    value = scan.exponent < 0 ? significand / kPowersOfTen[-scan.exponent] : significand * kPowersOfTen[scan.exponent];
    return true;
  }
  return nearestDouble(digits, value);
}
bool numberValue(std::string_view digits, double& value);

enum class NumberText { ok, notANumber, outOfRange };

// A String argument as automation's coercion reads it for a number parameter, with the
// symbols of the US English locale the type library is written in (the platform's own
// coercion takes the user's). The text ends at its first NUL, as the platform reads it.
// In order: any of white space, one '+', one '-', one '$' and one '(', mixed; then either
// "&H" and hexadecimal digits or "&O" and octal ones (no '$' then, and the signs change
// nothing), or decimal digits with ',' anywhere after the first digit, at most one '.',
// and, unless a '$' came first, an exponent E or e with at most one '+' and one '-' and
// digits; then any of white space, '+', '-' (not after a leading '-'), one '$' and the ')'
// that closes a '('; and nothing else. A '-' or the parentheses make a decimal number
// negative. White space is the Unicode White_Space set.
struct CoercedNumber {
  bool radix = false;  // "&H" or "&O": `bits` holds it; otherwise `value`
  std::uint64_t bits = 0;
  double value = 0;
};
NumberText readCoercedNumber(std::u16string_view text, CoercedNumber& number);

}  // namespace trazo
