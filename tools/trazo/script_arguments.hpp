// The script every drawing subcommand runs, named on its command line: the SCRIPT path and,
// for a DXF drawing, --layout.
#pragma once

#include "tools/trazo/dxf_file.hpp"

#include <CLI/CLI.hpp>

#include <string>

namespace trazo::cli {

inline void addScriptArguments(CLI::App& cmd, std::string& script, std::string& layout) {
  cmd.add_option("SCRIPT", script, "Call script (.trz) or DXF drawing (.dxf); - reads standard input")->required();
  cmd.add_option("--layout", layout, kLayoutHelp);
}

}  // namespace trazo::cli
