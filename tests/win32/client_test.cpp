// A client of the registered control without a container: early binding through _Trazo's
// function table, late binding through IDispatch, class and error information, and the
// library's unload answer. Run after regsvr32 has registered the 64-bit Trazolib.ocx.
//   client_test.exe PATH\TO\Trazolib.ocx
#include "check.hpp"

#include "automation/member_table.hpp"
#include "base/status.hpp"

#include "Trazolib.h"

#include <ocidl.h>
#include <oleauto.h>
#include <windows.h>

#include <cmath>
#include <limits>
#include <string>

using namespace trazo;

namespace {

LONG countOf(_Trazo* t) {
  LONG n = -1;
  t->get_Count(&n);
  return n;
}

// The description the failing call left behind, or "" when it left none.
std::wstring lastErrorDescription() {
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return L"";
  BSTR text = nullptr;
  info->GetDescription(&text);
  std::wstring out = text != nullptr ? text : L"";
  SysFreeString(text);
  info->Release();
  return out;
}

void earlyBinding(_Trazo* t) {
  const char* g = "function table";
  BSTR tag = SysAllocString(L"tag");
  CHECK(g, countOf(t) == 0);        // a fresh control is empty
  CHECK_HR(g, t->Reflash(), S_OK);  // and repaints without a window
  CHECK_HR(g, t->AddLine(0, 0, 10, 5, 3, 2, tag), S_OK);
  CHECK(g, countOf(t) == 1);
  CHECK_HR(g, t->AddBox(0, 0, 4, 4, 1, 0, nullptr), S_OK);  // a null string is the empty string
  CHECK(g, countOf(t) == 5);                                // four lines
  CHECK_HR(g, t->AddCircle(1, 1, 2, 4, 1, tag), S_OK);
  CHECK_HR(g, t->AddCircle2(1, 1, 2, 0, 1.5, 5, 3, tag), S_OK);
  CHECK_HR(g, t->AddText(0, 0, 1, 30, 6, tag, tag), S_OK);
  CHECK(g, countOf(t) == 8);
  CHECK_HR(g, t->Reflash(), S_OK);
  CHECK_HR(g, t->Clear(), S_OK);
  CHECK(g, countOf(t) == 0);
  CHECK_HR(g, t->get_Count(nullptr), E_POINTER);

  // Failures come back as the core's statuses, with an error object for scripts.
  const char* f = "failure statuses";
  // CX + r overflows while the extents are widened.
  CHECK_HR(f, t->AddCircle(1e308, 0, 1e308, 1, 0, tag), status::floatError);
  CHECK(f, lastErrorDescription() == L"Floating-point error");
  CHECK_HR(f, t->Clear(), S_OK);
  // Extents 2e308 apart are fitted on half-spans; infinite ones have no centre, and the
  // fit passes over them.
  CHECK_HR(f, t->AddLine(-1e308, 0, 1e308, 0, 1, 0, tag), S_OK);
  CHECK_HR(f, t->Reflash(), S_OK);
  CHECK_HR(f, t->AddLine(-std::numeric_limits<double>::infinity(), 0, 1, 0, 1, 0, tag), S_OK);
  CHECK_HR(f, t->Reflash(), S_OK);
  // Infinities and NaN are stored as passed, and painting them does not crash.
  const double inf = std::numeric_limits<double>::infinity();
  t->Clear();
  t->AddLine(0, 0, 1, 1, 1, 0, tag);
  const HRESULT infinite = t->AddLine(inf, 0, 1, 1, 1, 0, tag);
  CHECK(f, infinite == S_OK || infinite == status::floatError);
  t->Reflash();
  CHECK(f, countOf(t) == 2);
  t->Clear();
  SysFreeString(tag);
}

HRESULT invoke(IDispatch* d, DISPID id, WORD flags, VARIANT* args, UINT count, VARIANT* result = nullptr,
               DISPID* named = nullptr, UINT namedCount = 0, EXCEPINFO* exception = nullptr) {
  DISPPARAMS params{args, named, count, namedCount};
  EXCEPINFO local{};
  EXCEPINFO* e = exception != nullptr ? exception : &local;
  const HRESULT hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, e, nullptr);
  if (exception == nullptr) {
    SysFreeString(local.bstrSource);
    SysFreeString(local.bstrDescription);
    SysFreeString(local.bstrHelpFile);
  }
  return hr;
}

LONG dispatchCount(IDispatch* d) {
  VARIANT result;
  VariantInit(&result);
  if (FAILED(invoke(d, dispid::Count, DISPATCH_PROPERTYGET, nullptr, 0, &result)) || result.vt != VT_I4) return -1;
  return result.lVal;
}

void lateBinding(IDispatch* d) {
  const char* g = "IDispatch";
  // Names to ids, member names and parameter names alike, in any case.
  std::wstring names[3] = {L"addline", L"Tag", L"x1"};
  LPOLESTR list[3] = {names[0].data(), names[1].data(), names[2].data()};
  DISPID ids[3] = {};
  CHECK_HR(g, d->GetIDsOfNames(IID_NULL, list, 3, LOCALE_USER_DEFAULT, ids), S_OK);
  CHECK(g, ids[0] == dispid::AddLine && ids[1] == 6 && ids[2] == 0);
  std::wstring unknown = L"Refresh";
  LPOLESTR bad[1] = {unknown.data()};
  CHECK_HR(g, d->GetIDsOfNames(IID_NULL, bad, 1, LOCALE_USER_DEFAULT, ids), DISP_E_UNKNOWNNAME);

  // Positional arguments go in reverse order; strings and numbers are coerced.
  VARIANT args[7];
  for (VARIANT& v : args) VariantInit(&v);
  args[6].vt = VT_I4, args[6].lVal = 0;                           // x1
  args[5].vt = VT_R8, args[5].dblVal = 0;                         // y1
  args[4].vt = VT_BSTR, args[4].bstrVal = SysAllocString(L"10");  // x2, "10" as a number
  args[3].vt = VT_R4, args[3].fltVal = 5;                         // y2
  args[2].vt = VT_I2, args[2].iVal = 3;                           // col
  args[1].vt = VT_I4, args[1].lVal = 0;                           // lType
  args[0].vt = VT_BSTR, args[0].bstrVal = SysAllocString(L"t");
  CHECK_HR(g, invoke(d, dispid::AddLine, DISPATCH_METHOD, args, 7), S_OK);
  CHECK(g, dispatchCount(d) == 1);

  // Named arguments in any order.
  DISPID order[7] = {6, 5, 4, 3, 2, 1, 0};
  CHECK_HR(g, invoke(d, dispid::AddLine, DISPATCH_METHOD, args, 7, nullptr, order, 7), S_OK);
  CHECK(g, dispatchCount(d) == 2);

  // Wrong counts and types are refused and store nothing.
  const char* w = "IDispatch refusals";
  CHECK_HR(w, invoke(d, dispid::AddLine, DISPATCH_METHOD, args + 1, 6), DISP_E_BADPARAMCOUNT);
  CHECK_HR(w, invoke(d, dispid::Clear, DISPATCH_METHOD, args, 1), DISP_E_BADPARAMCOUNT);
  CHECK_HR(w, invoke(d, dispid::Reflash, DISPATCH_METHOD, args, 2), DISP_E_BADPARAMCOUNT);
  VARIANT notANumber = args[4];
  args[4].bstrVal = SysAllocString(L"ten");
  CHECK_HR(w, invoke(d, dispid::AddLine, DISPATCH_METHOD, args, 7), DISP_E_TYPEMISMATCH);
  SysFreeString(args[4].bstrVal);
  args[4] = notANumber;
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = 7;
  DISPID put = DISPID_PROPERTYPUT;
  CHECK(w, FAILED(invoke(d, dispid::Count, DISPATCH_PROPERTYPUT, &value, 1, nullptr, &put, 1)));
  CHECK_HR(w, invoke(d, 0x60030002, DISPATCH_METHOD, nullptr, 0), DISP_E_MEMBERNOTFOUND);
  CHECK(w, dispatchCount(d) == 2);

  // A failing member: DISP_E_EXCEPTION with the status and a description in EXCEPINFO.
  const char* x = "IDispatch exceptions";
  VARIANT circle[6];
  for (VARIANT& v : circle) VariantInit(&v);
  circle[5].vt = VT_R8, circle[5].dblVal = 1e308;
  circle[4].vt = VT_R8, circle[4].dblVal = 0;
  circle[3].vt = VT_R8, circle[3].dblVal = 1e308;
  circle[2].vt = VT_I4, circle[1].vt = VT_I4;
  circle[0].vt = VT_BSTR, circle[0].bstrVal = nullptr;
  EXCEPINFO e{};
  CHECK_HR(x, invoke(d, dispid::AddCircle, DISPATCH_METHOD, circle, 6, nullptr, nullptr, 0, &e), DISP_E_EXCEPTION);
  CHECK(x, e.scode == status::floatError);
  CHECK(x, e.bstrDescription != nullptr && std::wstring(e.bstrDescription) == L"Floating-point error");
  SysFreeString(e.bstrSource);
  SysFreeString(e.bstrDescription);
  SysFreeString(e.bstrHelpFile);
  CHECK_HR(x, invoke(d, dispid::Clear, DISPATCH_METHOD, nullptr, 0), S_OK);
  CHECK(x, dispatchCount(d) == 0);
  for (VARIANT& v : args) VariantClear(&v);
}

void classInfo(IUnknown* control) {
  const char* g = "class information";
  IProvideClassInfo2* info = nullptr;
  if (!CHECK(g, SUCCEEDED(control->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info))))) return;
  GUID source{};
  CHECK_HR(g, info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
  CHECK(g, IsEqualGUID(source, DIID___Trazo));
  ITypeInfo* coclass = nullptr;
  if (CHECK(g, SUCCEEDED(info->GetClassInfo(&coclass)))) {
    TYPEATTR* attr = nullptr;
    coclass->GetTypeAttr(&attr);
    CHECK(g, attr->typekind == TKIND_COCLASS && IsEqualGUID(attr->guid, CLSID_Trazo));
    coclass->ReleaseTypeAttr(attr);
    coclass->Release();
  }
  info->Release();
  ISupportErrorInfo* errors = nullptr;
  if (CHECK(g, SUCCEEDED(control->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&errors))))) {
    CHECK_HR(g, errors->InterfaceSupportsErrorInfo(IID__Trazo), S_OK);
    errors->Release();
  }
  // Every interface a container asks for.
  const IID* wanted[] = {&IID_IOleObject,          &IID_IOleInPlaceObject, &IID_IOleInPlaceActiveObject,
                         &IID_IOleControl,         &IID_IViewObject2,      &IID_IPersistStreamInit,
                         &IID_IPersistPropertyBag, &IID_IQuickActivate,    &IID_IConnectionPointContainer};
  int missing = 0;
  for (const IID* iid : wanted) {
    IUnknown* p = nullptr;
    if (SUCCEEDED(control->QueryInterface(*iid, reinterpret_cast<void**>(&p)))) {
      p->Release();
    } else {
      ++missing;
    }
  }
  CHECK(g, missing == 0);
}

// A sink that only counts references, for the connections a container sets up.
class IdleSink final : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return S_OK;
  }
  ULONG refs = 1;
};

// What a container learns before it activates the control: status bits, the proposed size
// (4800 x 3600 twips = 8467 x 6350 HIMETRIC), persistence, and quick activation's event
// connection.
void containerBasics(IUnknown* control) {
  const char* g = "container basics";
  IOleObject* ole = nullptr;
  if (CHECK(g, SUCCEEDED(control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole))))) {
    DWORD misc = 0;
    CHECK_HR(g, ole->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
    CHECK(g, misc == 0x00020191);
    SIZEL size{};
    CHECK_HR(g, ole->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    CHECK(g, size.cx == 8467 && size.cy == 6350);
    SIZEL bad{-1, 5};
    CHECK_HR(g, ole->SetExtent(DVASPECT_CONTENT, &bad), E_INVALIDARG);
    CLSID clsid{};
    CHECK(g, SUCCEEDED(ole->GetUserClassID(&clsid)) && IsEqualCLSID(clsid, CLSID_Trazo));
    // Without a site there is nothing to activate in.
    CHECK(g, FAILED(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, nullptr)));
    ole->Release();
  }
  IPersistStreamInit* persist = nullptr;
  if (CHECK(g, SUCCEEDED(control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist))))) {
    CHECK_HR(g, persist->InitNew(), S_OK);
    CHECK_HR(g, persist->IsDirty(), S_FALSE);
    persist->Release();
  }
  IQuickActivate* quick = nullptr;
  if (CHECK(g, SUCCEEDED(control->QueryInterface(IID_IQuickActivate, reinterpret_cast<void**>(&quick))))) {
    IdleSink sink;
    QACONTAINER container{};
    container.cbSize = sizeof container;
    container.pUnkEventSink = &sink;
    QACONTROL answer{};
    answer.cbSize = sizeof answer;
    CHECK_HR(g, quick->QuickActivate(&container, &answer), S_OK);
    CHECK(g, answer.dwMiscStatus == 0x00020191 && answer.dwEventCookie != 0);
    CHECK(g, sink.refs > 1);  // the control holds the sink
    IConnectionPointContainer* points = nullptr;
    IConnectionPoint* point = nullptr;
    if (SUCCEEDED(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points))) &&
        SUCCEEDED(points->FindConnectionPoint(DIID___Trazo, &point))) {
      CHECK_HR(g, point->Unadvise(answer.dwEventCookie), S_OK);
      point->Release();
    }
    if (points != nullptr) points->Release();
    CHECK(g, sink.refs == 1);
    QACONTROL tooSmall{};
    tooSmall.cbSize = 4;
    CHECK_HR(g, quick->QuickActivate(&container, &tooSmall), E_INVALIDARG);
    quick->Release();
  }
}

// DllCanUnloadNow says no exactly while an object or a factory reference is alive.
void unloading(const wchar_t* path) {
  const char* g = "unloading";
  HMODULE module = LoadLibraryW(path);
  if (!CHECK(g, module != nullptr)) return;
  using CanUnload = HRESULT(STDAPICALLTYPE*)();
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto canUnload = reinterpret_cast<CanUnload>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  auto getClass =
      reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  if (!CHECK(g, canUnload != nullptr && getClass != nullptr)) return;
  CHECK_HR(g, canUnload(), S_OK);
  IClassFactory* factory = nullptr;
  CHECK_HR(g, getClass(IID__Trazo, IID_IClassFactory, reinterpret_cast<void**>(&factory)), CLASS_E_CLASSNOTAVAILABLE);
  CHECK_HR(g, getClass(CLSID_Trazo, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  if (factory == nullptr) return;
  CHECK_HR(g, canUnload(), S_FALSE);
  IUnknown* object = nullptr;
  CHECK_HR(g, factory->CreateInstance(factory, IID_IUnknown, reinterpret_cast<void**>(&object)), CLASS_E_NOAGGREGATION);
  CHECK_HR(g, factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
  factory->LockServer(TRUE);
  factory->Release();
  CHECK_HR(g, canUnload(), S_FALSE);  // the object and the lock
  if (object != nullptr) object->Release();
  CHECK_HR(g, canUnload(), S_FALSE);  // the lock
  getClass(CLSID_Trazo, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  factory->LockServer(FALSE);
  factory->Release();
  CHECK_HR(g, canUnload(), S_OK);
  FreeLibrary(module);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  CoInitialize(nullptr);
  _Trazo* trazo = nullptr;
  const HRESULT created =
      CoCreateInstance(CLSID_Trazo, nullptr, CLSCTX_INPROC_SERVER, IID__Trazo, reinterpret_cast<void**>(&trazo));
  CHECK_HR("creation", created, S_OK);
  if (trazo != nullptr) {
    earlyBinding(trazo);
    lateBinding(trazo);
    classInfo(trazo);
    containerBasics(trazo);
    trazo->Release();
  }
  if (argc > 1) unloading(argv[1]);
  CoUninitialize();
  return wintest::finish();
}
