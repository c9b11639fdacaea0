// trazo view SCRIPT [picture options]: runs a script into the control shown in a window;
// the drawing is fitted to the window and refitted when it is resized, the wheel zooms and
// dragging pans (view_window.hpp), and a status line shows where the pointer is and the
// latest MouseMove event; the entity under the pointer is highlighted and named, and
// entities can be selected and their tags copied (--highlight sets the colour).
#pragma once

#include <CLI/CLI.hpp>

namespace trazo::cli {

void addViewCommand(CLI::App& app, int& exitCode);

}  // namespace trazo::cli
