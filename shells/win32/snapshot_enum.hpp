// The IEnumXxx objects of the connection points: each enumerates a copy of the list taken
// when it was made, holding a reference on every item it holds.
#pragma once

#include "interface_table.hpp"
#include "module.hpp"

#include <ocidl.h>
#include <windows.h>

#include <new>
#include <utility>
#include <vector>

namespace trazo::win32 {

// How an item is held: IConnectionPoint* or CONNECTDATA, each with an IUnknown inside.
inline IUnknown* heldObject(IConnectionPoint* p) { return p; }
inline IUnknown* heldObject(const CONNECTDATA& d) { return d.pUnk; }

template <typename Enum, const IID& kIid, typename Item>
class SnapshotEnum final : public Enum {
 public:
  // Makes an enumerator over `items` (taking a reference on each) or returns E_OUTOFMEMORY.
  static HRESULT create(std::vector<Item> items, Enum** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    auto* made = new (std::nothrow) SnapshotEnum(std::move(items));
    if (made == nullptr) return E_OUTOFMEMORY;
    *out = made;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return answerQuery(iid, object, {{IID_IUnknown, this}, {kIid, this}});
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override {
    if (out == nullptr || (fetched == nullptr && count != 1)) return E_POINTER;
    ULONG given = 0;
    for (; given < count && next_ < items_.size(); ++given, ++next_) {
      out[given] = items_[next_];
      heldObject(out[given])->AddRef();
    }
    if (fetched != nullptr) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    const std::size_t left = items_.size() - next_;
    next_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(Enum** copy) override {
    try {
      Enum* made = nullptr;
      const HRESULT hr = create(items_, &made);
      if (SUCCEEDED(hr)) static_cast<SnapshotEnum*>(made)->next_ = next_;
      *copy = made;
      return hr;
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }

 private:
  explicit SnapshotEnum(std::vector<Item> items) : items_(std::move(items)) {
    addModuleReference();
    for (const Item& item : items_) heldObject(item)->AddRef();
  }
  ~SnapshotEnum() {
    for (const Item& item : items_) heldObject(item)->Release();
    releaseModuleReference();
  }

  LONG references_ = 1;
  std::vector<Item> items_;
  std::size_t next_ = 0;
};

using ConnectionPointsEnum = SnapshotEnum<IEnumConnectionPoints, IID_IEnumConnectionPoints, IConnectionPoint*>;
using ConnectionsEnum = SnapshotEnum<IEnumConnections, IID_IEnumConnections, CONNECTDATA>;

}  // namespace trazo::win32
