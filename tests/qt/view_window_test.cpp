// The window of trazo view: zooming as a host would (P1 grows in a scrolling view and the
// control keeps fitting the drawing into it), panning, the keys, and the status line.
#include "tools/trazo/view_window.hpp"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace trazo::cli {
namespace {

struct LastMove final : TrazoEvents {
  void MouseMove(std::int16_t&, std::int16_t&, float& X, float& Y) override {
    x = X;
    y = Y;
    ++count;
  }
  float x = 0, y = 0;
  int count = 0;
};

class ViewWindowShown : public ::testing::Test {
 protected:
  void SetUp() override {
    Trazo& drawing = window.control().control();
    (void)drawing.AddBox(0, 0, 100, 50, 4, 0, u"");
    (void)drawing.AddLine(0, 0, 100, 50, 3, 1, u"");
    window.control().control().connect(sink);
    window.show();
    window.activateWindow();  // keys reach the window's shortcuts once it is active
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTRY_VERIFY(window.control().picture().paintCount() > 0);
  }
  QWidget& viewport() { return *window.view().viewport(); }
  qt::PictureBox& p1() { return window.control().picture(); }
  // The drawing under a point of the viewport, as the control's picture maps it now.
  QPointF drawingAt(QPoint viewportPoint) {
    return p1().mapToDrawing(p1().mapFrom(&viewport(), QPointF(viewportPoint)));
  }
  // Waits for a repaint, after which the control has fitted the drawing to P1's size.
  void repainted(int before) {
    QTRY_VERIFY(p1().paintCount() > before);
    QCoreApplication::processEvents();
  }
  void turnWheel(QPoint viewportPoint, int notches) {
    const QPointF at = p1().mapFrom(&viewport(), QPointF(viewportPoint));
    QWheelEvent wheel(at, p1().mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&p1(), &wheel);
  }
  ViewWindow window{QStringLiteral("view"), {}};
  LastMove sink;
};

TEST_F(ViewWindowShown, TheWheelZoomsAboutThePointerAndMouseMoveStaysTheControls) {
  const QPoint pointer(300, 200);
  const QPointF before = drawingAt(pointer);
  const int paints = p1().paintCount();
  turnWheel(pointer, 3);
  EXPECT_DOUBLE_EQ(window.zoom(), std::pow(ViewWindow::kZoomPerNotch, 3));
  const QSize fitted = window.view().maximumViewportSize();
  EXPECT_EQ(p1().size(), QSize(static_cast<int>(std::lround(fitted.width() * window.zoom())),
                               static_cast<int>(std::lround(fitted.height() * window.zoom()))));
  repainted(paints);
  // The control fitted the drawing to the larger P1; the drawing under the pointer stayed,
  // to within the pixel the scroll position is rounded to.
  const QPointF after = drawingAt(pointer);
  const double unitsPerPixel = std::fabs(drawingAt(pointer + QPoint(1, 0)).x() - after.x());
  EXPECT_NEAR(after.x(), before.x(), 1.5 * unitsPerPixel);
  EXPECT_NEAR(after.y(), before.y(), 1.5 * unitsPerPixel);
  // Only what the window shows was drawn, though P1 is now larger than the window.
  const double ratio = p1().devicePixelRatioF();
  EXPECT_GT(p1().width(), viewport().width());
  EXPECT_LE(p1().lastPaintedArea().width(), std::ceil(viewport().width() * ratio));
  EXPECT_LE(p1().lastPaintedArea().height(), std::ceil(viewport().height() * ratio));

  // MouseMove is the control's own, crossed; the status line says it in words and as raised.
  QTest::mouseMove(&p1(), p1().mapFrom(&viewport(), pointer));
  QTRY_VERIFY(sink.count > 0);
  const QPointF at = p1().mapToDrawing(p1().mapFrom(&viewport(), QPointF(pointer)));
  EXPECT_EQ(sink.x, static_cast<float>(at.y()));
  EXPECT_EQ(sink.y, static_cast<float>(at.x()));
  const QString h = QString::number(static_cast<double>(sink.y), 'g', 7);
  const QString v = QString::number(static_cast<double>(sink.x), 'g', 7);
  EXPECT_TRUE(window.statusText().startsWith(QStringLiteral("horizontal %1, vertical %2").arg(h, v)))
      << window.statusText().toStdString();
  EXPECT_TRUE(window.statusText().contains(QStringLiteral("MouseMove X=%1 Y=%2").arg(v, h)))
      << window.statusText().toStdString();
}

TEST_F(ViewWindowShown, DraggingPansHomeFitsAndTheZoomHasItsLimits) {
  window.zoomBy(8, QPoint(0, 0));
  QScrollBar& h = *window.view().horizontalScrollBar();
  QScrollBar& v = *window.view().verticalScrollBar();
  h.setValue(400);
  v.setValue(300);
  const QPoint from = p1().mapFrom(&viewport(), QPoint(200, 150));
  QTest::mousePress(&p1(), Qt::LeftButton, {}, from);
  QTest::mouseMove(&p1(), from - QPoint(50, 30));
  QTest::mouseRelease(&p1(), Qt::LeftButton, {}, from - QPoint(50, 30));
  EXPECT_EQ(h.value(), 450);
  EXPECT_EQ(v.value(), 330);

  QTest::keyClick(&window, Qt::Key_Home);
  EXPECT_EQ(window.zoom(), 1);
  EXPECT_EQ(p1().size(), window.view().maximumViewportSize());
  window.zoomBy(4, {});
  QTest::keyClick(&window, Qt::Key_F);
  EXPECT_EQ(window.zoom(), 1);

  window.zoomBy(1e9, {});
  EXPECT_LE(window.zoom(), ViewWindow::kMostZoom);
  EXPECT_GT(window.zoom(), 100);
  EXPECT_LE(std::max(p1().width(), p1().height()), ViewWindow::kLargestSide + 1);
  window.zoomBy(1e-9, {});
  EXPECT_EQ(window.zoom(), 1);  // never smaller than fitted
}

TEST(ViewWindowKeys, EscapeControlQAndControlWClose) {
  const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
      {Qt::Key_Escape, Qt::NoModifier}, {Qt::Key_Q, Qt::ControlModifier}, {Qt::Key_W, Qt::ControlModifier}};
  for (const auto& [key, modifiers] : keys) {
    ViewWindow window(QStringLiteral("keys"), {});
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, key, modifiers);
    EXPECT_FALSE(window.isVisible()) << key;
  }
}

}  // namespace
}  // namespace trazo::cli
