// The four exported entry points and the module's reference count.
#include "module.hpp"

#include "class_factory.hpp"
#include "registration.hpp"

#include <atomic>

namespace trazo::win32 {
namespace {
HINSTANCE instance = nullptr;
std::atomic<long> references{0};
}  // namespace

HINSTANCE moduleInstance() { return instance; }

std::wstring modulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(instance, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void addModuleReference() { ++references; }
void releaseModuleReference() { --references; }
bool moduleInUse() { return references.load() != 0; }

}  // namespace trazo::win32

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    trazo::win32::instance = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllCanUnloadNow() { return trazo::win32::moduleInUse() ? S_FALSE : S_OK; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return trazo::win32::getClassObject(clsid, iid, object);
}

STDAPI DllRegisterServer() { return trazo::win32::registerServer(); }

STDAPI DllUnregisterServer() { return trazo::win32::unregisterServer(); }

}  // extern "C"
