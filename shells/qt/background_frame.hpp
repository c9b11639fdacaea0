// A frame of P1 drawn on a thread of its own, so that a window showing a large drawing keeps
// answering input while the frame is drawn. The GUI thread hands over P1 as it stands (its
// device geometry and coordinate system), its size and the window to draw; the thread runs
// Reflash into a raster picture of its own and hands back the window's pixels and P1 as
// Reflash left it. Meanwhile the store is only read, and only by that thread: whoever is
// about to write to it calls cancel() first, which ends the walk early and waits.
//
// A frame that overlaps the last one of the same picture (a window panned across P1) keeps
// the pixels they share and draws only the rest, each part through the spatial index: the
// pixels of a window are those of the whole picture cut to it, so the frame is the same as
// one drawn whole, at the cost of what is new in it.
#pragma once

#include "control/trazo.hpp"
#include "picking/picker.hpp"
#include "raster/raster_surface.hpp"
#include "raster/raster_walk_split.hpp"
#include "render/reflash.hpp"
#include "shells/qt/picture_options.hpp"

#include <QImage>
#include <QObject>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

namespace trazo::qt {

// What a frame draws.
struct FrameOrder {
  DeviceSurface p1;           // P1's geometry, look and coordinate system as the frame starts
  int width = 0, height = 0;  // P1 in device pixels
  PixelWindow window;         // the part of P1 drawn
  PictureOptions options;
  std::uint64_t drawing = 0;  // which state of the drawing it shows (the asker's count)

  // Whether the frame serves a paint of `shown` (device pixels) of P1, now `width` x
  // `height` pixels at p1's resolution, with the drawing in state `drawingNow`.
  bool shows(std::uint64_t drawingNow, const DeviceSurface& p1Now, int widthNow, int heightNow,
             const PixelWindow& shown) const;
};

struct FinishedFrame {
  FrameOrder order;
  DeviceSurface p1;  // P1 as Reflash left it, with no back end
  QImage image;      // the window's pixels, texts drawn over them when the host shows them
  Status status = status::ok;
  std::int64_t keptPixels = 0;  // how many were taken from the frame before
};

class BackgroundFrame final : public QObject {
  Q_OBJECT

 public:
  explicit BackgroundFrame(Trazo& control);
  ~BackgroundFrame() override;

  // Whether a frame was started and not yet taken or cancelled.
  bool busy() const { return thread_.joinable(); }
  // Starts drawing `order`, keeping what it shares with `last` when that frame shows the same
  // picture; false when a frame is busy or no thread can be started.
  bool start(const FrameOrder& order, const FinishedFrame* last = nullptr);
  // Asks the busy frame to end early, without waiting; `finished` still comes.
  void stop() { stop_.store(true, std::memory_order_relaxed); }
  bool stopAsked() const { return stop_.load(std::memory_order_relaxed); }
  // Ends the busy frame early and waits for its thread; nothing of it is kept.
  void cancel();
  // Once `finished` has come: the frame, or nothing when it was stopped or failed to run.
  std::optional<FinishedFrame> take();
  // Swaps `picker` for the frame's, which has been told of the frame's picture and has its
  // index built on the frame's thread: picking then costs the GUI thread no index build.
  // Only once the frame is taken and shown.
  void handOverPicker(std::unique_ptr<Picker>& picker) { picker.swap(picker_); }
  // An image of a frame no longer shown, whose memory the next frame of its size fills
  // rather than new memory (which the system is slow to hand out). Not while busy.
  void recycle(QImage&& image) { spare_ = std::move(image); }
  // Gives back the indexes kept between frames when they are not for the store's drawing.
  void dropIndexUnlessFor(const Store& store);

 signals:
  // Raised on the object's own thread once the frame's thread is done.
  void finished();

 private:
  void draw();  // on the frame's thread
  // Reflash into `part` of P1, its walk shared from `splitFrom` entities on; false when
  // there is no memory for its pixels.
  bool drawPart(const PixelWindow& part, std::int32_t splitFrom, Status& status);
  // The frame from the kept pixels and the parts around them; false when a part could not
  // be drawn, which leaves the whole window to be drawn.
  bool drawAroundKept(const PixelWindow& kept, FinishedFrame& done);

  Trazo& control_;
  ShownEntities shown_;  // the spatial index, kept from one frame to the next
  std::unique_ptr<Picker> picker_;
  RasterSurface surface_;
  FrameOrder order_;
  std::optional<FinishedFrame> result_;
  QImage spare_;
  QImage kept_;  // the last frame's pixels, shared with the GUI thread, which only reads them
  PixelWindow keptWindow_;
  std::atomic<bool> stop_{false};
  std::unique_ptr<RasterWalkSplit> split_;  // shares a large frame's walk, stopping with it
  std::thread thread_;
};

}  // namespace trazo::qt
