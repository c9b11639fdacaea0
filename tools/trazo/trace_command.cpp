#include "tools/trazo/trace_command.hpp"

#include "picture/recording_surface.hpp"
#include "control/trazo.hpp"
#include "tools/trazo/script_arguments.hpp"
#include "tools/trazo/script_file.hpp"

#include <iostream>
#include <memory>

namespace trazo::cli {

void addTraceCommand(CLI::App& app, int& exitCode) {
  struct Options {
    std::string twips = "4800x3600";
    std::string script;
    std::string layout;
  };
  auto options = std::make_shared<Options>();
  CLI::App* cmd = app.add_subcommand("trace", "Run a call script against a recording picture and print its trace");
  cmd->add_option("--twips", options->twips, "Inner area of the picture P1, in twips")
      ->type_name("WxH")
      ->capture_default_str()
      ->check([](const std::string& v) {
        double w = 0, h = 0;
        return parseSize(v, w, h) ? std::string() : std::string("expected WxH, e.g. 4800x3600");
      });
  addScriptArguments(*cmd, options->script, options->layout);
  cmd->callback([options, &exitCode] {
    double width = 0, height = 0;
    parseSize(options->twips, width, height);
    script::TraceListener traceLines(std::cout);
    ProgressDisplay progress(scriptName(options->script), std::cerr, standardErrorIsTerminal(), &traceLines);
    auto script = loadScript(options->script, progress, options->layout);
    if (!script) {
      exitCode = kExitRejected;
      return;
    }
    RecordingSurface picture(std::cout, width, height);
    Trazo control;
    control.attachPicture(picture);
    (void)control.onInitialize();
    runScript(*script, control, progress);
    control.onTerminate();
    std::cout.flush();
    exitCode = std::cout ? 0 : 1;
  });
}

}  // namespace trazo::cli
