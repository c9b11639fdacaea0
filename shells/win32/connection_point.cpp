#include "connection_point.hpp"

#include "interface_table.hpp"
#include "snapshot_enum.hpp"

#include "Trazolib.h"

#include "automation/member_table.hpp"

#include <olectl.h>

#include <algorithm>

namespace trazo::win32 {

HRESULT EventConnectionPoint::QueryInterface(REFIID iid, void** object) {
  IConnectionPoint* const point = this;
  return answerQuery(iid, object, {{IID_IUnknown, point}, {IID_IConnectionPoint, point}});
}

HRESULT EventConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = DIID___Trazo;
  return S_OK;
}

HRESULT EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = &owner_;
  owner_.AddRef();
  return S_OK;
}

// A sink is asked for the event interface first and for plain IDispatch after: script
// engines and ATL sinks answer only the latter.
HRESULT EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  if (sink == nullptr) return E_POINTER;
  ComPtr<IDispatch> dispatch;
  if (FAILED(sink->QueryInterface(DIID___Trazo, dispatch.putVoid())) &&
      FAILED(sink->QueryInterface(IID_IDispatch, dispatch.putVoid()))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  try {
    sinks_.emplace_back(nextCookie_, std::move(dispatch));
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  *cookie = nextCookie_++;
  return S_OK;
}

HRESULT EventConnectionPoint::Unadvise(DWORD cookie) {
  const auto found = std::find_if(sinks_.begin(), sinks_.end(), [&](const auto& s) { return s.first == cookie; });
  if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
  const ComPtr<IDispatch> sink = std::move(found->second);
  sinks_.erase(found);
  return S_OK;
}

HRESULT EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
  try {
    std::vector<CONNECTDATA> list;
    for (const auto& [cookie, sink] : sinks_) list.push_back({sink.get(), cookie});
    return ConnectionsEnum::create(std::move(list), connections);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

void EventConnectionPoint::MouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
  if (frozen_ > 0 || sinks_.empty()) return;
  // A handler may unadvise itself or others, or release the control: hold the control and
  // each sink of this round until the round is over.
  const auto owner = ComPtr<IConnectionPointContainer>::share(&owner_);
  std::vector<ComPtr<IDispatch>> round;
  try {
    for (const auto& [cookie, sink] : sinks_) round.push_back(ComPtr<IDispatch>::share(sink.get()));
  } catch (...) {
    return;
  }
  for (const ComPtr<IDispatch>& sink : round) {
    SHORT button = Button;
    SHORT shift = Shift;
    float x = X;
    float y = Y;
    // Arguments go in reverse order of the declaration.
    VARIANTARG args[4];
    for (VARIANTARG& arg : args) VariantInit(&arg);
    args[3].vt = VT_BYREF | VT_I2;
    args[3].piVal = &button;
    args[2].vt = VT_BYREF | VT_I2;
    args[2].piVal = &shift;
    args[1].vt = VT_BYREF | VT_R4;
    args[1].pfltVal = &x;
    args[0].vt = VT_BYREF | VT_R4;
    args[0].pfltVal = &y;
    DISPPARAMS params{args, nullptr, 4, 0};
    sink->Invoke(dispid::MouseMove, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }
}

}  // namespace trazo::win32
