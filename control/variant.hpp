// An automation argument or result: the value types a late-binding client can pass.
#pragma once

#include "control/member_table.hpp"
#include "base/status.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace trazo {

using Variant = std::variant<std::monostate, bool, std::int16_t, std::int32_t, float, double, std::u16string>;

// Converts `in` to `to` the way automation's standard coercion does: numbers to Long round
// half to even and overflow outside the 32-bit range, strings parse as numbers, numbers
// format as text. Returns status::ok, status::typeMismatch or status::dispOverflow.
Status coerce(const Variant& in, VarType to, Variant& out);

// A Double as automation turns it into text: up to 15 significant digits, with an exponent
// (E+15, E-05) outside 1e-4 .. 1e15.
std::u16string formatDouble(double value);

// Parses a whole string as a number (readNumberText of control/number_text.hpp): optional
// blanks, sign, digits, fraction, exponent. False when it is not a number; `overflowed` is
// set for a number beyond the Double range.
bool parseNumber(std::u16string_view text, double& value, bool& overflowed);

// The same for text that is already 8-bit: typeMismatch when it is no number, dispOverflow
// beyond the Double range.
Status numberFromText(std::string_view text, double& value);

// A number as a Long parameter takes it: rounded half to even, dispOverflow outside 32 bits.
Status roundToLong(double value, std::int32_t& out);

}  // namespace trazo
