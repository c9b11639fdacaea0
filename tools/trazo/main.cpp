// trazo: the command-line host of the Trazo control.
#include "script/nearest_name.hpp"
#include "tools/trazo/script_file.hpp"
#include "tools/trazo/subcommands.hpp"

#include <CLI/CLI.hpp>

#include <iostream>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// CLI11 answers a word that is no subcommand with "A subcommand is required"; say what was
// wrong instead, with the nearest subcommand. False when the word was unknown.
bool subcommandKnown(const CLI::App& app, int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word.empty() || word.front() == '-') continue;  // the host's own options come first
    const auto subcommands = app.get_subcommands([](const CLI::App*) { return true; });
    for (const CLI::App* s : subcommands) {
      if (s->get_name() == word) return true;
    }
    std::cerr << "trazo: unknown subcommand '" << word << "'";
    const std::string_view nearest = trazo::script::nearestName(
        word, subcommands, [](const CLI::App* s) { return std::string_view(s->get_name()); });
    if (!nearest.empty()) {
      std::cerr << "; did you mean '" << nearest << "'?";
    } else {
      std::cerr << "; the subcommands are";
      for (std::size_t k = 0; k < subcommands.size(); ++k)
        std::cerr << (k == 0 ? " " : ", ") << subcommands[k]->get_name();
    }
    std::cerr << "\nRun with --help for more information.\n";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Traces and messages end their lines with LF alone, as on every other system, so a trace
  // made on Windows is byte for byte the one made anywhere else.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  std::ios::sync_with_stdio(false);
  CLI::App app{"trazo: run Trazo call scripts, trace them, render them, view them"};
  app.set_version_flag("--version", std::string("trazo ") + TRAZO_VERSION);
  app.require_subcommand(1);
  int exitCode = 0;
  trazo::cli::addSubcommands(app, exitCode);
  if (!subcommandKnown(app, argc, argv)) return trazo::cli::kExitRejected;
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // --help and --version end here too, with status 0; a usage error is refused like a
    // rejected script.
    return app.exit(e) == 0 ? 0 : trazo::cli::kExitRejected;
  }
  return exitCode;
}
