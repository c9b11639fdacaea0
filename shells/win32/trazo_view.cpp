// IViewObject2: a container that draws the control itself (print, design view, a snapshot)
// gets the picture repainted from the drawing and stretched into its rectangle.
#include "trazo_control.hpp"

namespace trazo::win32 {

HRESULT TrazoControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                           BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (dc == nullptr || bounds == nullptr) return E_INVALIDARG;
  (void)core_.onPaint();
  const RECT target{bounds->left, bounds->top, bounds->right, bounds->bottom};
  picture_.present(dc, target);
  return S_OK;
}

HRESULT TrazoControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colours) {
  if (colours == nullptr) return E_POINTER;
  *colours = nullptr;
  return S_FALSE;  // no particular palette
}

HRESULT TrazoControl::Freeze(DWORD, LONG, void*, DWORD* freeze) {
  if (freeze == nullptr) return E_POINTER;
  *freeze = 0;
  return E_NOTIMPL;
}

HRESULT TrazoControl::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT TrazoControl::SetAdvise(DWORD, DWORD flags, IAdviseSink* sink) {
  viewSink_ = ComPtr<IAdviseSink>::share(sink);
  viewAdviseFlags_ = flags;
  return S_OK;
}

HRESULT TrazoControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects != nullptr) *aspects = DVASPECT_CONTENT;
  if (flags != nullptr) *flags = viewAdviseFlags_;
  if (sink != nullptr) {
    *sink = viewSink_.newReference();
  }
  return S_OK;
}

HRESULT TrazoControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) { return GetExtent(aspect, size); }

}  // namespace trazo::win32
