// One Trazo instance driven by a decoded stream of operations, with the promises of the
// control checked after each one. A broken promise aborts, so libFuzzer reports the input.
//
// The promises: Count is never negative and equals the entities the successful calls
// added; a failed call leaves the store bit for bit as it was (AddBox may leave the sides
// before the failing one, and Reflash may widen the extents, nothing else); stored entities
// never change; extents never narrow while entities are added; every status is one the
// control documents; MouseMove reaches each sink once, with the coordinates crossed.
//
// Stored entities are held to their fingerprints (fuzz/store_fingerprint.hpp): to the quick
// one after every operation, all of them while there are few, else the newest and a window
// that moves on with every operation; and every one to the full fingerprint before anything
// (Clear, Terminate, the end of the input) could take them away. So a change is always
// found, and checking stays cheap on drawings of thousands of entities or great strings.
//
// An operation of the stream can make the next call of the control meet a failing
// allocation (the k-th from its start, once or for good, tests/hardening's allocator):
// every promise above still holds, and the call ends in success or out of memory.
#pragma once

#include "picture/recording_surface.hpp"
#include "control/trazo.hpp"
#include "fuzz/null_stream.hpp"
#include "fuzz/store_fingerprint.hpp"
#include "tests/hardening/failing_allocator.hpp"
#include "tests/support/store_snapshot.hpp"

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <optional>

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
  // Runs one call of the control, under the failing allocation when one is pending.
  template <typename Call>
  auto failing(Call&& call);

  // Count agrees with the store, and the upper bound is the next multiple of 1000.
  void checkCount();
  // The checks after a call of `dispId` (0 for none) that returned `s`.
  void afterMember(std::int32_t dispId, Status s);
  void expectUnchanged(const char* what);
  void expectAppended(std::int32_t added, std::int16_t kind);
  // The entities that were there before the operation are unchanged: those the window
  // reaches, or every one.
  void expectEntitiesKept(const char* what, bool every = false);
  void commit();

  NullStream nowhere_;
  std::unique_ptr<Surface> picture_;
  Trazo control_;
  CheckingSink sinks_[2];
  std::uint32_t cookies_[2] = {0, 0};
  StoreFingerprint before_;  // the store as the last operation left it
  std::int32_t expectedCount_ = 0;
  std::int32_t window_ = 1;  // where the window of checked entities starts next
  int manyLeft_ = 2;         // runs of a thousand adds this input may still make
  struct Failure {
    std::uint64_t k;
    testing::FailureMode mode;
  };
  std::optional<Failure> pending_;  // for the next call of the control
};

}  // namespace trazo::fuzz
