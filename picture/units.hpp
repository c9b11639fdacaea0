// The lengths the control meets and their one conversion: twips (the control's unit, 1440
// to the logical inch), pixels of a device at its logical resolution in dots per inch, and
// the metres per inch of image files.
#pragma once

namespace trazo {

inline constexpr double kTwipsPerInch = 1440;
// Dots per inch of a screen that says nothing else, of CSS pixels, and of the picture files
// the shells write. The dash patterns are counted in pixels of such a screen.
inline constexpr double kScreenDpi = 96;
inline constexpr double kMetresPerInch = 0.0254;

// Twips to pixels of a device of `dpi` dots per inch, and back; not rounded.
constexpr double twipsToPixels(double twips, double dpi) { return twips * dpi / kTwipsPerInch; }
constexpr double pixelsToTwips(double pixels, double dpi) { return pixels * kTwipsPerInch / dpi; }

}  // namespace trazo
