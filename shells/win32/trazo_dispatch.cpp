// _Trazo and its IDispatch, served from the embedded type library; class and error info.
#include "trazo_control.hpp"

#include "error_info.hpp"
#include "module.hpp"

#include "automation/member_table.hpp"

#include <algorithm>
#include <new>
#include <string_view>

namespace trazo::win32 {
namespace {

std::u16string_view text(BSTR value) {
  // A null BSTR is the empty string.
  return {reinterpret_cast<const char16_t*>(value), value == nullptr ? 0u : SysStringLen(value)};
}

// Runs one member of the core; the core reports by status, and anything thrown on the way
// is turned into one rather than crossing the COM boundary.
template <typename Call>
HRESULT run(Call&& call) {
  Status status = status::ok;
  try {
    status = call();
  } catch (const std::bad_alloc&) {
    status = status::outOfMemory;
  } catch (...) {
    status = status::unexpected;
  }
  return reportStatus(status);
}

const MemberInfo* memberById(DISPID id) {
  const auto found = std::find_if(kMembers.begin(), kMembers.end(), [&](const auto& m) { return m.dispId == id; });
  return found == kMembers.end() ? nullptr : &*found;
}

}  // namespace

HRESULT TrazoControl::loadTypeInfo() {
  if (interfaceInfo_ != nullptr) return S_OK;
  HRESULT hr = typeLib_ != nullptr ? S_OK : LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, typeLib_.put());
  if (FAILED(hr)) return hr;
  if (dispatchInfo_ == nullptr) hr = typeLib_->GetTypeInfoOfGuid(IID__Trazo, dispatchInfo_.put());
  if (FAILED(hr)) return hr;
  // A dual interface comes back as its dispatch view; the function table is its partner.
  HREFTYPE partner = 0;
  hr = dispatchInfo_->GetRefTypeOfImplType(static_cast<UINT>(-1), &partner);
  if (SUCCEEDED(hr)) hr = dispatchInfo_->GetRefTypeInfo(partner, interfaceInfo_.put());
  return hr;
}

HRESULT TrazoControl::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT TrazoControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  if (const HRESULT hr = loadTypeInfo(); FAILED(hr)) return hr;
  *info = dispatchInfo_.newReference();
  return S_OK;
}

HRESULT TrazoControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (names == nullptr || ids == nullptr) return E_POINTER;
  if (const HRESULT hr = loadTypeInfo(); FAILED(hr)) return hr;
  return DispGetIDsOfNames(interfaceInfo_.get(), names, count, ids);
}

// The type library does the binding; the argument count is checked here first, since not
// every ITypeInfo::Invoke refuses surplus arguments.
HRESULT TrazoControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT* argError) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  const MemberInfo* member = memberById(id);
  if (member == nullptr) return DISP_E_MEMBERNOTFOUND;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  if (params == nullptr) params = &none;
  if ((flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0 && params->cArgs != member->params.size()) {
    return DISP_E_BADPARAMCOUNT;
  }
  if (const HRESULT hr = loadTypeInfo(); FAILED(hr)) return hr;
  SetErrorInfo(0, nullptr);
  return interfaceInfo_->Invoke(static_cast<_Trazo*>(this), id, flags, params, result, exception, argError);
}

HRESULT TrazoControl::Clear() {
  return run([&] { return core_.Clear(); });
}

HRESULT TrazoControl::AddBox(double x1, double y1, double x2, double y2, LONG col, LONG lType, BSTR Tag) {
  return run([&] { return core_.AddBox(x1, y1, x2, y2, col, lType, text(Tag)); });
}

HRESULT TrazoControl::AddLine(double x1, double y1, double x2, double y2, LONG col, LONG lType, BSTR Tag) {
  return run([&] { return core_.AddLine(x1, y1, x2, y2, col, lType, text(Tag)); });
}

HRESULT TrazoControl::AddCircle(double CX, double CY, double r, LONG col, LONG lType, BSTR Tag) {
  return run([&] { return core_.AddCircle(CX, CY, r, col, lType, text(Tag)); });
}

HRESULT TrazoControl::AddCircle2(double CX, double CY, double r, double sa, double ea, LONG col, LONG lType, BSTR Tag) {
  return run([&] { return core_.AddCircle2(CX, CY, r, sa, ea, col, lType, text(Tag)); });
}

HRESULT TrazoControl::AddText(double TX, double TY, double TH, double Tang, LONG col, BSTR cText, BSTR Tag) {
  return run([&] { return core_.AddText(TX, TY, TH, Tang, col, text(cText), text(Tag)); });
}

HRESULT TrazoControl::get_Count(LONG* value) {
  if (value == nullptr) return E_POINTER;
  std::int32_t count = 0;
  const HRESULT hr = run([&] { return core_.Count(count); });
  *value = count;
  return hr;
}

HRESULT TrazoControl::Reflash() {
  const HRESULT hr = run([&] { return core_.Reflash(); });
  showPicture();  // whatever was drawn before a failure is the picture now
  return hr;
}

HRESULT TrazoControl::InterfaceSupportsErrorInfo(REFIID iid) { return iid == IID__Trazo ? S_OK : S_FALSE; }

HRESULT TrazoControl::GetClassInfo(ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (const HRESULT hr = loadTypeInfo(); FAILED(hr)) return hr;
  return typeLib_->GetTypeInfoOfGuid(CLSID_Trazo, info);
}

HRESULT TrazoControl::GetGUID(DWORD kind, GUID* guid) {
  if (guid == nullptr) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = DIID___Trazo;
  return S_OK;
}

}  // namespace trazo::win32
