#include "picture/recording_surface.hpp"

#include "picture/trace_format.hpp"

#include <initializer_list>

namespace trazo {
namespace {

void appendSingles(std::string& line, std::initializer_list<float> values) {
  for (const float v : values) {
    line += ' ';
    appendSingle(line, v);
  }
}

void appendColourField(std::string& line, Rgb colour) {
  line += ' ';
  appendColour(line, colour);
}

}  // namespace

template <typename Format>
Status RecordingSurface::record(Format format) {
  try {
    line_.clear();
    format(line_);
    line_ += '\n';
  } catch (const std::bad_alloc&) {
    line_.clear();
    return status::outOfMemory;
  }
  out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
  return status::ok;
}

Status RecordingSurface::cls() {
  if (const Status s = record([](std::string& l) { l += "Cls"; }); failed(s)) return s;
  return NullSurface::cls();
}

Status RecordingSurface::setScaleMode(std::int32_t mode) {
  if (const Status s = record([&](std::string& l) { l += "ScaleMode " + std::to_string(mode); }); failed(s)) return s;
  return NullSurface::setScaleMode(mode);
}

Status RecordingSurface::setScale(double x1, double y1, double x2, double y2) {
  const Status s = record([&](std::string& l) {
    l += "Scale";
    for (const double v : {x1, y1, x2, y2}) {
      l += ' ';
      appendDouble(l, v);
    }
  });
  if (failed(s)) return s;
  return NullSurface::setScale(x1, y1, x2, y2);
}

Status RecordingSurface::setFontSize(double points) {
  return record([&](std::string& l) {
    l += "FontSize ";
    appendDouble(l, points);
  });
}

Status RecordingSurface::setDrawStyle(std::int32_t style) {
  return record([&](std::string& l) { l += "DrawStyle " + std::to_string(style); });
}

Status RecordingSurface::line(float x1, float y1, float x2, float y2, Rgb colour) {
  return record([&](std::string& l) {
    l += "Line";
    appendSingles(l, {x1, y1, x2, y2});
    appendColourField(l, colour);
  });
}

Status RecordingSurface::circle(float x, float y, float r, Rgb colour) {
  return record([&](std::string& l) {
    l += "Circle";
    appendSingles(l, {x, y, r});
    appendColourField(l, colour);
  });
}

Status RecordingSurface::arc(float x, float y, float r, Rgb colour, float start, float end) {
  return record([&](std::string& l) {
    l += "Arc";
    appendSingles(l, {x, y, r});
    appendColourField(l, colour);
    appendSingles(l, {start, end});
  });
}

}  // namespace trazo
