#include "svg/svg_writer.hpp"

#include "base/decimal_text.hpp"
#include "device/device_text.hpp"
#include "device/portable_trig.hpp"
#include "render/entity_colour.hpp"

#include <cmath>

namespace trazo {
namespace {

// Bytes kept before they go to the sink.
constexpr std::size_t kBufferBytes = 64 * 1024;
// Coordinates to a hundredth of a device pixel; the axes of a text's matrix finer.
constexpr int kDecimals = 2;
constexpr int kAxisDecimals = 6;
constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

void appendXmlEscaped(std::string& out, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    switch (c) {
      case '&': out += "&amp;"; continue;
      case '<': out += "&lt;"; continue;
      case '>': out += "&gt;"; continue;
      case '"': out += "&quot;"; continue;
      case '\'': out += "&apos;"; continue;
      case '\t': out += "&#9;"; continue;
      case '\n': out += "&#10;"; continue;
      case '\r': out += "&#13;"; continue;
      default: break;
    }
    if (c < 0x20 || c == 0xFFFE || c == 0xFFFF) c = kReplacement;
    appendUtf8(out, c);
  }
}

std::string kindName(std::int16_t kind) {
  switch (kind) {
    case kKindLine: return "line";
    case kKindCircle: return "circle";
    case kKindText: return "text";
    case kKindArc: return "arc";
    default: return std::to_string(kind);
  }
}

SvgWriter::SvgWriter(const SvgSink& sink, const DeviceSurface& picture, const SvgOptions& options)
    : sink_(sink), picture_(picture), options_(options) {
  buffer_.reserve(kBufferBytes + 1024);
}

void SvgWriter::write(std::string_view text) {
  buffer_ += text;
  if (buffer_.size() >= kBufferBytes) flush();
}

void SvgWriter::flush() {
  if (!refused_ && !buffer_.empty() && !sink_(buffer_.data(), buffer_.size())) refused_ = true;
  buffer_.clear();
}

void SvgWriter::number(double value) { number(value, kDecimals); }

// Fixed to that many decimals, without trailing zeros, and 0 rather than -0.
void SvgWriter::number(double value, int decimals) {
  if (!std::isfinite(value)) value = 0;
  if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0;
  char digits[400];
  char* end = writeFixed(digits, digits + sizeof digits, value, decimals);
  if (end == digits) {
    write("0");
    return;
  }
  while (end > digits && end[-1] == '0') --end;
  if (end > digits && end[-1] == '.') --end;
  write(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void SvgWriter::colour(Rgb c) {
  static constexpr char kHex[] = "0123456789abcdef";
  const char text[7] = {'#',
                        kHex[c.red >> 4],
                        kHex[c.red & 15],
                        kHex[c.green >> 4],
                        kHex[c.green & 15],
                        kHex[c.blue >> 4],
                        kHex[c.blue & 15]};
  write(std::string_view(text, sizeof text));
}

void SvgWriter::escaped(std::u16string_view text) {
  std::string out;
  appendXmlEscaped(out, text);
  write(out);
}

void SvgWriter::begin(std::u16string_view title) {
  const double w = picture_.widthPixels(), h = picture_.heightPixels();
  write(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"");
  number(w);
  write("px\" height=\"");
  number(h);
  write("px\" viewBox=\"0 0 ");
  number(w);
  write(" ");
  number(h);
  write("\">\n<title>");
  escaped(title);
  write("</title>\n<g fill=\"none\" stroke-width=\"1\" stroke-linecap=\"square\"");
  if (!options_.antialias) write(" shape-rendering=\"crispEdges\"");
  write(">\n");
}

bool SvgWriter::finish() {
  if (!finished_) {
    closeGroup();
    write("</g>\n</svg>\n");
    finished_ = true;
  }
  flush();
  return !refused_;
}

void SvgWriter::paintingEntity(std::int32_t index, const Entity& entity) {
  closeGroup();
  inEntity_ = true;
  groupWritten_ = false;
  entity_ = index;
  kind_ = entity.Kind;
  tag_ = entity.Tag;
  if (options_.texts && entity.Kind == kKindText) text(entity);
}

// The entity's group tag up to its end: its number, kind and tag.
void SvgWriter::groupTag() {
  write("<g data-entity=\"");
  write(std::to_string(entity_));
  write("\" data-kind=\"");
  write(kindName(kind_));
  write("\" data-tag=\"");
  escaped(tag_);
  write("\"");
}

void SvgWriter::openGroup() {
  if (!inEntity_ || groupWritten_) return;
  groupTag();
  write(">\n");
  groupWritten_ = true;
}

// An entity that drew nothing (all of it outside the picture) still has its group.
void SvgWriter::closeGroup() {
  if (!inEntity_) return;
  if (groupWritten_) {
    write("</g>\n");
  } else {
    groupTag();
    write("/>\n");
  }
  inEntity_ = false;
}

Status SvgWriter::fill(Rgb c) {
  if (refused_) return status::unexpected;
  write("<rect x=\"0\" y=\"0\" width=\"");
  number(picture_.widthPixels());
  write("\" height=\"");
  number(picture_.heightPixels());
  write("\" fill=\"");
  colour(c);
  write("\" stroke=\"none\"/>\n");
  return status::ok;
}

void SvgWriter::stroke(Rgb c, DashPattern dash, const DevicePen& pen, double phase) {
  write(" stroke=\"");
  colour(c);
  write("\"");
  if (pen.width != 1) {
    write(" stroke-width=\"");
    number(pen.width);
    write("\"");
  }
  const DashRuns runs = dashRuns(dash, pen.dashUnit);
  if (runs.empty()) return;
  write(" stroke-linecap=\"butt\" stroke-dasharray=\"");
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (i > 0) write(" ");
    number(runs[i]);
  }
  write("\"");
  if (phase != 0) {
    write(" stroke-dashoffset=\"");
    number(phase);
    write("\"");
  }
}

Status SvgWriter::line(const DeviceLine& l) {
  if (refused_) return status::unexpected;
  openGroup();
  write("<line x1=\"");
  number(l.x1);
  write("\" y1=\"");
  number(l.y1);
  write("\" x2=\"");
  number(l.x2);
  write("\" y2=\"");
  number(l.y2);
  write("\"");
  stroke(l.colour, l.dash, l.pen, l.phase);
  write("/>\n");
  return status::ok;
}

// A solid whole circle is a circle; a dashed one two half arcs, so that its pattern starts
// at +X and runs counter-clockwise on the screen, as on every back end.
Status SvgWriter::round(const DeviceRound& r) {
  if (refused_) return status::unexpected;
  openGroup();
  const bool whole = r.whole || r.span >= kFullTurn;
  if (whole && r.dash == DashPattern::solid) {
    write("<circle cx=\"");
    number(r.cx);
    write("\" cy=\"");
    number(r.cy);
    write("\" r=\"");
    number(r.r);
    write("\"");
  } else {
    const auto at = [&](double angle) {
      const SinCos a = portableSinCos(angle);
      number(r.cx + r.r * a.cos);
      write(" ");
      number(r.cy - r.r * a.sin);
    };
    const auto arcTo = [&](double angle, bool large) {
      write(" A ");
      number(r.r);
      write(" ");
      number(r.r);
      write(large ? " 0 1 0 " : " 0 0 0 ");  // sweep 0: counter-clockwise on the screen
      at(angle);
    };
    write("<path d=\"M ");
    if (whole) {
      at(0);
      arcTo(kHalfTurn, false);
      arcTo(0, false);
    } else {
      at(r.start);
      arcTo(r.start + r.span, r.span > kHalfTurn);
    }
    write("\"");
  }
  stroke(r.colour, r.dash, r.pen, 0);
  write("/>\n");
  return status::ok;
}

// The characters run along the box's baseline as wide as the box, their em the text's
// height; the matrix turns the text's own axes (x along the baseline, y down) onto the box.
void SvgWriter::text(const Entity& entity) {
  DeviceText t;
  if (!placeText(picture_, entity, EntityColor(entity.Col), t)) return;
  const double width = t.width(), height = t.height();
  openGroup();
  write("<text x=\"0\" y=\"0\" transform=\"matrix(");
  const double matrix[4] = {t.baseX / width, t.baseY / width, -t.upX / height, -t.upY / height};
  for (const double m : matrix) {
    number(m, kAxisDecimals);
    write(" ");
  }
  number(t.x);
  write(" ");
  number(t.y);
  write(")\" font-family=\"sans-serif\" font-size=\"");
  number(height);
  write("\" textLength=\"");
  number(width);
  write("\" lengthAdjust=\"spacingAndGlyphs\" xml:space=\"preserve\" stroke=\"none\" fill=\"");
  colour(t.colour);
  write("\">");
  escaped(t.text);
  write("</text>\n");
}

}  // namespace trazo
