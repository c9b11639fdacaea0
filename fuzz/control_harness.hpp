// One Trazo instance driven by a decoded stream of operations, with the promises of the
// control checked after each one. A broken promise aborts, so libFuzzer reports the input.
//
// The promises: Count is never negative and equals the entities the successful calls
// added; a failed call leaves the store bit for bit as it was (AddBox may leave the sides
// before the failing one, and Reflash may widen the extents, nothing else); stored entities
// never change; extents never narrow while entities are added; every status is one the
// control documents; MouseMove reaches each sink once, with the coordinates crossed.
#pragma once

#include "control/recording_surface.hpp"
#include "control/trazo.hpp"
#include "fuzz/null_stream.hpp"
#include "tests/support/store_snapshot.hpp"

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>

namespace trazo::fuzz {

// Records what the last MouseMove carried, and writes into the by-reference arguments to
// check that the control ignores it.
class CheckingSink : public TrazoEvents {
 public:
  void MouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override;
  int calls = 0;
  std::int16_t button = 0, shift = 0;
  float x = 0, y = 0;
};

class ControlHarness {
 public:
  ControlHarness();
  ~ControlHarness();
  void step(FuzzedDataProvider& in);

 private:
  void invokeById(FuzzedDataProvider& in, std::int32_t dispId);
  void invokeByName(FuzzedDataProvider& in);
  void addDirectly(FuzzedDataProvider& in);
  void addMany(FuzzedDataProvider& in);
  void reflash(bool asPaint);
  void clear(bool asInitialize);
  void resize(FuzzedDataProvider& in);
  void mouseMove(FuzzedDataProvider& in);
  void terminate();
  void attachPicture(FuzzedDataProvider& in);

  // Count agrees with the store, and the upper bound is the next multiple of 1000.
  void checkCount();
  // The checks after a call of `dispId` (0 for none) that returned `s`.
  void afterMember(std::int32_t dispId, Status s);
  void expectUnchanged(const char* what);
  void expectAppended(std::int32_t added, std::int16_t kind);
  void commit();

  NullStream nowhere_;
  std::unique_ptr<Surface> picture_;
  Trazo control_;
  CheckingSink sinks_[2];
  std::uint32_t cookies_[2] = {0, 0};
  testing::StoreSnapshot before_;  // the store as the last operation left it
  std::int32_t expectedCount_ = 0;
};

}  // namespace trazo::fuzz
