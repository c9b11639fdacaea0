// The one table of the control's automation interface: the eight members of _Trazo in
// function-table order with their dispatch ids, kinds, parameter names and types and the
// call of the C++ member that carries each out, and the MouseMove event of __Trazo. The
// C++ class is checked against it as it compiles; late binding and the script reader call
// through it; the Windows type library is held to it by a test.
#pragma once

#include "automation/member_call.hpp"
#include "control/trazo.hpp"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace trazo {

enum class MemberKind { Method, PropertyGet };

struct MemberInfo {
  std::string_view name;
  std::int32_t dispId;
  MemberKind kind;
  std::span<const ParamInfo> params;
  VarType result;  // Empty for a method without result
  MemberCall call;
};

namespace dispid {
inline constexpr std::int32_t Clear = 0x60030001;
inline constexpr std::int32_t AddBox = 0x60030005;
inline constexpr std::int32_t AddLine = 0x60030006;
inline constexpr std::int32_t AddCircle = 0x60030007;
inline constexpr std::int32_t AddCircle2 = 0x60030008;
inline constexpr std::int32_t AddText = 0x60030009;
inline constexpr std::int32_t Count = 0x68030000;
inline constexpr std::int32_t Reflash = 0x60030012;
inline constexpr std::int32_t MouseMove = 1;
}  // namespace dispid

namespace params {
using enum VarType;
inline constexpr std::array<ParamInfo, 7> lineOrBox{
    {{"x1", Double}, {"y1", Double}, {"x2", Double}, {"y2", Double}, {"col", Long}, {"lType", Long}, {"Tag", String}}};
inline constexpr std::array<ParamInfo, 6> circle{
    {{"CX", Double}, {"CY", Double}, {"r", Double}, {"col", Long}, {"lType", Long}, {"Tag", String}}};
inline constexpr std::array<ParamInfo, 8> arc{{{"CX", Double},
                                               {"CY", Double},
                                               {"r", Double},
                                               {"sa", Double},
                                               {"ea", Double},
                                               {"col", Long},
                                               {"lType", Long},
                                               {"Tag", String}}};
inline constexpr std::array<ParamInfo, 7> text{{{"TX", Double},
                                                {"TY", Double},
                                                {"TH", Double},
                                                {"Tang", Double},
                                                {"col", Long},
                                                {"cText", String},
                                                {"Tag", String}}};
// The event's parameters, all passed by reference.
inline constexpr std::array<ParamInfo, 4> mouseMove{
    {{"Button", Short}, {"Shift", Short}, {"X", Single}, {"Y", Single}}};
}  // namespace params

// A row of _Trazo carried out by the C++ member `Method` of Trazo. The row does not compile
// unless the member's parameters are the row's, in count, order and type: a method with the
// row's parameters, or a Long property read through a reference.
template <auto Method>
consteval MemberInfo member(std::string_view name, std::int32_t dispId, std::span<const ParamInfo> params = {}) {
  using Signature = member_call::Signature<decltype(Method)>;
  if (!Signature::matches(params)) throw "the C++ member's parameters differ from the table's";
  const MemberKind kind = Signature::isProperty ? MemberKind::PropertyGet : MemberKind::Method;
  const VarType result = Signature::isProperty ? VarType::Long : VarType::Empty;
  return {name, dispId, kind, params, result, &Signature::template call<Method>};
}

// _Trazo, in function-table order.
inline constexpr std::array<MemberInfo, 8> kMembers{{
    member<&Trazo::Clear>("Clear", dispid::Clear),
    member<&Trazo::AddBox>("AddBox", dispid::AddBox, params::lineOrBox),
    member<&Trazo::AddLine>("AddLine", dispid::AddLine, params::lineOrBox),
    member<&Trazo::AddCircle>("AddCircle", dispid::AddCircle, params::circle),
    member<&Trazo::AddCircle2>("AddCircle2", dispid::AddCircle2, params::arc),
    member<&Trazo::AddText>("AddText", dispid::AddText, params::text),
    member<&Trazo::Count>("Count", dispid::Count),
    member<&Trazo::Reflash>("Reflash", dispid::Reflash),
}};

// The most parameters any member has.
inline constexpr std::size_t kMostParams = params::arc.size();

// __Trazo: the one event, raised by the control rather than called.
inline constexpr MemberInfo kMouseMoveEvent{"MouseMove",       dispid::MouseMove, MemberKind::Method,
                                            params::mouseMove, VarType::Empty,    nullptr};

// Names of the type library and its items.
inline constexpr std::string_view kLibraryName = "Trazolib";
inline constexpr std::string_view kClassName = "Trazo";
inline constexpr std::string_view kInterfaceName = "_Trazo";
inline constexpr std::string_view kEventInterfaceName = "__Trazo";
inline constexpr std::string_view kProgId = "Trazolib.Trazo";

}  // namespace trazo
