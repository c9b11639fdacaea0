#include "tools/trazo/render_command.hpp"

#include "shells/qt/picture_files.hpp"
#include "tools/trazo/picture_arguments.hpp"
#include "tools/trazo/qt_application.hpp"
#include "tools/trazo/script_arguments.hpp"
#include "tools/trazo/script_file.hpp"
#include "tools/trazo/scripted_picture.hpp"

#include <QFile>
#include <QGuiApplication>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>

namespace trazo::cli {
namespace {

// Largest picture side, in pixels: a bigger raster image would not fit in memory.
constexpr double kLargestSide = 16384;
// Largest picture side with --window, which alone is kept in memory.
constexpr double kLargestWindowedSide = 1 << 20;
// Resolutions a PDF may be drawn at.
constexpr int kLowestDpi = 72;
constexpr int kHighestDpi = 2400;
// The output name that stands for standard output.
constexpr std::string_view kStandardOutput = "-";

bool pictureSize(const std::string& text, double largest, QSize& size) {
  double w = 0, h = 0;
  if (!parseSize(text, w, h) || w < 1 || h < 1 || w > largest || h > largest || w != std::floor(w) ||
      h != std::floor(h)) {
    return false;
  }
  size = QSize(static_cast<int>(w), static_cast<int>(h));
  return true;
}

// "LEFT,TOP,WIDTH,HEIGHT": four whole numbers, none negative.
bool parseWindow(const std::string& text, PixelWindow& window) {
  int* parts[] = {&window.left, &window.top, &window.width, &window.height};
  const char* at = text.data();
  const char* end = at + text.size();
  for (std::size_t k = 0; k < std::size(parts); ++k) {
    if (k > 0 && (at == end || *at++ != ',')) return false;
    const auto read = std::from_chars(at, end, *parts[k]);
    if (read.ec != std::errc() || *parts[k] < 0) return false;
    at = read.ptr;
  }
  return at == end;
}

// The window of --window, or false after saying on stderr what is wrong with it.
bool pictureWindow(const std::string& text, QSize size, PixelWindow& window) {
  if (!parseWindow(text, window)) {
    std::cerr << "--window: expected LEFT,TOP,WIDTH,HEIGHT in whole device pixels, e.g. 0,0,512,512\n";
    return false;
  }
  if (window.width == 0 || window.height == 0) {
    std::cerr << "--window: " << text << " is empty: its width and height must be at least 1\n";
    return false;
  }
  if (window.width > kLargestSide || window.height > kLargestSide) {
    std::cerr << "--window: " << text << " is too large: at most " << kLargestSide << " pixels each way\n";
    return false;
  }
  if (std::int64_t{window.left} + window.width > size.width() ||
      std::int64_t{window.top} + window.height > size.height()) {
    std::cerr << "--window: " << text << " reaches outside the " << size.width() << 'x' << size.height()
              << " picture\n";
    return false;
  }
  return true;
}

// The picture goes to standard output for "-", to a file otherwise.
qt::WriteResult writeOutput(Trazo& control, const std::string& output, qt::PictureFormat format, QSize size,
                            const qt::PictureOptions& options, const std::string& scriptName) {
  if (output != kStandardOutput)
    return qt::writePicture(control, QString::fromStdString(output), size, options, format);
  QFile out;
  if (!out.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
    return {false, out.errorString(), status::ok};
  qt::WriteResult result = qt::writePicture(control, out, format, size, options, QString::fromStdString(scriptName));
  // What the C library still holds may fail on its way out (a full device, a closed pipe).
  if (result.written && (!out.flush() || std::fflush(stdout) != 0 || std::ferror(stdout) != 0)) {
    result.written = false;
    result.error = QString::fromLocal8Bit(std::strerror(errno));
  }
  return result;
}

}  // namespace

void addRenderCommand(CLI::App& app, int& exitCode) {
  struct Options {
    std::string script;
    std::string layout;
    std::string output;
    std::string size = "1024x768";
    std::string format;
    std::string window;
    bool strict = false;
    PictureArguments picture;
    std::string page;
    int dpi = 0;
  };
  auto options = std::make_shared<Options>();
  CLI::App* cmd = app.add_subcommand("render", "Run a call script and write the picture to PNG, SVG or PDF");
  addScriptArguments(*cmd, options->script, options->layout);
  cmd->add_option("-o,--output", options->output, "Picture file: .png, .svg or .pdf; - writes standard output")
      ->required();
  cmd->add_option("--format", options->format, "Picture format, whatever the file name says; needed for -o -")
      ->check(CLI::IsMember({"png", "svg", "pdf"}, CLI::ignore_case));
  cmd->add_flag("--strict", options->strict, "Exit with status 3 when a member fails while the script runs");
  cmd->add_option("--size", options->size, "Picture size in pixels (96 to the inch)")
      ->type_name("WxH")
      ->capture_default_str();
  cmd->add_option("--window", options->window,
                  "PNG only: write just this part of the picture, in device pixels (at most 16384 each way); the "
                  "picture may then be up to 1048576 pixels each way")
      ->type_name("LEFT,TOP,W,H");
  addPictureArguments(*cmd, options->picture);
  cmd->add_option("--page", options->page,
                  "PDF only: an A4 or Letter page, landscape for a picture wider than high, the picture filling it "
                  "within 10 mm margins (default: a page the size of the picture)")
      ->check(CLI::IsMember({"A4", "Letter"}, CLI::ignore_case));
  cmd->add_option("--dpi", options->dpi, "PDF only: the resolution the picture is drawn at (default 96)")
      ->check(CLI::Range(kLowestDpi, kHighestDpi));
  cmd->callback([options, &exitCode] {
    exitCode = kExitRejected;
    QSize size;
    const bool windowed = !options->window.empty();
    if (!pictureSize(options->size, windowed ? kLargestWindowedSide : kLargestSide, size)) {
      std::cerr << "--size: expected WxH in whole pixels from 1 to " << kLargestSide << " ("
                << static_cast<long>(kLargestWindowedSide) << " with --window), e.g. 1024x768\n";
      return;
    }
    qt::PictureOptions pictureOptions;
    if (!options->picture.toOptions(pictureOptions)) return;
    if (windowed && !pictureWindow(options->window, size, pictureOptions.window)) return;
    const auto format = !options->format.empty() ? qt::pictureFormatNamed(QString::fromStdString(options->format))
                        : options->output == kStandardOutput
                            ? std::nullopt
                            : qt::pictureFormatFor(QString::fromStdString(options->output));
    if (!format) {
      if (options->output == kStandardOutput) {
        std::cerr << "-o -: writing to standard output needs --format png, svg or pdf\n";
      } else {
        std::cerr << options->output << ": the file name must end in .png, .svg or .pdf (or give --format)\n";
      }
      return;
    }
    if (windowed && *format != qt::PictureFormat::png) {
      std::cerr << "--window: only a PNG can be written in part\n";
      return;
    }
    if ((!options->page.empty() || options->dpi != 0) && *format != qt::PictureFormat::pdf) {
      std::cerr << "--page and --dpi are for PDF output only\n";
      return;
    }
    if (!options->page.empty())
      pictureOptions.paper =
          QString::fromStdString(options->page).toLower() == QLatin1String("a4") ? qt::Paper::a4 : qt::Paper::letter;
    if (options->dpi != 0) pictureOptions.printDpi = options->dpi;
    LoadedScript loaded(options->script, options->layout);
    if (!loaded.script) return;
    const std::string& name = loaded.name;

    const auto application = offscreenApplication();

    // While the script runs, P1 has the size of the picture to come but paints nothing.
    ScriptedPicture scripted(size.width(), size.height(), *loaded.script, loaded.progress);
    Trazo& control = scripted.control;

    const qt::WriteResult result = writeOutput(control, options->output, *format, size, pictureOptions, name);
    control.onTerminate();
    // The picture's own repaint after the last statement has no line of the script.
    if (failed(result.paintStatus)) std::cerr << name << ": Error Reflash " << statusKind(result.paintStatus) << '\n';
    if (!result.written) {
      std::cerr << options->output << ": cannot be written: " << result.error.toStdString() << '\n';
      exitCode = 1;
      return;
    }
    const bool anyFailed = loaded.failures.failures() > 0 || failed(result.paintStatus);
    exitCode = options->strict && anyFailed ? kExitMemberFailed : 0;
  });
}

}  // namespace trazo::cli
