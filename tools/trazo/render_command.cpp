#include "tools/trazo/render_command.hpp"

#include "control/trazo.hpp"
#include "device/device_surface.hpp"
#include "shells/qt/picture_files.hpp"
#include "tools/trazo/picture_arguments.hpp"
#include "tools/trazo/qt_application.hpp"
#include "tools/trazo/script_file.hpp"
#include "tools/trazo/script_runner.hpp"

#include <QGuiApplication>

#include <cmath>
#include <iostream>
#include <memory>
#include <sstream>

namespace trazo::cli {
namespace {

// Largest picture side, in pixels: a bigger raster image would not fit in memory.
constexpr double kLargestSide = 16384;

bool pictureSize(const std::string& text, QSize& size) {
  double w = 0, h = 0;
  if (!parseSize(text, w, h) || w < 1 || h < 1 || w > kLargestSide || h > kLargestSide || w != std::floor(w) ||
      h != std::floor(h)) {
    return false;
  }
  size = QSize(static_cast<int>(w), static_cast<int>(h));
  return true;
}

// Members' failures go to stderr, prefixed with the script's name; the drawing is written
// all the same, as the control would show it.
void reportFailures(const std::string& scriptPath, const std::string& trace) {
  std::istringstream lines(trace);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("Error ", 0) == 0) std::cerr << scriptPath << ": " << line << '\n';
  }
}

}  // namespace

void addRenderCommand(CLI::App& app, int& exitCode) {
  struct Options {
    std::string script;
    std::string output;
    std::string size = "1024x768";
    PictureArguments picture;
  };
  auto options = std::make_shared<Options>();
  CLI::App* cmd = app.add_subcommand("render", "Run a call script and write the picture to PNG, SVG or PDF");
  cmd->add_option("SCRIPT", options->script, "Call script (.trz)")->required();
  cmd->add_option("-o,--output", options->output, "Picture file: .png, .svg or .pdf")->required();
  cmd->add_option("--size", options->size, "Picture size in pixels (96 to the inch)")
      ->type_name("WxH")
      ->capture_default_str();
  addPictureArguments(*cmd, options->picture);
  cmd->callback([options, &exitCode] {
    exitCode = kExitRejected;
    QSize size;
    if (!pictureSize(options->size, size)) {
      std::cerr << "--size: expected WxH in whole pixels from 1 to " << kLargestSide << ", e.g. 1024x768\n";
      return;
    }
    qt::PictureOptions pictureOptions;
    if (!options->picture.toOptions(pictureOptions)) return;
    const QString output = QString::fromStdString(options->output);
    if (!qt::pictureFormatFor(output)) {
      std::cerr << options->output << ": the file name must end in .png, .svg or .pdf\n";
      return;
    }
    const auto script = loadScript(options->script);
    if (!script) return;

    useOffscreenPlatformUnlessChosen();
    keepQtNotesQuiet();
    int argc = 1;
    char name[] = "trazo";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);

    // While the script runs, P1 has the size of the picture to come but paints nothing.
    DeviceSurface picture;
    picture.setDevice(size.width(), size.height(), qt::kOutputDpi, qt::kOutputDpi);
    Trazo control;
    control.attachPicture(picture);
    (void)control.onInitialize();
    std::ostringstream trace;
    script::runScript(*script, control, trace);
    reportFailures(options->script, trace.str());

    const qt::WriteResult result = qt::writePicture(control, output, size, pictureOptions);
    control.onTerminate();
    if (failed(result.paintStatus)) {
      std::cerr << options->script << ": Error Reflash " << statusKind(result.paintStatus) << '\n';
    }
    if (!result.written) {
      std::cerr << options->output << ": " << result.error.toStdString() << '\n';
      exitCode = 1;
      return;
    }
    exitCode = 0;
  });
}

}  // namespace trazo::cli
