#include "raster/raster_engine.hpp"

#include "base/prefetch.hpp"

#include "raster/cover_tiles.hpp"
#include "raster/dash_mask.hpp"
#include "raster/smooth_line.hpp"
#include "raster/smooth_round.hpp"
#include "raster/smooth_wide.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace trazo {
namespace {

// Below this many pixels of work a drawing is drawn in one band: threads would cost more
// than they save.
constexpr std::int64_t kThreadedWork = 1 << 20;
// Bands of about this many rows: a band's pixels then stay in a core's own cache while every
// command is drawn into it, which matters more than anything else for speed. Drawn on one
// thread, bands twice as tall still fit, and fewer commands are cut at a band's edge and
// set up again in the next; shared among threads, the shorter ones keep every core busy to
// the end of a picture about as tall as a screen.
constexpr int kBandRows = 128;
constexpr int kOneThreadBandRows = 256;
// From this much work per pixel of the picture on, the classic commands are drawn from the
// last back to the first, passing over those that can no longer show: a dense drawing then
// costs about what is seen of it.
constexpr std::int64_t kBackwardsWorkPerPixel = 2;
// Commands held before they are drawn (setCommandsHeld): in a 32-bit process a list of 128
// MiB, which its address space still finds room for beside tens of millions of entities'
// records; a 64-bit one holds far more, and the numbers in a band's list never overflow.
constexpr std::size_t kCommandsHeld = sizeof(void*) < 8 ? std::size_t{1} << 22 : std::size_t{1} << 27;
// How many commands ahead an antialiased band asks for.
constexpr std::size_t kSmoothReadAhead = 16;

// The pixel a device coordinate falls in: rounded down. Coordinates reach here cut to the
// picture and a small margin, well inside the range of int.
std::int32_t pixelIndex(double v) {
  const auto truncated = static_cast<std::int32_t>(v);
  return truncated - static_cast<std::int32_t>(v < truncated);
}

}  // namespace

// The pixels a classic line or ring may take; nothing for the other commands, which a band
// drawn backwards never asks about.
inline RasterEngine::Reach RasterEngine::reachOf(const Command& c) {
  if (c.kind == Command::Kind::line) {
    const RasterLine& l = c.as.line;
    return {std::min(l.x1, l.x2), std::min(l.y1, l.y2), std::max(l.x1, l.x2), std::max(l.y1, l.y2)};
  }
  if (c.kind == Command::Kind::round) {
    const RasterRound& r = c.as.round;
    return {std::int64_t{r.cx} - r.r, std::int64_t{r.cy} - r.r, std::int64_t{r.cx} + r.r, std::int64_t{r.cy} + r.r};
  }
  return {0, 0, -1, -1};
}

RasterEngine::RasterEngine(BandRunner& runner) : runner_(&runner), commandsHeld_(kCommandsHeld) { (void)layBands(); }

bool RasterEngine::setWindow(const PixelWindow& window) {
  if (window.width == picture_.width() && window.height == picture_.height()) {
    if (window.left != window_.left || window.top != window_.top) forget();
    window_ = {window.left, window.top, picture_.width(), picture_.height()};
    return true;
  }
  PixelBuffer fresh;
  if (!fresh.resizeFilled(window.width, window.height, lastFill_)) return false;
  const PixelBuffer old = std::move(picture_);
  picture_ = std::move(fresh);
  forget();
  if (!layBands()) {
    picture_ = old;
    (void)layBands();
    return false;
  }
  window_ = {window.left, window.top, picture_.width(), picture_.height()};
  return true;
}

void RasterEngine::forget() {
  commands_.clear();
  styled_.clear();
  for (auto& band : bands_) band.clear();
  std::fill(bandStyled_.begin(), bandStyled_.end(), std::uint8_t{0});
  work_ = 0;
}

int RasterEngine::rowsPerBand() const {
  if (bandRows_ > 0) return bandRows_;
  return threads_ == 1 || runner_->parallelism() <= 1 ? kOneThreadBandRows : kBandRows;
}

// Bands of rowsPerBand() rounded up to a power of two, all of one height but the last: a
// row's band is then a shift away, for every command recorded.
bool RasterEngine::layBands() {
  const int height = std::max(picture_.height(), 1);
  const int rows = rowsPerBand();
  int shift = 0;
  while ((1 << shift) < rows && shift < 24) ++shift;
  const int count = (height + (1 << shift) - 1) >> shift;
  try {
    // The flags first: never fewer of them than bands, whichever fails.
    bandStyled_.resize(static_cast<std::size_t>(count));
    bands_.resize(static_cast<std::size_t>(count));
  } catch (const std::bad_alloc&) {
    return false;
  }
  bandShift_ = shift;
  laidFor_ = rows;
  return true;
}

Status RasterEngine::fill(Rgb colour) {
  // Everything before a fill is covered by it.
  forget();
  if (rowsPerBand() != laidFor_ && !layBands()) return status::outOfMemory;
  Command c{Command::Kind::fill, {}};
  c.as.fill = pixelOf(colour);
  lastFill_ = c.as.fill;
  return record(c, 0, picture_.height() - 1, 0);
}

Status RasterEngine::record(const Command& c, std::int64_t top, std::int64_t bottom, std::int64_t work) {
  // What lies wholly above or below the picture is not kept at all.
  top = std::max<std::int64_t>(top, 0);
  bottom = std::min<std::int64_t>(bottom, picture_.height() - 1);
  if (top > bottom) return status::ok;
  makeRoom();
  const auto number = static_cast<std::uint32_t>(commands_.size());
  const auto first = static_cast<std::size_t>(top >> bandShift_), last = static_cast<std::size_t>(bottom >> bandShift_);
  const Reach reach = reachOf(c);
  try {
    commands_.push_back(c);
    for (std::size_t band = first; band <= last; ++band) {
      const auto bandTop = static_cast<int>(band << bandShift_);
      const int bandBottom = std::min(picture_.height(), bandTop + (1 << bandShift_));
      bands_[band].push_back(
          {number, CoverTiles::boxOf(reach.left, top, reach.right, bottom, bandTop, bandBottom, picture_.width())});
    }
  } catch (const std::bad_alloc&) {
    // Leave no band holding the number of a command that is not kept.
    for (std::size_t band = first; band <= last && !bands_[band].empty() && bands_[band].back().number == number;
         ++band)
      bands_[band].pop_back();
    if (commands_.size() > number) commands_.pop_back();
    return status::outOfMemory;
  }
  work_ += work;
  return status::ok;
}

// The classic one-pixel pen, and a one-pixel pen whose pattern is that pen's (solid, or a
// unit of one), take the compact path; the pixels are those of the whole picture, moved by
// the window's corner.
Status RasterEngine::line(const DeviceLine& l) {
  if (l.pen.wide()) return wideLine(l);
  Command c{Command::Kind::line, {}};
  RasterLine& r = c.as.line;
  r = {pixelIndex(l.x1) - window_.left,
       pixelIndex(l.y1) - window_.top,
       pixelIndex(l.x2) - window_.left,
       pixelIndex(l.y2) - window_.top,
       pixelOf(l.colour),
       l.dash,
       static_cast<int>(l.phase)};
  if (std::max(r.x1, r.x2) < 0 || std::min(r.x1, r.x2) >= picture_.width()) return status::ok;
  if (l.dash == DashPattern::solid || l.pen.dashUnit == 1)
    return record(c, std::min(r.y1, r.y2), std::max(r.y1, r.y2), lineWork(r));
  Styled styled{Styled::Kind::line, dashTable(l.dash, l.pen.dashUnit), {}};
  if (styled.dash == nullptr) return status::outOfMemory;
  styled.as.line = r;
  return recordStyled(styled, std::min(r.y1, r.y2), std::max(r.y1, r.y2), lineWork(r));
}

Status RasterEngine::round(const DeviceRound& d) {
  if (d.pen.wide()) return wideRound(d);
  Command c{Command::Kind::round, {}};
  RasterRound& r = c.as.round;
  r = {pixelIndex(d.cx) - window_.left,
       pixelIndex(d.cy) - window_.top,
       static_cast<std::int32_t>(std::floor(d.r + 0.5)),
       pixelOf(d.colour),
       d.dash,
       d.whole,
       static_cast<float>(d.start),
       static_cast<float>(d.span)};
  if (std::int64_t{r.cx} + r.r < 0 || std::int64_t{r.cx} - r.r >= picture_.width()) return status::ok;
  if (d.dash == DashPattern::solid || d.pen.dashUnit == 1)
    return record(c, std::int64_t{r.cy} - r.r, std::int64_t{r.cy} + r.r, workInPicture(roundWork(r)));
  Styled styled{Styled::Kind::round, dashTable(d.dash, d.pen.dashUnit), {}};
  if (styled.dash == nullptr) return status::outOfMemory;
  styled.as.round = r;
  return recordStyled(styled, std::int64_t{r.cy} - r.r, std::int64_t{r.cy} + r.r, workInPicture(roundWork(r)));
}

Status RasterEngine::wideLine(const DeviceLine& l) {
  Styled styled{Styled::Kind::wideLine, nullptr, {}};
  if (l.dash != DashPattern::solid && (styled.dash = dashTable(l.dash, l.pen.dashUnit)) == nullptr)
    return status::outOfMemory;
  const WideLine w{l.x1, l.y1, l.x2, l.y2, l.pen.width / 2, l.phase, pixelOf(l.colour)};
  const double reach = w.halfWidth + 1;
  if (std::max(w.x1, w.x2) + reach < window_.left || std::min(w.x1, w.x2) - reach > window_.left + window_.width)
    return status::ok;
  styled.as.wideLine = w;
  double first = 0, last = 0;
  wideLineRows(w, first, last);
  const double length = std::hypot(w.x2 - w.x1, w.y2 - w.y1);
  return recordStyled(styled, static_cast<std::int64_t>(std::floor(first)) - window_.top,
                      static_cast<std::int64_t>(std::ceil(last)) - window_.top,
                      static_cast<std::int64_t>((length + 1) * (l.pen.width + 1)));
}

Status RasterEngine::wideRound(const DeviceRound& d) {
  Styled styled{Styled::Kind::wideRound, nullptr, {}};
  if (d.dash != DashPattern::solid && (styled.dash = dashTable(d.dash, d.pen.dashUnit)) == nullptr)
    return status::outOfMemory;
  const WideRound w{d.cx, d.cy, d.r, d.pen.width / 2, pixelOf(d.colour), d.whole, d.start, d.span};
  const double reach = w.r + w.halfWidth + 1;
  if (w.cx + reach < window_.left || w.cx - reach > window_.left + window_.width) return status::ok;
  styled.as.wideRound = w;
  double first = 0, last = 0;
  wideRoundRows(w, first, last);
  return recordStyled(styled, static_cast<std::int64_t>(std::floor(first)) - window_.top,
                      static_cast<std::int64_t>(std::ceil(last)) - window_.top,
                      static_cast<std::int64_t>(7 * (w.r + 1) * (d.pen.width + 1)));
}

const DashTable* RasterEngine::dashTable(DashPattern pattern, double unit) {
  for (const auto& table : dashTables_) {
    if (table->pattern == pattern && table->unit == unit) return table.get();
  }
  try {
    dashTables_.push_back(std::make_unique<DashTable>(makeDashTable(pattern, unit)));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return dashTables_.back().get();
}

Status RasterEngine::recordStyled(const Styled& styled, std::int64_t top, std::int64_t bottom, std::int64_t work) {
  if (std::max<std::int64_t>(top, 0) > std::min<std::int64_t>(bottom, picture_.height() - 1)) return status::ok;
  makeRoom();  // before the styled list takes it: drawing the held commands empties that too
  Command c{Command::Kind::styled, {}};
  c.as.styled = static_cast<std::uint32_t>(styled_.size());
  try {
    styled_.push_back(styled);
  } catch (const std::bad_alloc&) {
    return status::outOfMemory;
  }
  const Status s = record(c, top, bottom, work);
  if (failed(s)) {
    styled_.pop_back();
    return s;
  }
  // Only the bands it reaches lose the backwards walk, which draws the classic pens alone.
  const auto first = static_cast<std::size_t>(std::max<std::int64_t>(top, 0) >> bandShift_);
  const auto last = static_cast<std::size_t>(std::min<std::int64_t>(bottom, picture_.height() - 1) >> bandShift_);
  std::fill(bandStyled_.begin() + static_cast<std::ptrdiff_t>(first),
            bandStyled_.begin() + static_cast<std::ptrdiff_t>(last) + 1, std::uint8_t{1});
  return s;
}

// A ring meets the picture in at most eight pieces, each moving one pixel a step along one
// axis, so a ring far larger than the picture costs no more than its edges.
std::int64_t RasterEngine::workInPicture(std::int64_t ringWork) const {
  return std::min(ringWork, 8 * (std::int64_t{picture_.width()} + picture_.height()));
}

bool RasterEngine::recordLike(const RasterEngine& other) {
  bandRows_ = other.laidFor_;
  commandsHeld_ = std::numeric_limits<std::size_t>::max();
  if (!setWindow(other.window_)) return false;
  forget();
  return laidFor_ == bandRows_ || layBands();
}

void RasterEngine::expect(std::size_t count) {
  try {
    commands_.reserve(std::min(commands_.size() + count, commandsHeld_));
    // And each band room for twice its even share: a list that grows by doubling writes
    // about twice its size in fresh memory on the way, and fresh memory costs more than
    // filling it.
    const std::size_t share = std::min(count, commandsHeld_) / bands_.size() * 2;
    for (std::vector<BandEntry>& entries : bands_) entries.reserve(entries.size() + share);
  } catch (const std::bad_alloc&) {
    // The lists grow as they need instead.
  }
}

Status RasterEngine::append(RasterEngine& other) {
  if (other.bandShift_ != bandShift_ || other.bands_.size() != bands_.size() ||
      other.picture_.height() != picture_.height())
    return status::unexpected;
  const auto base = static_cast<std::uint32_t>(commands_.size());
  const auto styledBase = static_cast<std::uint32_t>(styled_.size());
  // Everything that can fail first: the room, and this engine's own dash tables.
  std::vector<Styled> styled;
  try {
    styled = other.styled_;
    for (Styled& s : styled) {
      if (s.dash != nullptr && (s.dash = dashTable(s.dash->pattern, s.dash->unit)) == nullptr)
        return status::outOfMemory;
    }
    if (!commands_.joinsWithoutCopy(other.commands_)) commands_.reserve(commands_.size() + other.commands_.size());
    styled_.reserve(styled_.size() + styled.size());
    for (std::size_t band = 0; band < bands_.size(); ++band)
      bands_[band].reserve(bands_[band].size() + other.bands_[band].size());
  } catch (const std::bad_alloc&) {
    return status::outOfMemory;
  }
  const std::size_t from = commands_.join(other.commands_);
  if (styledBase != 0) {
    for (std::size_t n = from; n < commands_.size(); ++n) {
      if (commands_[n].kind == Command::Kind::styled) commands_[n].as.styled += styledBase;
    }
  }
  styled_.insert(styled_.end(), styled.begin(), styled.end());
  // The bands' entries are copied side by side, each band's into the room made above.
  struct Copy final : BandWork {
    RasterEngine& to;
    const RasterEngine& from;
    std::uint32_t base;
    Copy(RasterEngine& t, const RasterEngine& f, std::uint32_t b) : to(t), from(f), base(b) {}
    void draw(int band) override {
      const auto b = static_cast<std::size_t>(band);
      std::vector<BandEntry>& entries = to.bands_[b];
      const std::vector<BandEntry>& more = from.bands_[b];
      const std::size_t at = entries.size();
      entries.resize(at + more.size());
      for (std::size_t n = 0; n < more.size(); ++n) entries[at + n] = {base + more[n].number, more[n].box};
      to.bandStyled_[b] |= from.bandStyled_[b];
    }
  } copy(*this, other, base);
  (void)runner_->run(static_cast<int>(bands_.size()), workersFor(), copy);
  work_ += other.work_;
  other.forget();
  return status::ok;
}

int RasterEngine::workersFor() const {
  if (work_ < kThreadedWork) return 1;
  const int wanted = threads_ == 0 ? runner_->parallelism() : threads_;
  return std::clamp(wanted, 1, static_cast<int>(bands_.size()));
}

void RasterEngine::drawStyled(const RasterBand& rows, const Styled& s) const {
  switch (s.kind) {
    case Styled::Kind::line: drawLine(rows, s.as.line, *s.dash); break;
    case Styled::Kind::round: drawRound(rows, s.as.round, *s.dash); break;
    case Styled::Kind::wideLine: drawWideLine(rows, window_.left, window_.top, s.as.wideLine, s.dash); break;
    case Styled::Kind::wideRound: drawWideRound(rows, window_.left, window_.top, s.as.wideRound, s.dash); break;
  }
}

// The same commands in the same bands, each shape drawn by its antialiased walk.
void RasterEngine::drawSmooth(const RasterBand& rows, const Command& c) const {
  switch (c.kind) {
    case Command::Kind::fill: rows.picture->fillRows(rows.top, rows.bottom, c.as.fill); break;
    case Command::Kind::line: drawSmoothLine(rows, c.as.line); break;
    case Command::Kind::round: drawSmoothRound(rows, c.as.round); break;
    case Command::Kind::styled: {
      const Styled& s = styled_[c.as.styled];
      switch (s.kind) {
        case Styled::Kind::line: drawSmoothLine(rows, s.as.line, *s.dash); break;
        case Styled::Kind::round: drawSmoothRound(rows, s.as.round, *s.dash); break;
        case Styled::Kind::wideLine: drawSmoothWideLine(rows, window_.left, window_.top, s.as.wideLine, s.dash); break;
        case Styled::Kind::wideRound:
          drawSmoothWideRound(rows, window_.left, window_.top, s.as.wideRound, s.dash);
          break;
      }
      break;
    }
  }
}

// Only where the band begins with a fill (every pixel gets a colour) and every command in it
// has the classic pen (draw() asks): then a pixel's colour is that of the last command to
// reach it, which is the first one drawn backwards.
bool RasterEngine::drawBackwards(const RasterBand& rows, const std::vector<BandEntry>& entries,
                                 CoverTiles& tiles) const {
  if (entries.empty() || commands_[entries.front().number].kind != Command::Kind::fill) return false;
  if (!tiles.reset(rows)) return false;
  rows.picture->fillRows(rows.top, rows.bottom, 0);
  for (std::size_t n = entries.size(); n-- > 1;) {
    // Most commands of a dense picture lie where everything is drawn already: asking the
    // tiles first leaves those unread.
    const TileBox box = entries[n].box;
    if (box != kNoTileBox && tiles.covered(box)) continue;
    const Command& c = commands_[entries[n].number];
    if (box == kNoTileBox) {
      const Reach reach = reachOf(c);
      if (tiles.covered(reach.left, reach.top, reach.right, reach.bottom)) continue;
    }
    if (c.kind == Command::Kind::line) drawLineUnder(rows, c.as.line);
    if (c.kind == Command::Kind::round) drawRoundUnder(rows, c.as.round);
  }
  const std::uint32_t fill = commands_[entries.front().number].as.fill;
  for (std::uint32_t *p = rows.picture->row(rows.top), *end = rows.picture->row(rows.bottom); p != end; ++p)
    *p = Under::put(*p, fill, ~0u);
  return true;
}

void RasterEngine::draw(int band) const {
  const int top = band << bandShift_;
  const RasterBand rows{const_cast<PixelBuffer*>(&picture_), top, std::min(picture_.height(), top + (1 << bandShift_))};
  const std::vector<BandEntry>& entries = bands_[static_cast<std::size_t>(band)];
  if (antialias_) {
    // The band's commands lie scattered through the list, and each blends for long enough
    // that asking for those a few steps on hides the wait for them. A command may straddle
    // two cache lines (the list is not aligned to them): both ends are asked for.
    for (std::size_t n = 0; n < entries.size(); ++n) {
      if (n + kSmoothReadAhead < entries.size()) {
        const Command* const ahead = &commands_[entries[n + kSmoothReadAhead].number];
        prefetchForRead(ahead);
        prefetchForRead(reinterpret_cast<const char*>(ahead + 1) - 1);
      }
      drawSmooth(rows, commands_[entries[n].number]);
    }
    return;
  }
  if (passOverHidden_ && bandStyled_[static_cast<std::size_t>(band)] == 0 &&
      work_ >= kBackwardsWorkPerPixel * picture_.width() * std::int64_t{picture_.height()}) {
    if (CoverTiles* const tiles = tiles_.take()) {
      const bool drawn = drawBackwards(rows, entries, *tiles);
      tiles_.give(tiles);
      if (drawn) {
        backwardsBands_.fetch_add(1, std::memory_order_relaxed);
        return;
      }
    }
  }
  for (const BandEntry& entry : entries) {
    const Command& c = commands_[entry.number];
    switch (c.kind) {
      case Command::Kind::fill: rows.picture->fillRows(rows.top, rows.bottom, c.as.fill); break;
      case Command::Kind::line: drawLine(rows, c.as.line); break;
      case Command::Kind::round: drawRound(rows, c.as.round); break;
      case Command::Kind::styled: drawStyled(rows, styled_[c.as.styled]); break;
    }
  }
}

void RasterEngine::makeRoom() {
  if (commands_.size() >= commandsHeld_) drawHeld();
}

PixelBuffer& RasterEngine::picture() {
  if (!commands_.empty()) drawHeld();
  return picture_;
}

void RasterEngine::drawHeld() {
  // Each thread takes the next band not yet taken: bands differ in cost (the margins hold
  // little), so taking them in turn keeps every core busy to the end.
  struct Work final : BandWork {
    const RasterEngine& engine;
    explicit Work(const RasterEngine& e) : engine(e) {}
    void draw(int band) override { engine.draw(band); }
  } work(*this);
  const int workers = workersFor();
  backwardsBands_.store(0, std::memory_order_relaxed);
  // A set of tiles for each band drawn at the same time; without the memory, the bands
  // that find none are drawn in order.
  if (passOverHidden_ && !antialias_) (void)tiles_.hold(workers);
  lastWorkers_ = runner_->run(static_cast<int>(bands_.size()), workers, work);
  forget();
}

}  // namespace trazo
