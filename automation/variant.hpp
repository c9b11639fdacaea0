// An automation argument or result: the value types a late-binding client can pass.
#pragma once

#include "automation/member_table.hpp"
#include "base/status.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace trazo {

// Null (VT_NULL): no valid data, unlike Empty (std::monostate).
struct Null {};
// A date (VT_DATE): days since 30 December 1899, the time of day as the fraction (which
// counts forwards from midnight on negative days too).
struct Date {
  double days = 0;
};
// An array (VT_ARRAY) of anything: never a number or a text.
struct Array {};
constexpr bool operator==(Null, Null) { return true; }
constexpr bool operator==(Date a, Date b) { return a.days == b.days; }
constexpr bool operator==(Array, Array) { return true; }
class AutomationObject;

// Empty, Boolean, Short, Long, Single, Double, String, Null, Date, an array, and an object
// (VT_DISPATCH; a null pointer is Nothing).
using Variant = std::variant<std::monostate, bool, std::int16_t, std::int32_t, float, double, std::u16string, Null,
                             Date, Array, const AutomationObject*>;

// An object passed as an argument stands for its default value, which coercion asks for.
class AutomationObject {
 public:
  virtual ~AutomationObject() = default;
  // The object's value (DISPID_VALUE), or the failure of asking for it.
  virtual Status value(Variant& out) const = 0;
};

// Converts `in` to `to` (Double, Long or String) the way automation's standard coercion
// (VariantChangeType) does, in the US English locale: numbers to Long round half to even
// and overflow outside the 32-bit range, strings read as readCoercedNumber says, numbers
// and dates become text. Returns status::ok, or the platform's failure: typeMismatch
// (Null, arrays, objects without a value, text that is no number), dispOverflow,
// badVarType (a null object) or invalidArgument (a date outside the years 100 to 9999 as
// text).
Status coerce(const Variant& in, VarType to, Variant& out);

// A Double as automation turns it into text: up to 15 significant digits, with an exponent
// (E+15, E-05) outside 1e-4 .. 1e15.
std::u16string formatDouble(double value);

// A String argument as a Double or a Long parameter takes it: typeMismatch when it is no
// number, dispOverflow beyond the parameter's range.
Status doubleFromText(std::u16string_view text, double& value);
Status longFromText(std::u16string_view text, std::int32_t& value);

// A number as a Long parameter takes it: rounded half to even, dispOverflow outside 32 bits.
// NaN is no error: the platform's coercion lets it through as the largest Long.
Status roundToLong(double value, std::int32_t& out);

}  // namespace trazo
