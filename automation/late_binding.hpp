// Late binding over the member table: names to dispatch ids, and calls by dispatch id with
// positional and named arguments, coerced to the parameters' types, as an automation
// client's IDispatch calls would be.
#pragma once

#include "automation/member_table.hpp"
#include "base/status.hpp"
#include "automation/variant.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace trazo {

class Trazo;

// Invoke flags, with the values of DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT.
enum InvokeFlags : std::uint16_t {
  kInvokeMethod = 1,
  kInvokePropertyGet = 2,
  kInvokePropertyPut = 4,
};

struct NamedArgument {
  std::int32_t param;  // position of the parameter in the member's list, from 0
  Variant value;
};

// Names are compared without regard to ASCII case, as automation compares them.
bool namesMatch(std::string_view a, std::string_view b);

// Case-insensitive lookups; nullptr or nullopt when there is no such member or parameter.
const MemberInfo* findMember(std::string_view name);
const MemberInfo* findMember(std::int32_t dispId);
std::optional<std::int32_t> findParam(const MemberInfo& member, std::string_view name);

// Puts the arguments into parameter order and coerces each to its parameter's type.
// Fails with badParamCount (too many or too few), paramNotFound (a named argument beyond the
// list or given twice), typeMismatch or dispOverflow; `argError` then names the parameter.
Status bindArguments(const MemberInfo& member, std::span<const Variant> positional,
                     std::span<const NamedArgument> named, std::vector<Variant>& ordered, std::int32_t& argError);

// Calls the member with `dispId` on `control`. An unknown id or a wrong kind of call gives
// memberNotFound; a member's own failure comes back as its status. `result` receives
// Count's value.
Status invoke(Trazo& control, std::int32_t dispId, std::uint16_t flags, std::span<const Variant> positional,
              std::span<const NamedArgument> named, Variant* result = nullptr, std::int32_t* argError = nullptr);

}  // namespace trazo
