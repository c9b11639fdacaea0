// The control hosted for a long time and several at once, as a line-of-business form uses
// it: Wine's ATL host sites it in a window, and each cycle clears it, refills it, repaints
// it, resizes the window and back. What must stay flat after the first cycles: the
// process's committed private memory, its GDI and USER object counts and its handle
// count; and the last picture must be the first one, byte for byte. Then two controls in
// one window, and two controls on two apartment threads repainting at the same moment:
// each picture must be the one the same drawing gives alone.
//   soak_test.exe [CYCLES]      (default 1000; the long run is 100000)
// Runs with the registered Trazolib.ocx and a display driver (the null driver will do).
#include "atl_host.hpp"
#include "check.hpp"
#include "dib_target.hpp"
#include "hosted_control.hpp"

#include "Trazolib.h"

#include <ocidl.h>
#include <oleauto.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>

using namespace trazo;
using wintest::DibTarget;
using wintest::HostedControl;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
// The sizes the long run resizes the control to, and back.
constexpr SIZE kOtherSizes[] = {{160, 80}, {200, 130}, {257, 101}, {90, 200}};

// What the process holds that a leak per cycle would grow. Where the system does not
// count GDI objects, windows or handles (Wine answers 0), they are counted by asking about
// every handle value a small process can have (Wine accepts a GDI or window handle by its
// low word); `counted` then says so.
struct Usage {
  std::size_t privateBytes = 0;  // the committed private pages
  DWORD gdi = 0, user = 0, handles = 0;
  bool counted = false;
};

Usage usageNow(bool objects = true) {
  Usage u;
  u.privateBytes = wintest::committedPrivateBytes();
  if (!objects) return u;
  u.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  u.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (!GetProcessHandleCount(GetCurrentProcess(), &u.handles)) u.handles = 0;
  if (u.gdi == 0 || u.user == 0 || u.handles == 0) {
    u.counted = true;
    u.gdi = u.user = u.handles = 0;
    // Wine numbers windows 0x20, 0x22, ... and handles 4, 8, ...: the ranges hold what a
    // leak of one a cycle for a few thousand cycles would make.
    for (ULONG_PTR v = 1; v <= 0xFFFF; ++v)
      if (GetObjectType(reinterpret_cast<HGDIOBJ>(v)) != 0) ++u.gdi;
    for (ULONG_PTR v = 0x20; v <= 0x4000; v += 2)
      if (IsWindow(reinterpret_cast<HWND>(v))) ++u.user;
    DWORD flags = 0;
    for (ULONG_PTR v = 4; v <= 0x8000; v += 4)
      if (GetHandleInformation(reinterpret_cast<HANDLE>(v), &flags)) ++u.handles;
  }
  return u;
}

void printUsage(const char* when, int cycle, const Usage& u) {
  std::printf("     %s (cycle %d): private %lu KiB, GDI objects %lu, %s %lu, handles %lu%s\n", when, cycle,
              static_cast<unsigned long>(u.privateBytes / 1024), static_cast<unsigned long>(u.gdi),
              u.counted ? "windows" : "USER objects", static_cast<unsigned long>(u.user),
              static_cast<unsigned long>(u.handles), u.counted ? " (counted one by one)" : "");
  std::fflush(stdout);
}

// One of the drawings the tests use: `seed` makes it differ, and a fill gives the same
// entities each time. Every kind of entity and most line types and colours.
HRESULT fill(_Trazo* t, int seed, int lines) {
  BSTR tag = SysAllocString(L"soak");
  BSTR text = SysAllocString(L"Trazo 23");
  HRESULT hr = S_OK;
  const auto add = [&hr](HRESULT r) {
    if (SUCCEEDED(hr)) hr = r;
  };
  for (int i = 0; i < lines; ++i) {
    const double a = (i * 37 + seed * 11) % 200, b = (i * 53 + seed * 7) % 120;
    add(t->AddLine(a, b, 200 - b, a * 0.5, (i + seed) % 16, i % 5, tag));
  }
  add(t->AddBox(10 + seed, 10, 60 + seed, 50, 4, 1, tag));
  add(t->AddCircle(100, 60, 20 + seed, 2, 0, tag));
  add(t->AddCircle2(120, 60, 30, 10 + seed, 250, 5, 3, tag));
  add(t->AddText(20, 90, 8, seed * 5, 9, text, tag));
  SysFreeString(text);
  SysFreeString(tag);
  return hr;
}

bool samePixels(const DibTarget& a, const DibTarget& b) { return a.sameAs(b.pixels()); }

// Many cycles of one hosted control: Clear, fill, Reflash, a resize and back, Reflash.
void longRun(wintest::AtlHost::GetControlFn axControl, int cycles) {
  const char* g = "long run";
  HostedControl c;
  if (!CHECK(g, c.open(axControl, 0, kWidth, kHeight))) return c.close();
  DibTarget first(kWidth, kHeight), last(kWidth, kHeight);
  const int warmUp = cycles < 200 ? cycles / 2 : 100;
  Usage base;
  int failures = 0;
  const DWORD start = GetTickCount();
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    HRESULT hr = c.control->Clear();
    if (SUCCEEDED(hr)) hr = fill(c.control, 3, 40);
    if (SUCCEEDED(hr)) hr = c.control->Reflash();
    // A few sizes in turn, so that the heap reaches its steady state within the warm-up.
    const SIZE other = kOtherSizes[cycle % 4];
    SetWindowPos(c.ax, nullptr, 0, 0, other.cx, other.cy, SWP_NOZORDER | SWP_NOMOVE);
    SetWindowPos(c.ax, nullptr, 0, 0, kWidth, kHeight, SWP_NOZORDER | SWP_NOMOVE);
    if (SUCCEEDED(hr)) hr = c.control->Reflash();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (FAILED(hr) && failures++ < 5) std::printf("     cycle %d: 0x%08lX\n", cycle, static_cast<unsigned long>(hr));
    if (cycle == 1) CHECK(g, c.capture(first, kWidth, kHeight));
    if (cycle % (cycles / 10 > 0 ? cycles / 10 : 1) == 0)
      std::printf("     cycle %d: private %lu KiB\n", cycle,
                  static_cast<unsigned long>(usageNow(false).privateBytes / 1024));
    if (cycle == warmUp) {
      base = usageNow();
      printUsage("after warm-up", cycle, base);
    }
  }
  wintest::pump();
  const Usage end = usageNow();
  printUsage("at the end", cycles, end);
  std::printf("     %d cycles in %lu ms\n", cycles, static_cast<unsigned long>(GetTickCount() - start));
  CHECK(g, failures == 0);
  CHECK(g, c.capture(last, kWidth, kHeight));
  CHECK(g, samePixels(first, last));  // the last picture is the first one
  // Flat: the object and handle counts exactly; private memory within 64 KiB of allocator
  // slack (it stays to the page here; a leak of 1 KiB a cycle passes it within 64 cycles).
  CHECK(g, end.gdi == base.gdi);
  CHECK(g, end.user == base.user);
  CHECK(g, end.handles == base.handles);
  CHECK(g, end.privateBytes <= base.privateBytes + 64 * 1024);
  CHECK(g, end.gdi > 0 && end.user > 0 && end.handles > 0);  // counted, not left at 0
  c.close();
}

// The picture a drawing gives in a control of its own.
bool alonePicture(wintest::AtlHost::GetControlFn axControl, int seed, int lines, DibTarget& into) {
  HostedControl c;
  const bool ok = c.open(axControl, 0, kWidth, kHeight) && SUCCEEDED(fill(c.control, seed, lines)) &&
                  SUCCEEDED(c.control->Reflash()) && c.capture(into, kWidth, kHeight);
  c.close();
  return ok;
}

void twoInOneWindow(wintest::AtlHost::GetControlFn axControl) {
  const char* g = "two controls in one window";
  DibTarget aloneA(kWidth, kHeight), aloneB(kWidth, kHeight), shownA(kWidth, kHeight), shownB(kWidth, kHeight);
  if (!CHECK(g, alonePicture(axControl, 1, 300, aloneA) && alonePicture(axControl, 2, 300, aloneB))) return;
  CHECK(g, !samePixels(aloneA, aloneB));  // so that a mix-up shows
  HWND window = CreateWindowExW(0, L"STATIC", L"two", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 2 * kWidth + 8,
                                kHeight, nullptr, nullptr, nullptr, nullptr);
  HostedControl a, b;
  if (CHECK(g,
            a.open(axControl, 0, kWidth, kHeight, window) && b.open(axControl, kWidth + 8, kWidth, kHeight, window))) {
    // Interleaved: each add goes to the other control than the one before.
    CHECK(g, SUCCEEDED(fill(a.control, 1, 300)) && SUCCEEDED(fill(b.control, 2, 300)));
    for (int round = 0; round < 20; ++round) {
      a.control->Reflash();
      b.control->Reflash();
      InvalidateRect(window, nullptr, TRUE);
      wintest::pump();
    }
    CHECK(g, a.capture(shownA, kWidth, kHeight) && b.capture(shownB, kWidth, kHeight));
    CHECK(g, samePixels(shownA, aloneA));
    CHECK(g, samePixels(shownB, aloneB));
  }
  a.close();
  b.close();
  DestroyWindow(window);
  wintest::pump();
}

// Two apartments, each with its own control and drawing, repainting at the same moment.
struct Apartment {
  wintest::AtlHost::GetControlFn axControl;
  int seed;
  std::atomic<int>* ready;
  int rounds = 50;
  bool ok = false;
  int failedRepaints = 0;
  DibTarget* picture;
};

DWORD WINAPI apartmentMain(void* argument) {
  auto& a = *static_cast<Apartment*>(argument);
  OleInitialize(nullptr);
  HostedControl c;
  a.ok = c.open(a.axControl, 0, kWidth, kHeight) && SUCCEEDED(fill(c.control, a.seed, 3000));
  // Both apartments start repainting together.
  a.ready->fetch_add(1);
  while (a.ready->load() < 2) Sleep(0);
  for (int round = 0; a.ok && round < a.rounds; ++round) {
    if (FAILED(c.control->Reflash())) ++a.failedRepaints;
    RedrawWindow(c.p1, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  if (a.ok) a.ok = c.capture(*a.picture, kWidth, kHeight);
  c.close();
  OleUninitialize();
  return 0;
}

void twoApartments(wintest::AtlHost::GetControlFn axControl) {
  const char* g = "two controls on two apartment threads";
  DibTarget aloneA(kWidth, kHeight), aloneB(kWidth, kHeight), shownA(kWidth, kHeight), shownB(kWidth, kHeight);
  if (!CHECK(g, alonePicture(axControl, 4, 3000, aloneA) && alonePicture(axControl, 5, 3000, aloneB))) return;
  std::atomic<int> ready{0};
  Apartment a{axControl, 4, &ready, 50, false, 0, &shownA};
  Apartment b{axControl, 5, &ready, 50, false, 0, &shownB};
  HANDLE threads[2] = {CreateThread(nullptr, 0, apartmentMain, &a, 0, nullptr),
                       CreateThread(nullptr, 0, apartmentMain, &b, 0, nullptr)};
  if (!CHECK(g, threads[0] != nullptr && threads[1] != nullptr)) return;
  CHECK(g, WaitForMultipleObjects(2, threads, TRUE, 120000) == WAIT_OBJECT_0);
  CloseHandle(threads[0]);
  CloseHandle(threads[1]);
  CHECK(g, a.ok && b.ok);
  CHECK(g, a.failedRepaints == 0 && b.failedRepaints == 0);
  CHECK(g, samePixels(shownA, aloneA));
  CHECK(g, samePixels(shownB, aloneB));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int cycles = argc > 1 ? _wtoi(argv[1]) : 1000;
  if (cycles < 2) {
    std::printf("usage: soak_test.exe [CYCLES]  (at least 2)\n");
    return 2;
  }
  OleInitialize(nullptr);
  wintest::AtlHost atl;
  if (!CHECK("host", atl.load())) return wintest::finish();
  twoInOneWindow(atl.getControl);
  twoApartments(atl.getControl);
  longRun(atl.getControl, cycles);
  OleUninitialize();
  return wintest::finish();
}
