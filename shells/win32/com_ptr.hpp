// One counted reference to a COM object, held by its owner alone: it releases the object
// when it goes or takes another, and moves without touching the count. The pointer is
// cleared before the release, so that whatever the object's release calls back finds it
// gone.
#pragma once

#include <unknwn.h>
#include <windows.h>

#include <cstddef>
#include <utility>

namespace trazo::win32 {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  // The new object is held before the old one is released.
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      if (T* old = std::exchange(p_, std::exchange(other.p_, nullptr))) old->Release();
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  // Takes over a reference the caller already owns.
  [[nodiscard]] static ComPtr adopt(T* object) {
    ComPtr held;
    held.p_ = object;
    return held;
  }
  // Takes a reference of its own.
  [[nodiscard]] static ComPtr share(T* object) {
    if (object != nullptr) object->AddRef();
    return adopt(object);
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  friend bool operator==(const ComPtr& held, std::nullptr_t) { return held.p_ == nullptr; }

  // Where a call that hands out a reference puts it; the one held before is released.
  T** put() {
    reset();
    return &p_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }
  // A further reference for an out parameter; null when none is held.
  [[nodiscard]] T* newReference() const {
    if (p_ != nullptr) p_->AddRef();
    return p_;
  }
  void reset() {
    if (T* object = std::exchange(p_, nullptr)) object->Release();
  }

 private:
  T* p_ = nullptr;
};

}  // namespace trazo::win32
