// The parts that came after the store, under memory pressure: the spatial index and the list
// a windowed Reflash keeps (ShownEntities), the worker pool that runs the raster's bands,
// the antialiased raster and the picker. Each scenario is run once per allocation point
// with the k-th allocation failing (once, then from k on), k = 1, 2, ... until a run reaches
// no failure; that last run is the reference. Each time nothing may throw, a failure must
// be reported (out-of-memory status, or the picker's "nothing found"), the drawing must stay
// as it was, and the next call once memory is back must give the reference's answer (the
// same pixels). The Python module's bulk add is here too: its core needs no interpreter.
#include "base/worker_pool.hpp"
#include "control/trazo.hpp"
#include "picking/picker.hpp"
#include "raster/raster_surface.hpp"
#include "shells/python/bulk_adds.hpp"
#include "tests/hardening/failing_allocator.hpp"
#include "tests/support/store_snapshot.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace trazo {
namespace {

using testing::FailureMode;

// Arms the injection for the part of a scenario that runs under pressure.
struct Pressure {
  std::uint64_t k;
  FailureMode mode;
  void on() const { testing::failAllocation(k, mode); }
  void off() const { testing::stopFailing(); }
};

struct Outcome {
  Status status = status::ok;         // of the call under pressure
  std::vector<std::uint32_t> during;  // its answer; compared only where it succeeded
  std::vector<std::uint32_t> after;   // the next call's answer, memory back
  std::string drawing;                // the store's entities afterwards
};

struct Scenario {
  const char* name;
  std::function<Outcome(const Pressure&)> run;
  bool allocates = true;  // whether the part under pressure allocates at all
};

// A drawing of lines, circles, arcs and texts in every dash style and colour, large
// enough that a windowed Reflash builds its spatial index. The first entity sets its
// own dash style: a repaint that fails inside a painter leaves that painter's style in
// effect for the style-less entities before the next painter completes.
void fill(Trazo& t, int first, int n) {
  for (int i = first; i < first + n; ++i) {
    ASSERT_EQ(t.AddLine(i % 37, i % 11, 40 - i % 29, 30 - i % 13, i % 7, 1 + i % 5, u"tag of a line"), status::ok);
    ASSERT_EQ(t.AddCircle2(i % 41, i % 17, 1 + i % 5, i, 3.0 * i, i % 6, i % 4, u""), status::ok);
    ASSERT_EQ(t.AddCircle(i % 23, i % 19, 0.5 + i % 3, i % 8, i % 5, u""), status::ok);
    if (i % 10 == 0) {
      ASSERT_EQ(t.AddText(i % 31, i % 27, 2, 15.0 * i, 2, u"text", u""), status::ok);
    }
  }
}

std::vector<std::uint32_t> pixelsOf(RasterSurface& p1) {
  const PixelBuffer& b = p1.picture();
  return {b.data(), b.data() + static_cast<std::size_t>(b.width()) * static_cast<std::size_t>(b.height())};
}

// A control on a raster picture of which the buffer keeps only a window, antialiased,
// drawn on several threads: its Reflash hands the raster only what the spatial index finds.
struct WindowedControl {
  explicit WindowedControl(bool antialias) {
    EXPECT_TRUE(p1.setPixelWindow(640, 400, {150, 60, 260, 180}));
    p1.setAntialias(antialias);
    p1.raster().setThreads(4);
    control.attachPicture(p1);
    EXPECT_EQ(control.onInitialize(), status::ok);
  }
  RasterSurface p1;
  Trazo control;
};

// A Reflash under pressure (with `addedBefore` entities added since the last repaint, so
// that the index is built, brought up to date or walked), then one with memory back.
Outcome windowedReflash(const Pressure& p, bool antialias, int addedBefore, bool paintedBefore) {
  WindowedControl w(antialias);
  fill(w.control, 0, 150);
  if (paintedBefore) {
    EXPECT_EQ(w.control.Reflash(), status::ok);
    (void)w.p1.picture();
  }
  fill(w.control, 150, addedBefore);
  const std::string drawing = testing::entityTrace(w.control.store());
  Outcome o;
  p.on();
  o.status = w.control.Reflash();
  const PixelBuffer& b = w.p1.picture();
  p.off();
  o.during.assign(b.data(), b.data() + static_cast<std::size_t>(b.width()) * static_cast<std::size_t>(b.height()));
  EXPECT_EQ(w.control.Reflash(), status::ok);
  o.after = pixelsOf(w.p1);
  o.drawing = testing::entityTrace(w.control.store());
  EXPECT_EQ(o.drawing, drawing);
  return o;
}

// A windowed, antialiased picture recorded with memory, then drawn under pressure: drawing
// the bands keeps to the memory it has (a band cannot report a failure).
Outcome drawing(const Pressure& p) {
  WindowedControl w(true);
  fill(w.control, 0, 150);
  Outcome o;
  o.status = w.control.Reflash();
  p.on();  // in a process of its own, the shared pool's first run: its threads may not start
  const PixelBuffer& b = w.p1.picture();
  p.off();
  o.during.assign(b.data(), b.data() + static_cast<std::size_t>(b.width()) * static_cast<std::size_t>(b.height()));
  EXPECT_EQ(w.control.Reflash(), status::ok);
  o.after = pixelsOf(w.p1);
  o.drawing = testing::entityTrace(w.control.store());
  return o;
}

// A pool of its own, made and first run under pressure: every part still runs once, and
// the next run with memory back has its threads.
Outcome workerPool(const Pressure& p) {
  struct Count final : PoolJob {
    std::atomic<std::uint32_t> runs[12] = {};
    void part(int index) override { ++runs[index]; }
    std::vector<std::uint32_t> counts() const { return {std::begin(runs), std::end(runs)}; }
  };
  Count first, second;
  Outcome o;
  p.on();
  WorkerPool pool(3);
  const int threads = pool.run(12, 4, first);
  p.off();
  EXPECT_TRUE(threads >= 1 && threads <= 4) << threads;
  o.during = first.counts();
  EXPECT_EQ(pool.run(12, 4, second), 4);
  o.after = second.counts();
  return o;
}

// The picker of a painted picture, asked under pressure for the entity at a few points and
// for those in a rectangle: a point finds its entity or nothing, the rectangle its entities
// or out of memory, and the same questions afterwards find what they would have found.
Outcome picking(const Pressure& p) {
  WindowedControl w(true);
  fill(w.control, 0, 200);
  EXPECT_EQ(w.control.Reflash(), status::ok);
  const std::string drawing = testing::entityTrace(w.control.store());
  Picker picker;
  picker.painted(w.control.store(), w.p1);
  const auto ask = [&](std::vector<std::uint32_t>& answers, Status& s) {
    for (const double x : {200.5, 250.0, 320.0, 410.5})
      for (const double y : {90.0, 150.5, 200.0})
        answers.push_back(static_cast<std::uint32_t>(picker.entityAt(w.control.store(), x, y, 3)));
    std::vector<std::int32_t> found;
    s = picker.entitiesIn(w.control.store(), {180, 80, 120, 90}, BoxSelection::crossing, found);
    EXPECT_TRUE(failed(s) ? found.empty() : true);
    answers.insert(answers.end(), found.begin(), found.end());
  };
  Outcome o;
  o.during.reserve(4096);  // the answers are collected without allocating under pressure
  p.on();
  ask(o.during, o.status);
  p.off();
  Status again = status::ok;
  ask(o.after, again);
  EXPECT_EQ(again, status::ok);
  o.drawing = testing::entityTrace(w.control.store());
  EXPECT_EQ(o.drawing, drawing);
  return o;
}

// A bulk add of arcs, every third with a tag, on a painted drawing, enough to need a new
// block of records: out of memory takes back the whole run, so the drawing is as it was
// before the call, and the call made again with memory back gives the reference's drawing
// and picture.
Outcome bulkAdd(const Pressure& p) {
  WindowedControl w(false);
  fill(w.control, 0, 200);
  EXPECT_EQ(w.control.Reflash(), status::ok);
  (void)w.p1.picture();
  constexpr std::size_t rows = 900;
  std::vector<double> along(rows);
  std::vector<std::int32_t> styles(rows);
  python::TextColumn tags;
  for (std::size_t i = 0; i < rows; ++i) {
    along[i] = static_cast<double>(i % 41);
    styles[i] = static_cast<std::int32_t>(i % 6);
    tags.starts.push_back(tags.units.size());
    if (i % 3 == 0) tags.units += u"arc";
  }
  tags.starts.push_back(tags.units.size());
  const python::Column<double> each{reinterpret_cast<const char*>(along.data()), sizeof(double)};
  const python::Column<double> one{reinterpret_cast<const char*>(along.data() + 7), 0};
  const python::Column<std::int32_t> style{reinterpret_cast<const char*>(styles.data()), sizeof(std::int32_t)};
  const python::ArcColumns arcs{each, one, one, each, one, style, style};
  const testing::StoreSnapshot before = testing::takeSnapshot(w.control.store());
  Outcome o;
  p.on();
  const python::RunResult run = python::addArcs(w.control, rows, arcs, tags);
  p.off();
  o.status = run.status;
  if (failed(run.status)) {
    EXPECT_EQ(testing::describeDifference(before, w.control.store()), "");  // upper bound and extents too
    EXPECT_EQ(python::addArcs(w.control, rows, arcs, tags).status, status::ok);
  }
  EXPECT_EQ(w.control.Reflash(), status::ok);
  o.after = pixelsOf(w.p1);
  o.drawing = testing::entityTrace(w.control.store());
  return o;
}

// Whether `during` is what a call that ran out of memory may give instead of `reference`:
// the picker's points find their entity or nothing.
bool pickedOrNothing(const std::vector<std::uint32_t>& during, const std::vector<std::uint32_t>& reference) {
  constexpr std::size_t points = 12;
  if (during.size() < points || reference.size() < points) return false;
  for (std::size_t i = 0; i < points; ++i)
    if (during[i] != 0 && during[i] != reference[i]) return false;
  return true;
}

TEST(AllocationFailure, NewPartsUnderPressure) {
  // The antialiased scenarios come first: the raster makes some of its tables on first use.
  const std::vector<Scenario> scenarios{
      {"antialiased bands drawn", drawing, false},
      {"antialiased windowed Reflash, index built",
       [](const Pressure& p) { return windowedReflash(p, true, 0, false); }},
      {"antialiased windowed Reflash, index brought up to date",
       [](const Pressure& p) { return windowedReflash(p, true, 20, true); }},
      {"windowed Reflash, index rebuilt", [](const Pressure& p) { return windowedReflash(p, false, 100, true); }},
      {"worker pool", workerPool},
      {"picking", picking},
      {"bulk add", bulkAdd},
  };
  for (const Scenario& sc : scenarios) {
    for (const FailureMode mode : {FailureMode::Once, FailureMode::Persistent}) {
      SCOPED_TRACE(std::string(sc.name) + (mode == FailureMode::Once ? ", once" : ", from then on"));
      std::vector<std::pair<std::uint64_t, Outcome>> failedRuns;
      Outcome reference;
      for (std::uint64_t k = 1;; ++k) {
        ASSERT_LT(k, 100000u) << "no end to the allocations";
        Outcome o;
        try {
          o = sc.run({k, mode});
        } catch (const std::bad_alloc&) {
          testing::stopFailing();
          ADD_FAILURE() << "std::bad_alloc escaped at allocation " << k;
          continue;
        }
        if (!testing::failureInjected()) {
          reference = o;
          EXPECT_TRUE(k > 1 || !sc.allocates) << "the scenario allocates nothing under pressure";
          break;
        }
        failedRuns.emplace_back(k, o);
      }
      EXPECT_EQ(reference.status, status::ok);
      const bool isPicking = std::string(sc.name) == "picking";
      for (const auto& [k, o] : failedRuns) {
        EXPECT_TRUE(o.status == status::ok || o.status == status::outOfMemory) << "allocation " << k;
        if (o.status == status::ok && !isPicking) {
          EXPECT_EQ(o.during, reference.during) << "allocation " << k;
        }
        if (isPicking) {
          EXPECT_TRUE(pickedOrNothing(o.during, reference.during)) << "allocation " << k;
          const bool sameSelection =
              std::equal(o.during.begin() + 12, o.during.end(), reference.during.begin() + 12, reference.during.end());
          EXPECT_TRUE(o.status != status::ok || sameSelection) << "allocation " << k;
        }
        EXPECT_TRUE(o.after == reference.after) << "allocation " << k << " status " << o.status;
        EXPECT_EQ(o.drawing, reference.drawing) << "allocation " << k;
      }
    }
  }
}

}  // namespace
}  // namespace trazo
