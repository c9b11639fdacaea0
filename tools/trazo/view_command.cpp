#include "tools/trazo/view_command.hpp"

#include "tools/trazo/picture_arguments.hpp"
#include "tools/trazo/qt_application.hpp"
#include "tools/trazo/script_arguments.hpp"
#include "tools/trazo/script_file.hpp"
#include "tools/trazo/view_window.hpp"

#include <QApplication>
#include <QColor>
#include <QFileInfo>
#include <QTimer>

#include <iostream>
#include <memory>

namespace trazo::cli {

void addViewCommand(CLI::App& app, int& exitCode) {
  struct Options {
    std::string script;
    std::string layout;
    PictureArguments picture;
    int exitAfter = 0;
    bool strict = false;
    std::string highlight;
  };
  auto options = std::make_shared<Options>();
  CLI::App* cmd = app.add_subcommand("view", "Run a call script and show the control in a window");
  addScriptArguments(*cmd, options->script, options->layout);
  addPictureArguments(*cmd, options->picture);
  cmd->add_option("--highlight", options->highlight,
                  "Colour of the entity under the pointer and of the selected ones: a name or #RRGGBB (default: "
                  "white on a dark background, black on a light one)")
      ->type_name("COLOUR");
  cmd->add_option("--exit-after", options->exitAfter, "Close the window after this many milliseconds")
      ->check(CLI::NonNegativeNumber);
  cmd->add_flag("--strict", options->strict,
                "Exit with status 3, once the window is closed, when a member failed while the script ran");
  cmd->callback([options, &exitCode] {
    exitCode = kExitRejected;
    qt::PictureOptions pictureOptions;
    if (!options->picture.toOptions(pictureOptions)) return;
    QColor highlight;
    if (!options->highlight.empty()) {
      highlight = QColor::fromString(QString::fromStdString(options->highlight));
      if (!highlight.isValid()) {
        std::cerr << "--highlight: " << options->highlight << " is not a colour (a name such as orange, or #RRGGBB)\n";
        return;
      }
    }
    LoadedScript loaded(options->script, options->layout);
    if (!loaded.script) return;
    const std::string& name = loaded.name;
    if (!displayAvailable()) {
      std::cerr << "trazo view needs a display (DISPLAY or WAYLAND_DISPLAY); `trazo render` needs none\n";
      exitCode = 1;
      return;
    }

    int argc = 1;
    char program[] = "trazo";
    char* argv[] = {program, nullptr};
    keepQtNotesQuiet();
    QApplication application(argc, argv);
    ViewWindow window(QStringLiteral("trazo view: %1").arg(QFileInfo(QString::fromStdString(name)).fileName()),
                      pictureOptions, highlight);
    Trazo& control = window.control().control();
    runScript(*loaded.script, control, loaded.progress);
    window.show();
    if (options->exitAfter > 0) QTimer::singleShot(options->exitAfter, &application, &QApplication::quit);
    exitCode = application.exec();
    if (exitCode == 0 && options->strict && loaded.failures.failures() > 0) exitCode = kExitMemberFailed;
  });
}

}  // namespace trazo::cli
