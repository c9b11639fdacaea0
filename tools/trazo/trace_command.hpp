// trazo trace [--twips WxH] SCRIPT: runs a script against a recording picture and prints
// the surface trace.
#pragma once

#include <CLI/CLI.hpp>

namespace trazo::cli {

// Adds the subcommand; `exitCode` receives its result when it runs.
void addTraceCommand(CLI::App& app, int& exitCode);

}  // namespace trazo::cli
