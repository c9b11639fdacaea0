// Embedding and in-place activation: IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject
// and IOleControl. The control is inside-out: it is active in place whenever it is shown.
#include "trazo_control.hpp"

namespace trazo::win32 {
namespace {

// P1's window where the control has placed it (at first its initial placement).
RECT pictureRect(const PixelPlacement& p) { return {p.left, p.top, p.left + p.width, p.top + p.height}; }

}  // namespace

HRESULT TrazoControl::SetClientSite(IOleClientSite* site) {
  // Some containers (ATL's) say goodbye only by taking the site away: leave the window then.
  if (site == nullptr) InPlaceDeactivate();
  site_ = ComPtr<IOleClientSite>::share(site);
  return S_OK;
}

HRESULT TrazoControl::GetClientSite(IOleClientSite** site) {
  if (site == nullptr) return E_POINTER;
  *site = site_.newReference();
  return S_OK;
}

HRESULT TrazoControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT TrazoControl::Close(DWORD) {
  InPlaceDeactivate();
  if (adviseHolder_ != nullptr) adviseHolder_->SendOnClose();
  return S_OK;
}

HRESULT TrazoControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT TrazoControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker == nullptr) return E_POINTER;
  *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT TrazoControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT TrazoControl::GetClipboardData(DWORD, IDataObject** data) {
  if (data == nullptr) return E_POINTER;
  *data = nullptr;
  return E_NOTIMPL;
}

HRESULT TrazoControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE: return activateInPlace(site, parent, position, false);
    case OLEIVERB_UIACTIVATE: return activateInPlace(site, parent, position, true);
    case OLEIVERB_HIDE:
      if (windows_.exist()) ShowWindow(windows_.client(), SW_HIDE);
      return S_OK;
    case OLEIVERB_OPEN:
    case OLEIVERB_DISCARDUNDOSTATE: return E_NOTIMPL;
    default:
      if (verb > 0) {
        // An unknown positive verb is treated as the primary one, as OLE asks.
        const HRESULT hr = activateInPlace(site, parent, position, false);
        return SUCCEEDED(hr) ? OLEOBJ_S_INVALIDVERB : hr;
      }
      return E_NOTIMPL;
  }
}

// The in-place handshake: ask the site, tell it, learn the parent window and the place,
// then make the client window and P1 and size P1 over the client area.
HRESULT TrazoControl::activateInPlace(IOleClientSite* site, HWND parent, LPCRECT position, bool uiActivate) {
  if (site == nullptr) site = site_.get();
  if (site == nullptr) return E_INVALIDARG;
  if (windows_.exist()) {
    if (position != nullptr) SetObjectRects(position, position);
    ShowWindow(windows_.client(), SW_SHOW);
  } else {
    ComPtr<IOleInPlaceSite> inPlace;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, inPlace.putVoid()))) return E_NOINTERFACE;
    if (inPlace->CanInPlaceActivate() != S_OK) return E_FAIL;
    inPlace->OnInPlaceActivate();
    HWND window = nullptr;
    if (FAILED(inPlace->GetWindow(&window)) || window == nullptr) window = parent;
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT place{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (FAILED(inPlace->GetWindowContext(frame.put(), document.put(), &place, &clip, &frameInfo)) &&
        position != nullptr) {
      place = *position;
    }
    const HRESULT hr = windows_.create(window, place, pictureRect(core_.placement().pixels()), *this);
    if (FAILED(hr)) {
      inPlace->OnInPlaceDeactivate();
      return hr;
    }
    inPlaceSite_ = std::move(inPlace);
    picture_.attachWindow(windows_.picture());
    RECT inner{};
    GetClientRect(windows_.picture(), &inner);
    picture_.resizeCanvas(inner.right, inner.bottom);
    clientSized();
    ShowWindow(windows_.client(), SW_SHOWNA);
  }
  if (uiActivate && !uiActive_ && inPlaceSite_ != nullptr) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
  }
  return S_OK;
}

HRESULT TrazoControl::EnumVerbs(IEnumOLEVERB** verbs) {
  if (verbs == nullptr) return E_POINTER;
  return OleRegEnumVerbs(CLSID_Trazo, verbs);
}

HRESULT TrazoControl::Update() { return S_OK; }
HRESULT TrazoControl::IsUpToDate() { return S_OK; }

HRESULT TrazoControl::GetUserClassID(CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = CLSID_Trazo;
  return S_OK;
}

HRESULT TrazoControl::GetUserType(DWORD form, LPOLESTR* name) {
  if (name == nullptr) return E_POINTER;
  return OleRegGetUserType(CLSID_Trazo, form, name);
}

HRESULT TrazoControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (size == nullptr) return E_POINTER;
  if (size->cx < 0 || size->cy < 0) return E_INVALIDARG;
  extent_ = *size;
  return S_OK;
}

HRESULT TrazoControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (size == nullptr) return E_POINTER;
  *size = extent_;
  return S_OK;
}

HRESULT TrazoControl::Advise(IAdviseSink* sink, DWORD* connection) {
  if (connection == nullptr) return E_POINTER;
  *connection = 0;
  if (adviseHolder_ == nullptr) {
    if (const HRESULT hr = CreateOleAdviseHolder(adviseHolder_.put()); FAILED(hr)) return hr;
  }
  return adviseHolder_->Advise(sink, connection);
}

HRESULT TrazoControl::Unadvise(DWORD connection) {
  if (adviseHolder_ == nullptr) return OLE_E_NOCONNECTION;
  return adviseHolder_->Unadvise(connection);
}

HRESULT TrazoControl::EnumAdvise(IEnumSTATDATA** advise) {
  if (advise == nullptr) return E_POINTER;
  *advise = nullptr;
  if (adviseHolder_ == nullptr) return E_FAIL;
  return adviseHolder_->EnumAdvise(advise);
}

HRESULT TrazoControl::GetMiscStatus(DWORD aspect, DWORD* status) {
  if (status == nullptr) return E_POINTER;
  *status = aspect == DVASPECT_CONTENT ? kMiscStatus : 0;
  return S_OK;
}

HRESULT TrazoControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

HRESULT TrazoControl::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = windows_.client();
  return *window != nullptr ? S_OK : E_FAIL;
}

HRESULT TrazoControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT TrazoControl::InPlaceDeactivate() {
  UIDeactivate();
  destroyWindows();
  if (inPlaceSite_ != nullptr) {
    const ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
    site->OnInPlaceDeactivate();
  }
  return S_OK;
}

HRESULT TrazoControl::UIDeactivate() {
  if (uiActive_) {
    uiActive_ = false;
    if (inPlaceSite_ != nullptr) inPlaceSite_->OnUIDeactivate(FALSE);
  }
  return S_OK;
}

// The client window takes the new place; its WM_SIZE stretches P1 over it.
HRESULT TrazoControl::SetObjectRects(LPCRECT position, LPCRECT) {
  if (position == nullptr) return E_POINTER;
  if (!windows_.exist()) return S_OK;
  const LONG width = position->right - position->left;
  const LONG height = position->bottom - position->top;
  MoveWindow(windows_.client(), position->left, position->top, width > 0 ? width : 0, height > 0 ? height : 0, TRUE);
  return S_OK;
}

HRESULT TrazoControl::ReactivateAndUndo() { return INPLACE_E_NOTUNDOABLE; }

HRESULT TrazoControl::TranslateAccelerator(LPMSG) { return S_FALSE; }
HRESULT TrazoControl::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT TrazoControl::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT TrazoControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT TrazoControl::EnableModeless(BOOL) { return S_OK; }

HRESULT TrazoControl::GetControlInfo(CONTROLINFO* info) {
  if (info == nullptr) return E_POINTER;
  info->cb = sizeof *info;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

HRESULT TrazoControl::OnMnemonic(MSG*) { return S_OK; }
HRESULT TrazoControl::OnAmbientPropertyChange(DISPID) { return S_OK; }

HRESULT TrazoControl::FreezeEvents(BOOL freeze) {
  events_.freeze(freeze != FALSE);
  return S_OK;
}

}  // namespace trazo::win32
