// The one table of the control's automation interface: the eight members of _Trazo in
// function-table order with their dispatch ids, kinds, parameter names and types, and the
// MouseMove event of __Trazo. The C++ class, late binding, the script reader, the help text
// and the Windows type library all follow it; tests hold each of them to it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace trazo {

// Automation VARTYPE codes of the types the interface uses.
enum class VarType : std::uint16_t {
  Empty = 0,
  Short = 2,    // VT_I2
  Long = 3,     // VT_I4
  Single = 4,   // VT_R4
  Double = 5,   // VT_R8
  String = 8,   // VT_BSTR
  Boolean = 11, // VT_BOOL
};

enum class MemberKind { Method, PropertyGet };

struct ParamInfo {
  std::string_view name;
  VarType type;
};

struct MemberInfo {
  std::string_view name;
  std::int32_t dispId;
  MemberKind kind;
  std::span<const ParamInfo> params;
  VarType result;  // Empty for a method without result
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
inline constexpr std::array<ParamInfo, 7> lineOrBox{{
    {"x1", Double}, {"y1", Double}, {"x2", Double}, {"y2", Double}, {"col", Long}, {"lType", Long}, {"Tag", String}}};
inline constexpr std::array<ParamInfo, 6> circle{{
    {"CX", Double}, {"CY", Double}, {"r", Double}, {"col", Long}, {"lType", Long}, {"Tag", String}}};
inline constexpr std::array<ParamInfo, 8> arc{{{"CX", Double},
                                               {"CY", Double},
                                               {"r", Double},
                                               {"sa", Double},
                                               {"ea", Double},
                                               {"col", Long},
                                               {"lType", Long},
                                               {"Tag", String}}};
inline constexpr std::array<ParamInfo, 7> text{{
    {"TX", Double}, {"TY", Double}, {"TH", Double}, {"Tang", Double}, {"col", Long}, {"cText", String}, {"Tag", String}}};
// The event's parameters, all passed by reference.
inline constexpr std::array<ParamInfo, 4> mouseMove{{{"Button", Short}, {"Shift", Short}, {"X", Single}, {"Y", Single}}};
}  // namespace params

// _Trazo, in function-table order.
inline constexpr std::array<MemberInfo, 8> kMembers{{
    {"Clear", dispid::Clear, MemberKind::Method, {}, VarType::Empty},
    {"AddBox", dispid::AddBox, MemberKind::Method, params::lineOrBox, VarType::Empty},
    {"AddLine", dispid::AddLine, MemberKind::Method, params::lineOrBox, VarType::Empty},
    {"AddCircle", dispid::AddCircle, MemberKind::Method, params::circle, VarType::Empty},
    {"AddCircle2", dispid::AddCircle2, MemberKind::Method, params::arc, VarType::Empty},
    {"AddText", dispid::AddText, MemberKind::Method, params::text, VarType::Empty},
    {"Count", dispid::Count, MemberKind::PropertyGet, {}, VarType::Long},
    {"Reflash", dispid::Reflash, MemberKind::Method, {}, VarType::Empty},
}};

// __Trazo: the one event.
inline constexpr MemberInfo kMouseMoveEvent{"MouseMove", dispid::MouseMove, MemberKind::Method, params::mouseMove,
                                            VarType::Empty};

// Names of the type library and its items.
inline constexpr std::string_view kLibraryName = "Trazolib";
inline constexpr std::string_view kClassName = "Trazo";
inline constexpr std::string_view kInterfaceName = "_Trazo";
inline constexpr std::string_view kEventInterfaceName = "__Trazo";
inline constexpr std::string_view kProgId = "Trazolib.Trazo";

}  // namespace trazo
