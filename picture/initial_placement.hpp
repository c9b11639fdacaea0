// Where P1 sits before the first Resize, and the client area the control proposes to a
// container that places it at its default size; both in twips. Every shell starts P1 here.
#pragma once

namespace trazo {

inline constexpr float kInitialPictureLeft = 240;
inline constexpr float kInitialPictureTop = 420;
inline constexpr float kInitialPictureWidth = 4155;
inline constexpr float kInitialPictureHeight = 2475;

inline constexpr double kProposedWidthTwips = 4800;
inline constexpr double kProposedHeightTwips = 3600;

}  // namespace trazo
