// trazo tiles SCRIPT -o DIR --zoom [FIRST-]LAST [--tile N] [picture options]: runs a script
// once and writes the tile pyramid of its picture as DIR/Z/X/Y.png, the layout web maps read
// as XYZ tiles: at zoom Z the picture is N * 2^Z pixels square, the drawing fitted into it as
// the control fits it, cut into tiles N pixels square counted from the top left corner.
#pragma once

#include <CLI/CLI.hpp>

namespace trazo::cli {

void addTilesCommand(CLI::App& app, int& exitCode);

}  // namespace trazo::cli
