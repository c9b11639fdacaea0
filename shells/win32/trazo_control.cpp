// Identity, lifetime and the windows of the control.
#include "trazo_control.hpp"

#include "module.hpp"
#include "snapshot_enum.hpp"

#include "picture/sized_client_area.hpp"
#include "picture/null_surface.hpp"

namespace trazo::win32 {

TrazoControl::TrazoControl()
    : picture_(kDefaultWidthTwips, kDefaultHeightTwips),
      events_(*this),
      extent_{twipsToHimetric(kDefaultWidthTwips), twipsToHimetric(kDefaultHeightTwips)} {
  addModuleReference();
  core_.attachPicture(picture_);
  core_.placement().attach(&picture_, picture_.dpi().x, picture_.dpi().y);
  core_.connect(events_);
}

TrazoControl::~TrazoControl() {
  destroyWindows();
  core_.onTerminate();
  core_.placement().detach();
  core_.detachPicture();
  if (viewSink_ != nullptr) viewSink_->Release();
  if (adviseHolder_ != nullptr) adviseHolder_->Release();
  if (inPlaceSite_ != nullptr) inPlaceSite_->Release();
  if (site_ != nullptr) site_->Release();
  if (interfaceInfo_ != nullptr) interfaceInfo_->Release();
  if (dispatchInfo_ != nullptr) dispatchInfo_->Release();
  if (typeLib_ != nullptr) typeLib_->Release();
  releaseModuleReference();
}

HRESULT TrazoControl::initialize() { return failed(core_.onInitialize()) ? E_OUTOFMEMORY : S_OK; }

HRESULT TrazoControl::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__Trazo) {
    *object = static_cast<_Trazo*>(this);
  } else if (iid == IID_ISupportErrorInfo) {
    *object = static_cast<ISupportErrorInfo*>(this);
  } else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) {
    *object = static_cast<IProvideClassInfo2*>(this);
  } else if (iid == IID_IConnectionPointContainer) {
    *object = static_cast<IConnectionPointContainer*>(this);
  } else if (iid == IID_IOleObject) {
    *object = static_cast<IOleObject*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
    *object = static_cast<IOleInPlaceObject*>(this);
  } else if (iid == IID_IOleInPlaceActiveObject) {
    *object = static_cast<IOleInPlaceActiveObject*>(this);
  } else if (iid == IID_IOleControl) {
    *object = static_cast<IOleControl*>(this);
  } else if (iid == IID_IViewObject || iid == IID_IViewObject2) {
    *object = static_cast<IViewObject2*>(this);
  } else if (iid == IID_IPersist || iid == IID_IPersistStreamInit) {
    *object = static_cast<IPersistStreamInit*>(this);
  } else if (iid == IID_IPersistPropertyBag) {
    *object = static_cast<IPersistPropertyBag*>(this);
  } else if (iid == IID_IQuickActivate) {
    *object = static_cast<IQuickActivate*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
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
  SizedClientArea area(pixelsToTwips(client.right - client.left, dpi.x), pixelsToTwips(client.bottom - client.top, dpi.y));
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
  AddRef();  // a handler may release the control
  core_.onMouseMove(button, shift, static_cast<float>(at.x), static_cast<float>(at.y));
  Release();
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
