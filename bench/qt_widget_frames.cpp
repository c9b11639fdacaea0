// How long the Qt widget's GUI thread is held by one frame of a large drawing: the
// benchmarks' mixed drawing at each count given, shown by a TrazoWidget of 1920 x 1080
// logical pixels, and the frame of that widget's whole picture against the frames of a
// 1920 x 1080 window at the middle of the picture grown ten times each way (a hundredth of
// the picture, 2.8 % of the drawing, which spans 864 pixels each way of the 1920 x 1080)
// and grown 16.7 times (a hundredth of the drawing), as the viewer shows it zoomed in a
// scrolling view. Each frame is the widget's own paint event, run through QWidget::render
// for exactly that part of P1, so it is what the event loop waits for. Figures are medians of the rounds, by wall clock
// (what a user waits) and by processor time of the process (what the frame costs while other work shares the machine);
// the first frame of each kind, which may build the spatial index, is shown apart.
//
// Then the same frames as the widget draws a large drawing by default, on a thread of its
// own: how long until the new picture shows (from the paint that orders it to the paint that
// shows it) and the longest the GUI thread is held by one step meanwhile (those two paints,
// the first of which shows the last picture scaled in place), and how long until the window
// panned by kPan pixels shows, which keeps what it shares with the frame before.
//
//   qt_widget_frames [COUNT...] [--rounds N] [--threads N]   (threads 0: all cores)
#include "bench/qt_mixed_drawing.hpp"
#include "bench/table_arguments.hpp"
#include "shells/qt/trazo_widget.hpp"

#include <QApplication>
#include <QImage>
#include <QRegion>
#include <QResizeEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using namespace trazo;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kGrowth = 10;  // each way: the window shows a hundredth of the picture
// The mixed drawing is a square fitted into the height, a tenth to spare at each side: 864
// pixels each way at 1920 x 1080. Grown 50/3 times it spans 14,400, and the window shows a
// hundredth of it.
constexpr int kDrawingGrowthTimes3 = 50;
// A pan: about what a turn of the wheel or a drag between two frames moves a view.
constexpr QPoint kPan(64, 32);

struct Times {
  double wall = 0, processor = 0;
};

using bench::median;

bool fill(qt::TrazoWidget& widget, std::size_t count) {
  using bench::Shape;
  for (const bench::MixedEntity& e : bench::mixedDrawing(count)) {
    Status s = status::ok;
    switch (e.shape) {
      case Shape::line: s = widget.addLine(e.a, e.b, e.c, e.d, e.col, e.lType); break;
      case Shape::box: s = widget.addBox(e.a, e.b, e.c, e.d, e.col, e.lType); break;
      case Shape::circle: s = widget.addCircle(e.a, e.b, e.c, e.col, e.lType); break;
      case Shape::arc: s = widget.addCircle2(e.a, e.b, e.c, e.d, e.e, e.col, e.lType); break;
    }
    if (failed(s)) return false;
  }
  return true;
}

// The widget is never shown (a window ten times the screen would need a backing store of
// that size), so Qt holds its resize events back: hand them over, and the control places P1.
void resizeHidden(QWidget& widget, QSize size) {
  const QSize old = widget.size();
  widget.resize(size);
  QResizeEvent event(size, old);
  QCoreApplication::sendEvent(&widget, &event);
}

// One paint event of `area` of P1, as Qt sends it when that part is exposed.
Times frame(qt::PictureBox& p1, const QRect& area, QImage& target, bool& ok) {
  const auto wallStart = std::chrono::steady_clock::now();
  const std::clock_t start = std::clock();
  const int before = p1.paintCount();
  p1.render(&target, QPoint(), QRegion(area), QWidget::DrawChildren);
  Times t;
  t.processor = static_cast<double>(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC;
  t.wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count();
  ok = ok && !area.isEmpty() && p1.paintCount() == before + 1 && !failed(p1.lastPaintStatus()) &&
       p1.lastPaintedArea().size() == area.size();
  return t;
}

struct AsideTimes {
  double shown = 0, longestHold = 0;  // wall clock
};

// A paint of `area` that orders a frame aside, the wait for it, and the paint that shows it.
AsideTimes shownAside(qt::PictureBox& p1, const QRect& area, QImage& target, bool& ok) {
  const int before = p1.paintCount();
  const auto start = std::chrono::steady_clock::now();
  double longest = 0;
  const auto paint = [&] {
    const auto from = std::chrono::steady_clock::now();
    p1.render(&target, QPoint(), QRegion(area), QWidget::DrawChildren);
    longest =
        std::max(longest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count());
  };
  paint();
  while (p1.drawingAside()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  paint();
  const double shown = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  ok = ok && p1.paintCount() == before + 1 && !failed(p1.lastPaintStatus());
  return {shown, longest};
}

// One frame drawn aside: setting the options again makes the picture afresh, as a change to
// the drawing would, and keeps the index.
AsideTimes asideFrame(qt::TrazoWidget& widget, const QRect& area, QImage& target, bool& ok) {
  qt::PictureOptions options = widget.pictureOptions();
  options.drawAsideFrom = 1;
  widget.setPictureOptions(options);
  return shownAside(widget.picture(), area, target, ok);
}

// The window at `area` drawn aside afresh, then panned by kPan: the times of the pan, which
// keeps what the two windows share.
AsideTimes pannedFrame(qt::TrazoWidget& widget, const QRect& area, QImage& target, bool& ok) {
  (void)asideFrame(widget, area, target, ok);
  const QRect panned = area.translated(kPan);
  const AsideTimes t = shownAside(widget.picture(), panned, target, ok);
  const QRect shared = area & panned;
  ok = ok && widget.picture().lastKeptPixels() == std::int64_t{shared.width()} * shared.height();
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
  QApplication app(argc, argv);
  const bench::TableArguments arguments = bench::tableArguments(argc, argv, 0);
  const int rounds = arguments.rounds, threads = arguments.threads;

  std::printf(
      "| entities | whole frame (wall / processor) | first whole frame | window of 1 %% of P1 (wall / processor) | "
      "first window frame | window of 1 %% of the drawing (wall / processor) | P1 whole, grown, grown "
      "|\n|---|---|---|---|---|---|---|\n");
  bool ok = true;
  struct AsideRow {
    std::size_t count;
    AsideTimes window, whole, panned;
  };
  std::vector<AsideRow> asideRows;
  for (const std::size_t count : arguments.counts) {
    qt::PictureOptions options;
    options.threads = threads;
    options.drawAsideFrom = 0;  // every frame on the GUI thread, which the table times
    qt::TrazoWidget widget(nullptr, options);
    resizeHidden(widget, QSize(kWidth, kHeight));
    if (!fill(widget, count)) {
      std::fprintf(stderr, "adding %zu entities failed\n", count);
      return 1;
    }
    qt::PictureBox& p1 = widget.picture();
    QImage target(kWidth, kHeight, QImage::Format_RGB32);
    const auto timed = [&](const QRect& area, Times& first) {
      first = frame(p1, area, target, ok);
      std::vector<double> wall, processor;
      for (int r = 0; r < rounds; ++r) {
        const Times t = frame(p1, area, target, ok);
        wall.push_back(t.wall);
        processor.push_back(t.processor);
      }
      return Times{median(wall), median(processor)};
    };

    Times firstWhole, firstWindow;
    const QSize fitted = p1.size();
    const Times whole = timed(QRect(QPoint(0, 0), fitted), firstWhole);
    resizeHidden(widget, QSize(kWidth * kGrowth, kHeight * kGrowth));
    const auto middleOf = [](QSize picture) {
      return QRect((picture.width() - kWidth) / 2, (picture.height() - kHeight) / 2, kWidth, kHeight);
    };
    const QSize grown = p1.size();
    const QRect middle = middleOf(grown);
    const Times window = timed(middle, firstWindow);
    resizeHidden(widget, QSize(kWidth * kDrawingGrowthTimes3 / 3, kHeight * kDrawingGrowthTimes3 / 3));
    const QSize grownMore = p1.size();
    Times firstHundredth;
    const Times hundredth = timed(middleOf(grownMore), firstHundredth);
    resizeHidden(widget, grown);

    std::printf(
        "| %zu | %.1f / %.1f ms | %.1f ms | %.1f / %.1f ms | %.1f ms | %.1f / %.1f ms | %dx%d, %dx%d, %dx%d |\n", count,
        whole.wall, whole.processor, firstWhole.wall, window.wall, window.processor, firstWindow.wall, hundredth.wall,
        hundredth.processor, fitted.width(), fitted.height(), grown.width(), grown.height(), grownMore.width(),
        grownMore.height());
    std::fflush(stdout);

    const auto aside = [&](const QRect& area, auto frameOf) {
      (void)frameOf(widget, area, target, ok);  // the first builds the frames' own index
      std::vector<double> shown, held;
      for (int r = 0; r < rounds; ++r) {
        const AsideTimes t = frameOf(widget, area, target, ok);
        shown.push_back(t.shown);
        held.push_back(t.longestHold);
      }
      return AsideTimes{median(shown), *std::max_element(held.begin(), held.end())};
    };
    asideRows.push_back({count, aside(middle, asideFrame), {}, aside(middle, pannedFrame)});
    resizeHidden(widget, QSize(kWidth, kHeight));
    asideRows.back().whole = aside(QRect(QPoint(0, 0), p1.size()), asideFrame);
  }
  std::printf(
      "\nDrawn aside (wall clock, medians; the GUI thread's longest hold over all rounds):\n"
      "| entities | whole frame shown after | GUI thread held at most | window of 1 %% of P1 shown after | GUI thread "
      "held at most | that window panned %d x %d shown after | GUI thread held at most "
      "|\n|---|---|---|---|---|---|---|\n",
      kPan.x(), kPan.y());
  for (const AsideRow& row : asideRows)
    std::printf("| %zu | %.1f ms | %.1f ms | %.1f ms | %.1f ms | %.1f ms | %.1f ms |\n", row.count, row.whole.shown,
                row.whole.longestHold, row.window.shown, row.window.longestHold, row.panned.shown,
                row.panned.longestHold);
  if (!ok) std::fprintf(stderr, "a frame failed or painted another part than asked\n");
  return ok ? 0 : 1;
}
