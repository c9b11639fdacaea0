#include "shells/qt/background_frame.hpp"

#include "shells/qt/entity_texts.hpp"
#include "shells/qt/picture_look.hpp"

#include <QMetaObject>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <new>
#include <system_error>

namespace trazo::qt {

bool FrameOrder::shows(std::uint64_t drawingNow, const DeviceSurface& p1Now, int widthNow, int heightNow,
                       const PixelWindow& shown) const {
  const bool inside = shown.left >= window.left && shown.top >= window.top &&
                      shown.left + shown.width <= window.left + window.width &&
                      shown.top + shown.height <= window.top + window.height;
  return drawing == drawingNow && width == widthNow && height == heightNow && p1.dpiX() == p1Now.dpiX() &&
         p1.dpiY() == p1Now.dpiY() && inside;
}

namespace {

// The raster back end, until the frame is asked to end: from then on every shape fails, and
// Reflash, which stops at the first failure, ends at once.
class StoppableEngine final : public DeviceEngine {
 public:
  StoppableEngine(DeviceEngine& inner, const std::atomic<bool>& stop) : inner_(inner), stop_(stop) {}
  Status fill(Rgb colour) override { return stopped() ? status::unexpected : inner_.fill(colour); }
  Status line(const DeviceLine& line) override { return stopped() ? status::unexpected : inner_.line(line); }
  Status round(const DeviceRound& round) override { return stopped() ? status::unexpected : inner_.round(round); }
  bool keptWindow(double& left, double& top, double& width, double& height) const override {
    return inner_.keptWindow(left, top, width, height);
  }

 private:
  bool stopped() const { return stop_.load(std::memory_order_relaxed); }
  DeviceEngine& inner_;
  const std::atomic<bool>& stop_;
};

// The parts around a panned window's kept pixels share their walks from this many entities
// on, far fewer than a whole picture does: in a large drawing each part meets tens of
// thousands of entities, and the second core, which the GUI thread leaves idle while it
// waits, halves their walk at little cost for the few bands a part has.
constexpr std::int32_t kPartSplitFrom = 4096;

// The split of a frame's walk whose second picture stops with the frame, as the first does.
class StoppableSplit final : public RasterWalkSplit {
 public:
  explicit StoppableSplit(const std::atomic<bool>& stop) : stop_(stop) {}

 private:
  DeviceEngine& frontOf(RasterEngine& second) override { return front_.emplace(second, stop_); }
  const std::atomic<bool>& stop_;
  std::optional<StoppableEngine> front_;
};

// The part two windows share; none (no width) when they do not meet.
PixelWindow overlapOf(const PixelWindow& a, const PixelWindow& b) {
  const int left = std::max(a.left, b.left), top = std::max(a.top, b.top);
  const int right = std::min(a.left + a.width, b.left + b.width);
  const int bottom = std::min(a.top + a.height, b.top + b.height);
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

// `window` less `kept`, which lies within it: the rows above and below it, whole, and the
// columns to its left and right on its rows.
std::array<PixelWindow, 4> partsAround(const PixelWindow& window, const PixelWindow& kept) {
  const int keptRight = kept.left + kept.width, keptBottom = kept.top + kept.height;
  return {{{window.left, window.top, window.width, kept.top - window.top},
           {window.left, keptBottom, window.width, window.top + window.height - keptBottom},
           {window.left, kept.top, kept.left - window.left, kept.height},
           {keptRight, kept.top, window.left + window.width - keptRight, kept.height}}};
}

// The pixels of `part` from `from` (rows `fromStride` bytes apart, holding `fromWindow` of
// P1) into `to`, which holds `toWindow`.
void copyPixels(QImage& to, const PixelWindow& toWindow, const uchar* from, qsizetype fromStride,
                const PixelWindow& fromWindow, const PixelWindow& part) {
  const auto rowBytes = static_cast<std::size_t>(part.width) * 4;
  for (int y = part.top; y < part.top + part.height; ++y) {
    std::memcpy(to.scanLine(y - toWindow.top) + std::ptrdiff_t{part.left - toWindow.left} * 4,
                from + (y - fromWindow.top) * fromStride + std::ptrdiff_t{part.left - fromWindow.left} * 4, rowBytes);
  }
}

// An image of `width` x `height` pixels, in `spare`'s memory when it has that size; null
// without the memory.
QImage imageSized(int width, int height, QImage&& spare) {
  if (spare.size() == QSize(width, height) && spare.format() == QImage::Format_RGB32) return std::move(spare);
  return QImage(width, height, QImage::Format_RGB32);
}

// The raster's pixels of `part` of P1 into `to`, which holds `toWindow`.
void copyPicture(QImage& to, const PixelWindow& toWindow, const PixelBuffer& pixels, const PixelWindow& part) {
  copyPixels(to, toWindow, reinterpret_cast<const uchar*>(pixels.data()), static_cast<qsizetype>(pixels.width()) * 4,
             part, part);
}

}  // namespace

BackgroundFrame::BackgroundFrame(Trazo& control)
    : control_(control), picker_(std::make_unique<Picker>()), split_(std::make_unique<StoppableSplit>(stop_)) {}

BackgroundFrame::~BackgroundFrame() { cancel(); }

bool BackgroundFrame::start(const FrameOrder& order, const FinishedFrame* last) {
  if (busy()) return false;
  try {
    order_ = order;
    kept_ = QImage();
    if (last != nullptr && !failed(last->status) && last->image.format() == QImage::Format_RGB32 &&
        last->image.size() == QSize(last->order.window.width, last->order.window.height)) {
      const PixelWindow shared = overlapOf(last->order.window, order.window);
      if (shared.width > 0 && last->order.shows(order.drawing, order.p1, order.width, order.height, shared)) {
        kept_ = last->image;
        keptWindow_ = last->order.window;
      }
    }
    result_.reset();
    stop_.store(false, std::memory_order_relaxed);
    thread_ = std::thread([this] { draw(); });
  } catch (const std::bad_alloc&) {
    kept_ = QImage();
    return false;
  } catch (const std::system_error&) {
    kept_ = QImage();
    return false;
  }
  return true;
}

void BackgroundFrame::cancel() {
  if (!busy()) return;
  stop();
  thread_.join();
  result_.reset();
}

std::optional<FinishedFrame> BackgroundFrame::take() {
  if (busy()) thread_.join();
  std::optional<FinishedFrame> taken = std::move(result_);
  result_.reset();
  return taken;
}

void BackgroundFrame::dropIndexUnlessFor(const Store& store) {
  if (busy()) return;
  if (!shown_.index.covers(store)) {
    shown_.index.clear();
    shown_.found = {};
  }
  if (!picker_->ready(store)) picker_->forget();
}

bool BackgroundFrame::drawPart(const PixelWindow& part, std::int32_t splitFrom, Status& status) {
  // P1 as the GUI thread left it, drawn by this frame's own raster.
  static_cast<DeviceSurface&>(surface_) = order_.p1;
  if (!surface_.setPixelWindow(order_.width, order_.height, part, order_.p1.dpiX(), order_.p1.dpiY())) return false;
  surface_.raster().setThreads(order_.options.threads);
  surface_.setAntialias(order_.options.antialias);
  StoppableEngine engine(surface_.raster(), stop_);
  surface_.setEngine(&engine);
  EntityTexts texts(control_.store(), surface_);
  split_->use(surface_, surface_.raster());
  split_->setSplitFrom(splitFrom);
  status = control_.reflashAside(surface_, order_.options.texts ? &texts : nullptr, shown_, split_.get());
  surface_.setEngine(nullptr);
  PixelBuffer& pixels = surface_.raster().picture();
  if (!stopAsked()) texts.drawOver(pixels, surface_.raster().window());
  return true;
}

bool BackgroundFrame::drawAroundKept(const PixelWindow& kept, FinishedFrame& done) {
  const PixelWindow& window = order_.window;
  QImage image = imageSized(window.width, window.height, std::move(spare_));
  if (image.isNull()) return false;
  copyPixels(image, window, kept_.constBits(), kept_.bytesPerLine(), keptWindow_, kept);
  for (const PixelWindow& part : partsAround(window, kept)) {
    if (part.width <= 0 || part.height <= 0) continue;
    Status s = status::ok;
    // A part that fails is drawn again with the whole window, which then fails as it would.
    if (!drawPart(part, kPartSplitFrom, s) || failed(s) || stopAsked()) return false;
    copyPicture(image, window, surface_.raster().picture(), part);
  }
  done.image = std::move(image);
  done.keptPixels = std::int64_t{kept.width} * kept.height;
  return true;
}

void BackgroundFrame::draw() {
  try {
    FinishedFrame done{order_, {}, {}, status::ok};
    const PixelWindow kept = kept_.isNull() ? PixelWindow{} : overlapOf(keptWindow_, order_.window);
    bool drawn = kept.width > 0 && drawAroundKept(kept, done);
    if (!drawn && !stopAsked() && drawPart(order_.window, kSplitWalkFrom, done.status)) {
      const PixelWindow& window = surface_.raster().window();
      done.image = imageSized(window.width, window.height, std::move(spare_));
      if (!done.image.isNull()) copyPicture(done.image, window, surface_.raster().picture(), window);
      drawn = true;
    }
    if (drawn && !stopAsked()) {
      picker_->painted(control_.store(), surface_);
      (void)picker_->prepare(control_.store());  // without memory, the first question tries again
      done.p1 = surface_;
      if (!done.image.isNull() || order_.window.width == 0 || order_.window.height == 0) result_ = std::move(done);
    }
  } catch (...) {
    // Nothing from the drawing may end the thread abnormally: the frame is simply not kept.
    result_.reset();
  }
  kept_ = QImage();
  QMetaObject::invokeMethod(this, &BackgroundFrame::finished, Qt::QueuedConnection);
}

}  // namespace trazo::qt
