// Several controls at once: two widgets in one window, and two controls on two threads
// drawing their pictures at the same moment, each with its own drawing. Every picture must
// be the one its drawing gives alone. And one widget drawing a frame on a thread of its own
// while its GUI thread goes on. CI also runs these under ThreadSanitizer.
#include "shells/qt/picture_painting.hpp"
#include "shells/qt/trazo_widget.hpp"

#include <QHBoxLayout>
#include <QResizeEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

namespace trazo::qt {
namespace {

// One of the test drawings: `seed` makes it differ; enough lines that the raster step is
// split into bands over the worker threads.
void fill(Trazo& t, int seed, int lines) {
  for (int i = 0; i < lines; ++i) {
    const double a = (i * 37 + seed * 11) % 200, b = (i * 53 + seed * 7) % 120;
    ASSERT_EQ(t.AddLine(a, b, 200 - b, a * 0.5, (i + seed) % 16, i % 5, u"soak"), status::ok);
  }
  ASSERT_EQ(t.AddBox(10 + seed, 10, 60 + seed, 50, 4, 1, u""), status::ok);
  ASSERT_EQ(t.AddCircle(100, 60, 20 + seed, 2, 0, u""), status::ok);
  ASSERT_EQ(t.AddCircle2(120, 60, 30, 10 + seed, 250, 5, 3, u""), status::ok);
  ASSERT_EQ(t.AddText(20, 90, 8, seed * 5, 9, u"Trazo", u""), status::ok);
}

TEST(SeveralControls, TwoWidgetsInOneWindowShowWhatEachShowsAlone) {
  const QSize size(240, 180);
  QImage alone[2];
  for (int seed = 0; seed < 2; ++seed) {
    TrazoWidget widget;
    fill(widget.control(), seed + 1, 400);
    widget.resize(size);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    widget.reflash();
    QTRY_VERIFY(widget.picture().paintCount() > 0);
    alone[seed] = widget.picture().grab().toImage();
  }
  ASSERT_NE(alone[0], alone[1]);  // so that a mix-up shows

  QWidget window;
  auto* layout = new QHBoxLayout(&window);
  layout->setContentsMargins(0, 0, 0, 0);
  TrazoWidget* both[2] = {new TrazoWidget, new TrazoWidget};
  for (int i = 0; i < 2; ++i) {
    both[i]->setFixedSize(size);
    layout->addWidget(both[i]);
  }
  // Interleaved adds, each to the other control than the one before.
  fill(both[0]->control(), 1, 400);
  fill(both[1]->control(), 2, 400);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  for (int round = 0; round < 10; ++round) {
    both[0]->reflash();
    both[1]->reflash();
    QCoreApplication::processEvents();
  }
  QTRY_VERIFY(both[0]->picture().paintCount() > 0 && both[1]->picture().paintCount() > 0);
  EXPECT_EQ(both[0]->picture().grab().toImage(), alone[0]);
  EXPECT_EQ(both[1]->picture().grab().toImage(), alone[1]);
}

TEST(SeveralControls, TwoControlsOnTwoThreadsDrawWhatEachDrawsAlone) {
  // Crisp and antialiased, with the worker pool's bands and with texts drawn through Qt.
  const QSize size(400, 300);
  for (const bool antialias : {false, true}) {
    SCOPED_TRACE(antialias);
    PictureOptions options;
    options.antialias = antialias;
    options.texts = true;
    Trazo controls[2];
    QImage alone[2];
    for (int i = 0; i < 2; ++i) {
      ASSERT_EQ(controls[i].onInitialize(), status::ok);
      fill(controls[i], i + 4, 3000);
      alone[i] = renderImage(controls[i], size, options);
    }
    ASSERT_NE(alone[0], alone[1]);
    std::atomic<int> ready{0};
    int differing[2] = {0, 0};
    const auto draw = [&](int i) {
      ready.fetch_add(1);
      while (ready.load() < 2) std::this_thread::yield();  // both start together
      for (int round = 0; round < 8; ++round) {
        Status s = status::unexpected;
        if (renderImage(controls[i], size, options, &s) != alone[i] || s != status::ok) ++differing[i];
      }
    };
    std::thread first(draw, 0), second(draw, 1);
    first.join();
    second.join();
    EXPECT_EQ(differing[0], 0);
    EXPECT_EQ(differing[1], 0);
  }
}

// A large drawing is drawn on a thread of its own: once its frame shows, the window's pixels,
// P1's coordinate system and picking are those of a frame drawn on the GUI thread; a write
// to the store while a frame is drawn ends that frame first.
TEST(DrawnAside, FramesMatchThoseDrawnInPlaceAndWritesEndThemFirst) {
  TrazoWidget widget;
  widget.resize(400, 300);
  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  std::mt19937 random(7);
  std::uniform_real_distribution<double> at(0, 1000);
  for (int i = 0; i < 60000; ++i) {
    const double x = at(random), y = at(random), size = at(random) / 40;
    ASSERT_EQ(i % 7 != 0 ? widget.addLine(x, y, x + size, y - size, 1 + i % 6, i % 4)
                         : widget.addCircle(x, y, size, 1 + i % 6, i % 4),
              status::ok);
  }
  ASSERT_EQ(widget.addText(400, 500, 60, 30, 3, QStringLiteral("Trazo"), QStringLiteral("label")), status::ok);
  const auto drawAsideFrom = [&](int count) {
    PictureOptions options = widget.pictureOptions();
    options.drawAsideFrom = count;
    options.texts = true;
    widget.setPictureOptions(options);
  };
  PictureBox& p1 = widget.picture();
  int before = p1.paintCount();
  drawAsideFrom(1);
  QTRY_VERIFY(p1.paintCount() > before && !p1.drawingAside());
  EXPECT_EQ(p1.lastPaintStatus(), status::ok);
  const QImage aside = p1.grab().toImage();
  const QPointF textCorner = widget.mapFromDrawing(QPointF(400, 500));
  EXPECT_EQ(widget.entityAtDrawing(QPointF(420, 510), 2), 60001);

  drawAsideFrom(0);
  QCoreApplication::processEvents();
  QTest::qWait(50);
  EXPECT_TRUE(p1.grab().toImage() == aside);
  EXPECT_EQ(widget.mapFromDrawing(QPointF(400, 500)), textCorner);
  EXPECT_EQ(widget.entityAtDrawing(QPointF(420, 510), 2), 60001);

  drawAsideFrom(1);
  ASSERT_EQ(widget.addLine(0, 0, 1000, 1000, 2, 0), status::ok);
  p1.repaint();
  ASSERT_TRUE(p1.drawingAside());
  ASSERT_EQ(widget.addLine(0, 1000, 1000, 0, 2, 0), status::ok);
  EXPECT_FALSE(p1.drawingAside());
  before = p1.paintCount();
  widget.reflash();
  QTRY_VERIFY(p1.paintCount() > before);
  EXPECT_EQ(p1.lastPaintStatus(), status::ok);
}

// Pans a window drawn aside across P1 and compares each frame with the same window drawn in
// place.
void pannedFramesMatchThoseDrawnInPlace(bool texts) {
  PictureOptions options;
  options.drawAsideFrom = 1;
  options.texts = texts;
  TrazoWidget widget(nullptr, options);
  fill(widget.control(), 3, 20000);
  // A text across every seam between the pixels kept and those drawn anew.
  ASSERT_EQ(widget.control().AddText(10, 100, 30, 10, 9, u"Trazo Trazo", u""), status::ok);
  // Hidden, the widget is sized by hand; P1 is then larger than the windows drawn.
  const QSize size(1200, 800);
  widget.resize(size);
  QResizeEvent resized(size, QSize());
  QCoreApplication::sendEvent(&widget, &resized);
  PictureBox& p1 = widget.picture();
  const auto shown = [&](const QRect& area) {
    QImage image(area.size(), QImage::Format_RGB32);
    p1.render(&image, QPoint(), QRegion(area));
    while (p1.drawingAside()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    p1.render(&image, QPoint(), QRegion(area));
    return image;
  };
  // Panned up and left, down and left, up and right from the window before, and then so far
  // that nothing is shared.
  const QRect windows[] = {
      {250, 100, 400, 300}, {189, 77, 400, 300}, {149, 167, 400, 300}, {199, 150, 400, 300}, {699, 150, 400, 300}};
  const std::int64_t kept[] = {0, (400 - 61) * (300 - 23), (400 - 40) * (300 - 90), (400 - 50) * (300 - 17), 0};
  QImage panned[5];
  for (int i = 0; i < 5; ++i) {
    panned[i] = shown(windows[i]);
    EXPECT_EQ(p1.lastKeptPixels(), kept[i]) << "window " << i;
    EXPECT_EQ(p1.lastPaintStatus(), status::ok);
  }
  options.drawAsideFrom = 0;
  widget.setPictureOptions(options);
  for (int i = 0; i < 5; ++i) {
    QImage whole(windows[i].size(), QImage::Format_RGB32);
    p1.render(&whole, QPoint(), QRegion(windows[i]));
    EXPECT_TRUE(whole == panned[i]) << "window " << i;
  }
}

// A frame whose window overlaps the last frame's (a view panned across P1) keeps the pixels
// they share and draws only the rest, texts and all: the pixels of a frame drawn whole. With
// the texts' characters drawn over the frame and without them; without, the parts around the
// kept pixels meet enough entities to share their walks between two threads.
TEST(DrawnAside, APannedFrameDrawsOnlyWhatIsNew) {
  for (const bool texts : {true, false}) {
    SCOPED_TRACE(texts ? "texts drawn" : "boxes only");
    pannedFramesMatchThoseDrawnInPlace(texts);
  }
}

}  // namespace
}  // namespace trazo::qt
