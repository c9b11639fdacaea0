// How the control names itself to Windows: its ProgID, wide, from the member table's one
// spelling, and the OLEMISC bits containers read before they create it (from the registry)
// and after (GetMiscStatus, QuickActivate).
#pragma once

#include "automation/member_table.hpp"

#include <olectl.h>
#include <windows.h>

#include <array>

namespace trazo::win32 {

inline constexpr auto kProgIdText = [] {
  std::array<wchar_t, kProgId.size() + 1> wide{};
  for (std::size_t i = 0; i < kProgId.size(); ++i) wide[i] = static_cast<wchar_t>(kProgId[i]);  // ASCII
  return wide;
}();
inline constexpr const wchar_t* kProgIdW = kProgIdText.data();

inline constexpr DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                                     OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;

}  // namespace trazo::win32
