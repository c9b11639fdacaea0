// Late binding driven directly: the input decodes into a sequence of calls by dispatch id
// and by name, with any flags, argument counts, types and values and named-argument lists,
// interleaved with Reflash, Clear, Count and the lifecycle actions. ControlHarness checks
// the control's promises after every call.
#include "fuzz/control_harness.hpp"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  trazo::fuzz::ControlHarness harness;
  while (in.remaining_bytes() > 0) harness.step(in);
  return 0;
}
