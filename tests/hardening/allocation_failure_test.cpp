// Every allocation a member makes is made to fail in turn, SQLite style: the scenario runs
// once per allocation point with the k-th allocation failing, k = 1, 2, ... until a run
// completes without reaching the failing one. Each time, the member must return the
// out-of-memory status, leave the store exactly as it was (AddBox keeps the sides before
// the failing one), leave every stored entity drawing the same trace, and succeed when
// called again.
#include "automation/late_binding.hpp"
#include "picture/recording_surface.hpp"
#include "control/trazo.hpp"
#include "raster/raster_surface.hpp"
#include "tests/hardening/failing_allocator.hpp"
#include "tests/support/store_snapshot.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <ostream>
#include <string>

namespace trazo {
namespace {

using testing::describeDifference;
using testing::entityTrace;
using testing::FailingAllocationScope;
using testing::FailureMode;
using testing::takeSnapshot;

// A stream into a string reserved up front, so that writing a trace allocates nothing and
// only the control's own allocations are counted.
class ReservedBuffer : public std::streambuf {
 public:
  ReservedBuffer() { text.reserve(1 << 20); }
  std::string text;

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) text.push_back(static_cast<char>(c));
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    text.append(s, static_cast<std::size_t>(n));
    return n;
  }
};

// One control on a recording picture.
struct Fixture {
  Fixture() { control.attachPicture(picture); }
  ReservedBuffer buffer;
  std::ostream stream{&buffer};
  RecordingSurface picture{stream, 4000, 2000};
  Trazo control;
};

struct Scenario {
  std::function<void(Trazo&)> setup;  // runs without injected failures
  std::function<Status(Trazo&)> action;
  bool keepsSidesBefore = false;  // AddBox: a failure keeps the sides already added
};

std::u16string text(std::size_t length, char16_t unit = u'x') { return std::u16string(length, unit); }

void addLines(Trazo& t, int n) {
  for (int i = 0; i < n; ++i) ASSERT_EQ(t.AddLine(i, 0, i, 1, 1, 0, u"side"), status::ok);
}

// The state a failed AddBox must leave: the setup plus the first `sides` lines of a whole box.
void buildBoxWithSides(Fixture& f, const Scenario& sc, const testing::StoreSnapshot& whole, std::int32_t first,
                       std::int32_t sides) {
  EXPECT_EQ(f.control.onInitialize(), status::ok);
  sc.setup(f.control);
  for (std::int32_t i = 0; i < sides; ++i) {
    const Entity e = whole.records[static_cast<std::size_t>(first + i)].view();
    EXPECT_EQ(f.control.AddLine(e.Value1, e.Value2, e.Value3, e.Value4, e.Col, e.LineType, e.Tag), status::ok);
  }
}

// Returns the number of allocation points the action went through. The action must build
// its arguments beforehand: only the member's own allocations may be counted.
int failEachAllocation(const Scenario& sc, FailureMode mode) {
  Fixture reference;
  EXPECT_EQ(reference.control.onInitialize(), status::ok);
  sc.setup(reference.control);
  const std::int32_t countBefore = reference.control.store().count();
  reference.buffer.text.clear();
  EXPECT_EQ(sc.action(reference.control), status::ok);
  const auto whole = takeSnapshot(reference.control.store());
  const std::string wholeTrace = reference.buffer.text;

  for (std::uint64_t k = 1;; ++k) {
    if (k > 100000) {
      ADD_FAILURE() << "no end to the allocations";
      return -1;
    }
    Fixture f;
    EXPECT_EQ(f.control.onInitialize(), status::ok);
    sc.setup(f.control);
    const auto before = takeSnapshot(f.control.store());
    const std::string traceBefore = entityTrace(f.control.store());
    f.buffer.text.clear();

    Status s = status::ok;
    bool threw = false;
    {
      FailingAllocationScope failing(k, mode);
      try {
        s = sc.action(f.control);
      } catch (const std::bad_alloc&) {
        threw = true;
      }
    }
    if (threw) {
      ADD_FAILURE() << "std::bad_alloc escaped at allocation " << k;
      return -1;
    }
    if (!testing::failureInjected()) {
      // The run that went through every allocation: it is the reference run.
      EXPECT_EQ(s, status::ok);
      EXPECT_EQ(describeDifference(whole, f.control.store()), "");
      EXPECT_EQ(f.buffer.text, wholeTrace);
      return static_cast<int>(k - 1);
    }

    EXPECT_EQ(s, status::outOfMemory) << "allocation " << k;
    if (sc.keepsSidesBefore) {
      const std::int32_t sides = f.control.store().count() - countBefore;
      EXPECT_GE(sides, 0);
      EXPECT_LE(sides, 3);
      Fixture expected;
      buildBoxWithSides(expected, sc, whole, countBefore, sides);
      EXPECT_EQ(describeDifference(takeSnapshot(expected.control.store()), f.control.store()), "")
          << "allocation " << k;
      EXPECT_EQ(entityTrace(f.control.store()), entityTrace(expected.control.store())) << "allocation " << k;
    } else {
      EXPECT_EQ(describeDifference(before, f.control.store()), "") << "allocation " << k;
      EXPECT_EQ(entityTrace(f.control.store()), traceBefore) << "allocation " << k;
    }
    f.buffer.text.clear();
    EXPECT_EQ(sc.action(f.control), status::ok) << "the call after the failure at allocation " << k;
    if (!sc.keepsSidesBefore) {
      EXPECT_EQ(f.buffer.text, wholeTrace) << "allocation " << k;
    }
    if (::testing::Test::HasFailure()) return -1;
  }
}

void expectEveryFailureHandled(const Scenario& sc, int minimumAllocations) {
  for (const FailureMode mode : {FailureMode::Once, FailureMode::Persistent}) {
    const int points = failEachAllocation(sc, mode);
    EXPECT_GE(points, minimumAllocations) << "fewer allocation points than the scenario makes";
  }
}

void nothing(Trazo&) {}

void drawing(Trazo& t) {
  ASSERT_EQ(t.AddLine(0, 0, 10, 5, 3, 2, text(40)), status::ok);
  ASSERT_EQ(t.AddCircle2(3, 3, 2, 0, 1.5, 5, 1, text(9)), status::ok);
  ASSERT_EQ(t.AddText(1, 1, 2, 30, 4, u"\x5E8A\x9762", text(300)), status::ok);
}

// Clear empties the blocks it holds and allocates nothing; only a store whose array is gone
// needs a new block, and a failure there leaves it as it was.
TEST(AllocationFailure, ClearKeepsTheOldDrawing) {
  expectEveryFailureHandled({drawing, [](Trazo& t) { return t.Clear(); }}, 0);
  expectEveryFailureHandled({[](Trazo& t) { t.onTerminate(); }, [](Trazo& t) { return t.Clear(); }}, 1);
}

// An entity's text and tag are held in one string: up to 7 code units fit in the string
// itself, from 8 on they take one allocation.
TEST(AllocationFailure, AddsWithTagsOfEveryLength) {
  for (const std::size_t length : {0u, 7u, 8u, 100u, 5000u}) {
    SCOPED_TRACE(length);
    const std::u16string tag = text(length);
    const int copies = length > 7 ? 1 : 0;
    const int textCopies = 2 * length > 7 ? 1 : 0;
    expectEveryFailureHandled({drawing, [&](Trazo& t) { return t.AddLine(1, 2, 3, 4, 1, 0, tag); }}, copies);
    expectEveryFailureHandled({drawing, [&](Trazo& t) { return t.AddCircle(1, 2, 3, 1, 0, tag); }}, copies);
    expectEveryFailureHandled({drawing, [&](Trazo& t) { return t.AddCircle2(1, 2, 3, 0, 2, 1, 0, tag); }}, copies);
    expectEveryFailureHandled({drawing, [&](Trazo& t) { return t.AddText(1, 2, 3, 0, 1, tag, tag); }}, textCopies);
  }
}

TEST(AllocationFailure, AddTextWithDoubleByteText) {
  const std::u16string japanese = text(50, u'\x3042');
  expectEveryFailureHandled({nothing, [&](Trazo& t) { return t.AddText(0, 0, 1, 90, 2, japanese, u"jp"); }}, 1);
}

// The 1001st and 16001st entities take a new block of records and a longer block list (the
// list doubles its room from 16 blocks on).
TEST(AllocationFailure, GrowthPastEachThousand) {
  const std::u16string tag = text(20);
  for (const int held : {1000, 16000}) {
    SCOPED_TRACE(held);
    expectEveryFailureHandled(
        {[&](Trazo& t) { addLines(t, held); }, [&](Trazo& t) { return t.AddLine(-1, -1, 1, 1, 2, 1, tag); }}, 3);
    expectEveryFailureHandled(
        {[&](Trazo& t) { addLines(t, held); }, [](Trazo& t) { return t.AddCircle(0, 0, 1, 2, 1, u""); }}, 1);
  }
}

// With 998 entities held, the box's third side takes the 1000th slot and its fourth grows
// the store, so a failure can strike inside the box at a tag copy or at growth.
TEST(AllocationFailure, AddBoxKeepsTheSidesBeforeTheFailure) {
  const std::u16string tag = text(30);
  for (const int held : {0, 998}) {
    SCOPED_TRACE(held);
    Scenario box{[&](Trazo& t) { addLines(t, held); }, [&](Trazo& t) { return t.AddBox(10, 20, 0, 5, 1, 0, tag); },
                 true};
    expectEveryFailureHandled(box, 4);
  }
}

TEST(AllocationFailure, LateBindingWithStringArguments) {
  const std::vector<Variant> positional{1.0, 2.0, u"3.5", 0.0, std::int32_t{1}};
  const std::vector<NamedArgument> named{{6, text(64)}, {5, text(20, u'\x3044')}};
  expectEveryFailureHandled(
      {drawing, [&](Trazo& t) { return invoke(t, dispid::AddText, kInvokeMethod, positional, named); }}, 4);
  // A number passed as the Tag becomes its text, which takes an allocation of its own.
  const std::vector<Variant> numericTag{0.0, 0.0, 1.0, 1.0, 2.5, u"3", 1.2345678901234567e-300};
  expectEveryFailureHandled(
      {drawing, [&](Trazo& t) { return invoke(t, dispid::AddLine, kInvokeMethod, numericTag, {}); }}, 2);
}

// Members that need no memory make no allocation a failure could strike.
TEST(AllocationFailure, CountAndReflashOnANullPictureAllocateNothing) {
  const Scenario count{drawing, [](Trazo& t) {
                         Variant value;
                         return invoke(t, dispid::Count, kInvokePropertyGet, {}, {}, &value);
                       }};
  EXPECT_EQ(failEachAllocation(count, FailureMode::Once), 0);
  const Scenario reflash{drawing, [](Trazo& t) {
                           t.detachPicture();
                           return t.Reflash();
                         }};
  EXPECT_EQ(failEachAllocation(reflash, FailureMode::Once), 0);
}

// Reflash allocates nothing of its own; the recording picture allocates to format its lines.
TEST(AllocationFailure, ReflashOnARecordingPicture) {
  expectEveryFailureHandled({drawing, [](Trazo& t) { return t.Reflash(); }}, 1);
}

// A raster picture keeps what it is handed until it draws: running out of memory there fails
// the repaint with the out-of-memory status, and the next repaint draws the whole picture.
TEST(AllocationFailure, ReflashOnARasterPicture) {
  const auto paint = [](bool failing, std::uint64_t k, Status& s) {
    RasterSurface p1;
    EXPECT_TRUE(p1.setPixelSize(300, 200));
    Trazo t;
    t.attachPicture(p1);
    EXPECT_EQ(t.onInitialize(), status::ok);
    for (int i = 0; i < 40; ++i) {
      // The first entity sets its dash style: a failed repaint may leave one in effect.
      (void)t.AddLine(i, 0, 40 - i, 30, i % 7, 1 + i % 3, u"");
      (void)t.AddCircle2(i, i % 9, 3 + i % 5, i, 2 * i, i % 6, i % 4, u"");
      (void)t.AddText(i, 30 - i, 2, 10.0 * i, 2, u"text", u"");
    }
    if (failing) {
      testing::FailingAllocationScope scope(k, FailureMode::Persistent);
      s = t.Reflash();
      (void)p1.picture();
    } else {
      s = t.Reflash();
    }
    const Status again = t.Reflash();
    EXPECT_EQ(again, status::ok);
    const PixelBuffer& b = p1.picture();
    return std::vector<std::uint32_t>(b.data(), b.data() + b.width() * b.height());
  };
  Status s = status::ok;
  const auto reference = paint(false, 0, s);
  for (std::uint64_t k = 1;; ++k) {
    const auto pixels = paint(true, k, s);
    const bool reached = testing::failureInjected();
    EXPECT_TRUE(s == status::ok || s == status::outOfMemory) << k;
    EXPECT_EQ(pixels, reference) << k;
    if (!reached) break;
  }
}

TEST(AllocationFailure, MouseMoveReachesEverySinkWhateverFails) {
  struct Sink : TrazoEvents {
    void MouseMove(std::int16_t&, std::int16_t&, float&, float&) override { ++calls; }
    int calls = 0;
  };
  for (std::uint64_t k = 1;; ++k) {
    Trazo t;
    Sink a, b;
    t.connect(a);
    t.connect(b);
    bool threw = false;
    {
      FailingAllocationScope failing(k, FailureMode::Once);
      try {
        t.onMouseMove(1, 0, 2.5f, 3.5f);
      } catch (const std::bad_alloc&) {
        threw = true;
      }
    }
    EXPECT_FALSE(threw) << "std::bad_alloc escaped at allocation " << k;
    EXPECT_EQ(a.calls, 1);
    EXPECT_EQ(b.calls, 1);
    if (!testing::failureInjected() || threw) break;
  }
}

}  // namespace
}  // namespace trazo
