// Where P1 sits in the control's client area, owned by the control for every shell: its
// initial rectangle, what Left, Top, Width and Height accept, and the whole pixels of the
// client area that a shell moves and sizes its window to.
//
// The rules, the same on every platform:
//   - P1 starts at left 240, top 420, width 4155, height 2475 twips; the first Resize
//     replaces that.
//   - A value that is not a finite number is refused.
//   - A negative Width or Height is refused; zero is a picture of no pixels (-0 is zero).
//   - Each value is rounded to whole pixels of the client area (halves away from zero); one
//     whose pixels lie more than 2^20 from zero is refused, so P1 is at most 2^20 pixels
//     each way and lies at most 2^20 pixels from the client area's corner.
//   - A refused value fails with the invalid-call status and changes nothing; Resize tries
//     each of its four steps whatever became of the one before.
#pragma once

#include "base/status.hpp"
#include "picture/initial_placement.hpp"
#include "picture/units.hpp"

#include <cstdint>

namespace trazo {

inline constexpr std::int32_t kLargestPlacementPixels = 1 << 20;

// P1's placement in twips of the client area, as Left, Top, Width and Height hold it.
struct TwipsPlacement {
  float left = kInitialPictureLeft;
  float top = kInitialPictureTop;
  float width = kInitialPictureWidth;
  float height = kInitialPictureHeight;
};

// The same in whole pixels of the client area.
struct PixelPlacement {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const PixelPlacement& a, const PixelPlacement& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
  }
};

// What a shell does with P1's window: told after every accepted change of placement.
class PlacementListener {
 public:
  virtual ~PlacementListener() = default;
  virtual void picturePlaced(const PixelPlacement& pixels) = 0;
};

class PicturePlacement {
 public:
  Status setLeft(float twips) { return place(twips_.left, twips, false, dpiX_); }
  Status setTop(float twips) { return place(twips_.top, twips, false, dpiY_); }
  Status setWidth(float twips) { return place(twips_.width, twips, true, dpiX_); }
  Status setHeight(float twips) { return place(twips_.height, twips, true, dpiY_); }

  const TwipsPlacement& twips() const { return twips_; }
  PixelPlacement pixels() const;
  double dpiX() const { return dpiX_; }
  double dpiY() const { return dpiY_; }

  // The client area has `dpiX` x `dpiY` pixels to the inch (96 until a shell says); a
  // listener, if any, is told the placement at once and after every accepted change.
  void attach(PlacementListener* listener, double dpiX, double dpiY);
  void detach() { listener_ = nullptr; }

 private:
  Status place(float& field, float twips, bool isSize, double dpi);
  void announce();

  TwipsPlacement twips_;
  double dpiX_ = kScreenDpi, dpiY_ = kScreenDpi;
  PlacementListener* listener_ = nullptr;
};

}  // namespace trazo
