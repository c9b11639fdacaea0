// The control in a real container: Wine's ATL host (AtlAxWin) sites it, activates it in
// place and resizes it. Checks that P1 follows the control's size, that Reflash and P1's
// paint put the expected pixels on the dark background, and that pointer movement over P1
// reaches every connected sink as MouseMove with the coordinates crossed. Runs with the
// registered 64-bit Trazolib.ocx and a display driver (the null driver will do).
#include "atl_host.hpp"
#include "check.hpp"

#include "automation/member_table.hpp"
#include "render/entity_colour.hpp"

#include "Trazolib.h"

#include <ocidl.h>
#include <olectl.h>
#include <oleauto.h>
#include <windows.h>

#include <cmath>
#include <vector>

using namespace trazo;

namespace {

COLORREF colourOf(std::int32_t index) {
  const Rgb c = EntityColor(index);
  return RGB(c.red, c.green, c.blue);
}

SIZE clientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// Whether any pixel within `reach` of (x, y) has the colour.
bool inkNear(HDC dc, double x, double y, int reach, COLORREF colour) {
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx)
      if (GetPixel(dc, static_cast<int>(std::lround(x)) + dx, static_cast<int>(std::lround(y)) + dy) == colour)
        return true;
  return false;
}

// One MouseMove as a sink saw it.
struct SeenEvent {
  DISPID id = 0;
  UINT args = 0;
  VARTYPE types[4] = {};
  short button = 0, shift = 0;
  float x = 0, y = 0;
  LONG countInside = -1;
};

// An event sink that records what it is given, writes into the by-reference arguments (the
// control must not mind), and calls back into the control from inside the event.
class RecordingSink final : public IDispatch {
 public:
  explicit RecordingSink(_Trazo* control) : control_(control) {}
  std::vector<SeenEvent> seen;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID___Trazo) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the stack
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    SeenEvent e;
    e.id = id;
    e.args = params->cArgs;
    for (UINT i = 0; i < params->cArgs && i < 4; ++i) e.types[i] = params->rgvarg[i].vt;
    if (params->cArgs == 4 && e.types[3] == (VT_BYREF | VT_I2) && e.types[2] == (VT_BYREF | VT_I2) &&
        e.types[1] == (VT_BYREF | VT_R4) && e.types[0] == (VT_BYREF | VT_R4)) {
      // Arguments arrive in reverse order: Button is the last.
      e.button = *params->rgvarg[3].piVal;
      e.shift = *params->rgvarg[2].piVal;
      e.x = *params->rgvarg[1].pfltVal;
      e.y = *params->rgvarg[0].pfltVal;
      *params->rgvarg[3].piVal = 99;
      *params->rgvarg[1].pfltVal = -1;
    }
    control_->get_Count(&e.countInside);
    seen.push_back(e);
    return S_OK;
  }

 private:
  _Trazo* control_;
  ULONG refs_ = 1;
};

bool closeTo(float a, double b) { return std::fabs(a - b) < 1e-3; }

void events(const char* g, _Trazo* t, HWND p1) {
  IConnectionPointContainer* container = nullptr;
  IConnectionPoint* point = nullptr;
  if (!CHECK(g, SUCCEEDED(t->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) &&
                    SUCCEEDED(container->FindConnectionPoint(DIID___Trazo, &point))))
    return;
  IConnectionPoint* other = nullptr;
  CHECK_HR(g, container->FindConnectionPoint(IID__Trazo, &other), CONNECT_E_NOCONNECTION);
  // The container lists exactly this one point, for the event interface.
  IEnumConnectionPoints* points = nullptr;
  if (CHECK(g, SUCCEEDED(container->EnumConnectionPoints(&points)))) {
    IConnectionPoint* listed[2] = {};
    ULONG fetched = 0;
    CHECK_HR(g, points->Next(2, listed, &fetched), S_FALSE);
    IID iid{};
    CHECK(g, fetched == 1 && SUCCEEDED(listed[0]->GetConnectionInterface(&iid)) && IsEqualIID(iid, DIID___Trazo));
    for (ULONG i = 0; i < fetched; ++i) listed[i]->Release();
    points->Release();
  }
  RecordingSink first(t), second(t);
  DWORD firstCookie = 0, secondCookie = 0;
  CHECK_HR(g, point->Advise(&first, &firstCookie), S_OK);
  CHECK_HR(g, point->Advise(&second, &secondCookie), S_OK);
  CHECK(g, firstCookie != secondCookie);
  IEnumConnections* connections = nullptr;
  if (CHECK(g, SUCCEEDED(point->EnumConnections(&connections)))) {
    CONNECTDATA listed[3] = {};
    ULONG fetched = 0;
    connections->Next(3, listed, &fetched);
    CHECK(g, fetched == 2 && listed[0].dwCookie == firstCookie && listed[1].dwCookie == secondCookie);
    for (ULONG i = 0; i < fetched; ++i) listed[i].pUnk->Release();
    connections->Release();
  }

  // The view from the last Reflash: box (-10,-10)-(10,10) in 400 x 250 pixels gives
  // Scale (-19.2, 12)-(19.2, -12). Pixel (100, 50) is x = -19.2 + 100/400 * 38.4 = -9.6
  // and y = 12 - 50/250 * 24 = 7.2; the event's X carries y and its Y carries x.
  SendMessageW(p1, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(100, 50));
  if (CHECK(g, first.seen.size() == 1 && second.seen.size() == 1)) {
    for (const SeenEvent* e : {&first.seen[0], &second.seen[0]}) {
      CHECK(g, e->id == dispid::MouseMove && e->args == 4);
      CHECK(g, e->types[3] == (VT_BYREF | VT_I2) && e->types[0] == (VT_BYREF | VT_R4));
      CHECK(g, e->button == 1 && e->shift == 1);  // the first sink's writes do not reach the second
      CHECK(g, closeTo(e->x, 7.2) && closeTo(e->y, -9.6));
      CHECK(g, e->countInside == 5);  // the sink called back into the control while it ran
    }
  }
  SendMessageW(p1, WM_MOUSEMOVE, MK_RBUTTON | MK_MBUTTON | MK_CONTROL, MAKELPARAM(300, 200));
  if (CHECK(g, first.seen.size() == 2)) {
    const SeenEvent& e = first.seen[1];
    // x = -19.2 + 300/400 * 38.4 = 9.6, y = 12 - 200/250 * 24 = -7.2
    CHECK(g, e.button == 6 && e.shift == 2);
    CHECK(g, closeTo(e.x, -7.2) && closeTo(e.y, 9.6));
  }
  CHECK_HR(g, point->Unadvise(secondCookie), S_OK);
  CHECK_HR(g, point->Unadvise(secondCookie), CONNECT_E_NOCONNECTION);
  SendMessageW(p1, WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
  CHECK(g, first.seen.size() == 3 && second.seen.size() == 2);
  if (first.seen.size() == 3) CHECK(g, first.seen[2].button == 0 && first.seen[2].shift == 0);
  CHECK_HR(g, point->Unadvise(firstCookie), S_OK);
  point->Release();
  container->Release();
}

void pixels(const char* g, _Trazo* t, HWND p1) {
  const COLORREF background = RGB(0, 0, 0);
  // A horizontal line from (0, 0) to (10, 0): the flat span is widened to (0,-1)-(10,1), and
  // in 400 x 250 pixels the view is (-1, 3.75)-(11, -3.75). y = 0 is row 125; x from 0 to 10
  // is columns 33.3 to 366.7.
  t->Clear();
  CHECK_HR(g, t->AddLine(0, 0, 10, 0, 3, 0, nullptr), S_OK);
  CHECK_HR(g, t->Reflash(), S_OK);
  HDC dc = GetDC(p1);
  const COLORREF green = colourOf(3);
  CHECK(g, GetPixel(dc, 200, 125) == green);
  CHECK(g, GetPixel(dc, 40, 125) == green && GetPixel(dc, 360, 125) == green);
  CHECK(g, GetPixel(dc, 20, 125) == background && GetPixel(dc, 380, 125) == background);
  CHECK(g, GetPixel(dc, 200, 60) == background && GetPixel(dc, 200, 190) == background);

  // An arc from 0 to pi/2 is the upper-right quarter on screen. Box (-10,-10)-(10,10) makes
  // the view (-19.2, 12)-(19.2, -12): a point (x, y) is pixel ((x + 19.2) / 38.4 * 400,
  // (12 - y) / 24 * 250). At 45 degrees on radius 5: (3.54, 3.54) -> (236.8, 88.2); at 225
  // degrees (163.2, 161.8).
  t->Clear();
  t->AddBox(-10, -10, 10, 10, 1, 0, nullptr);
  CHECK_HR(g, t->AddCircle2(0, 0, 5, 0, 1.5707963267948966, 4, 0, nullptr), S_OK);
  CHECK_HR(g, t->Reflash(), S_OK);
  const COLORREF cyan = colourOf(4);
  CHECK(g, inkNear(dc, 236.8, 88.2, 2, cyan));
  CHECK(g, !inkNear(dc, 163.2, 161.8, 3, cyan));
  CHECK(g, !inkNear(dc, 236.8, 161.8, 3, cyan) && !inkNear(dc, 163.2, 88.2, 3, cyan));
  // The box's bottom side y = -10 is row 229.2, between columns 45.8 and 354.2.
  CHECK(g, inkNear(dc, 200, 229.2, 1, colourOf(1)));
  // The centre (0, 0) is pixel (200, 125); the point (-5, 0) is (147.9, 125).
  CHECK(g, !inkNear(dc, 175, 125, 2, cyan));  // no radius line for positive angles

  // A negative start angle stands for its magnitude and adds a radius line to that end:
  // -pi to 3 pi / 2 is the lower-left quarter plus the radius to (-5, 0).
  t->Clear();
  t->AddBox(-10, -10, 10, 10, 1, 0, nullptr);
  CHECK_HR(g, t->AddCircle2(0, 0, 5, -3.141592653589793, 4.71238898038469, 4, 0, nullptr), S_OK);
  t->Reflash();
  CHECK(g, inkNear(dc, 175, 125, 1, cyan));
  CHECK(g, inkNear(dc, 163.2, 161.8, 2, cyan) && !inkNear(dc, 236.8, 88.2, 3, cyan));

  // Angles beyond a turn count modulo a turn: 2 pi to 5 pi / 2 is the upper-right quarter.
  t->Clear();
  t->AddBox(-10, -10, 10, 10, 1, 0, nullptr);
  CHECK_HR(g, t->AddCircle2(0, 0, 5, 6.283185307179586, 7.853981633974483, 4, 0, nullptr), S_OK);
  t->Reflash();
  CHECK(g, inkNear(dc, 236.8, 88.2, 2, cyan) && !inkNear(dc, 163.2, 161.8, 3, cyan));

  // A dashed line (line type 1) along row 125 alternates ink and gaps.
  t->Clear();
  t->AddLine(0, 0, 10, 0, 3, 1, nullptr);
  t->Reflash();
  int ink = 0, gaps = 0, changes = 0;
  for (int x = 40; x < 360; ++x) {
    const bool on = GetPixel(dc, x, 125) == green;
    ink += on;
    gaps += !on;
    changes += x > 40 && on != (GetPixel(dc, x - 1, 125) == green);
  }
  CHECK(g, ink > 100 && gaps > 30 && changes >= 10);

  // Back to the arc of 0 to pi / 2 for what follows.
  t->Clear();
  t->AddBox(-10, -10, 10, 10, 1, 0, nullptr);
  t->AddCircle2(0, 0, 5, 0, 1.5707963267948966, 4, 0, nullptr);
  t->Reflash();
  ReleaseDC(p1, dc);

  // P1's paint is a Reflash: drawn into another DC through WM_PRINTCLIENT.
  HDC memory = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 400, -250, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(p1, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  CHECK(g, inkNear(memory, 236.8, 88.2, 2, cyan) && !inkNear(memory, 163.2, 161.8, 3, cyan));

  // A container drawing the control itself gets the same picture.
  IViewObject2* view = nullptr;
  if (CHECK(g, SUCCEEDED(t->QueryInterface(IID_IViewObject2, reinterpret_cast<void**>(&view))))) {
    RECT clear{0, 0, 400, 250};
    FillRect(memory, &clear, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const RECTL bounds{0, 0, 400, 250};
    CHECK_HR(g, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr, nullptr, 0),
             S_OK);
    CHECK(g, inkNear(memory, 236.8, 88.2, 2, cyan) && GetPixel(memory, 5, 5) == background);
    CHECK_HR(g, view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr, nullptr, 0),
             DV_E_DVASPECT);
    view->Release();
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

}  // namespace

int wmain() {
  OleInitialize(nullptr);
  wintest::AtlHost atl;
  if (!CHECK("host", atl.load())) return wintest::finish();

  const char* g = "siting";
  HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 640, 480,
                              nullptr, nullptr, nullptr, nullptr);
  HWND ax = CreateWindowExW(0, L"AtlAxWin", L"Trazolib.Trazo", WS_CHILD | WS_VISIBLE, 0, 0, 320, 200, host, nullptr,
                            nullptr, nullptr);
  if (!CHECK(g, host != nullptr && ax != nullptr)) return wintest::finish();
  wintest::pump();
  IUnknown* unknown = nullptr;
  _Trazo* t = nullptr;
  IOleInPlaceObject* inPlace = nullptr;
  if (!CHECK(g, SUCCEEDED(atl.getControl(ax, &unknown)) && unknown &&
                    SUCCEEDED(unknown->QueryInterface(IID__Trazo, reinterpret_cast<void**>(&t))) &&
                    SUCCEEDED(unknown->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))))
    return wintest::finish();
  HWND client = nullptr;
  CHECK_HR(g, inPlace->GetWindow(&client), S_OK);
  HWND p1 = client ? GetWindow(client, GW_CHILD) : nullptr;
  CHECK(g, client != nullptr && GetParent(client) == ax && IsWindowVisible(client));
  CHECK(g, p1 != nullptr && GetWindow(p1, GW_HWNDNEXT) == nullptr);  // P1 is the only child
  CHECK(g, clientSize(client).cx == 320 && clientSize(client).cy == 200);
  CHECK(g, clientSize(p1).cx == 320 && clientSize(p1).cy == 200);  // the first Resize placed P1

  const char* r = "resizing";
  MoveWindow(ax, 0, 0, 400, 250, TRUE);  // enlarging: P1 follows
  wintest::pump();
  CHECK(r, clientSize(p1).cx == 400 && clientSize(p1).cy == 250);
  RECT placed{};
  GetWindowRect(p1, &placed);
  MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&placed), 2);
  CHECK(r, placed.left == 0 && placed.top == 0);

  pixels("pixels", t, p1);
  events("events", t, p1);

  MoveWindow(ax, 0, 0, 0, 0, TRUE);  // no area at all
  wintest::pump();
  CHECK(r, clientSize(p1).cx == 0 && clientSize(p1).cy == 0);
  CHECK_HR(r, t->Reflash(), S_OK);
  MoveWindow(ax, 0, 0, 400, 250, TRUE);
  wintest::pump();
  CHECK(r, clientSize(p1).cx == 400);

  // The container goes away first; the control outlives its windows and still works.
  const char* e = "after the container";
  DestroyWindow(host);
  wintest::pump();
  CHECK(e, !IsWindow(p1));
  HWND none = nullptr;
  CHECK(e, FAILED(inPlace->GetWindow(&none)));
  CHECK_HR(e, t->Reflash(), S_OK);
  CHECK_HR(e, t->AddLine(0, 0, 1, 1, 1, 0, nullptr), S_OK);
  LONG count = -1;
  t->get_Count(&count);
  CHECK(e, count == 6);
  SendMessageW(p1, WM_MOUSEMOVE, 0, 0);  // a stale handle: nothing to deliver
  inPlace->Release();
  t->Release();
  unknown->Release();
  OleUninitialize();
  return wintest::finish();
}
