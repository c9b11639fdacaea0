#include "connection_point.hpp"

#include "snapshot_enum.hpp"

#include "Trazolib.h"

#include "automation/member_table.hpp"

#include <olectl.h>

#include <algorithm>

namespace trazo::win32 {

EventConnectionPoint::~EventConnectionPoint() {
  for (auto& [cookie, sink] : sinks_) sink->Release();
}

HRESULT EventConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
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
  IDispatch* dispatch = nullptr;
  if (FAILED(sink->QueryInterface(DIID___Trazo, reinterpret_cast<void**>(&dispatch))) &&
      FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  try {
    sinks_.emplace_back(nextCookie_, dispatch);
  } catch (...) {
    dispatch->Release();
    return E_OUTOFMEMORY;
  }
  *cookie = nextCookie_++;
  return S_OK;
}

HRESULT EventConnectionPoint::Unadvise(DWORD cookie) {
  const auto found = std::find_if(sinks_.begin(), sinks_.end(), [&](const auto& s) { return s.first == cookie; });
  if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
  IDispatch* sink = found->second;
  sinks_.erase(found);
  sink->Release();
  return S_OK;
}

HRESULT EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
  try {
    std::vector<CONNECTDATA> list;
    for (const auto& [cookie, sink] : sinks_) list.push_back({sink, cookie});
    return ConnectionsEnum::create(std::move(list), connections);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

void EventConnectionPoint::MouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) {
  if (frozen_ > 0 || sinks_.empty()) return;
  // A handler may unadvise itself or others, or release the control: hold the control and
  // each sink of this round until the round is over.
  owner_.AddRef();
  std::vector<IDispatch*> round;
  try {
    for (const auto& [cookie, sink] : sinks_) round.push_back(sink);
  } catch (...) {
    owner_.Release();
    return;
  }
  for (IDispatch* sink : round) sink->AddRef();
  for (IDispatch* sink : round) {
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
    sink->Invoke(dispid::MouseMove, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                 nullptr);
  }
  for (IDispatch* sink : round) sink->Release();
  owner_.Release();
}

}  // namespace trazo::win32
