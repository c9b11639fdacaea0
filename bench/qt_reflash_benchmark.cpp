// Reflash of a mixed drawing into a 1920 x 1080 image, against a plain QPainter loop that
// draws the same primitives with the same pens, already in device pixels: the difference
// is what the control costs on top of QPainter (walking the store, the painters, the
// surface's mapping and pen handling). Arguments: entity count, antialiasing (0 or 1).
#include "bench/qt_mixed_drawing.hpp"
#include "control/trazo.hpp"
#include "render/entity_colour.hpp"
#include "shells/qt/arc_sweep.hpp"
#include "shells/qt/dash_patterns.hpp"
#include "shells/qt/painter_surface.hpp"

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QRectF>

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <ctime>
#include <map>
#include <memory>
#include <vector>

namespace trazo::bench {
namespace {

constexpr int kImageWidth = 1920;
constexpr int kImageHeight = 1080;
constexpr double kSixteenthsPerRadian = 57.29577951308232 * 16;

// A control holding the drawing, and its picture at the image's size.
struct Fixture {
  std::vector<MixedEntity> drawing;
  Trazo control;
  qt::PainterSurface picture;
};

Fixture& fixtureFor(std::size_t count) {
  static std::map<std::size_t, std::unique_ptr<Fixture>> fixtures;
  auto& slot = fixtures[count];
  if (!slot) {
    slot = std::make_unique<Fixture>();
    slot->drawing = mixedDrawing(count);
    (void)slot->control.onInitialize();
    for (const MixedEntity& e : slot->drawing) {
      switch (e.shape) {
        case Shape::line: (void)slot->control.AddLine(e.a, e.b, e.c, e.d, e.col, e.lType, u""); break;
        case Shape::box: (void)slot->control.AddBox(e.a, e.b, e.c, e.d, e.col, e.lType, u""); break;
        case Shape::circle: (void)slot->control.AddCircle(e.a, e.b, e.c, e.col, e.lType, u""); break;
        case Shape::arc: (void)slot->control.AddCircle2(e.a, e.b, e.c, e.d, e.e, e.col, e.lType, u""); break;
      }
    }
    slot->picture.setDevice(kImageWidth, kImageHeight, 96, 96);
    slot->control.attachPicture(slot->picture);
  }
  return *slot;
}

QImage makeImage() {
  QImage image(kImageWidth, kImageHeight, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

void reflashIntoImage(Fixture& f, QImage& image, bool antialias) {
  f.picture.setOptions({QColor(0, 0, 0), antialias});
  QPainter painter(&image);
  f.picture.begin(painter);
  benchmark::DoNotOptimize(f.control.Reflash());
  f.picture.end();
}

void BM_ControlReflash(benchmark::State& state) {
  Fixture& f = fixtureFor(static_cast<std::size_t>(state.range(0)));
  const bool antialias = state.range(1) != 0;
  QImage image = makeImage();
  for (auto _ : state) reflashIntoImage(f, image, antialias);
  state.counters["entities"] = static_cast<double>(f.drawing.size());
}

// --- the plain loop ---

struct Primitive {
  enum Kind { line, ellipse, arc } kind;
  int pen;
  QLineF segment;
  QRectF bounds;
  int start16 = 0, span16 = 0;
};

// The pens P1 draws with: one pixel, cosmetic, the classic dash patterns.
std::array<QPen, 4 * 7> classicPens() {
  std::array<QPen, 4 * 7> pens;
  const std::int32_t styles[4] = {kDrawStyleSolid, kDrawStyleDash, kDrawStyleDashDot, kDrawStyleDashDotDot};
  for (int s = 0; s < 4; ++s) {
    for (int c = 0; c < 7; ++c) {
      const Rgb rgb = EntityColor(c);
      QPen pen(QColor(rgb.red, rgb.green, rgb.blue));
      pen.setCosmetic(true);
      pen.setWidth(1);
      const QList<qreal> dashes = qt::dashPattern(styles[s]);
      pen.setCapStyle(dashes.isEmpty() ? Qt::SquareCap : Qt::FlatCap);
      if (!dashes.isEmpty()) pen.setDashPattern(dashes);
      pens[static_cast<std::size_t>(s * 7 + c)] = pen;
    }
  }
  return pens;
}

// The drawing in device pixels, in the view a Reflash fits it to.
std::vector<Primitive> devicePrimitives(Fixture& f) {
  QImage image = makeImage();
  reflashIntoImage(f, image, false);  // leaves the picture's user system in place
  const qt::PainterSurface& p1 = f.picture;
  std::vector<Primitive> out;
  const auto addLine = [&](double x1, double y1, double x2, double y2, int pen) {
    out.push_back({Primitive::line, pen, QLineF(p1.toDevice(x1, y1), p1.toDevice(x2, y2)), {}});
  };
  for (const MixedEntity& e : f.drawing) {
    const int pen = e.lType * 7 + e.col;
    if (e.shape == Shape::line) {
      addLine(e.a, e.b, e.c, e.d, pen);
    } else if (e.shape == Shape::box) {
      const double l = std::min(e.a, e.c), r = std::max(e.a, e.c), lo = std::min(e.b, e.d), hi = std::max(e.b, e.d);
      addLine(l, lo, r, lo, pen);
      addLine(l, hi, r, hi, pen);
      addLine(l, lo, l, hi, pen);
      addLine(r, lo, r, hi, pen);
    } else {
      const QPointF c = p1.toDevice(e.a, e.b);
      const double r = std::fabs(p1.toDevice(e.a + e.c, e.b).x() - c.x());
      Primitive p{e.shape == Shape::circle ? Primitive::ellipse : Primitive::arc, pen, {},
                  QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r)};
      if (p.kind == Primitive::arc) {
        const auto sweep = qt::arcSweep(e.d, e.e);
        p.start16 = static_cast<int>(std::lround(sweep->start * kSixteenthsPerRadian));
        p.span16 = static_cast<int>(std::lround(sweep->span * kSixteenthsPerRadian));
      }
      out.push_back(p);
    }
  }
  return out;
}

void plainLoop(const std::vector<Primitive>& primitives, const std::array<QPen, 4 * 7>& pens, QImage& image,
               bool antialias) {
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, antialias);
  painter.setBrush(Qt::NoBrush);
  painter.fillRect(QRectF(0, 0, kImageWidth, kImageHeight), QColor(0, 0, 0));
  for (const Primitive& p : primitives) {
    painter.setPen(pens[static_cast<std::size_t>(p.pen)]);
    switch (p.kind) {
      case Primitive::line: painter.drawLine(p.segment); break;
      case Primitive::ellipse: painter.drawEllipse(p.bounds); break;
      case Primitive::arc: painter.drawArc(p.bounds, p.start16, p.span16); break;
    }
  }
}

void BM_PlainQPainterLoop(benchmark::State& state) {
  Fixture& f = fixtureFor(static_cast<std::size_t>(state.range(0)));
  const bool antialias = state.range(1) != 0;
  const std::vector<Primitive> primitives = devicePrimitives(f);
  const auto pens = classicPens();
  QImage image = makeImage();
  for (auto _ : state) plainLoop(primitives, pens, image, antialias);
  state.counters["entities"] = static_cast<double>(f.drawing.size());
}

double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The control and the plain loop back to back in every iteration, each timed by this
// thread's processor time, so that a busy machine slows both alike. Reports the ratio of
// the sums (the goal is at most 1.15) and both times per repaint.
void BM_ControlOverPlainLoop(benchmark::State& state) {
  Fixture& f = fixtureFor(static_cast<std::size_t>(state.range(0)));
  const bool antialias = state.range(1) != 0;
  const std::vector<Primitive> primitives = devicePrimitives(f);
  const auto pens = classicPens();
  QImage image = makeImage();
  double control = 0;
  double plain = 0;
  for (auto _ : state) {
    const double t0 = threadSeconds();
    reflashIntoImage(f, image, antialias);
    const double t1 = threadSeconds();
    plainLoop(primitives, pens, image, antialias);
    const double t2 = threadSeconds();
    control += t1 - t0;
    plain += t2 - t1;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["ratio"] = control / plain;
  state.counters["control_ms"] = control / n * 1e3;
  state.counters["plain_ms"] = plain / n * 1e3;
}

void mixedSizes(benchmark::internal::Benchmark* b) {
  for (const long count : {100000L, 1000000L})
    for (const long antialias : {0L, 1L}) b->Args({count, antialias});
  b->ArgNames({"entities", "aa"})->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_ControlReflash)->Apply(mixedSizes);
BENCHMARK(BM_PlainQPainterLoop)->Apply(mixedSizes);
BENCHMARK(BM_ControlOverPlainLoop)->Apply(mixedSizes)->MinTime(3);

}  // namespace
}  // namespace trazo::bench

BENCHMARK_MAIN();
