#include "class_factory.hpp"

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
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
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
    TrazoControl* control = new (std::nothrow) TrazoControl();
    if (control == nullptr) return E_OUTOFMEMORY;
    // The object starts with one reference; QueryInterface adds the caller's.
    const HRESULT hr = control->initialize();
    const HRESULT qi = SUCCEEDED(hr) ? control->QueryInterface(iid, object) : hr;
    control->Release();
    return qi;
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
