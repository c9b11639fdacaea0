#include "tools/trazo/tiles_command.hpp"

#include "control/trazo.hpp"
#include "shells/qt/picture_files.hpp"
#include "tools/trazo/picture_arguments.hpp"
#include "tools/trazo/qt_application.hpp"
#include "tools/trazo/script_arguments.hpp"
#include "tools/trazo/script_file.hpp"
#include "tools/trazo/scripted_picture.hpp"
#include "tools/trazo/tile_drawing.hpp"

#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QString>

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
#include <system_error>
#include <vector>

namespace trazo::cli {
namespace {

constexpr int kDeepestZoom = 20;
constexpr int kSmallestTile = 16;
constexpr int kLargestTile = 4096;
// The picture of the deepest zoom stays well within the device pixels an int counts.
constexpr std::int64_t kLargestPictureSide = std::int64_t{1} << 30;

struct Zooms {
  int first = 0;
  int last = 0;
};

// "LAST" (from zoom 0) or "FIRST-LAST".
bool parseZooms(const std::string& text, Zooms& zooms) {
  const char* end = text.data() + text.size();
  const auto first = std::from_chars(text.data(), end, zooms.first);
  if (first.ec != std::errc() || zooms.first < 0) return false;
  if (first.ptr == end) {
    zooms.last = zooms.first;
    zooms.first = 0;
    return true;
  }
  if (*first.ptr != '-') return false;
  const auto last = std::from_chars(first.ptr + 1, end, zooms.last);
  return last.ec == std::errc() && last.ptr == end && zooms.last >= zooms.first;
}

std::uint64_t tilesOf(const Zooms& zooms) {
  std::uint64_t total = 0;
  for (int z = zooms.first; z <= zooms.last; ++z) total += std::uint64_t{1} << (2 * z);
  return total;
}

QString pathText(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

// The file appears, or replaces an old one, only once all of `bytes` are in it.
bool writeWhole(const QString& path, const std::vector<unsigned char>& bytes, QString& error) {
  if (QFileInfo(path).isDir()) {
    error = QStringLiteral("is a folder");
    return false;
  }
  QSaveFile file(path);
  const auto size = static_cast<qint64>(bytes.size());
  if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char*>(bytes.data()), size) != size ||
      !file.commit()) {
    error = file.errorString();
    return false;
  }
  return true;
}

struct TilesOptions {
  std::string script;
  std::string layout;
  std::string output;
  std::string zooms;
  int tile = 256;
  bool strict = false;
  PictureArguments picture;
};

// Runs the script and writes its tiles; what goes wrong sets exitCode.
void writeTiles(const TilesOptions& options, int& exitCode) {
  exitCode = kExitRejected;
  Zooms zooms;
  if (!parseZooms(options.zooms, zooms) || zooms.last > kDeepestZoom) {
    std::cerr << "--zoom: expected LAST or FIRST-LAST with 0 <= FIRST <= LAST <= " << kDeepestZoom << ", e.g. 0-6\n";
    return;
  }
  if ((std::int64_t{options.tile} << zooms.last) > kLargestPictureSide) {
    std::cerr << "--zoom: at zoom " << zooms.last << " tiles of " << options.tile
              << " pixels make a picture wider than " << kLargestPictureSide << " pixels\n";
    return;
  }
  qt::PictureOptions pictureOptions;
  if (!options.picture.toOptions(pictureOptions)) return;
  LoadedScript loaded(options.script, options.layout);
  if (!loaded.script) return;
  const std::string& name = loaded.name;

  const auto application = offscreenApplication();

  // While the script runs, P1 is one tile, and paints nothing.
  const int tile = options.tile;
  ScriptedPicture scripted(tile, tile, *loaded.script, loaded.progress);
  Trazo& control = scripted.control;

  // Each tile is a window of the picture of its zoom: only the entities that reach it are
  // handed to the raster, which keeps only the tile's pixels.
  const std::filesystem::path folder = QString::fromStdString(options.output).toStdU16String();
  const std::uint64_t total = tilesOf(zooms);
  std::uint64_t done = 0;
  Status paintStatus = status::ok;
  std::vector<unsigned char> png;
  for (int z = zooms.first; z <= zooms.last; ++z) {
    const int across = 1 << z;
    for (int x = 0; x < across; ++x) {
      const std::filesystem::path column = folder / std::to_string(z) / std::to_string(x);
      std::error_code error;
      std::filesystem::create_directories(column, error);
      if (error) {
        std::cerr << pathText(column).toStdString() << ": cannot be made: " << error.message() << '\n';
        exitCode = 1;
        return;
      }
      for (int y = 0; y < across; ++y) {
        const QString path = pathText(column / (std::to_string(y) + ".png"));
        const TileDrawing drawn = drawTile(control, {z, x, y, tile}, pictureOptions, png);
        if (!drawn.drawn) {
          std::cerr << path.toStdString() << ": cannot be drawn: " << drawn.error << '\n';
          exitCode = 1;
          return;
        }
        if (QString reason; !writeWhole(path, png, reason)) {
          std::cerr << path.toStdString() << ": cannot be written: " << reason.toStdString() << '\n';
          exitCode = 1;
          return;
        }
        if (!failed(paintStatus)) paintStatus = drawn.paintStatus;
        loaded.progress.counted(++done, total, "tiles written");
      }
    }
  }
  control.onTerminate();
  // The tiles' repaints have no line of the script.
  if (failed(paintStatus)) std::cerr << name << ": Error Reflash " << statusKind(paintStatus) << '\n';
  const bool anyFailed = loaded.failures.failures() > 0 || failed(paintStatus);
  exitCode = options.strict && anyFailed ? kExitMemberFailed : 0;
}

}  // namespace

void addTilesCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<TilesOptions>();
  CLI::App* cmd = app.add_subcommand("tiles", "Run a call script and write its picture as a pyramid of PNG tiles");
  addScriptArguments(*cmd, options->script, options->layout);
  cmd->add_option("-o,--output", options->output, "Folder of the tiles, written as Z/X/Y.png (made if missing)")
      ->required();
  cmd->add_option("--zoom", options->zooms,
                  "Zoom levels, LAST (from 0) or FIRST-LAST, up to 20: at zoom Z the picture is TILE * 2^Z pixels "
                  "square")
      ->type_name("[FIRST-]LAST")
      ->required();
  cmd->add_option("--tile", options->tile, "Side of a tile in pixels")
      ->check(CLI::Range(kSmallestTile, kLargestTile))
      ->capture_default_str();
  cmd->add_flag("--strict", options->strict, "Exit with status 3 when a member fails while the script runs");
  addPictureArguments(*cmd, options->picture);
  cmd->callback([options, &exitCode] {
    try {
      writeTiles(*options, exitCode);
    } catch (const std::bad_alloc&) {
      std::cerr << "trazo tiles: out of memory\n";
      exitCode = 1;
    }
  });
}

}  // namespace trazo::cli
