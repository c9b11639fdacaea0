#include "control/trazo.hpp"

#include "base/fresh_pages.hpp"
#include "base/worker_pool.hpp"
#include "model/add_operations.hpp"
#include "render/reflash.hpp"

#include <algorithm>
#include <atomic>
#include <new>

namespace trazo {

// The index of the old drawing goes with it; the next repaint that needs one builds it anew.
Status Trazo::Clear() {
  storeWriting();
  const Status s = store_.clear();
  if (!failed(s)) {
    shown_.index.clear();
    std::vector<std::int32_t>().swap(shown_.found);
  }
  return s;
}

// A box is four independent lines, each added as AddLine adds one, ordered left to right
// and low to high: the bottom, the top, the left and the right side. A failing side ends
// the box; the sides already added stay. The listener is told once, for all four.
Status Trazo::AddBox(double x1, double y1, double x2, double y2, std::int32_t col, std::int32_t lType,
                     std::u16string_view Tag) {
  storeWriting();
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  const double left = x1, right = x2, low = y1, high = y2;
  const double sides[4][4] = {
      {left, low, right, low}, {left, high, right, high}, {left, low, left, high}, {right, low, right, high}};
  for (const auto& side : sides) {
    if (const Status s = addLine(store_, side[0], side[1], side[2], side[3], col, lType, Tag); failed(s)) return s;
  }
  return status::ok;
}

void Trazo::runBulk(std::int64_t entities, void (*adds)(void*), void* context) {
  // Below this many entities the growth as they go costs too little to share.
  constexpr std::int64_t kSharedFrom = 200000;
  WorkerPool& pool = sharedWorkerPool();
  if (entities < kSharedFrom || pool.parallelism() < 2) {
    adds(context);
    return;
  }
  const std::vector<EntityBlock*> room = store_.setAsideFor(entities);
  // Committing pages the adds have already written costs a walk of the system's tables and
  // nothing else, so the helper stops once they are done.
  std::atomic<bool> done{false};
  (void)pool.runEach(2, 2, [&](int part) {
    if (part == 0) {
      adds(context);
      done.store(true, std::memory_order_relaxed);
      return;
    }
    for (EntityBlock* block : room) {
      if (done.load(std::memory_order_relaxed)) break;
      commitPagesNow(block, sizeof(EntityBlock));
    }
  });
  store_.trimSpare();
}

Status Trazo::AddLine(double x1, double y1, double x2, double y2, std::int32_t col, std::int32_t lType,
                      std::u16string_view Tag) {
  storeWriting();
  return addLine(store_, x1, y1, x2, y2, col, lType, Tag);
}

Status Trazo::AddCircle(double CX, double CY, double r, std::int32_t col, std::int32_t lType, std::u16string_view Tag) {
  storeWriting();
  return addCircle(store_, CX, CY, r, col, lType, Tag);
}

Status Trazo::AddCircle2(double CX, double CY, double r, double sa, double ea, std::int32_t col, std::int32_t lType,
                         std::u16string_view Tag) {
  storeWriting();
  return addArc(store_, CX, CY, r, sa, ea, col, lType, Tag);
}

Status Trazo::AddText(double TX, double TY, double TH, double Tang, std::int32_t col, std::u16string_view cText,
                      std::u16string_view Tag) {
  storeWriting();
  return addText(store_, TX, TY, TH, Tang, col, cText, Tag);
}

Status Trazo::Count(std::int32_t& value) const {
  value = store_.count();
  return status::ok;
}

Status Trazo::Reflash() {
  storeWriting();
  return trazo::Reflash(store_, *p1_, observer_, &shown_, split_);
}

std::uint32_t Trazo::connect(TrazoEvents& sink) {
  try {
    sinks_.emplace_back(nextCookie_, &sink);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return nextCookie_++;
}

bool Trazo::disconnect(std::uint32_t cookie) {
  const auto found = std::find_if(sinks_.begin(), sinks_.end(), [&](const auto& s) { return s.first == cookie; });
  if (found == sinks_.end()) return false;
  sinks_.erase(found);
  return true;
}

Status Trazo::onInitialize() { return Clear(); }

// Four assignments, each attempted whatever became of the one before.
void Trazo::onResize(ClientArea& userControl) {
  float value = 0;
  if (!failed(userControl.scaleLeft(value))) (void)placement_.setLeft(value);
  if (!failed(userControl.scaleTop(value))) (void)placement_.setTop(value);
  if (!failed(userControl.scaleWidth(value))) (void)placement_.setWidth(value);
  if (!failed(userControl.scaleHeight(value))) (void)placement_.setHeight(value);
}

Status Trazo::onPaint() { return Reflash(); }

// The event's X carries the vertical position and its Y the horizontal one; hosts rely on
// this crossing.
void Trazo::onMouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y) {
  // A sink may connect or disconnect others while it runs. Sinks stay in cookie order, so
  // walk them by cookie: each one connected when the event began and still connected when
  // its turn comes is raised once. No copy of the list, so no allocation that could fail.
  const std::uint32_t end = nextCookie_;
  std::uint32_t last = 0;
  for (;;) {
    const auto next = std::find_if(sinks_.begin(), sinks_.end(), [last](const auto& s) { return s.first > last; });
    if (next == sinks_.end() || next->first >= end) break;
    last = next->first;
    std::int16_t button = Button;
    std::int16_t shift = Shift;
    float eventX = Y;
    float eventY = X;
    next->second->MouseMove(button, shift, eventX, eventY);
  }
}

void Trazo::onTerminate() {
  storeWriting();
  store_.release();
  shown_.index.clear();
}

}  // namespace trazo
