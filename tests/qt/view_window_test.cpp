// The window of trazo view: zooming as a host would (P1 grows in a scrolling view and the
// control keeps fitting the drawing into it), panning, the keys, and the status line.
#include "tools/trazo/view_window.hpp"

#include "tools/trazo/entity_description.hpp"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
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
  // The pointer moved over P1 at once, without moving the display's pointer, which other
  // windows on the display may move as well.
  void movePointer(QPoint p1Point, Qt::MouseButtons buttons = {}) {
    QMouseEvent move(QEvent::MouseMove, QPointF(p1Point), p1().mapToGlobal(QPointF(p1Point)), Qt::NoButton, buttons,
                     {});
    QCoreApplication::sendEvent(&p1(), &move);
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

// The entity under the pointer is drawn in the highlight colour and named; a click selects,
// a Shift-drag selects what its rectangle crosses, Ctrl+C copies the tags, Esc clears the
// selection and only then closes the window.
TEST_F(ViewWindowShown, PointingNamesAndHighlightsClicksAndShiftDragsSelectAndTagsAreCopied) {
  Trazo& drawing = window.control().control();                              // a box (1 to 4) and a dashed diagonal (5)
  ASSERT_EQ(drawing.AddCircle(50, 25, 10, 2, 0, u"ring"), status::ok);      // 6
  ASSERT_EQ(drawing.AddText(70, 5, 6, 0, 5, u"ab", u"label"), status::ok);  // 7
  ASSERT_EQ(drawing.AddLine(10, 40, 30, 40, 6, 0, u"ledge"), status::ok);   // 8
  const int paints = p1().paintCount();
  window.control().reflash();
  repainted(paints);
  const auto on = [&](double x, double y) { return window.control().mapFromDrawing(QPointF(x, y)).toPoint(); };
  const QColor highlight = window.picking().layer().colour();
  EXPECT_EQ(highlight, QColor(Qt::white));  // on the default black background
  const QPoint ringEdge = on(60, 25);
  // Pixels of a colour within two pixels of the ring's edge as the window shows it.
  const auto near = [&](const QColor& colour) {
    const QImage shown = p1().grab().toImage();
    int n = 0;
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) n += shown.pixelColor(ringEdge + QPoint(dx, dy)) == colour;
    return n;
  };
  const QColor yellow(255, 255, 0);  // the ring's own
  EXPECT_GT(near(yellow), 0);
  EXPECT_EQ(near(highlight), 0);

  movePointer(ringEdge);
  EXPECT_EQ(window.entityText(), QStringLiteral("circle 6 \"ring\": centre (50, 25) radius 10"));
  EXPECT_GT(near(highlight), 0);
  EXPECT_EQ(near(yellow), 0);  // drawn over, and its halo over what is beside it
  movePointer(on(20, 30));
  EXPECT_EQ(window.entityText(), QString());
  EXPECT_EQ(near(highlight), 0);
  EXPECT_GT(near(yellow), 0);

  QTest::mouseClick(&p1(), Qt::LeftButton, {}, ringEdge);
  EXPECT_EQ(window.picking().selection(), QList<int>({6}));
  EXPECT_EQ(window.selectionText(), QStringLiteral("1 selected"));
  QTest::mouseClick(&p1(), Qt::LeftButton, Qt::ControlModifier, on(20, 40));
  EXPECT_EQ(window.picking().selection(), QList<int>({6, 8}));
  QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("ring\nledge\n"));

  // A Shift-drag across the diagonal and the text selects what it crosses, and the view
  // does not pan meanwhile.
  const int scrolled = window.view().horizontalScrollBar()->value();
  QTest::mousePress(&p1(), Qt::LeftButton, Qt::ShiftModifier, on(20, 14));
  movePointer(on(80, 5), Qt::LeftButton);
  QTest::mouseRelease(&p1(), Qt::LeftButton, Qt::ShiftModifier, on(80, 5));
  EXPECT_EQ(window.picking().selection(), QList<int>({5, 7}));
  EXPECT_EQ(window.view().horizontalScrollBar()->value(), scrolled);
  QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("\nlabel\n"));  // the diagonal has no tag

  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_TRUE(window.picking().selection().isEmpty());
  EXPECT_TRUE(window.isVisible());
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
}

TEST(EntityDescription, NamesTheKindNumberTagAndDefiningValues) {
  const struct {
    Entity entity;
    const char* expected;
  } cases[] = {
      {{kKindLine, 0, 0.5, 100, -50, 0, 3, 0, {}, u"wall"}, "line 3 \"wall\": (0, 0.5) to (100, -50)"},
      {{kKindCircle, 5, 2.5, 2, 0, 0, 4, 1, {}, {}}, "circle 3: centre (5, 2.5) radius 2"},
      {{kKindArc, 5, 2.5, 3, 0, 1.5708, 5, 0, {}, u"bend"},
       "arc 3 \"bend\": centre (5, 2.5) radius 3 from 0 to 1.5708 rad"},
      {{kKindText, 1, 4, 0.5, 30, 0, 6, 0, u"Trazo", u"name"},
       "text 3 \"name\": \"Trazo\" at (1, 4) height 0.5 angle 30°"},
  };
  for (const auto& c : cases) EXPECT_EQ(describeEntity(3, c.entity), QString::fromUtf8(c.expected));
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
