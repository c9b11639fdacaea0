// The Trazo control as a web element sees it: the control with its picture P1 (a canvas)
// and the five lifecycle actions in the element's terms. The element's client area is its
// content box in CSS pixels; pointer positions arrive in CSS pixels from P1's top-left.
// MouseMove reaches the element through a connected sink, so the crossing of X and Y is
// the control's own.
#pragma once

#include "control/trazo.hpp"
#include "picking/picker.hpp"
#include "shells/web/web_picture.hpp"

#include <cstdint>
#include <functional>
#include <vector>

namespace trazo::web {

class WebControl {
 public:
  using MouseMoveHandler = std::function<void(std::int16_t Button, std::int16_t Shift, float X, float Y)>;

  explicit WebControl(MouseMoveHandler onMouseMove);
  ~WebControl();
  WebControl(const WebControl&) = delete;
  WebControl& operator=(const WebControl&) = delete;

  Trazo& control() { return control_; }
  WebPicture& picture() { return picture_; }
  const WebPicture& picture() const { return picture_; }

  // Creation: Initialize (P1 is at its initial placement from the start).
  Status initialize();
  // The element's content box is now `width` x `height` CSS pixels.
  void resize(double width, double height);
  // P1 must be drawn again, at `ratio` device pixels per CSS pixel: a whole Reflash through
  // the raster back end. Out of memory when the canvas cannot be had at that size.
  Status paint(double ratio);
  // The pointer moved over P1, `x` and `y` CSS pixels from its top-left.
  void pointerMoved(std::int16_t button, std::int16_t shift, double x, double y);
  // Destruction: the entity array is freed.
  void terminate();
  // P1 was painted outside a Paint (the Reflash member): picking follows the new picture.
  void painted();

  // The entity seen at (x, y) CSS pixels of the element's client area, within `tolerance`
  // CSS pixels, on the picture as last painted; 0 for none (see picking/picker.hpp).
  std::int32_t entityAt(double x, double y, double tolerance);
  // The entities a rectangle of the client area selects, in the order they were painted.
  Status entitiesIn(double x, double y, double width, double height, BoxSelection mode,
                    std::vector<std::int32_t>& found);

 private:
  class Sink : public TrazoEvents {
   public:
    explicit Sink(MouseMoveHandler handler) : handler_(std::move(handler)) {}
    void MouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override {
      handler_(Button, Shift, X, Y);
    }

   private:
    MouseMoveHandler handler_;
  };

  Trazo control_;
  WebPicture picture_;
  Picker picker_;
  Sink sink_;
  std::uint32_t cookie_ = 0;
};

}  // namespace trazo::web
