#include "registration.hpp"

#include "com_ptr.hpp"
#include "control_identity.hpp"
#include "module.hpp"
#include "typelib_version.hpp"

#include <olectl.h>

#include "Trazolib.h"

#include <array>
#include <string>

namespace trazo::win32 {
namespace {

constexpr WORD kTypeLibMajor = TRAZO_TYPELIB_MAJOR;
constexpr WORD kTypeLibMinor = TRAZO_TYPELIB_MINOR;
constexpr LCID kTypeLibLocale = 0x0409;

constexpr std::array<RegistryEntry, 15> kTable{{
    {L"CLSID\\{CLSID}", nullptr, L"Trazo"},
    {L"CLSID\\{CLSID}\\InprocServer32", nullptr, L"{MODULE}"},
    {L"CLSID\\{CLSID}\\InprocServer32", L"ThreadingModel", L"Apartment"},
    {L"CLSID\\{CLSID}\\ProgID", nullptr, L"{PROGID}"},
    {L"CLSID\\{CLSID}\\VersionIndependentProgID", nullptr, L"{PROGID}"},
    {L"CLSID\\{CLSID}\\TypeLib", nullptr, L"{LIBID}"},
    {L"CLSID\\{CLSID}\\Version", nullptr, L"{VERSION}"},
    {L"CLSID\\{CLSID}\\Control", nullptr, nullptr},
    {L"CLSID\\{CLSID}\\MiscStatus", nullptr, L"0"},
    {L"CLSID\\{CLSID}\\MiscStatus\\1", nullptr, L"{MISCSTATUS}"},
    {L"CLSID\\{CLSID}\\ToolboxBitmap32", nullptr, L"{MODULE}, 30000"},
    {L"CLSID\\{CLSID}\\Implemented Categories", nullptr, nullptr},
    // CATID_Control
    {L"CLSID\\{CLSID}\\Implemented Categories\\{40FC6ED4-2438-11CF-A3DB-080036F12502}", nullptr, nullptr},
    {L"{PROGID}", nullptr, L"Trazo"},
    {L"{PROGID}\\CLSID", nullptr, L"{CLSID}"},
}};

std::wstring guidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

void replaceAll(std::wstring& text, std::wstring_view from, const std::wstring& to) {
  for (std::size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

HRESULT writeEntry(const RegistryEntry& entry) {
  HKEY key = nullptr;
  const std::wstring path = expandRegistryText(entry.key);
  LSTATUS rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
  if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
  if (entry.data != nullptr) {
    const std::wstring data = expandRegistryText(entry.data);
    rc = RegSetValueExW(key, entry.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
  return HRESULT_FROM_WIN32(rc);
}

HRESULT loadOwnTypeLib(ITypeLib** lib) { return LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, lib); }

}  // namespace

std::span<const RegistryEntry> registrationTable() { return kTable; }

std::wstring expandRegistryText(const wchar_t* text) {
  std::wstring out = text;
  replaceAll(out, L"{CLSID}", guidText(CLSID_Trazo));
  replaceAll(out, L"{LIBID}", guidText(LIBID_Trazolib));
  replaceAll(out, L"{PROGID}", kProgIdW);
  replaceAll(out, L"{VERSION}", std::to_wstring(kTypeLibMajor) + L"." + std::to_wstring(kTypeLibMinor));
  replaceAll(out, L"{MISCSTATUS}", std::to_wstring(kMiscStatus));  // the registry's decimal form
  replaceAll(out, L"{MODULE}", modulePath());
  return out;
}

HRESULT registerServer() {
  for (const RegistryEntry& entry : kTable) {
    if (FAILED(writeEntry(entry))) {
      unregisterServer();
      return SELFREG_E_CLASS;
    }
  }
  ComPtr<ITypeLib> lib;
  HRESULT hr = loadOwnTypeLib(lib.put());
  if (SUCCEEDED(hr)) {
    std::wstring path = modulePath();
    hr = RegisterTypeLib(lib.get(), path.data(), nullptr);
  }
  if (FAILED(hr)) {
    unregisterServer();
    return SELFREG_E_TYPELIB;
  }
  return S_OK;
}

// Removes what registerServer wrote, whatever part of it is there; a key that is already
// gone is no failure.
HRESULT unregisterServer() {
  for (auto entry = kTable.rbegin(); entry != kTable.rend(); ++entry) {
    const std::wstring path = expandRegistryText(entry->key);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
  }
  const SYSKIND platform = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  UnRegisterTypeLib(LIBID_Trazolib, kTypeLibMajor, kTypeLibMinor, kTypeLibLocale, platform);
  // The answer of UnRegisterTypeLib differs between systems when nothing was registered;
  // what counts is that the library's key is gone.
  const std::wstring typeLibKey = expandRegistryText(L"TypeLib\\{LIBID}\\{VERSION}");
  HKEY left = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, typeLibKey.c_str(), 0, KEY_READ, &left) == ERROR_SUCCESS) {
    RegCloseKey(left);
    return SELFREG_E_TYPELIB;
  }
  return S_OK;
}

}  // namespace trazo::win32
