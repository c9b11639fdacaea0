#include "tools/trazo/subcommands.hpp"

#include "tools/trazo/pick_command.hpp"
#include "tools/trazo/trace_command.hpp"

#ifdef TRAZO_WITH_QT
#include "tools/trazo/render_command.hpp"
#include "tools/trazo/tiles_command.hpp"
#include "tools/trazo/view_command.hpp"
#endif

namespace trazo::cli {

void addSubcommands(CLI::App& app, int& exitCode) {
  addTraceCommand(app, exitCode);
  addPickCommand(app, exitCode);
#ifdef TRAZO_WITH_QT
  addRenderCommand(app, exitCode);
  addTilesCommand(app, exitCode);
  addViewCommand(app, exitCode);
#endif
}

}  // namespace trazo::cli
