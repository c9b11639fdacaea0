// A picture that writes every drawing operation as one line of a surface trace:
// Cls, ScaleMode, Scale, FontSize, DrawStyle, Line, Circle, Arc. Reading ScaleWidth and
// ScaleHeight writes nothing; after ScaleMode 1 they report the inner area given here.
// Formatting a line may need memory: when none is left the operation fails with the
// out-of-memory status and writes nothing, as a surface must not throw into the painters.
#pragma once

#include "picture/null_surface.hpp"

#include <ostream>
#include <new>
#include <string>

namespace trazo {

class RecordingSurface : public NullSurface {
 public:
  RecordingSurface(std::ostream& out, double widthTwips = kDefaultWidthTwips, double heightTwips = kDefaultHeightTwips)
      : NullSurface(widthTwips, heightTwips), out_(out) {}

  Status cls() override;
  Status setScaleMode(std::int32_t mode) override;
  Status setScale(double x1, double y1, double x2, double y2) override;
  Status setFontSize(double points) override;
  Status setDrawStyle(std::int32_t style) override;
  Status line(float x1, float y1, float x2, float y2, Rgb colour) override;
  Status circle(float x, float y, float r, Rgb colour) override;
  Status arc(float x, float y, float r, Rgb colour, float start, float end) override;

 private:
  // Formats one line with `format` and writes it; out of memory when formatting fails.
  template <typename Format>
  Status record(Format format);

  std::ostream& out_;
  std::string line_;
};

}  // namespace trazo
