#include "automation/late_binding.hpp"

#include "control/trazo.hpp"

#include <array>
#include <new>

namespace trazo {
namespace {

// A coerced argument as the member's call takes it; strings stay in `ordered`.
BoundArgument boundFrom(const Variant& v) {
  BoundArgument a;
  if (const auto* d = std::get_if<double>(&v)) a.number = *d;
  else if (const auto* i = std::get_if<std::int32_t>(&v)) a.integer = *i;
  else if (const auto* t = std::get_if<std::u16string>(&v)) a.text = *t;
  return a;
}

bool callableAs(const MemberInfo& member, std::uint16_t flags) {
  if (flags & kInvokePropertyPut) return false;
  return member.kind == MemberKind::Method ? (flags & kInvokeMethod) != 0 : (flags & kInvokePropertyGet) != 0;
}

}  // namespace

bool namesMatch(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

const MemberInfo* findMember(std::string_view name) {
  // A name spelled as the table spells it, the usual case, is found without folding case.
  for (const MemberInfo& m : kMembers) {
    if (m.name == name) return &m;
  }
  for (const MemberInfo& m : kMembers) {
    if (namesMatch(m.name, name)) return &m;
  }
  return nullptr;
}

const MemberInfo* findMember(std::int32_t dispId) {
  for (const MemberInfo& m : kMembers) {
    if (m.dispId == dispId) return &m;
  }
  return nullptr;
}

std::optional<std::int32_t> findParam(const MemberInfo& member, std::string_view name) {
  for (std::size_t i = 0; i < member.params.size(); ++i) {
    if (namesMatch(member.params[i].name, name)) return static_cast<std::int32_t>(i);
  }
  return std::nullopt;
}

Status bindArguments(const MemberInfo& member, std::span<const Variant> positional,
                     std::span<const NamedArgument> named, std::vector<Variant>& ordered, std::int32_t& argError) {
  const std::size_t count = member.params.size();
  argError = -1;
  if (positional.size() + named.size() != count) return status::badParamCount;
  std::vector<const Variant*> given(count, nullptr);
  for (std::size_t i = 0; i < positional.size(); ++i) given[i] = &positional[i];
  for (const NamedArgument& arg : named) {
    if (arg.param < 0 || static_cast<std::size_t>(arg.param) >= count || given[static_cast<std::size_t>(arg.param)]) {
      argError = arg.param;
      return status::paramNotFound;
    }
    given[static_cast<std::size_t>(arg.param)] = &arg.value;
  }
  ordered.assign(count, Variant{});
  for (std::size_t i = 0; i < count; ++i) {
    if (const Status s = coerce(*given[i], member.params[i].type, ordered[i]); failed(s)) {
      argError = static_cast<std::int32_t>(i);
      return s;
    }
  }
  return status::ok;
}

Status invoke(Trazo& control, std::int32_t dispId, std::uint16_t flags, std::span<const Variant> positional,
              std::span<const NamedArgument> named, Variant* result, std::int32_t* argError) {
  const MemberInfo* member = findMember(dispId);
  if (member == nullptr || !callableAs(*member, flags)) return status::memberNotFound;
  try {
    std::vector<Variant> ordered;
    std::int32_t badArg = -1;
    const Status bound = bindArguments(*member, positional, named, ordered, badArg);
    if (argError != nullptr) *argError = badArg;
    if (failed(bound)) return bound;
    std::array<BoundArgument, kMostParams> arguments;
    for (std::size_t i = 0; i < ordered.size(); ++i) arguments[i] = boundFrom(ordered[i]);
    std::int32_t value = 0;
    const Status s = member->call(control, std::span(arguments).first(ordered.size()), &value);
    if (result != nullptr && member->result == VarType::Long) *result = value;
    return s;
  } catch (const std::bad_alloc&) {
    return status::outOfMemory;  // the arguments could not be copied; the control is untouched
  }
}

}  // namespace trazo
