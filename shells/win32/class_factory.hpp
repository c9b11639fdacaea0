// The class factory that creates Trazo controls.
#pragma once

#include <windows.h>

namespace trazo::win32 {

HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** object);

}  // namespace trazo::win32
