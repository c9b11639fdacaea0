// Allocation-failure injection for the whole test program: every form of global operator
// new (plain, array, nothrow, aligned) is replaced by a counting one that can be told to
// fail the k-th allocation from now, as SQLite's tests do with their malloc. A throwing form
// then throws std::bad_alloc, a nothrow form returns nullptr.
#pragma once

#include <cstdint>

namespace trazo::testing {

enum class FailureMode {
  Once,        // only the k-th allocation fails
  Persistent,  // the k-th and every later one fail, as when memory has truly run out
};

// Arms the injection; allocations are counted from 1 after this call.
void failAllocation(std::uint64_t k, FailureMode mode = FailureMode::Once);
// Disarms it; allocations succeed again.
void stopFailing();
// Whether the armed allocation was reached (and failed) since failAllocation.
bool failureInjected();
// Allocations counted since failAllocation.
std::uint64_t allocationsSeen();

// Disarms on scope exit, so that a failing expectation never leaves the injection armed.
struct FailingAllocationScope {
  FailingAllocationScope(std::uint64_t k, FailureMode mode) { failAllocation(k, mode); }
  ~FailingAllocationScope() { stopFailing(); }
  FailingAllocationScope(const FailingAllocationScope&) = delete;
  FailingAllocationScope& operator=(const FailingAllocationScope&) = delete;
};

}  // namespace trazo::testing
