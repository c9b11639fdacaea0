// The Trazo control as a COM object: the dual interface _Trazo over the portable core, the
// event connection point, and the OLE interfaces that containers use to site, size,
// activate, draw and persist it. The members live in several files by concern:
// trazo_control.cpp (identity, lifetime, windows), trazo_dispatch.cpp (_Trazo, IDispatch,
// class info, error info), trazo_ole.cpp (embedding and in-place activation),
// trazo_view.cpp (IViewObject2), trazo_persist.cpp (persistence and quick activation).
#pragma once

#include "com_ptr.hpp"
#include "connection_point.hpp"
#include "control_identity.hpp"
#include "control_picture.hpp"
#include "control_windows.hpp"
#include "module.hpp"

#include "control/trazo.hpp"

#include "Trazolib.h"

#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

namespace trazo::win32 {

class TrazoControl final : public _Trazo,
                           public ISupportErrorInfo,
                           public IProvideClassInfo2,
                           public IConnectionPointContainer,
                           public IOleObject,
                           public IOleInPlaceObject,
                           public IOleInPlaceActiveObject,
                           public IOleControl,
                           public IViewObject2,
                           public IPersistStreamInit,
                           public IPersistPropertyBag,
                           public IQuickActivate,
                           private WindowEvents {
 public:
  TrazoControl();
  ~TrazoControl() override;
  TrazoControl(const TrazoControl&) = delete;
  TrazoControl& operator=(const TrazoControl&) = delete;

  // The core's Initialize; a failure means the control cannot be made.
  HRESULT initialize();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argError) override;

  // _Trazo, in its order
  HRESULT STDMETHODCALLTYPE Clear() override;
  HRESULT STDMETHODCALLTYPE AddBox(double x1, double y1, double x2, double y2, LONG col, LONG lType, BSTR Tag) override;
  HRESULT STDMETHODCALLTYPE AddLine(double x1, double y1, double x2, double y2, LONG col, LONG lType,
                                    BSTR Tag) override;
  HRESULT STDMETHODCALLTYPE AddCircle(double CX, double CY, double r, LONG col, LONG lType, BSTR Tag) override;
  HRESULT STDMETHODCALLTYPE AddCircle2(double CX, double CY, double r, double sa, double ea, LONG col, LONG lType,
                                       BSTR Tag) override;
  HRESULT STDMETHODCALLTYPE AddText(double TX, double TY, double TH, double Tang, LONG col, BSTR cText,
                                    BSTR Tag) override;
  HRESULT STDMETHODCALLTYPE get_Count(LONG* value) override;
  HRESULT STDMETHODCALLTYPE Reflash() override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

  // IProvideClassInfo2
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* site, LONG index, HWND parent,
                                   LPCRECT position) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* name) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

  // IOleWindow, IOleInPlaceObject
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;

  // IOleInPlaceActiveObject
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

  // IViewObject2
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDevice,
                                 HDC dc, LPCRECTL bounds, LPCRECTL metafileBounds,
                                 BOOL(STDMETHODCALLTYPE* carryOn)(ULONG_PTR), ULONG_PTR carryOnArgument) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                        HDC targetDevice, LOGPALETTE** colours) override;
  HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

  // IPersist, IPersistStreamInit, IPersistPropertyBag: the control has no properties to keep.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;
  HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

  // IQuickActivate
  HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) override;
  HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override;

 private:
  // WindowEvents
  void clientSized() override;
  void pictureSized(int width, int height) override;
  void paintPicture(HDC dc) override;
  void pointerMoved(std::int16_t button, std::int16_t shift, int x, int y) override;

  // Loads the embedded type library and the interface's function-table description.
  HRESULT loadTypeInfo();
  HRESULT activateInPlace(IOleClientSite* site, HWND parent, LPCRECT position, bool uiActivate);
  void destroyWindows();
  // Shows the picture after the core drew into it, and tells a view sink.
  void showPicture();

  ModuleReference module_;
  LONG references_ = 1;
  Trazo core_;
  ControlPicture picture_;
  EventConnectionPoint events_;
  ControlWindows windows_;
  ComPtr<ITypeLib> typeLib_;
  ComPtr<ITypeInfo> dispatchInfo_;   // _Trazo as IDispatch sees it
  ComPtr<ITypeInfo> interfaceInfo_;  // _Trazo's function table, for ITypeInfo::Invoke
  ComPtr<IOleClientSite> site_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IOleAdviseHolder> adviseHolder_;
  ComPtr<IAdviseSink> viewSink_;
  DWORD viewAdviseFlags_ = 0;
  SIZEL extent_{};  // HIMETRIC
  bool uiActive_ = false;
};

}  // namespace trazo::win32
