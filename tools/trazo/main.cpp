// trazo: the command-line host of the Trazo control.
#include "tools/trazo/subcommands.hpp"

#include <CLI/CLI.hpp>

#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  // Traces and messages end their lines with LF alone, as on every other system, so a trace
  // made on Windows is byte for byte the one made anywhere else.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  std::ios::sync_with_stdio(false);
  CLI::App app{"trazo: run Trazo call scripts, trace them, render them, view them"};
  app.require_subcommand(1);
  int exitCode = 0;
  trazo::cli::addSubcommands(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;  // a usage error, like a rejected script
  }
  return exitCode;
}
