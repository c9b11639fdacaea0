// Self-registration: the class, its ProgID and the type library in the system registry.
#pragma once

#include <windows.h>

#include <span>
#include <string>

namespace trazo::win32 {

// One registry value the control owns under HKEY_CLASSES_ROOT. In key and data, {CLSID},
// {LIBID}, {PROGID}, {VERSION}, {MISCSTATUS} and {MODULE} stand for the class id, the
// library id, the ProgID, the type library's version, the OLEMISC bits in decimal and the
// module path. A null name is the key's default
// value; null data creates the key only.
struct RegistryEntry {
  const wchar_t* key;
  const wchar_t* name;
  const wchar_t* data;
};

// The whole registration, parents before children. Registering writes it in order,
// unregistering removes its keys in reverse order.
std::span<const RegistryEntry> registrationTable();

// Replaces the placeholders of a table string.
std::wstring expandRegistryText(const wchar_t* text);

HRESULT registerServer();
HRESULT unregisterServer();

}  // namespace trazo::win32
