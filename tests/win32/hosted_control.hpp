// The control as a form hosts it, for the programs that run it long or large, and what the
// process holds while they do.
#pragma once

#include "atl_host.hpp"
#include "dib_target.hpp"

#include "Trazolib.h"

#include <ocidl.h>
#include <windows.h>

#include <cstddef>

namespace trazo::wintest {

// The process's committed private pages, walked with VirtualQuery (Wine does not count
// them in its memory figures).
inline std::size_t committedPrivateBytes() {
  std::size_t bytes = 0;
  MEMORY_BASIC_INFORMATION info;
  for (char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) bytes += info.RegionSize;
    char* next = static_cast<char*>(info.BaseAddress) + info.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return bytes;
}

// A control sited by Wine's ATL host in a top-level window of its own (or a child of
// `parent`), at (x, 0) and width x height pixels.
struct HostedControl {
  HWND host = nullptr, ax = nullptr, p1 = nullptr;
  IUnknown* unknown = nullptr;
  _Trazo* control = nullptr;

  bool open(AtlHost::GetControlFn axControl, int x, int width, int height, HWND parent = nullptr) {
    if (parent == nullptr) {
      host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                             nullptr, nullptr, nullptr, nullptr);
      parent = host;
    }
    ax = CreateWindowExW(0, L"AtlAxWin", L"Trazolib.Trazo", WS_CHILD | WS_VISIBLE, x, 0, width, height, parent, nullptr,
                         nullptr, nullptr);
    pump();
    IOleInPlaceObject* inPlace = nullptr;
    HWND client = nullptr;
    const bool sited = ax != nullptr && SUCCEEDED(axControl(ax, &unknown)) && unknown != nullptr &&
                       SUCCEEDED(unknown->QueryInterface(IID__Trazo, reinterpret_cast<void**>(&control))) &&
                       SUCCEEDED(unknown->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace))) &&
                       SUCCEEDED(inPlace->GetWindow(&client));
    if (inPlace != nullptr) inPlace->Release();
    p1 = client != nullptr ? GetWindow(client, GW_CHILD) : nullptr;
    return sited && p1 != nullptr;
  }
  void close() {
    if (control != nullptr) control->Release();
    if (unknown != nullptr) unknown->Release();
    control = nullptr;
    unknown = nullptr;
    if (host != nullptr) DestroyWindow(host);
    host = nullptr;
    pump();
  }
  // What P1 shows, read from its window.
  bool capture(DibTarget& into, int width, int height) const {
    into.clear();
    HDC window = GetDC(p1);
    const bool ok = BitBlt(into.dc(), 0, 0, width, height, window, 0, 0, SRCCOPY) != FALSE;
    ReleaseDC(p1, window);
    return ok;
  }
};

}  // namespace trazo::wintest
