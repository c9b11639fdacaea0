#include "control/variant.hpp"

#include "base/decimal_text.hpp"
#include "base/status.hpp"

#include <algorithm>
#include <cmath>
#include <string>

namespace trazo {
namespace {

constexpr double kTrue = -1;  // automation's True as a number

// Numeric value of any non-string variant.
double numberOf(const Variant& v) {
  return std::visit(
      [](const auto& x) -> double {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) return 0;
        else if constexpr (std::is_same_v<T, bool>) return x ? kTrue : 0;
        else if constexpr (std::is_same_v<T, std::u16string>) return 0;
        else return static_cast<double>(x);
      },
      v);
}

// Round half to even without depending on the current rounding mode.
double roundHalfEven(double x) {
  const double lower = std::floor(x);
  const double fraction = x - lower;
  if (fraction < 0.5) return lower;
  if (fraction > 0.5) return lower + 1;
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

Status toNumber(const Variant& in, double& out) {
  if (const auto* s = std::get_if<std::u16string>(&in)) {
    bool overflowed = false;
    if (!parseNumber(*s, out, overflowed)) return overflowed ? status::dispOverflow : status::typeMismatch;
    return status::ok;
  }
  out = numberOf(in);
  return status::ok;
}

// The power of ten of the first significant digit of a well-formed number, its written
// exponent included: 2 for "123", -3 for "0.00123", -1 for "12e-2". Only its sign matters,
// so the written exponent is clamped where it cannot change that.
long decimalExponent(std::string_view number) {
  const std::size_t e = number.find('e');
  const std::string_view mantissa = number.substr(0, e);
  long written = 0;
  if (e != std::string_view::npos) {
    std::size_t k = e + 1;
    const bool negative = k < number.size() && number[k] == '-';
    if (k < number.size() && (number[k] == '+' || number[k] == '-')) ++k;
    for (; k < number.size(); ++k) written = std::min(written * 10 + (number[k] - '0'), 1000000L);
    if (negative) written = -written;
  }
  const std::size_t dot = mantissa.find('.');
  std::size_t digitsBeforeDot = 0;
  for (std::size_t k = 0; k < std::min(dot, mantissa.size()); ++k) digitsBeforeDot += mantissa[k] >= '0' && mantissa[k] <= '9';
  long position = static_cast<long>(digitsBeforeDot) - 1;
  for (const char c : mantissa) {
    if (c < '0' || c > '9') continue;
    if (c != '0') return position + written;
    --position;
  }
  return -1;  // all zeros: zero is as small as it gets
}

}  // namespace

Status coerce(const Variant& in, VarType to, Variant& out) {
  switch (to) {
    case VarType::Double: {
      double d = 0;
      if (const Status s = toNumber(in, d); failed(s)) return s;
      out = d;
      return status::ok;
    }
    case VarType::Long: {
      double d = 0;
      if (const Status s = toNumber(in, d); failed(s)) return s;
      const double rounded = roundHalfEven(d);
      if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return status::dispOverflow;
      out = static_cast<std::int32_t>(rounded);
      return status::ok;
    }
    case VarType::String: {
      if (const auto* s = std::get_if<std::u16string>(&in)) {
        out = *s;
      } else if (std::holds_alternative<std::monostate>(in)) {
        out = std::u16string();
      } else if (const auto* b = std::get_if<bool>(&in)) {
        out = std::u16string(*b ? u"True" : u"False");
      } else {
        out = formatDouble(numberOf(in));
      }
      return status::ok;
    }
    default: return status::typeMismatch;
  }
}

std::u16string formatDouble(double value) {
  if (std::isnan(value)) return u"NaN";
  if (std::isinf(value)) return value > 0 ? u"Infinity" : u"-Infinity";
  char buffer[40];
  char* end = writeGeneral(buffer, buffer + sizeof buffer, value == 0 ? 0.0 : value, 15);
  std::u16string text(buffer, end);
  for (char16_t& c : text) {
    if (c == u'e') c = u'E';
  }
  return text;
}

bool parseNumber(std::u16string_view text, double& value, bool& overflowed) {
  overflowed = false;
  std::string ascii;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  std::size_t end = text.size();
  while (end > i && (text[end - 1] == u' ' || text[end - 1] == u'\t')) --end;
  if (i == end || end - i > 400) return false;
  // sign, digits, fraction, exponent, and nothing else
  std::size_t j = i;
  if (text[j] == u'+' || text[j] == u'-') ascii += static_cast<char>(text[j++]);
  std::size_t digits = 0;
  while (j < end && text[j] >= u'0' && text[j] <= u'9') ascii += static_cast<char>(text[j++]), ++digits;
  if (j < end && text[j] == u'.') {
    ascii += '.';
    ++j;
    while (j < end && text[j] >= u'0' && text[j] <= u'9') ascii += static_cast<char>(text[j++]), ++digits;
  }
  if (digits == 0) return false;
  if (j < end && (text[j] == u'e' || text[j] == u'E')) {
    ascii += 'e';
    ++j;
    if (j < end && (text[j] == u'+' || text[j] == u'-')) ascii += static_cast<char>(text[j++]);
    std::size_t expDigits = 0;
    while (j < end && text[j] >= u'0' && text[j] <= u'9') ascii += static_cast<char>(text[j++]), ++expDigits;
    if (expDigits == 0) return false;
  }
  if (j != end) return false;
  // readDouble takes no leading '+' and is independent of the process locale.
  const char* first = ascii.data() + (ascii[0] == '+' ? 1 : 0);
  const auto [ptr, ec] = readDouble(first, ascii.data() + ascii.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Too small is zero (underflow is no error); too large overflows.
    if (decimalExponent(ascii) >= 0) {
      overflowed = true;
      return false;
    }
    value = ascii[0] == '-' ? -0.0 : 0.0;
    return true;
  }
  return ec == std::errc() && ptr == ascii.data() + ascii.size();
}

}  // namespace trazo
