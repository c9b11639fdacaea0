#include "automation/number_text.hpp"

#include "base/decimal_text.hpp"

#include <algorithm>
#include <string>
#include <system_error>

namespace trazo {
namespace {

using number_text::kClampedExponent;

using number_text::isDigit;

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

namespace {

bool isWhiteSpace(char16_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}
bool isDecimalDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
int radixDigit(char16_t c, int radix) {
  const int d = c >= u'0' && c <= u'9'   ? c - u'0'
                : c >= u'A' && c <= u'F' ? c - u'A' + 10
                : c >= u'a' && c <= u'f' ? c - u'a' + 10
                                         : 99;
  return d < radix ? d : -1;
}

// Reads the text from `at`, one part after the other; each part leaves `at` after it.
class CoercedText {
 public:
  explicit CoercedText(std::u16string_view text) : text_(text.substr(0, text.find(u'\0'))) {}

  NumberText read(CoercedNumber& number) {
    leadingSymbols();
    const bool radix = at(0) == u'&' && (at(1) == u'H' || at(1) == u'h' || at(1) == u'O' || at(1) == u'o');
    number.radix = radix;
    NumberText read = NumberText::ok;
    if (radix) {
      if (currency_) return NumberText::notANumber;
      read = radixDigits(at(1) == u'H' || at(1) == u'h' ? 16 : 8, number.bits);
    } else {
      read = decimal(number.value);
    }
    if (read == NumberText::notANumber || !trailingSymbols() || at_ != text_.size()) return NumberText::notANumber;
    if (read == NumberText::ok && !radix && negative_) number.value = -number.value;
    return read;
  }

 private:
  char16_t at(std::size_t ahead) const { return at_ + ahead < text_.size() ? text_[at_ + ahead] : u'\0'; }

  void leadingSymbols() {
    for (;; ++at_) {
      const char16_t c = at(0);
      if (isWhiteSpace(c)) continue;
      if (c == u'+' && !plus_) plus_ = true;
      else if (c == u'-' && !minus_) minus_ = negative_ = true;
      else if (c == u'$' && !currency_) currency_ = true;
      else if (c == u'(' && !open_) open_ = negative_ = true;
      else return;
    }
  }

  bool trailingSymbols() {
    bool currency = false;
    for (;; ++at_) {
      const char16_t c = at(0);
      if (isWhiteSpace(c) || c == u'+') continue;
      if (c == u'-' && !minus_) negative_ = true;
      else if (c == u'$' && !currency) currency = true;
      else if (c == u')' && open_ && !closed_) closed_ = true;
      else return open_ == closed_ && (!currency || !radix_);
    }
  }

  NumberText radixDigits(int radix, std::uint64_t& bits) {
    radix_ = true;
    at_ += 2;
    const std::size_t first = at_;
    const unsigned shift = radix == 16 ? 4 : 3;
    bool overflowed = false;
    for (int d; (d = radixDigit(at(0), radix)) >= 0; ++at_) {
      overflowed = overflowed || (bits >> (64 - shift)) != 0;
      bits = (bits << shift) | static_cast<unsigned>(d);
    }
    if (at_ == first) return NumberText::notANumber;
    return overflowed ? NumberText::outOfRange : NumberText::ok;
  }

  // Digits, separators, a point and an exponent, read into the plain form the decimal reader takes.
  NumberText decimal(double& value) {
    std::string plain;
    bool point = false;
    for (;; ++at_) {
      const char16_t c = at(0);
      if (isDecimalDigit(c)) plain += static_cast<char>(c);
      else if (c == u',' && !plain.empty()) continue;
      else if (c == u'.' && !point) point = true, plain += '.';
      else break;
    }
    if (plain.find_first_of("0123456789") == std::string::npos) return NumberText::notANumber;
    if (!currency_ && (at(0) == u'e' || at(0) == u'E')) {
      ++at_;
      bool plus = false, minus = false;
      for (;; ++at_) {
        if (at(0) == u'+' && !plus) plus = true;
        else if (at(0) == u'-' && !minus) minus = true;
        else break;
      }
      long exponent = 0;
      const std::size_t first = at_;
      for (; isDecimalDigit(at(0)); ++at_) exponent = std::min(exponent * 10 + (at(0) - u'0'), kClampedExponent);
      if (at_ == first) return NumberText::notANumber;
      plain += (minus ? "e-" : "e") + std::to_string(exponent);
    }
    return number_text::nearestDouble(plain, value) ? NumberText::ok : NumberText::outOfRange;
  }

  std::u16string_view text_;
  std::size_t at_ = 0;
  bool plus_ = false, minus_ = false, currency_ = false, open_ = false, closed_ = false;
  bool negative_ = false, radix_ = false;
};

}  // namespace

NumberText readCoercedNumber(std::u16string_view text, CoercedNumber& number) { return CoercedText(text).read(number); }

}  // namespace trazo
