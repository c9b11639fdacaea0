#include "control/variant.hpp"

#include "base/decimal_text.hpp"
#include "base/status.hpp"
#include "control/number_text.hpp"

#include <cmath>
#include <cstdint>
#include <utility>
#include <string>

namespace trazo {
namespace {

constexpr double kTrue = -1;  // automation's True as a number
// Open bounds of the numbers that may round into the 32-bit range.
constexpr std::pair<double, double> kLongRoundingSpan{-2147483649.0, 2147483648.0};

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

Status toNumber(const Variant& in, double& out) {
  if (const auto* s = std::get_if<std::u16string>(&in)) {
    bool overflowed = false;
    if (!parseNumber(*s, out, overflowed)) return overflowed ? status::dispOverflow : status::typeMismatch;
    return status::ok;
  }
  out = numberOf(in);
  return status::ok;
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
      std::int32_t value = 0;
      if (const Status s = roundToLong(d, value); failed(s)) return s;
      out = value;
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
  char buffer[64];
  char* end = writeGeneral(buffer, buffer + sizeof buffer, value == 0 ? 0.0 : value, 15);
  std::u16string text(buffer, end);
  for (char16_t& c : text) {
    if (c == u'e') c = u'E';
  }
  return text;
}

Status roundToLong(double value, std::int32_t& out) {
  // Outside this span (and for NaN) nothing rounds into the 32-bit range; inside it, a
  // 64-bit integer holds the value's floor exactly, so rounding needs no library call.
  if (!(value > kLongRoundingSpan.first && value < kLongRoundingSpan.second)) return status::dispOverflow;
  auto lower = static_cast<std::int64_t>(value);  // toward zero
  if (static_cast<double>(lower) > value) --lower;
  const double fraction = value - static_cast<double>(lower);
  const std::int64_t rounded = fraction < 0.5 ? lower : fraction > 0.5 ? lower + 1 : lower + (lower & 1);
  if (rounded < INT32_MIN || rounded > INT32_MAX) return status::dispOverflow;
  out = static_cast<std::int32_t>(rounded);
  return status::ok;
}

Status numberFromText(std::string_view text, double& value) {
  switch (readNumberText(text, value)) {
    case NumberText::ok: return status::ok;
    case NumberText::outOfRange: return status::dispOverflow;
    case NumberText::notANumber: break;
  }
  return status::typeMismatch;
}

bool parseNumber(std::u16string_view text, double& value, bool& overflowed) {
  overflowed = false;
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
  if (text.size() > kLongestNumberText) return false;
  // Every character of a number is ASCII: narrow it, refusing anything else.
  char ascii[kLongestNumberText];
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] > 0x7F) return false;
    ascii[i] = static_cast<char>(text[i]);
  }
  switch (readNumberText(std::string_view(ascii, text.size()), value)) {
    case NumberText::ok: return true;
    case NumberText::outOfRange: overflowed = true; return false;
    case NumberText::notANumber: return false;
  }
  return false;
}

}  // namespace trazo
