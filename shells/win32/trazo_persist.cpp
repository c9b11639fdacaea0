// Persistence and quick activation. The control keeps no properties: loading and saving
// succeed with nothing to read or write, which is what form designers need to place it.
#include "trazo_control.hpp"

#include <cstddef>

namespace trazo::win32 {

HRESULT TrazoControl::GetClassID(CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = CLSID_Trazo;
  return S_OK;
}

HRESULT TrazoControl::IsDirty() { return S_FALSE; }
HRESULT TrazoControl::Load(LPSTREAM stream) { return stream == nullptr ? E_POINTER : S_OK; }
HRESULT TrazoControl::Save(LPSTREAM stream, BOOL) { return stream == nullptr ? E_POINTER : S_OK; }

HRESULT TrazoControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (size == nullptr) return E_POINTER;
  size->QuadPart = 0;
  return S_OK;
}

HRESULT TrazoControl::InitNew() { return S_OK; }
HRESULT TrazoControl::Load(IPropertyBag* bag, IErrorLog*) { return bag == nullptr ? E_POINTER : S_OK; }
HRESULT TrazoControl::Save(IPropertyBag* bag, BOOL, BOOL) { return bag == nullptr ? E_POINTER : S_OK; }

// Everything a container would otherwise set up call by call: the site, the event sink and
// the view sink; the answer carries the status bits and the event connection.
HRESULT TrazoControl::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (container == nullptr || control == nullptr) return E_POINTER;
  // Older containers pass shorter structures; what is read and written here is in all of them.
  if (container->cbSize < offsetof(QACONTAINER, dwAmbientFlags) ||
      control->cbSize < offsetof(QACONTROL, dwPointerActivationPolicy) + sizeof(DWORD)) {
    return E_INVALIDARG;
  }
  SetClientSite(container->pClientSite);
  control->dwMiscStatus = kMiscStatus;
  control->dwViewStatus = VIEWSTATUS_OPAQUE;
  control->dwEventCookie = 0;
  control->dwPropNotifyCookie = 0;
  control->dwPointerActivationPolicy = 0;
  if (container->pUnkEventSink != nullptr) events_.Advise(container->pUnkEventSink, &control->dwEventCookie);
  if (container->pAdviseSink != nullptr) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  return S_OK;
}

HRESULT TrazoControl::SetContentExtent(LPSIZEL size) { return SetExtent(DVASPECT_CONTENT, size); }
HRESULT TrazoControl::GetContentExtent(LPSIZEL size) { return GetExtent(DVASPECT_CONTENT, size); }

}  // namespace trazo::win32
