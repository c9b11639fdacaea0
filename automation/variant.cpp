#include "automation/variant.hpp"

#include "base/decimal_text.hpp"
#include "base/status.hpp"
#include "automation/number_text.hpp"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>

namespace trazo {
namespace {

constexpr double kTrue = -1;  // automation's True as a number
// Open bounds of the numbers that may round into the 32-bit range.
constexpr std::pair<double, double> kLongRoundingSpan{-2147483649.0, 2147483648.0};
// Open bounds of the dates that can be written as text: 1 January 100 to 31 December 9999.
constexpr std::pair<double, double> kWritableDates{-657435.0, 2958466.0};
// Days from 1 March of the year 0 to 30 December 1899, the day 0 of dates.
constexpr long long kDayZero = 693899;
// Significant digits of a Double and of a Single as text.
constexpr int kDoubleDigits = 15;
constexpr int kSingleDigits = 7;

// A number in the general form with `digits` significant digits and an upper-case E.
template <typename Number>
std::u16string formatNumber(Number value, int digits) {
  char buffer[64];
  // A Single converts to a Double exactly, so its digits come out as its own would.
  char* end = writeGeneral(buffer, buffer + sizeof buffer, static_cast<double>(value == 0 ? Number{0} : value), digits);
  std::u16string text(buffer, end);
  for (char16_t& c : text) {
    if (c == u'e') c = u'E';
  }
  return text;
}

// A date as the US English locale writes it: "3/15/2023 12:00:00 PM", the date alone at
// midnight, the time alone on day 0.
std::u16string formatDate(double days) {
  const double whole = std::isnan(days) ? 0 : std::trunc(days);
  const double fraction = std::isnan(days) ? 0 : std::fabs(days - whole);
  const bool hasDate = whole != 0 || std::isnan(days);
  auto seconds = static_cast<long long>(std::floor(fraction * 86400 + 0.5));
  long long day = static_cast<long long>(whole);
  if (seconds == 86400) seconds = 0, ++day;  // rounded up to the next midnight
  // The civil calendar from a count of days since 1 March of the year 0.
  const long long z = day + kDayZero;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long dayOfEra = z - era * 146097;
  const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long shiftedMonth = (5 * dayOfYear + 2) / 153;
  const long long month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  const long long dayOfMonth = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;

  char text[48] = "";
  int at = 0;
  if (hasDate) at = std::snprintf(text, sizeof text, "%lld/%lld/%lld", month, dayOfMonth, year);
  if (fraction != 0 || !hasDate) {
    const long long hour = seconds / 3600;
    std::snprintf(text + at, sizeof text - static_cast<std::size_t>(at), "%s%lld:%02lld:%02lld %s", hasDate ? " " : "",
                  hour % 12 == 0 ? 12 : hour % 12, seconds / 60 % 60, seconds % 60, hour < 12 ? "AM" : "PM");
  }
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

// The number a non-text argument stands for; false for the kinds that have none.
bool numberOf(const Variant& v, double& out) {
  return std::visit(
      [&out](const auto& x) -> bool {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) out = 0;
        else if constexpr (std::is_same_v<T, bool>) out = x ? kTrue : 0;
        else if constexpr (std::is_same_v<T, Date>) out = x.days;
        else if constexpr (std::is_arithmetic_v<T>) out = static_cast<double>(x);
        else return false;
        return true;
      },
      v);
}

// Null, arrays and objects, which convert to nothing of their own: an object stands for
// its value (once; an object that gives an object has none), the others for nothing.
Status valueOf(const Variant& in, Variant& value) {
  const auto* object = std::get_if<const AutomationObject*>(&in);
  if (object == nullptr) return status::typeMismatch;
  if (*object == nullptr) return status::badVarType;
  if (failed((*object)->value(value)) || std::holds_alternative<const AutomationObject*>(value)) {
    return status::typeMismatch;
  }
  return status::ok;
}

Status toNumber(const Variant& in, VarType to, Variant& out) {
  double d = 0;
  if (const auto* s = std::get_if<std::u16string>(&in)) {
    if (to == VarType::Long) {
      std::int32_t value = 0;
      const Status status = longFromText(*s, value);
      if (!failed(status)) out = value;
      return status;
    }
    const Status status = doubleFromText(*s, d);
    if (!failed(status)) out = d;
    return status;
  }
  if (!numberOf(in, d)) {
    Variant value;
    if (const Status s = valueOf(in, value); failed(s)) return s;
    return toNumber(value, to, out);
  }
  if (to == VarType::Double) {
    out = d;
    return status::ok;
  }
  std::int32_t value = 0;
  if (const Status s = roundToLong(d, value); failed(s)) return s;
  out = value;
  return status::ok;
}

Status toText(const Variant& in, Variant& out) {
  if (const auto* text = std::get_if<std::u16string>(&in)) out = *text;
  else if (std::holds_alternative<std::monostate>(in)) out = std::u16string();
  else if (const auto* f = std::get_if<float>(&in))
    out = std::isfinite(*f) ? formatNumber(*f, kSingleDigits) : formatDouble(*f);
  else if (const auto* date = std::get_if<Date>(&in)) {
    if (!(date->days > kWritableDates.first && date->days < kWritableDates.second) && !std::isnan(date->days)) {
      return status::invalidArgument;
    }
    out = formatDate(date->days);
  } else if (double d = 0; numberOf(in, d)) {
    out = formatDouble(d);  // Booleans as numbers too: -1 and 0
  } else {
    Variant value;
    if (const Status s = valueOf(in, value); failed(s)) return s;
    return toText(value, out);
  }
  return status::ok;
}

}  // namespace

Status coerce(const Variant& in, VarType to, Variant& out) {
  switch (to) {
    case VarType::Double:
    case VarType::Long: return toNumber(in, to, out);
    case VarType::String: return toText(in, out);
    default: return status::typeMismatch;
  }
}

std::u16string formatDouble(double value) {
  if (std::isnan(value)) return u"NaN";
  if (std::isinf(value)) return value > 0 ? u"Infinity" : u"-Infinity";
  return formatNumber(value, kDoubleDigits);
}

Status roundToLong(double value, std::int32_t& out) {
  if (std::isnan(value)) {
    out = std::numeric_limits<std::int32_t>::max();
    return status::ok;
  }
  // Outside this span nothing rounds into the 32-bit range; inside it, a 64-bit integer
  // holds the value's floor exactly, so rounding needs no library call.
  if (!(value > kLongRoundingSpan.first && value < kLongRoundingSpan.second)) return status::dispOverflow;
  auto lower = static_cast<std::int64_t>(value);  // toward zero
  if (static_cast<double>(lower) > value) --lower;
  const double fraction = value - static_cast<double>(lower);
  const std::int64_t rounded = fraction < 0.5 ? lower : fraction > 0.5 ? lower + 1 : lower + (lower & 1);
  if (rounded < INT32_MIN || rounded > INT32_MAX) return status::dispOverflow;
  out = static_cast<std::int32_t>(rounded);
  return status::ok;
}

// "&H" and "&O" numbers: a Long takes any 32 bits, the highest as the sign; a Double takes
// them only up to 7FFFFFFF, and 80000000 as the smallest Long.
Status doubleFromText(std::u16string_view text, double& value) {
  CoercedNumber number;
  switch (readCoercedNumber(text, number)) {
    case NumberText::notANumber: return status::typeMismatch;
    case NumberText::outOfRange: return status::dispOverflow;
    case NumberText::ok: break;
  }
  if (!number.radix) {
    value = number.value;
    return status::ok;
  }
  if (number.bits > 0x80000000u) return status::dispOverflow;
  value = number.bits == 0x80000000u ? -2147483648.0 : static_cast<double>(number.bits);
  return status::ok;
}

Status longFromText(std::u16string_view text, std::int32_t& value) {
  CoercedNumber number;
  switch (readCoercedNumber(text, number)) {
    case NumberText::notANumber: return status::typeMismatch;
    case NumberText::outOfRange: return status::dispOverflow;
    case NumberText::ok: break;
  }
  if (!number.radix) return roundToLong(number.value, value);
  if (number.bits > 0xFFFFFFFFu) return status::dispOverflow;
  value = static_cast<std::int32_t>(static_cast<std::uint32_t>(number.bits));
  return status::ok;
}

}  // namespace trazo
