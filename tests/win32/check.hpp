// A very small test reporter for the programs that run under Wine: each check prints one
// PASS or FAIL line, and the program ends with "N passed, N failed" and exits with the
// number of failures, so that run.sh can count them like the scripts' results.
#pragma once

#include <cstdio>
#include <cwchar>

namespace trazo::wintest {

struct Tally {
  int passed = 0;
  int failed = 0;
};

inline Tally& tally() {
  static Tally t;
  return t;
}

inline bool record(bool ok, const char* group, const char* what, const char* file, int line) {
  if (ok) {
    ++tally().passed;
    std::printf("PASS %s: %s\n", group, what);
  } else {
    ++tally().failed;
    std::printf("FAIL %s: %s (%s:%d)\n", group, what, file, line);
  }
  std::fflush(stdout);
  return ok;
}

inline int finish() {
  std::printf("%d passed, %d failed\n", tally().passed, tally().failed);
  std::fflush(stdout);
  return tally().failed;
}

}  // namespace trazo::wintest

// CHECK(group, condition): the condition's text is the case's name.
#define CHECK(group, cond) ::trazo::wintest::record(static_cast<bool>(cond), group, #cond, __FILE__, __LINE__)
// CHECK_HR(group, call, expected): an HRESULT, with the value seen when it differs.
#define CHECK_HR(group, call, expected)                                                                       \
  do {                                                                                                        \
    const HRESULT check_hr_ = (call);                                                                         \
    if (!::trazo::wintest::record(check_hr_ == static_cast<HRESULT>(expected), group, #call " == " #expected, \
                                  __FILE__, __LINE__))                                                        \
      std::printf("     got 0x%08lX\n", static_cast<unsigned long>(check_hr_));                               \
  } while (0)
