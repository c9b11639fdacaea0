// trazo render SCRIPT -o OUT [--size WxH] [--window L,T,W,H] [picture options] [--page A4|Letter]
// [--dpi N]: runs a script and writes the control's picture to a PNG, SVG or PDF file, chosen
// by OUT's extension or --format; with --window, only that part of a PNG picture.
#pragma once

#include <CLI/CLI.hpp>

namespace trazo::cli {

void addRenderCommand(CLI::App& app, int& exitCode);

}  // namespace trazo::cli
