// The library's own state: its module handle and the counts that DllCanUnloadNow reports.
#pragma once

#include <windows.h>

#include <string>

namespace trazo::win32 {

HINSTANCE moduleInstance();
// Full path of Trazolib.ocx as loaded.
std::wstring modulePath();

// Every live control object and every IClassFactory::LockServer(TRUE) keeps the library.
void addModuleReference();
void releaseModuleReference();
bool moduleInUse();

// One module reference for as long as it lives: the first member of an object holds the
// library until the object's last part is gone.
class ModuleReference {
 public:
  ModuleReference() { addModuleReference(); }
  ~ModuleReference() { releaseModuleReference(); }
  ModuleReference(const ModuleReference&) = delete;
  ModuleReference& operator=(const ModuleReference&) = delete;
};

}  // namespace trazo::win32
