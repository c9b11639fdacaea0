// The picture as an SVG document that keeps the drawing's data: every entity the control
// paints becomes a group of its own, carrying its number, its kind and its tag
// (<g data-entity="3" data-kind="circle" data-tag="...">), around the shapes the device
// geometry hands over, with the same clipping, arc and dash decisions as every other back
// end. The writer is the picture's back end and the control's paint observer at once.
//
// The document is plain text, written as it is painted through a small buffer to a sink:
// its memory does not grow with the drawing.
#pragma once

#include "device/device_engine.hpp"
#include "device/device_surface.hpp"
#include "render/paint_observer.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace trazo {

// Where the document's bytes go; false stops the writing (a full disk, a closed pipe).
using SvgSink = std::function<bool(const char* data, std::size_t size)>;

struct SvgOptions {
  bool antialias = false;  // otherwise the shapes ask for crisp edges
  bool texts = false;      // also the characters of each text, in its box
};

class SvgWriter final : public DeviceEngine, public PaintObserver {
 public:
  // For `picture`, whose size and coordinate system place the shapes and texts.
  SvgWriter(const SvgSink& sink, const DeviceSurface& picture, const SvgOptions& options);
  SvgWriter(const SvgWriter&) = delete;
  SvgWriter& operator=(const SvgWriter&) = delete;

  // The document's head, for a picture of the surface's size, titled `title`.
  void begin(std::u16string_view title);
  // Closes what is open and hands the rest to the sink; false when the sink refused bytes.
  bool finish();
  // Whether the sink refused bytes: what the writer is handed afterwards fails.
  bool refused() const { return refused_; }

  Status fill(Rgb colour) override;
  Status line(const DeviceLine& line) override;
  Status round(const DeviceRound& round) override;
  void paintingEntity(std::int32_t index, const Entity& entity) override;

 private:
  void write(std::string_view text);
  void number(double value);
  void number(double value, int decimals);
  void colour(Rgb c);
  void escaped(std::u16string_view text);
  // The pen's attributes, and the dash pattern's from `phase` on.
  void stroke(Rgb c, DashPattern dash, const DevicePen& pen, double phase);
  // Writes the open entity's group tag before its first shape.
  void groupTag();
  void openGroup();
  void closeGroup();
  void text(const Entity& entity);
  void flush();

  const SvgSink& sink_;
  const DeviceSurface& picture_;
  SvgOptions options_;
  std::string buffer_;
  bool refused_ = false;
  bool finished_ = false;
  // The entity being painted: its group is written with its first shape.
  bool inEntity_ = false;
  bool groupWritten_ = false;
  std::int32_t entity_ = 0;
  std::int16_t kind_ = 0;
  std::u16string_view tag_;
};

// `text` as XML character data or attribute value: markup characters as references, tab,
// line feed and carriage return as numeric references, and what XML 1.0 cannot carry (other
// control characters, unpaired surrogates, U+FFFE, U+FFFF) as U+FFFD; the rest as UTF-8.
void appendXmlEscaped(std::string& out, std::u16string_view text);

// The name an SVG document gives an entity kind: line, circle, text, arc, or its number.
std::string kindName(std::int16_t kind);

}  // namespace trazo
