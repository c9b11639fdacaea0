// The Qt application object that render and view need, made once per run.
#pragma once

#include <memory>

class QGuiApplication;

namespace trazo::cli {

// True when a window system can be reached (DISPLAY, WAYLAND_DISPLAY or an explicit
// QT_QPA_PLATFORM).
bool displayAvailable();

// Writing pictures needs no display: unless the user chose a platform, Qt's off-screen one
// is used, so render works on a machine without any.
void useOffscreenPlatformUnlessChosen();

// Qt's own notes about the environment (a missing runtime directory, say) say nothing about
// the picture: only its critical messages reach stderr.
void keepQtNotesQuiet();

// The application object for writing pictures: off-screen unless the user chose a platform,
// Qt's notes quiet. One a run.
std::unique_ptr<QGuiApplication> offscreenApplication();

}  // namespace trazo::cli
