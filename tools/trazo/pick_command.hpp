// trazo pick: run a call script, paint it fitted into a picture of a given size and print
// the entity seen at a pixel, or those a rectangle selects.
#pragma once

#include <CLI/CLI.hpp>

namespace trazo::cli {

void addPickCommand(CLI::App& app, int& exitCode);

}  // namespace trazo::cli
