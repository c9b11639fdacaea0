// The raster back end: what the device geometry hands it is kept in a compact list and
// drawn into a 32-bit pixel buffer when the picture is asked for, aliased (the classic
// picture) or antialiased. The picture is drawn in
// horizontal bands, each band walking in order every command that reaches its rows, clipped
// to them, so the pixels are the same however the bands are shared out; a large drawing
// shares them among threads on all cores, a small one draws them on the caller's thread.
//
// The buffer may cover only a window of the device picture (the part of a large picture a
// window shows): what is handed over is in pixels of the whole picture, whatever misses the
// window is dropped, and the pixels are those of the whole picture cut to the window.
#pragma once

#include "device/device_engine.hpp"
#include "raster/band_runner.hpp"
#include "raster/cover_tiles_shelf.hpp"
#include "raster/joined_list.hpp"
#include "raster/line_raster.hpp"
#include "raster/pixel_buffer.hpp"
#include "raster/round_raster.hpp"
#include "raster/wide_raster.hpp"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace trazo {

// The part of the device picture a buffer covers, in device pixels.
struct PixelWindow {
  int left = 0, top = 0, width = 0, height = 0;
};

class RasterEngine final : public DeviceEngine {
 public:
  explicit RasterEngine(BandRunner& runner = standardBandRunner());

  // A picture of this many pixels, all in the last fill colour (black at first); false,
  // keeping the old picture, when there is no memory for it.
  bool resize(int width, int height) { return setWindow({0, 0, width, height}); }
  // A buffer for `window` of the device picture, as resize otherwise.
  bool setWindow(const PixelWindow& window);
  const PixelWindow& window() const { return window_; }
  // How many bands may be drawn side by side: 0 as many as the machine has cores, 1 none.
  void setThreads(int count) { threads_ = count < 0 ? 0 : count; }
  int threads() const { return threads_; }
  // Rows per band, rounded up to a power of two; the pixels never depend on it, only the
  // speed does. Takes effect with the next picture size or the next fill, as does a change
  // of threads while it is left to the engine (0, at first: by the threads it draws on).
  void setBandRows(int rows) { bandRows_ = rows < 0 ? 0 : rows; }
  // Whether a dense picture of classic pens is drawn from its last command back, passing
  // over commands wholly hidden by later ones; on at first. The pixels never depend on it.
  void setPassOverHidden(bool on) { passOverHidden_ = on; }
  // How many commands are held at most: when a picture has more, those held are drawn into it
  // and let go, and recording goes on, so that a drawing of any size needs memory for this
  // many commands only. The pixels never depend on it; a picture drawn in several goes is
  // drawn in order after the first, never backwards.
  void setCommandsHeld(std::size_t most) { commandsHeld_ = most < 1 ? 1 : most; }
  std::size_t commandsHeld() const { return commandsHeld_; }
  // Antialiased lines, circles and arcs (smooth_line.hpp, smooth_round.hpp, smooth_wide.hpp)
  // in place of the aliased ones, from the next picture on; off at first.
  void setAntialias(bool on) { antialias_ = on; }
  bool antialias() const { return antialias_; }

  Status fill(Rgb colour) override;
  Status line(const DeviceLine& line) override;
  Status round(const DeviceRound& round) override;
  bool keptWindow(double& left, double& top, double& width, double& height) const override {
    left = window_.left;
    top = window_.top;
    width = window_.width;
    height = window_.height;
    return true;
  }

  // Records for the same window and bands as `other`, with nothing recorded yet: a second
  // engine that takes part of a picture's commands, to be appended to `other` after its
  // own. It holds every command it is handed, having no picture of its own to draw them
  // into. False, recording nothing, when there is no memory for it.
  bool recordLike(const RasterEngine& other);
  // Appends what `other`, recording like this engine, has recorded after everything this
  // one has, as this engine would have recorded it, and leaves `other` with nothing; out of
  // memory, nothing changes. The first append after a fill takes `other`'s command list over
  // without copying it, and hands it this engine's spare one in exchange.
  Status append(RasterEngine& other);
  // Room for `count` more commands (never more than are held), so that a long recording does
  // not move its list while it grows; without the memory, nothing changes.
  void expect(std::size_t count);

  // Draws what was handed over since the last call and returns the picture, which the host
  // may draw over before it shows it.
  PixelBuffer& picture();
  // How many threads the last drawing was shared among.
  int lastWorkers() const { return lastWorkers_; }
  // How many of its bands the last drawing drew from the last command back.
  int lastBackwardsBands() const { return backwardsBands_.load(std::memory_order_relaxed); }

 private:
  struct Command {
    enum class Kind : std::uint8_t { fill, line, round, styled } kind;
    union {
      std::uint32_t fill;
      RasterLine line;
      RasterRound round;
      std::uint32_t styled;  // its number in styled_
    } as;
  };
  // A line or an outline of a pen other than the classic one pixel: one pixel wide with a
  // scaled pattern, or wide. Kept apart so that the classic commands stay small.
  struct Styled {
    enum class Kind : std::uint8_t { line, round, wideLine, wideRound } kind;
    const DashTable* dash;  // none for solid
    union {
      RasterLine line;
      RasterRound round;
      WideLine wideLine;
      WideRound wideRound;
    } as;
  };
  // A command's place in a band's list: its number, and the tiles of the band it may reach
  // (cover_tiles.hpp), so that a band drawn backwards reads only the commands that can
  // still show.
  struct BandEntry {
    std::uint32_t number;
    TileBox box;
  };
  // A command's bounds in pixels of the buffer, all four included.
  struct Reach {
    std::int64_t left, top, right, bottom;
  };
  static Reach reachOf(const Command& c);
  // Keeps `c`, which may reach the rows `top` to `bottom` (both included), in the list of
  // every band those rows meet.
  Status record(const Command& c, std::int64_t top, std::int64_t bottom, std::int64_t work);
  // Draws the commands held into the picture and lets them go, once as many as may be held
  // are; before anything of a new command is kept.
  void makeRoom();
  void drawHeld();
  Status recordStyled(const Styled& s, std::int64_t top, std::int64_t bottom, std::int64_t work);
  // The pattern scaled by `unit`, made once; none when there is no memory for it.
  const DashTable* dashTable(DashPattern pattern, double unit);
  Status wideLine(const DeviceLine& line);
  Status wideRound(const DeviceRound& round);
  void forget();
  bool layBands();
  int rowsPerBand() const;
  void draw(int band) const;
  bool drawBackwards(const RasterBand& rows, const std::vector<BandEntry>& entries, CoverTiles& tiles) const;
  void drawStyled(const RasterBand& rows, const Styled& styled) const;
  void drawSmooth(const RasterBand& rows, const Command& command) const;
  int workersFor() const;
  std::int64_t workInPicture(std::int64_t ringWork) const;

  BandRunner* runner_;
  int threads_ = 0;
  int bandRows_ = 0;  // 0: rowsPerBand() chooses
  bool antialias_ = false;
  bool passOverHidden_ = true;
  std::size_t commandsHeld_;
  PixelBuffer picture_;
  PixelWindow window_;
  std::uint32_t lastFill_ = pixelOf({});
  JoinedList<Command> commands_;
  std::vector<Styled> styled_;
  std::vector<std::unique_ptr<DashTable>> dashTables_;
  // For each band, the commands that reach it, in order.
  std::vector<std::vector<BandEntry>> bands_;
  // For each band, whether a styled command reaches it: such a band is drawn in order.
  std::vector<std::uint8_t> bandStyled_;
  int bandShift_ = 0;  // a band is 2^bandShift_ rows
  int laidFor_ = 0;    // the rows per band the bands were laid out for
  std::int64_t work_ = 0;
  int lastWorkers_ = 1;
  mutable CoverTilesShelf tiles_;  // for the bands drawn backwards
  mutable std::atomic<int> backwardsBands_{0};
};

}  // namespace trazo
