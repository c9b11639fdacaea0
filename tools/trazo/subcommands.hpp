// Every subcommand of the trazo host, registered in one place.
#pragma once

#include <CLI/CLI.hpp>

namespace trazo::cli {

void addSubcommands(CLI::App& app, int& exitCode);

}  // namespace trazo::cli
