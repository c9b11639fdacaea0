// Late binding driven directly: the input decodes into a sequence of calls by dispatch id
// and by name, with any flags, argument counts, types and values and named-argument lists,
// interleaved with Reflash, Clear, Count and the lifecycle actions. ControlHarness checks
// the control's promises after every call.
#include "fuzz/control_harness.hpp"

#include <cstdint>

// Operations an input runs at most: the rest of a long input is left unread. A fault
// needs a few calls to show, rarely dozens, and the cost of an input grows with every
// operation (each one checks the whole control), so short runs leave time for many more.
constexpr int kMostOperations = 24;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  trazo::fuzz::ControlHarness harness;
  for (int n = 0; n < kMostOperations && in.remaining_bytes() > 0; ++n) harness.step(in);
  return 0;
}
