#include "tools/trazo/subcommands.hpp"

#include "tools/trazo/trace_command.hpp"

namespace trazo::cli {

void addSubcommands(CLI::App& app, int& exitCode) { addTraceCommand(app, exitCode); }

}  // namespace trazo::cli
