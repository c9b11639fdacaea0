#include "control/late_binding.hpp"

#include "control/trazo.hpp"

#include <new>

namespace trazo {
namespace {

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

double number(const Variant& v) { return std::get<double>(v); }
std::int32_t integer(const Variant& v) { return std::get<std::int32_t>(v); }
const std::u16string& text(const Variant& v) { return std::get<std::u16string>(v); }

// The one place where a dispatch id meets the C++ member it stands for; `a` is in
// parameter order and already coerced.
Status call(Trazo& t, std::int32_t dispId, const std::vector<Variant>& a, Variant* result) {
  switch (dispId) {
    case dispid::Clear: return t.Clear();
    case dispid::AddBox:
      return t.AddBox(number(a[0]), number(a[1]), number(a[2]), number(a[3]), integer(a[4]), integer(a[5]), text(a[6]));
    case dispid::AddLine:
      return t.AddLine(number(a[0]), number(a[1]), number(a[2]), number(a[3]), integer(a[4]), integer(a[5]), text(a[6]));
    case dispid::AddCircle:
      return t.AddCircle(number(a[0]), number(a[1]), number(a[2]), integer(a[3]), integer(a[4]), text(a[5]));
    case dispid::AddCircle2:
      return t.AddCircle2(number(a[0]), number(a[1]), number(a[2]), number(a[3]), number(a[4]), integer(a[5]),
                          integer(a[6]), text(a[7]));
    case dispid::AddText:
      return t.AddText(number(a[0]), number(a[1]), number(a[2]), number(a[3]), integer(a[4]), text(a[5]), text(a[6]));
    case dispid::Count: {
      std::int32_t value = 0;
      const Status s = t.Count(value);
      if (result != nullptr) *result = value;
      return s;
    }
    case dispid::Reflash: return t.Reflash();
    default: return status::memberNotFound;
  }
}

bool callableAs(const MemberInfo& member, std::uint16_t flags) {
  if (flags & kInvokePropertyPut) return false;
  return member.kind == MemberKind::Method ? (flags & kInvokeMethod) != 0 : (flags & kInvokePropertyGet) != 0;
}

}  // namespace

const MemberInfo* findMember(std::string_view name) {
  for (const MemberInfo& m : kMembers) {
    if (sameName(m.name, name)) return &m;
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
    if (sameName(member.params[i].name, name)) return static_cast<std::int32_t>(i);
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
    return call(control, dispId, ordered, result);
  } catch (const std::bad_alloc&) {
    return status::outOfMemory;  // the arguments could not be copied; the control is untouched
  }
}

}  // namespace trazo
