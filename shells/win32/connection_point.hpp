// The connection point of the __Trazo event interface. It lives inside the control object
// (its references are the control's) and is the control's one TrazoEvents receiver: each
// MouseMove of the core goes synchronously to every connected sink through IDispatch.
#pragma once

#include "com_ptr.hpp"

#include "control/trazo.hpp"

#include <ocidl.h>
#include <windows.h>

#include <utility>
#include <vector>

namespace trazo::win32 {

class EventConnectionPoint final : public IConnectionPoint, public TrazoEvents {
 public:
  explicit EventConnectionPoint(IConnectionPointContainer& owner) : owner_(owner) {}
  ~EventConnectionPoint() override = default;
  EventConnectionPoint(const EventConnectionPoint&) = delete;
  EventConnectionPoint& operator=(const EventConnectionPoint&) = delete;

  // IUnknown, delegated to the control.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }

  // IConnectionPoint
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

  // TrazoEvents: raises MouseMove (dispatch id 1) on every sink, each with its own copies.
  void MouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override;

  // Held back while a container has frozen events (IOleControl::FreezeEvents).
  void freeze(bool frozen) { frozen_ += frozen ? 1 : -1; }

  std::size_t sinkCount() const { return sinks_.size(); }

 private:
  IConnectionPointContainer& owner_;
  std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks_;
  DWORD nextCookie_ = 1;
  int frozen_ = 0;
};

}  // namespace trazo::win32
