// The window of trazo view, long: a drawing of a million entities gets random wheel turns,
// drags, resizes and keys. No repaint may fail, resident memory must stay flat after the
// warm-up, and the window must still answer at the end.
//   TRAZO_VIEW_SOAK_SECONDS (default 15; the long run is 600)
#include "tools/trazo/view_window.hpp"

#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <unistd.h>

namespace trazo::cli {
namespace {

long residentKib() {
  long pages = 0, resident = 0;
  std::ifstream statm("/proc/self/statm");
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

TEST(ViewWindowSoak, RandomEventsOnAMillionEntitiesKeepMemoryFlatAndTheWindowAnswering) {
  const char* setting = std::getenv("TRAZO_VIEW_SOAK_SECONDS");
  const double seconds = setting != nullptr ? std::atof(setting) : 15;
  ViewWindow window{QStringLiteral("soak"), {}};
  Trazo& drawing = window.control().control();
  std::mt19937 random(23);
  std::uniform_real_distribution<double> at(0, 10000);
  for (int i = 0; i < 1'000'000; ++i) {
    const double x = at(random), y = at(random) * 0.5;
    ASSERT_EQ(drawing.AddLine(x, y, x + 20, y + (i % 7), i % 16, i % 5, u""), status::ok);
  }
  window.resize(640, 480);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  qt::PictureBox& p1 = window.control().picture();
  QTRY_VERIFY_WITH_TIMEOUT(p1.paintCount() > 0, 30000);

  QWidget& viewport = *window.view().viewport();
  const auto somewhere = [&] {
    return QPoint(static_cast<int>(random() % viewport.width()), static_cast<int>(random() % viewport.height()));
  };
  const int keys[] = {Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Home, Qt::Key_F, Qt::Key_Equal};
  const auto start = std::chrono::steady_clock::now();
  const auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
  long warm = 0;
  int events = 0, failedPaints = 0;
  while (elapsed() < seconds) {
    switch (random() % 4) {
      case 0: {  // a wheel turn about a point, in or out
        const QPointF point = p1.mapFrom(&viewport, QPointF(somewhere()));
        const int notches = static_cast<int>(random() % 7) - 3;
        QWheelEvent wheel(point, p1.mapToGlobal(point), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&p1, &wheel);
        break;
      }
      case 1: {  // a drag across the viewport
        const QPoint from = somewhere(), to = somewhere();
        QTest::mousePress(&p1, Qt::LeftButton, {}, p1.mapFrom(&viewport, from));
        QTest::mouseMove(&p1, p1.mapFrom(&viewport, (from + to) / 2));
        QTest::mouseMove(&p1, p1.mapFrom(&viewport, to));
        QTest::mouseRelease(&p1, Qt::LeftButton, {}, p1.mapFrom(&viewport, to));
        break;
      }
      case 2: window.resize(300 + static_cast<int>(random() % 700), 200 + static_cast<int>(random() % 500)); break;
      default: QTest::keyClick(&window, static_cast<Qt::Key>(keys[random() % std::size(keys)])); break;
    }
    QCoreApplication::processEvents();
    if (p1.lastPaintStatus() != status::ok) ++failedPaints;
    ++events;
    if (warm == 0 && elapsed() > seconds / 4) warm = residentKib();
  }
  const long end = residentKib();
  std::printf("%d events in %.0f s: resident %ld KiB after warm-up, %ld KiB at the end\n", events, elapsed(), warm,
              end);
  EXPECT_EQ(failedPaints, 0);
  EXPECT_GT(events, 20);
  // Flat: a repaint's buffers come and go; what a leak of a buffer or an index a repaint
  // would leave is far more than this.
  EXPECT_LT(end - warm, 16 * 1024) << warm << " KiB after warm-up";
  // Still answering: a key fits the drawing again, and a new size is repainted.
  QTest::keyClick(&window, Qt::Key_Home);
  EXPECT_EQ(window.zoom(), 1);
  const int paints = p1.paintCount();
  window.resize(window.width() + 17, window.height() + 11);
  QTRY_VERIFY_WITH_TIMEOUT(p1.paintCount() > paints, 10000);
  EXPECT_EQ(p1.lastPaintStatus(), status::ok);
}

}  // namespace
}  // namespace trazo::cli
