#include "error_info.hpp"

#include "com_ptr.hpp"
#include "control_identity.hpp"

#include "Trazolib.h"

#include <oleauto.h>

namespace trazo::win32 {
namespace {

const wchar_t* describe(Status status) {
  switch (status) {
    case status::overflow: return L"Overflow";
    case status::outOfMemory: return L"Out of memory";
    case status::subscript: return L"Subscript out of range";
    case status::floatError: return L"Floating-point error";
    default: return L"Trazo error";
  }
}

}  // namespace

HRESULT reportStatus(Status status) {
  if (!failed(status)) {
    SetErrorInfo(0, nullptr);
    return S_OK;
  }
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.put()))) {
    create->SetGUID(IID__Trazo);
    create->SetSource(const_cast<LPOLESTR>(kProgIdW));
    create->SetDescription(const_cast<LPOLESTR>(describe(status)));
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, info.putVoid()))) SetErrorInfo(0, info.get());
  }
  return static_cast<HRESULT>(status);
}

}  // namespace trazo::win32
