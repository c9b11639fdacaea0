// Identity, lifetime and the windows of the control.
#include "trazo_control.hpp"

#include "interface_table.hpp"
#include "snapshot_enum.hpp"

#include "picture/sized_client_area.hpp"
#include "picture/null_surface.hpp"

namespace trazo::win32 {

TrazoControl::TrazoControl()
    : picture_(kDefaultWidthTwips, kDefaultHeightTwips),
      events_(*this),
      extent_{twipsToHimetric(kDefaultWidthTwips), twipsToHimetric(kDefaultHeightTwips)} {
  core_.attachPicture(picture_);
  core_.placement().attach(&picture_, picture_.dpi().x, picture_.dpi().y);
  core_.connect(events_);
}

TrazoControl::~TrazoControl() {
  destroyWindows();
  core_.onTerminate();
  core_.placement().detach();
  core_.detachPicture();
}

HRESULT TrazoControl::initialize() { return failed(core_.onInitialize()) ? E_OUTOFMEMORY : S_OK; }

HRESULT TrazoControl::QueryInterface(REFIID iid, void** object) {
  _Trazo* const dual = this;
  IProvideClassInfo2* const classInfo = this;
  IOleInPlaceObject* const inPlace = this;
  IViewObject2* const view = this;
  IPersistStreamInit* const stream = this;
  return answerQuery(iid, object,
                     {{IID_IUnknown, dual},
                      {IID_IDispatch, dual},
                      {IID__Trazo, dual},
                      {IID_ISupportErrorInfo, static_cast<ISupportErrorInfo*>(this)},
                      {IID_IProvideClassInfo, classInfo},
                      {IID_IProvideClassInfo2, classInfo},
                      {IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)},
                      {IID_IOleObject, static_cast<IOleObject*>(this)},
                      {IID_IOleWindow, inPlace},
                      {IID_IOleInPlaceObject, inPlace},
                      {IID_IOleInPlaceActiveObject, static_cast<IOleInPlaceActiveObject*>(this)},
                      {IID_IOleControl, static_cast<IOleControl*>(this)},
                      {IID_IViewObject, view},
                      {IID_IViewObject2, view},
                      {IID_IPersist, stream},
                      {IID_IPersistStreamInit, stream},
                      {IID_IPersistPropertyBag, static_cast<IPersistPropertyBag*>(this)},
                      {IID_IQuickActivate, static_cast<IQuickActivate*>(this)}});
}

ULONG TrazoControl::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG TrazoControl::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT TrazoControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
  try {
    return ConnectionPointsEnum::create({&events_}, points);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT TrazoControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (iid != DIID___Trazo) return CONNECT_E_NOCONNECTION;
  *point = &events_;
  events_.AddRef();
  return S_OK;
}

void TrazoControl::destroyWindows() {
  picture_.detachWindow();
  windows_.destroy();
}

void TrazoControl::clientSized() {
  if (!windows_.exist()) return;
  // The client window in twips.
  RECT client{};
  if (!GetClientRect(windows_.client(), &client)) client = {};
  const LogicalDpi dpi = displayDpi();
  SizedClientArea area(pixelsToTwips(client.right - client.left, dpi.x),
                       pixelsToTwips(client.bottom - client.top, dpi.y));
  core_.onResize(area);
}

void TrazoControl::pictureSized(int width, int height) {
  picture_.resizeCanvas(width, height);
  if (windows_.picture() != nullptr) InvalidateRect(windows_.picture(), nullptr, FALSE);
}

// P1's paint is a Reflash; a failing one leaves whatever it drew and is not reported.
void TrazoControl::paintPicture(HDC dc) {
  (void)core_.onPaint();
  picture_.present(dc);
}

void TrazoControl::pointerMoved(std::int16_t button, std::int16_t shift, int x, int y) {
  const DevicePoint at = picture_.fromDevice(x, y);
  const auto held = ComPtr<TrazoControl>::share(this);  // a handler may release the control
  core_.onMouseMove(button, shift, static_cast<float>(at.x), static_cast<float>(at.y));
}

void TrazoControl::showPicture() {
  if (HWND window = windows_.picture()) {
    if (HDC dc = GetDC(window)) {
      picture_.present(dc);
      ReleaseDC(window, dc);
    }
  }
  if (viewSink_ != nullptr) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

}  // namespace trazo::win32
