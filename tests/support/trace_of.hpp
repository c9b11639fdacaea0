// Helpers for tests that look at what the control drew: the trace of a Reflash into a
// recording picture, and a picture that refuses its n-th operation.
#pragma once

#include "picture/recording_surface.hpp"

#include <sstream>
#include <string>
#include <vector>

namespace trazo::testing {

// Splits a trace into its lines.
inline std::vector<std::string> lines(const std::string& trace) {
  std::vector<std::string> out;
  std::istringstream in(trace);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

// A recording picture whose `failAt`-th drawing operation (counting from 1, every operation
// but the size reads) fails with status::unexpected; the failing operation is still written
// to the trace, marked with a leading '!'.
class FailingSurface : public RecordingSurface {
 public:
  FailingSurface(std::ostream& out, int failAt, double w = 4000, double h = 2000)
      : RecordingSurface(out, w, h), out_(out), failAt_(failAt) {}

  Status cls() override { return pass() ? RecordingSurface::cls() : refuse("Cls"); }
  Status setScaleMode(std::int32_t m) override {
    return pass() ? RecordingSurface::setScaleMode(m) : refuse("ScaleMode");
  }
  Status setScale(double a, double b, double c, double d) override {
    return pass() ? RecordingSurface::setScale(a, b, c, d) : refuse("Scale");
  }
  Status setFontSize(double p) override { return pass() ? RecordingSurface::setFontSize(p) : refuse("FontSize"); }
  Status setDrawStyle(std::int32_t s) override {
    return pass() ? RecordingSurface::setDrawStyle(s) : refuse("DrawStyle");
  }
  Status line(float a, float b, float c, float d, Rgb k) override {
    return pass() ? RecordingSurface::line(a, b, c, d, k) : refuse("Line");
  }
  Status circle(float a, float b, float c, Rgb k) override {
    return pass() ? RecordingSurface::circle(a, b, c, k) : refuse("Circle");
  }
  Status arc(float a, float b, float c, Rgb k, float s, float e) override {
    return pass() ? RecordingSurface::arc(a, b, c, k, s, e) : refuse("Arc");
  }

 private:
  bool pass() { return ++calls_ != failAt_; }
  Status refuse(const char* what) {
    out_ << '!' << what << '\n';
    return status::unexpected;
  }
  std::ostream& out_;
  int failAt_;
  int calls_ = 0;
};

}  // namespace trazo::testing
