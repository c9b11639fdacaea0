// The parameter types of the member table and how a row calls its C++ member: the
// arguments arrive bound to the parameters, in their order and already in their types, and
// one adapter per member, generated from the member's own signature, hands them over. The
// table's parameter list is checked against that signature when the table is compiled.
#pragma once

#include "base/status.hpp"
#include "control/trazo.hpp"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>

namespace trazo {

// Automation VARTYPE codes of the types the interface uses.
enum class VarType : std::uint16_t {
  Empty = 0,
  Short = 2,     // VT_I2
  Long = 3,      // VT_I4
  Single = 4,    // VT_R4
  Double = 5,    // VT_R8
  String = 8,    // VT_BSTR
  Boolean = 11,  // VT_BOOL
};

struct ParamInfo {
  std::string_view name;
  VarType type;
};

// One argument in its parameter's type: `number` for a Double, `integer` for a Long, `text`
// for a String. The text is borrowed for the length of the call.
struct BoundArgument {
  double number = 0;
  std::int32_t integer = 0;
  std::u16string_view text;
};

// Calls one member with exactly its parameters' count of bound arguments; a member with a
// result (the interface's only one is Count's Long) writes it to `result` when given.
using MemberCall = Status (*)(Trazo& control, std::span<const BoundArgument> arguments, std::int32_t* result);

namespace member_call {

template <typename T>
constexpr VarType typeOf() {
  if constexpr (std::is_same_v<T, double>) return VarType::Double;
  else if constexpr (std::is_same_v<T, std::int32_t>) return VarType::Long;
  else if constexpr (std::is_same_v<T, std::u16string_view>) return VarType::String;
  else return VarType::Empty;  // no type of the interface: never matches a parameter
}

template <typename T>
T argumentAs(const BoundArgument& a) {
  if constexpr (std::is_same_v<T, double>) return a.number;
  else if constexpr (std::is_same_v<T, std::int32_t>) return a.integer;
  else return a.text;
}

template <typename Method>
struct Signature;

// A method: its parameters are the interface's, in order.
template <typename... P>
struct Signature<Status (Trazo::*)(P...)> {
  static constexpr bool isProperty = false;
  static consteval bool matches(std::span<const ParamInfo> params) {
    if (params.size() != sizeof...(P)) return false;
    std::size_t i = 0;
    return ((typeOf<P>() == params[i++].type) && ...);
  }
  template <Status (Trazo::*M)(P...)>
  static Status call(Trazo& control, std::span<const BoundArgument> a, std::int32_t*) {
    return [&]<std::size_t... I>(std::index_sequence<I...>) { return (control.*M)(argumentAs<P>(a[I])...); }
    (std::index_sequence_for<P...>{});
  }
};

// A read-only Long property: no parameters, its value comes back through the reference.
template <>
struct Signature<Status (Trazo::*)(std::int32_t&) const> {
  static constexpr bool isProperty = true;
  static consteval bool matches(std::span<const ParamInfo> params) { return params.empty(); }
  template <Status (Trazo::*M)(std::int32_t&) const>
  static Status call(Trazo& control, std::span<const BoundArgument>, std::int32_t* result) {
    std::int32_t value = 0;
    const Status s = (control.*M)(value);
    if (result != nullptr) *result = value;
    return s;
  }
};

}  // namespace member_call
}  // namespace trazo
