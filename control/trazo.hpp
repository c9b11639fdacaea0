// The Trazo control: the eight members of its automation interface, in interface order and
// with the interface's parameter names, the MouseMove event, and the five lifecycle actions
// that a platform shell calls (creation, resize, repaint of P1, pointer movement over P1,
// destruction). Every member returns a status; none throws.
#pragma once

#include "base/status.hpp"
#include "control/picture_placement.hpp"
#include "picture/null_surface.hpp"
#include "picture/surface.hpp"
#include "model/store.hpp"
#include "render/paint_observer.hpp"
#include "render/reflash.hpp"

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace trazo {

// A connected receiver of the control's event. The arguments are passed by reference as
// the event declares them; what the receiver writes into them has no effect on the control.
class TrazoEvents {
 public:
  virtual ~TrazoEvents() = default;
  virtual void MouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) = 0;
};

// Told before a member of the control writes to its store: the adds, Clear, Terminate, and
// Reflash (which widens a drawing's degenerate extents). A shell that reads the store on a
// thread of its own meanwhile (a frame drawn aside) stops doing so here.
class StoreWriteListener {
 public:
  virtual ~StoreWriteListener() = default;
  virtual void storeWriting() = 0;
};

class Trazo {
 public:
  // P1 starts as a picture with nothing behind it; a shell attaches its own with attachPicture.
  // The allocator of the store's blocks can be replaced to make growth fail.
  explicit Trazo(BlockAllocator allocator = &allocateEntityBlock) : store_(allocator) {}
  Trazo(const Trazo&) = delete;
  Trazo& operator=(const Trazo&) = delete;

  // --- the automation interface, in its order ---
  Status Clear();
  Status AddBox(double x1, double y1, double x2, double y2, std::int32_t col, std::int32_t lType,
                std::u16string_view Tag);
  Status AddLine(double x1, double y1, double x2, double y2, std::int32_t col, std::int32_t lType,
                 std::u16string_view Tag);
  Status AddCircle(double CX, double CY, double r, std::int32_t col, std::int32_t lType, std::u16string_view Tag);
  Status AddCircle2(double CX, double CY, double r, double sa, double ea, std::int32_t col, std::int32_t lType,
                    std::u16string_view Tag);
  Status AddText(double TX, double TY, double TH, double Tang, std::int32_t col, std::u16string_view cText,
                 std::u16string_view Tag);
  Status Count(std::int32_t& value) const;
  Status Reflash();

  // --- event connections ---
  // Returns a cookie for disconnect, or 0 when there is no memory to keep the sink; sinks are
  // raised in the order they connected.
  std::uint32_t connect(TrazoEvents& sink);
  bool disconnect(std::uint32_t cookie);

  // --- lifecycle actions, called by the platform shell ---
  // Creation: an empty store with room for 1000 entities.
  Status onInitialize();
  // The control's size changed: stretch P1 over the client area. Never fails: a step whose
  // value P1's placement refuses is skipped.
  void onResize(ClientArea& userControl);
  // P1 must be redrawn.
  Status onPaint();
  // The pointer moved over P1, at (X, Y) in P1's current units; raises MouseMove with the
  // coordinates crossed.
  void onMouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
  // Destruction: every record and its strings are freed.
  void onTerminate();

  // Who Reflash tells which entity it paints next (none at first); the picture is handed
  // the same calls either way.
  void observePainting(PaintObserver* observer) { observer_ = observer; }
  PaintObserver* paintObserver() const { return observer_; }

  // Reflash onto `picture` in place of P1, with the index kept in `shown` and `observer`
  // alone told of each entity: a frame a shell draws on a thread of its own. No write
  // listener is told: the caller is the one that reads the store meanwhile.
  // With `split`, the walk may be shared as Reflash's is (walk_split.hpp).
  Status reflashAside(Surface& picture, PaintObserver* observer, ShownEntities& shown, WalkSplit* split = nullptr) {
    return trazo::Reflash(store_, picture, observer, &shown, split);
  }
  // Who shares Reflash's walk with a second picture when it pays (none at first); it is
  // asked only for P1, and only while no observer is told of the entities.
  void shareWalk(WalkSplit* split) { split_ = split; }
  // Who is told before the store is written to (none at first).
  void listenForStoreWrites(StoreWriteListener* listener) { writeListener_ = listener; }

  void attachPicture(Surface& p1) { p1_ = &p1; }
  void detachPicture() { p1_ = &nullPicture_; }
  Surface& picture() { return *p1_; }
  // P1's Left, Top, Width and Height; a shell listens to it to move and size P1's window.
  PicturePlacement& placement() { return placement_; }
  const PicturePlacement& placement() const { return placement_; }

  const Store& store() const { return store_; }
  // Several adds that go as one (a host's bulk add): the drawing as it stands, and every add
  // made since taken back when they cannot all be made.
  Store::Mark markAdds() const { return store_.mark(); }
  // Runs `adds`, which makes up to `entities` adds (a box takes four), on this thread; when
  // they are many, the room for them is allocated first and its memory committed on another
  // core meanwhile, so that they fill records instead of waiting for fresh pages. Room left
  // over is given back down to what a Clear keeps. Allocates nothing beyond that room, and
  // does without it when memory is short.
  template <class Adds>
  void addInBulk(std::int64_t entities, Adds& adds) {
    runBulk(
        entities, [](void* a) { (*static_cast<Adds*>(a))(); }, &adds);
  }
  void takeBackAdds(const Store::Mark& mark) {
    storeWriting();
    store_.takeBack(mark);
  }

 private:
  // Lets tests reach the store to put it at its limits.
  friend struct StoreTestSeam;
  void runBulk(std::int64_t entities, void (*adds)(void*), void* context);
  void storeWriting() {
    if (writeListener_ != nullptr) writeListener_->storeWriting();
  }

  Store store_;
  NullSurface nullPicture_;
  Surface* p1_ = &nullPicture_;
  PicturePlacement placement_;
  PaintObserver* observer_ = nullptr;
  WalkSplit* split_ = nullptr;
  StoreWriteListener* writeListener_ = nullptr;
  ShownEntities shown_;
  std::vector<std::pair<std::uint32_t, TrazoEvents*>> sinks_;
  std::uint32_t nextCookie_ = 1;
};

}  // namespace trazo
