#include "gdi_surface.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trazo::win32 {
namespace {

// GDI takes 32-bit coordinates but rasterises reliably only well inside them: geometry is
// clipped to this many pixels around the picture before it reaches GDI.
constexpr double kPixelLimit = 1 << 20;
constexpr double kTurn = 2 * std::numbers::pi;

COLORREF toColorRef(Rgb c) { return RGB(c.red, c.green, c.blue); }

DWORD penStyleFor(std::int32_t drawStyle) {
  switch (drawStyle) {
    case kDrawStyleDash: return PS_DASH;
    case kDrawStyleDashDot: return PS_DASHDOT;
    case kDrawStyleDashDotDot: return PS_DASHDOTDOT;
    case 2: return PS_DOT;
    case 5: return PS_NULL;
    default: return PS_SOLID;
  }
}

int toInt(double v) { return static_cast<int>(std::lround(v)); }

// Moves the end (ax, ay) of a segment along it into the square of half-size kPixelLimit.
// Works from the slope rather than from a parameter along the segment, so that a segment
// whose ends lie 1e30 pixels apart keeps the small part that crosses the picture.
bool clipEnd(double& ax, double& ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  if (ax < -kPixelLimit || ax > kPixelLimit) {
    const double edge = ax < 0 ? -kPixelLimit : kPixelLimit;
    if ((bx - edge) * (ax - edge) > 0) return false;  // both ends beyond the same edge
    ay += (edge - ax) * (dy / dx);
    ax = edge;
  }
  if (ay < -kPixelLimit || ay > kPixelLimit) {
    const double edge = ay < 0 ? -kPixelLimit : kPixelLimit;
    if ((by - edge) * (ay - edge) > 0) return false;
    ax += (edge - ay) * (dx / dy);
    ay = edge;
  }
  return std::isfinite(ax) && std::isfinite(ay) && std::fabs(ax) <= kPixelLimit && std::fabs(ay) <= kPixelLimit;
}

// Keeps the part of the segment inside the square, or says there is none.
bool clipSegment(double& x1, double& y1, double& x2, double& y2) {
  return clipEnd(x1, y1, x2, y2) && clipEnd(x2, y2, x1, y1);
}

bool finite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

LogicalDpi displayDpi() {
  LogicalDpi dpi;
  if (HDC screen = GetDC(nullptr)) {
    dpi.x = std::max(1, GetDeviceCaps(screen, LOGPIXELSX));
    dpi.y = std::max(1, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
  }
  return dpi;
}

GdiSurface::GdiSurface(double widthTwips, double heightTwips) : dpi_(displayDpi()) {
  dc_ = CreateCompatibleDC(nullptr);
  placement_ = {0, 0, widthTwips, heightTwips};
  resizeCanvas(toInt(widthTwips * dpi_.x / kTwipsPerInch), toInt(heightTwips * dpi_.y / kTwipsPerInch));
}

GdiSurface::~GdiSurface() {
  dropPen();
  if (dc_ != nullptr && originalBitmap_ != nullptr) SelectObject(dc_, originalBitmap_);
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  if (dc_ != nullptr) DeleteDC(dc_);
}

void GdiSurface::resizeCanvas(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (dc_ == nullptr || (bitmap_ != nullptr && width == width_ && height == height_)) return;
  // A bitmap needs at least one pixel; the picture's own size may be zero.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = std::max(width, 1);
  info.bmiHeader.biHeight = -std::max(height, 1);  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP fresh = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (fresh == nullptr) return;  // keep the old picture rather than none
  HGDIOBJ previous = SelectObject(dc_, fresh);
  if (originalBitmap_ == nullptr) originalBitmap_ = previous;
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  bitmap_ = fresh;
  width_ = width;
  height_ = height;
  mapping_.setInnerSize(width_ * kTwipsPerInch / dpi_.x, height_ * kTwipsPerInch / dpi_.y);
  cls();
}

Status GdiSurface::cls() {
  if (bitmap_ == nullptr) return status::unexpected;
  const RECT all{0, 0, std::max(width_, 1), std::max(height_, 1)};
  SetBkColor(dc_, kBackground);
  ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
  return status::ok;
}

// Texts are drawn as outlines of their boxes, so no font is ever used.
Status GdiSurface::setFontSize(double) { return status::ok; }

Status GdiSurface::setDrawStyle(std::int32_t style) {
  drawStyle_ = style;
  return status::ok;
}

bool GdiSurface::toPixels(double x, double y, double& px, double& py) const {
  double tx = 0, ty = 0;
  mapping_.toTwips(x, y, tx, ty);
  px = tx * dpi_.x / kTwipsPerInch;
  py = ty * dpi_.y / kTwipsPerInch;
  return finite({px, py});
}

void GdiSurface::pixelToUnits(int px, int py, float& x, float& y) const {
  double ux = 0, uy = 0;
  mapping_.fromTwips(px * kTwipsPerInch / dpi_.x, py * kTwipsPerInch / dpi_.y, ux, uy);
  x = static_cast<float>(ux);
  y = static_cast<float>(uy);
}

// One-pixel cosmetic pens; a new one only when colour or style changed.
void GdiSurface::selectPen(Rgb colour) {
  if (pen_ != nullptr && colour == penColour_ && drawStyle_ == penStyle_) return;
  const LOGBRUSH brush{BS_SOLID, toColorRef(colour), 0};
  HPEN fresh = ExtCreatePen(PS_COSMETIC | penStyleFor(drawStyle_), 1, &brush, 0, nullptr);
  if (fresh == nullptr) fresh = CreatePen(PS_SOLID, 1, toColorRef(colour));
  if (fresh == nullptr) return;
  HGDIOBJ previous = SelectObject(dc_, fresh);
  if (originalPen_ == nullptr) originalPen_ = previous;
  if (pen_ != nullptr) DeleteObject(pen_);
  pen_ = fresh;
  penColour_ = colour;
  penStyle_ = drawStyle_;
  // Gaps of a dashed line stay untouched, as on a picture with transparent background.
  SetBkMode(dc_, TRANSPARENT);
}

void GdiSurface::dropPen() {
  if (pen_ == nullptr) return;
  SelectObject(dc_, originalPen_);
  DeleteObject(pen_);
  pen_ = nullptr;
}

Status GdiSurface::line(float x1, float y1, float x2, float y2, Rgb colour) {
  double ax = 0, ay = 0, bx = 0, by = 0;
  if (!toPixels(x1, y1, ax, ay) || !toPixels(x2, y2, bx, by)) return status::ok;
  if (!clipSegment(ax, ay, bx, by)) return status::ok;
  selectPen(colour);
  MoveToEx(dc_, toInt(ax), toInt(ay), nullptr);
  LineTo(dc_, toInt(bx), toInt(by));
  return status::ok;
}

Status GdiSurface::circle(float x, float y, float r, Rgb colour) {
  // A full turn: equal start and end points make GDI draw the whole outline.
  return arc(x, y, r, colour, 0.0f, 0.0f);
}

// Angles count counter-clockwise on the screen from +X whatever the user system's axes.
// A negative angle stands for its magnitude and adds a radius line from the centre to that
// end; angles beyond a turn are taken modulo a turn.
Status GdiSurface::arc(float x, float y, float r, Rgb colour, float start, float end) {
  if (!finite({x, y, r, start, end})) return status::ok;
  double cx = 0, cy = 0, ex = 0, ey = 0;
  if (!toPixels(x, y, cx, cy) || !toPixels(double{x} + std::fabs(double{r}), y, ex, ey)) return status::ok;
  const double radius = std::fabs(ex - cx);
  if (std::fabs(cx) + radius > kPixelLimit || std::fabs(cy) + radius > kPixelLimit) return status::ok;
  const double from = std::fmod(std::fabs(double{start}), kTurn);
  const double to = std::fmod(std::fabs(double{end}), kTurn);
  // Radial points far enough out that rounding does not turn their direction.
  const double reach = std::max(radius, 4096.0);
  const auto radial = [&](double angle, double distance, int& px, int& py) {
    px = toInt(cx + distance * std::cos(angle));
    py = toInt(cy - distance * std::sin(angle));
  };
  selectPen(colour);
  HGDIOBJ previousBrush = SelectObject(dc_, GetStockObject(NULL_BRUSH));
  SetArcDirection(dc_, AD_COUNTERCLOCKWISE);
  int sx = 0, sy = 0, ex2 = 0, ey2 = 0;
  radial(from, reach, sx, sy);
  radial(to, reach, ex2, ey2);
  const int left = toInt(cx - radius), top = toInt(cy - radius);
  const int right = toInt(cx + radius) + 1, bottom = toInt(cy + radius) + 1;
  Arc(dc_, left, top, right, bottom, sx, sy, ex2, ey2);
  if (start < 0 || end < 0) {
    const int ox = toInt(cx), oy = toInt(cy);
    int px = 0, py = 0;
    if (start < 0) {
      radial(from, radius, px, py);
      MoveToEx(dc_, ox, oy, nullptr);
      LineTo(dc_, px, py);
    }
    if (end < 0) {
      radial(to, radius, px, py);
      MoveToEx(dc_, ox, oy, nullptr);
      LineTo(dc_, px, py);
    }
  }
  SelectObject(dc_, previousBrush);
  return status::ok;
}

void GdiSurface::applyPlacement() {
  const int left = toInt(placement_.left * dpi_.x / kTwipsPerInch);
  const int top = toInt(placement_.top * dpi_.y / kTwipsPerInch);
  const int width = std::max(0, toInt(placement_.width * dpi_.x / kTwipsPerInch));
  const int height = std::max(0, toInt(placement_.height * dpi_.y / kTwipsPerInch));
  if (window_ != nullptr && IsWindow(window_)) {
    // WM_SIZE of the window resizes the bitmap and asks for a repaint.
    SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    resizeCanvas(width, height);
  }
}

// A placement must be a finite number of twips that GDI can hold; a size cannot be negative.
Status GdiSurface::place(double& field, float value, bool isSize) {
  if (!std::isfinite(value) || std::fabs(value) >= kPixelLimit * 15 || (isSize && value < 0)) {
    return status::invalidCall;
  }
  field = value;
  applyPlacement();
  return status::ok;
}

Status GdiSurface::setLeft(float left) { return place(placement_.left, left, false); }
Status GdiSurface::setTop(float top) { return place(placement_.top, top, false); }
Status GdiSurface::setWidth(float width) { return place(placement_.width, width, true); }
Status GdiSurface::setHeight(float height) { return place(placement_.height, height, true); }

void GdiSurface::present(HDC target) const {
  if (target == nullptr || bitmap_ == nullptr) return;
  BitBlt(target, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
}

void GdiSurface::present(HDC target, const RECT& bounds) const {
  if (target == nullptr || bitmap_ == nullptr || width_ == 0 || height_ == 0) return;
  StretchBlt(target, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, dc_, 0, 0,
             width_, height_, SRCCOPY);
}

COLORREF GdiSurface::pixel(int px, int py) const {
  if (px < 0 || py < 0 || px >= width_ || py >= height_) return CLR_INVALID;
  return GetPixel(dc_, px, py);
}

}  // namespace trazo::win32
