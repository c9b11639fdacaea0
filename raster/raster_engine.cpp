#include "raster/raster_engine.hpp"

#include <algorithm>
#include <cmath>
#include <new>

namespace trazo {
namespace {

// Below this many pixels of work a drawing is drawn in one band: threads would cost more
// than they save.
constexpr std::int64_t kThreadedWork = 1 << 20;
// Bands of about this many rows: a band's pixels then stay in a core's own cache while every
// command is drawn into it, which matters more than anything else for speed.
constexpr int kBandRows = 128;

std::int32_t pixelIndex(double v) { return static_cast<std::int32_t>(std::floor(v)); }

}  // namespace

RasterEngine::RasterEngine(BandRunner& runner) : runner_(&runner), bandRows_(kBandRows) {}

bool RasterEngine::resize(int width, int height) {
  if (width == picture_.width() && height == picture_.height()) return true;
  PixelBuffer fresh;
  if (!fresh.resize(width, height, {})) return false;
  fresh.fillRows(0, fresh.height(), lastFill_);
  picture_ = std::move(fresh);
  commands_.clear();
  work_ = 0;
  return true;
}

Status RasterEngine::fill(Rgb colour) {
  // Everything before a fill is covered by it.
  commands_.clear();
  work_ = 0;
  Command c{Command::Kind::fill, {}};
  c.as.fill = pixelOf(colour);
  lastFill_ = c.as.fill;
  return record(c, 0);
}

Status RasterEngine::record(const Command& c, std::int64_t work) {
  try {
    commands_.push_back(c);
  } catch (const std::bad_alloc&) {
    return status::outOfMemory;
  }
  work_ += work;
  return status::ok;
}

Status RasterEngine::line(const DeviceLine& l) {
  Command c{Command::Kind::line, {}};
  c.as.line = {pixelIndex(l.x1), pixelIndex(l.y1), pixelIndex(l.x2), pixelIndex(l.y2), pixelOf(l.colour), l.dash,
               l.phase};
  return record(c, lineWork(c.as.line));
}

Status RasterEngine::round(const DeviceRound& r) {
  Command c{Command::Kind::round, {}};
  c.as.round = {pixelIndex(r.cx),
                pixelIndex(r.cy),
                static_cast<std::int32_t>(std::floor(r.r + 0.5)),
                pixelOf(r.colour),
                r.dash,
                r.whole,
                static_cast<float>(r.start),
                static_cast<float>(r.span)};
  return record(c, roundWork(c.as.round));
}

int RasterEngine::workersFor(int bands) const {
  if (work_ < kThreadedWork) return 1;
  const int wanted = threads_ == 0 ? runner_->parallelism() : threads_;
  return std::clamp(wanted, 1, bands);
}

void RasterEngine::draw(const RasterBand& band) const {
  for (const Command& c : commands_) {
    switch (c.kind) {
      case Command::Kind::fill: band.picture->fillRows(band.top, band.bottom, c.as.fill); break;
      case Command::Kind::line: drawLine(band, c.as.line); break;
      case Command::Kind::round: drawRound(band, c.as.round); break;
    }
  }
}

const PixelBuffer& RasterEngine::picture() {
  if (commands_.empty()) return picture_;
  const int height = picture_.height();
  const int bands = std::max(1, (height + bandRows_ - 1) / bandRows_);
  const int rows = (height + bands - 1) / bands;
  const int workers = workersFor(bands);
  lastWorkers_ = workers;
  // Worker w draws bands w, w + workers, ...: neighbouring bands go to different cores.
  struct Work final : BandWork {
    const RasterEngine& engine;
    PixelBuffer& picture;
    int bands, rows, workers;
    Work(const RasterEngine& e, PixelBuffer& p, int b, int r, int w) : engine(e), picture(p), bands(b), rows(r), workers(w) {}
    void draw(int worker) override {
      for (int band = worker; band < bands; band += workers) {
        const int top = band * rows;
        engine.draw({&picture, top, std::min(picture.height(), top + rows)});
      }
    }
  } work(*this, picture_, bands, rows, workers);
  runner_->run(workers, work);
  commands_.clear();
  work_ = 0;
  return picture_;
}

}  // namespace trazo
