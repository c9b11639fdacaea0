// A drawing of tens of millions of entities in a hosted control, added one by one through
// the control's own interface as a host adds them, then repainted: every add and the
// repaint must succeed, the records must stay compact (the process's committed private
// memory grows by at most 48 bytes an entity in a 32-bit process, 64 in a 64-bit one) and
// the picture must show the drawing. Cleared and filled again, the control uses the same
// memory again and shows the same picture.
//   big_drawing_test.exe [ENTITIES]      (default 20000000)
// Runs with the registered Trazolib.ocx and a display driver (the null driver will do).
#include "atl_host.hpp"
#include "check.hpp"
#include "dib_target.hpp"
#include "hosted_control.hpp"

#include "Trazolib.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>

using namespace trazo;
using wintest::DibTarget;
using wintest::HostedControl;

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr double kBytesPerEntity = sizeof(void*) < 8 ? 48 : 64;

// A small generator of its own: the drawing is made as it is added, never held.
struct Random {
  std::uint64_t state = 20261210;
  double next(double below) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<double>(state >> 11) * (below / 9007199254740992.0);
  }
};

// The benchmarks' kind of drawing over 10000 x 10000 units: 60 % short lines, 15 % circles,
// 15 % arcs, 10 % boxes, of six colours and four line types, no tags. Stops at the first
// failing add, which it reports. Adds until at least `count` entities are stored (a box is
// four), counted in `stored`.
HRESULT addMixed(_Trazo* t, long count, long& stored) {
  Random r;
  for (long i = 0; stored < count; ++i) {
    const double p = r.next(100), x = r.next(10000), y = r.next(10000), a = r.next(120) - 60, b = r.next(120) - 60;
    const long col = 1 + i % 6, type = i % 4;
    HRESULT hr;
    if (p < 60) hr = t->AddLine(x, y, x + a, y + b, col, type, nullptr);
    else if (p < 75) hr = t->AddCircle(x, y, 2 + r.next(58), col, type, nullptr);
    else if (p < 90) hr = t->AddCircle2(x, y, 2 + r.next(58), r.next(6.28), r.next(6.28), col, type, nullptr);
    else {
      hr = t->AddBox(x, y, x + a, y + b, col, type, nullptr);
      stored += 3;
    }
    ++stored;
    if (FAILED(hr)) {
      std::printf("     add %ld failed: 0x%08lX\n", i + 1, static_cast<unsigned long>(hr));
      return hr;
    }
  }
  return S_OK;
}

// Private memory in KiB, for the figures printed.
unsigned long kib(std::size_t bytes) { return static_cast<unsigned long>(bytes / 1024); }

// Fills the cleared control, repaints it and reads its picture back, the figures printed;
// into a fresh control, the records must be compact (what the adds take against the
// process before them).
bool fillAndShow(HostedControl& c, long entities, DibTarget& shown, bool fresh) {
  const char* g = "a big drawing";
  const std::size_t before = wintest::committedPrivateBytes();
  DWORD start = GetTickCount();
  long stored = 0;
  const bool added = CHECK(g, SUCCEEDED(addMixed(c.control, entities, stored)) && stored >= entities);
  const DWORD addMs = GetTickCount() - start;
  const std::size_t held = wintest::committedPrivateBytes();
  long count = 0;
  CHECK(g, SUCCEEDED(c.control->get_Count(&count)) && count == stored);
  const double perEntity = static_cast<double>(held - before) / static_cast<double>(stored);
  std::printf("     %ld entities added in %lu ms: private memory %lu -> %lu KiB, %.1f bytes an entity\n", stored,
              static_cast<unsigned long>(addMs), kib(before), kib(held), perEntity);
  if (fresh) CHECK(g, perEntity <= kBytesPerEntity);
  start = GetTickCount();
  const HRESULT repainted = c.control->Reflash();
  std::printf("     Reflash: 0x%08lX in %lu ms, private memory %lu KiB after it\n",
              static_cast<unsigned long>(repainted), static_cast<unsigned long>(GetTickCount() - start),
              kib(wintest::committedPrivateBytes()));
  return added && CHECK(g, repainted == S_OK) && CHECK(g, c.capture(shown, kWidth, kHeight));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const long entities = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 20000000;
  if (entities < 1) {
    std::printf("usage: big_drawing_test.exe [ENTITIES]\n");
    return 2;
  }
  OleInitialize(nullptr);
  wintest::AtlHost atl;
  HostedControl c;
  const char* g = "a big drawing";
  if (!CHECK(g, atl.load() && c.open(atl.getControl, 0, kWidth, kHeight))) return wintest::finish();

  const std::size_t empty = wintest::committedPrivateBytes();
  DibTarget first(kWidth, kHeight), again(kWidth, kHeight);
  if (fillAndShow(c, entities, first, true)) {
    const std::uint32_t background = first.rgb(0, 0);
    long ink = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) ink += first.rgb(x, y) != background;
    std::printf("     %ld of %d pixels inked\n", ink, kWidth * kHeight);
    CHECK(g, ink > kWidth * kHeight / 4);  // the drawing is shown, not one colour
  }
  const std::size_t shown = wintest::committedPrivateBytes();

  // Cleared and filled again, the memory is used again, and the picture is the same.
  CHECK(g, SUCCEEDED(c.control->Clear()));
  std::printf("     after Clear: private memory %lu KiB\n", kib(wintest::committedPrivateBytes()));
  if (fillAndShow(c, entities, again, false)) CHECK(g, again.sameAs(first.pixels()));
  const std::size_t shownAgain = wintest::committedPrivateBytes();
  CHECK(g, shownAgain <= shown + (shown - empty) / 50);
  c.close();
  OleUninitialize();
  return wintest::finish();
}
