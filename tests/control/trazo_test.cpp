// The control's members: AddBox through AddLine, Count, and what a failing member leaves.
#include "picture/recording_surface.hpp"
#include "control/trazo.hpp"
#include "base/worker_pool.hpp"

#include <gtest/gtest.h>

#include <new>
#include <sstream>
#include <string>

namespace trazo {
namespace {

struct Line {
  double x1, y1, x2, y2;
  bool operator==(const Line&) const = default;
};

Line lineAt(const Trazo& t, int i) {
  const Entity e = *t.store().at(i);
  return {e.Value1, e.Value2, e.Value3, e.Value4};
}

std::int32_t countOf(const Trazo& t) {
  std::int32_t n = -1;
  EXPECT_EQ(t.Count(n), status::ok);
  return n;
}

TEST(AddBox, OrdersTheCornersAndAddsFourSides) {
  Trazo t;
  ASSERT_EQ(t.onInitialize(), status::ok);
  ASSERT_EQ(t.AddBox(10, 20, 0, 5, 4, 2, u"frame"), status::ok);
  EXPECT_EQ(countOf(t), 4);
  EXPECT_EQ(lineAt(t, 1), (Line{0, 5, 10, 5}));
  EXPECT_EQ(lineAt(t, 2), (Line{0, 20, 10, 20}));
  EXPECT_EQ(lineAt(t, 3), (Line{0, 5, 0, 20}));
  EXPECT_EQ(lineAt(t, 4), (Line{10, 5, 10, 20}));
  for (int i = 1; i <= 4; ++i) {
    const Entity e = *t.store().at(i);
    EXPECT_EQ(e.Kind, kKindLine);
    EXPECT_EQ(e.Col, 4);
    EXPECT_EQ(e.LineType, 2);
    EXPECT_EQ(e.Tag, u"frame");
  }
  // The first side sets the extents, the others widen them to exactly the rectangle.
  const Extents& x = t.store().extents();
  EXPECT_EQ(x.MinX, 0);
  EXPECT_EQ(x.MinY, 5);
  EXPECT_EQ(x.MaxX, 10);
  EXPECT_EQ(x.MaxY, 20);
}

TEST(AddBox, DegenerateBoxStillAddsFourLines) {
  Trazo t;
  ASSERT_EQ(t.onInitialize(), status::ok);
  ASSERT_EQ(t.AddBox(3, 0, 3, 8, 1, 0, u""), status::ok);
  EXPECT_EQ(countOf(t), 4);
  EXPECT_EQ(lineAt(t, 1), (Line{3, 0, 3, 0}));
  EXPECT_EQ(lineAt(t, 3), lineAt(t, 4));
}

int blocksLeft = 0;
std::unique_ptr<EntityBlock> limitedBlocks() {
  if (blocksLeft-- <= 0) throw std::bad_alloc();
  return allocateEntityBlock();
}

TEST(AddBox, FailingSideEndsTheBoxAndKeepsTheSidesBeforeIt) {
  blocksLeft = 1;
  Trazo t(&limitedBlocks);
  ASSERT_EQ(t.onInitialize(), status::ok);
  for (int i = 0; i < 998; ++i) ASSERT_EQ(t.AddLine(0, 0, 1, 1, 1, 0, u""), status::ok);
  // Sides 1 and 2 take numbers 999 and 1000; side 3 needs the array to grow, which fails.
  EXPECT_EQ(t.AddBox(-5, -5, 50, 50, 2, 0, u"box"), status::outOfMemory);
  EXPECT_EQ(countOf(t), 1000);
  EXPECT_EQ(lineAt(t, 999), (Line{-5, -5, 50, -5}));
  EXPECT_EQ(lineAt(t, 1000), (Line{-5, 50, 50, 50}));
  EXPECT_EQ(t.store().extents().MinX, -5);
  EXPECT_EQ(t.store().extents().MaxY, 50);

  blocksLeft = 1;
  ASSERT_EQ(t.AddBox(0, 0, 1, 1, 1, 0, u""), status::ok);  // the array grows during its third call
  EXPECT_EQ(countOf(t), 1004);
  EXPECT_EQ(t.store().upperBound(), 2000);
}

TEST(Trazo, BulkAddTakesItsRoomBeforeTheAddsAndKeepsEveryAdd) {
  // 300 blocks in all: with a second core they are all allocated before the first add.
  blocksLeft = 300;
  Trazo t(&limitedBlocks);
  ASSERT_EQ(t.onInitialize(), status::ok);
  int leftAtFirstAdd = -1;
  auto adds = [&] {
    leftAtFirstAdd = blocksLeft;
    for (int i = 1; i <= 300000; ++i) ASSERT_EQ(t.AddLine(i, -i, i, 1, 1, 0, u""), status::ok);
  };
  t.addInBulk(300000, adds);
  if (sharedWorkerPool().parallelism() >= 2) {
    EXPECT_EQ(leftAtFirstAdd, 0);
  }
  EXPECT_EQ(countOf(t), 300000);
  EXPECT_EQ(lineAt(t, 300000), (Line{300000, -300000, 300000, 1}));
  EXPECT_EQ(t.store().extents().MinY, -300000);
  EXPECT_EQ(t.AddLine(0, 0, 1, 1, 1, 0, u""), status::outOfMemory);
}

TEST(Trazo, FreshControlCountsNothingAndRepaintsNothing) {
  Trazo t;
  ASSERT_EQ(t.onInitialize(), status::ok);
  EXPECT_EQ(countOf(t), 0);
  EXPECT_EQ(t.Reflash(), status::ok);
}

TEST(Trazo, MembersBeforeInitializeFindNoArray) {
  Trazo t;
  EXPECT_EQ(t.AddLine(0, 0, 1, 1, 1, 0, u""), status::subscript);
  EXPECT_EQ(countOf(t), 0);
  EXPECT_EQ(t.Reflash(), status::ok);
}

// The observer learns of each entity just before its painter's first call, and the picture is
// handed exactly the calls it gets without one.
TEST(Trazo, ReflashTellsItsObserverOfEachEntityBeforeItIsPainted) {
  struct Marker final : PaintObserver {
    explicit Marker(std::ostream& o) : out(o) {}
    void paintingEntity(std::int32_t index, const Entity& e) override {
      out << "entity " << index << ' ' << e.Kind << ' ' << std::string(e.Tag.begin(), e.Tag.end()) << '\n';
    }
    std::ostream& out;
  };
  const auto draw = [](bool observed) {
    std::ostringstream trace;
    RecordingSurface p1(trace);
    Marker marker(trace);
    Trazo t;
    t.attachPicture(p1);
    (void)t.onInitialize();
    (void)t.AddLine(0, 0, 10, 5, 3, 2, u"a");
    (void)t.AddCircle(5, 5, 2, 1, 0, u"b");
    (void)t.AddText(0, 0, 1, 0, 2, u"xy", u"c");
    if (observed) t.observePainting(&marker);
    EXPECT_EQ(t.Reflash(), status::ok);
    return trace.str();
  };
  const std::string plain = draw(false), observed = draw(true);
  std::string withoutMarks;
  std::istringstream lines(observed);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("entity ", 0) != 0) withoutMarks += line + '\n';
  }
  EXPECT_EQ(withoutMarks, plain);
  // Each mark comes right before the first call of its entity's painter.
  EXPECT_NE(observed.find("entity 1 1 a\nDrawStyle 3\nLine"), std::string::npos) << observed;
  EXPECT_NE(observed.find("entity 2 2 b\nCircle"), std::string::npos) << observed;
  EXPECT_NE(observed.find("entity 3 3 c\nLine"), std::string::npos) << observed;
}

// A shell that reads the store on another thread stops before every write, so each member
// that writes must say so, once, before it writes; reading members say nothing.
TEST(Trazo, EveryWritingMemberTellsTheListenerOnceBeforeItWrites) {
  struct Counter final : StoreWriteListener {
    void storeWriting() override {
      ++told;
      countWhenTold = store->count();
    }
    const Store* store = nullptr;
    int told = 0;
    std::int32_t countWhenTold = -1;
  };
  const struct {
    const char* member;
    int told;
    void (*call)(Trazo&);
  } cases[] = {
      {"AddLine", 1, [](Trazo& t) { (void)t.AddLine(0, 0, 1, 1, 1, 0, u""); }},
      {"AddBox", 1, [](Trazo& t) { (void)t.AddBox(0, 0, 1, 1, 1, 0, u""); }},
      {"AddCircle", 1, [](Trazo& t) { (void)t.AddCircle(0, 0, 1, 1, 0, u""); }},
      {"AddCircle2", 1, [](Trazo& t) { (void)t.AddCircle2(0, 0, 1, 0, 90, 1, 0, u""); }},
      {"AddText", 1, [](Trazo& t) { (void)t.AddText(0, 0, 1, 0, 1, u"a", u""); }},
      {"Clear", 1, [](Trazo& t) { (void)t.Clear(); }},
      {"Reflash", 1, [](Trazo& t) { (void)t.Reflash(); }},
      {"Terminate", 1, [](Trazo& t) { t.onTerminate(); }},
      {"Count", 0,
       [](Trazo& t) {
         std::int32_t n = 0;
         (void)t.Count(n);
       }},
  };
  for (const auto& c : cases) {
    Trazo t;
    ASSERT_EQ(t.onInitialize(), status::ok);
    ASSERT_EQ(t.AddLine(0, 0, 2, 2, 1, 0, u""), status::ok);
    Counter counter;
    counter.store = &t.store();
    t.listenForStoreWrites(&counter);
    c.call(t);
    EXPECT_EQ(counter.told, c.told) << c.member;
    if (c.told > 0) {
      EXPECT_EQ(counter.countWhenTold, 1) << c.member << " wrote before it told";
    }
  }
}
}  // namespace
}  // namespace trazo
