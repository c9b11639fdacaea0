// trazo view SCRIPT [--antialias] [--background COLOUR]: runs a script into the control
// shown in a window; the drawing is fitted to the window and refitted when it is resized,
// and a status line shows the latest MouseMove event.
#pragma once

#include <CLI/CLI.hpp>

namespace trazo::cli {

void addViewCommand(CLI::App& app, int& exitCode);

}  // namespace trazo::cli
