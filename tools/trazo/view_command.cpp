#include "tools/trazo/view_command.hpp"

#include "tools/trazo/picture_arguments.hpp"
#include "tools/trazo/qt_application.hpp"
#include "tools/trazo/script_file.hpp"
#include "tools/trazo/script_runner.hpp"
#include "tools/trazo/view_window.hpp"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include <iostream>
#include <memory>
#include <sstream>

namespace trazo::cli {

void addViewCommand(CLI::App& app, int& exitCode) {
  struct Options {
    std::string script;
    PictureArguments picture;
    int exitAfter = 0;
  };
  auto options = std::make_shared<Options>();
  CLI::App* cmd = app.add_subcommand("view", "Run a call script and show the control in a window");
  cmd->add_option("SCRIPT", options->script, "Call script (.trz)")->required();
  addPictureArguments(*cmd, options->picture);
  cmd->add_option("--exit-after", options->exitAfter, "Close the window after this many milliseconds")
      ->check(CLI::NonNegativeNumber);
  cmd->callback([options, &exitCode] {
    exitCode = kExitRejected;
    qt::PictureOptions pictureOptions;
    if (!options->picture.toOptions(pictureOptions)) return;
    const auto script = loadScript(options->script);
    if (!script) return;
    if (!displayAvailable()) {
      std::cerr << "trazo view needs a display (DISPLAY or WAYLAND_DISPLAY); `trazo render` needs none\n";
      exitCode = 1;
      return;
    }

    int argc = 1;
    char name[] = "trazo";
    char* argv[] = {name, nullptr};
    keepQtNotesQuiet();
    QApplication application(argc, argv);
    ViewWindow window(QStringLiteral("trazo view: %1").arg(QFileInfo(QString::fromStdString(options->script)).fileName()),
                      pictureOptions);
    std::ostringstream trace;
    script::runScript(*script, window.control().control(), trace);
    std::istringstream lines(trace.str());
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("Error ", 0) == 0) std::cerr << options->script << ": " << line << '\n';
    }
    window.show();
    if (options->exitAfter > 0) QTimer::singleShot(options->exitAfter, &application, &QApplication::quit);
    exitCode = application.exec();
  });
}

}  // namespace trazo::cli
