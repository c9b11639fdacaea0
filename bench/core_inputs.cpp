#include "core_inputs.hpp"

namespace trazo::bench {
namespace {

// A small linear congruential generator: reproducible and free of library differences.
class Sequence {
 public:
  double next(double low, double high) {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    const double unit = static_cast<double>(state_ >> 11) / 9007199254740992.0;  // [0, 1)
    return low + unit * (high - low);
  }

 private:
  std::uint64_t state_ = 20261208;
};

std::vector<AddArgs> makeInputs() {
  Sequence s;
  std::vector<AddArgs> inputs;
  inputs.reserve(kInputCount);
  for (std::size_t i = 0; i < kInputCount; ++i) {
    AddArgs a{};
    a.x1 = s.next(-5000, 5000);
    a.y1 = s.next(-5000, 5000);
    a.x2 = s.next(-5000, 5000);
    a.y2 = s.next(-5000, 5000);
    a.r = s.next(1, 500);
    a.sa = s.next(0, 3.14);
    a.ea = s.next(3.14, 6.28);
    a.th = s.next(10, 100);
    a.ang = s.next(0, 360);
    a.col = static_cast<std::int32_t>(i % 7);
    a.lType = static_cast<std::int32_t>(i % 4);
    inputs.push_back(a);
  }
  return inputs;
}

}  // namespace

const std::vector<AddArgs>& addInputs() {
  static const std::vector<AddArgs> inputs = makeInputs();
  return inputs;
}

}  // namespace trazo::bench
