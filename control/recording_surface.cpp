#include "control/recording_surface.hpp"

#include "control/trace_format.hpp"

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

void RecordingSurface::write() {
  line_ += '\n';
  out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
  line_.clear();
}

Status RecordingSurface::cls() {
  line_ = "Cls";
  write();
  return NullSurface::cls();
}

Status RecordingSurface::setScaleMode(std::int32_t mode) {
  line_ = "ScaleMode " + std::to_string(mode);
  write();
  return NullSurface::setScaleMode(mode);
}

Status RecordingSurface::setScale(double x1, double y1, double x2, double y2) {
  line_ = "Scale";
  for (const double v : {x1, y1, x2, y2}) {
    line_ += ' ';
    appendDouble(line_, v);
  }
  write();
  return NullSurface::setScale(x1, y1, x2, y2);
}

Status RecordingSurface::setFontSize(double points) {
  line_ = "FontSize ";
  appendDouble(line_, points);
  write();
  return status::ok;
}

Status RecordingSurface::setDrawStyle(std::int32_t style) {
  line_ = "DrawStyle " + std::to_string(style);
  write();
  return status::ok;
}

Status RecordingSurface::line(float x1, float y1, float x2, float y2, Rgb colour) {
  line_ = "Line";
  appendSingles(line_, {x1, y1, x2, y2});
  appendColourField(line_, colour);
  write();
  return status::ok;
}

Status RecordingSurface::circle(float x, float y, float r, Rgb colour) {
  line_ = "Circle";
  appendSingles(line_, {x, y, r});
  appendColourField(line_, colour);
  write();
  return status::ok;
}

Status RecordingSurface::arc(float x, float y, float r, Rgb colour, float start, float end) {
  line_ = "Arc";
  appendSingles(line_, {x, y, r});
  appendColourField(line_, colour);
  appendSingles(line_, {start, end});
  write();
  return status::ok;
}

}  // namespace trazo
