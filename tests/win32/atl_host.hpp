// What the container programs need of Wine's ATL host: its two entry points, loaded from
// atl.dll at run time, and a message pump that lets a sited control settle.
#pragma once

#include <windows.h>

namespace trazo::wintest {

struct AtlHost {
  using InitFn = BOOL(WINAPI*)();
  using GetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

  // Loads atl.dll and registers the AtlAxWin window class; false when either fails.
  bool load() {
    HMODULE atl = LoadLibraryW(L"atl.dll");
    if (atl == nullptr) return false;
    auto init = reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    getControl = reinterpret_cast<GetControlFn>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    return init != nullptr && getControl != nullptr && init();
  }

  GetControlFn getControl = nullptr;
};

// Runs the queued messages a few times over, so that siting and painting have happened.
inline void pump() {
  MSG msg;
  for (int round = 0; round < 3; ++round) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

}  // namespace trazo::wintest
