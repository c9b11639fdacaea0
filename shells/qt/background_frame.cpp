#include "shells/qt/background_frame.hpp"

#include "shells/qt/entity_texts.hpp"
#include "shells/qt/picture_look.hpp"

#include <QMetaObject>

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

// The split of a frame's walk whose second picture stops with the frame, as the first does.
class StoppableSplit final : public RasterWalkSplit {
 public:
  explicit StoppableSplit(const std::atomic<bool>& stop) : stop_(stop) {}

 private:
  DeviceEngine& frontOf(RasterEngine& second) override { return front_.emplace(second, stop_); }
  const std::atomic<bool>& stop_;
  std::optional<StoppableEngine> front_;
};

// The pixels as an image of their own, in `spare`'s memory when it has their size.
QImage imageOf(const PixelBuffer& pixels, QImage&& spare) {
  const QImage shared(reinterpret_cast<const uchar*>(pixels.data()), pixels.width(), pixels.height(),
                      static_cast<qsizetype>(pixels.width()) * 4, QImage::Format_RGB32);
  if (spare.size() != shared.size() || spare.format() != shared.format() ||
      spare.bytesPerLine() != shared.bytesPerLine())
    return shared.copy();
  QImage image = std::move(spare);
  std::memcpy(image.bits(), shared.constBits(), static_cast<std::size_t>(shared.sizeInBytes()));
  return image;
}

}  // namespace

BackgroundFrame::BackgroundFrame(Trazo& control)
    : control_(control), picker_(std::make_unique<Picker>()), split_(std::make_unique<StoppableSplit>(stop_)) {}

BackgroundFrame::~BackgroundFrame() { cancel(); }

bool BackgroundFrame::start(const FrameOrder& order) {
  if (busy()) return false;
  try {
    order_ = order;
    result_.reset();
    stop_.store(false, std::memory_order_relaxed);
    thread_ = std::thread([this] { draw(); });
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::system_error&) {
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

void BackgroundFrame::draw() {
  try {
    // P1 as the GUI thread left it, drawn by this frame's own raster.
    static_cast<DeviceSurface&>(surface_) = order_.p1;
    if (surface_.setPixelWindow(order_.width, order_.height, order_.window, order_.p1.dpiX(), order_.p1.dpiY())) {
      surface_.raster().setThreads(order_.options.threads);
      surface_.setAntialias(order_.options.antialias);
      StoppableEngine engine(surface_.raster(), stop_);
      surface_.setEngine(&engine);
      EntityTexts texts(control_.store(), surface_);
      split_->use(surface_, surface_.raster());
      const Status s = control_.reflashAside(surface_, order_.options.texts ? &texts : nullptr, shown_, split_.get());
      surface_.setEngine(nullptr);
      PixelBuffer& pixels = surface_.raster().picture();
      if (!stop_.load(std::memory_order_relaxed)) {
        texts.drawOver(pixels, surface_.raster().window());
        picker_->painted(control_.store(), surface_);
        (void)picker_->prepare(control_.store());  // without memory, the first question tries again
        FinishedFrame done{order_, surface_, {}, s};
        done.image = imageOf(pixels, std::move(spare_));
        if (!done.image.isNull() || pixels.width() == 0 || pixels.height() == 0) result_ = std::move(done);
      }
    }
  } catch (...) {
    // Nothing from the drawing may end the thread abnormally: the frame is simply not kept.
    result_.reset();
  }
  QMetaObject::invokeMethod(this, &BackgroundFrame::finished, Qt::QueuedConnection);
}

}  // namespace trazo::qt
