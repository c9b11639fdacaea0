#include "class_factory.hpp"

#include "com_ptr.hpp"
#include "interface_table.hpp"
#include "module.hpp"
#include "trazo_control.hpp"

#include "Trazolib.h"

#include <new>

namespace trazo::win32 {
namespace {

// One static factory; its references count as module references, so DllCanUnloadNow says
// no while a client holds it.
class TrazoFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return answerQuery(iid, object, {{IID_IUnknown, this}, {IID_IClassFactory, this}});
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    addModuleReference();
    return 2;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    releaseModuleReference();
    return 1;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    // The object starts with one reference; QueryInterface adds the caller's.
    const auto control = ComPtr<TrazoControl>::adopt(new (std::nothrow) TrazoControl());
    if (control == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = control->initialize();
    return SUCCEEDED(hr) ? control->QueryInterface(iid, object) : hr;
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      addModuleReference();
    } else {
      releaseModuleReference();
    }
    return S_OK;
  }
};

TrazoFactory factory;

}  // namespace

HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (clsid != CLSID_Trazo) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, object);
}

}  // namespace trazo::win32
