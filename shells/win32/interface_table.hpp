// QueryInterface answered from a table: each row an interface identifier and the interface
// of the object that answers it. The reference the caller gets is taken through that
// interface, so an object whose references belong to another (a connection point to its
// control) counts them where they belong.
#pragma once

#include <unknwn.h>
#include <windows.h>

#include <initializer_list>

namespace trazo::win32 {

struct InterfaceRow {
  const IID& iid;
  IUnknown* object;
};

inline HRESULT answerQuery(REFIID iid, void** object, std::initializer_list<InterfaceRow> rows) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  for (const InterfaceRow& row : rows) {
    if (iid == row.iid) {
      row.object->AddRef();
      *object = row.object;
      return S_OK;
    }
  }
  return E_NOINTERFACE;
}

}  // namespace trazo::win32
