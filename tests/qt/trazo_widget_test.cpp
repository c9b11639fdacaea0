// The control as a widget in a window: P1 follows the client area, the drawing is refitted,
// pointer movement reaches the sinks crossed, and a failing paint stays inside the control.
#include "shells/qt/trazo_widget.hpp"
#include "tests/qt/image_probe.hpp"
#include "tests/support/placement_cases.hpp"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace trazo::qt {
namespace {

struct RecordedMove {
  std::int16_t button, shift;
  float x, y;
};

class RecordingSink : public TrazoEvents {
 public:
  void MouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override {
    moves.push_back({Button, Shift, X, Y});
  }
  std::vector<RecordedMove> moves;
};

class TrazoWidgetInWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    widget.resize(400, 300);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    QTRY_VERIFY(widget.picture().paintCount() > 0);
  }
  // Waits for the paints that are due, then for one more period in which none should come.
  void settle() {
    QCoreApplication::processEvents();
    QTest::qWait(50);
  }
  TrazoWidget widget;
};

TEST_F(TrazoWidgetInWindow, PictureFollowsTheClientAreaAndTheDrawingIsRefitted) {
  (void)widget.control().AddLine(0, 0, 100, 50, 3, 0, u"");
  widget.reflash();
  EXPECT_EQ(widget.picture().geometry(), widget.rect());
  for (const QSize size : {QSize(600, 200), QSize(240, 360)}) {
    widget.resize(size);
    QTRY_COMPARE(widget.picture().size(), size);
    EXPECT_EQ(widget.picture().pos(), QPoint(0, 0));
    settle();
    // The line's ends sit where the fitted view of the new size puts them.
    const DeviceSurface& p1 = widget.picture().surface();
    const QPointF low(p1.toDevice(0, 0).x, p1.toDevice(0, 0).y);
    const QPointF high(p1.toDevice(100, 50).x, p1.toDevice(100, 50).y);
    if (size.width() * 50 > size.height() * 100) {  // fitted to the height: 10 % margins
      EXPECT_NEAR(low.y(), size.height() * 11.0 / 12, 0.5);
      EXPECT_NEAR(high.y(), size.height() * 1.0 / 12, 0.5);
    } else {  // fitted to the width
      EXPECT_NEAR(low.x(), size.width() * 1.0 / 12, 0.5);
      EXPECT_NEAR(high.x(), size.width() * 11.0 / 12, 0.5);
    }
    const QImage shown = widget.picture().grab().toImage();
    EXPECT_TRUE(testing::colourNear(shown, (low.x() + high.x()) / 2, (low.y() + high.y()) / 2, QColor(0, 255, 0)));
  }
}

TEST_F(TrazoWidgetInWindow, ReflashCallsBeforeAFrameCostOneRedraw) {
  settle();
  const int before = widget.picture().paintCount();
  widget.reflash();
  widget.reflash();
  widget.reflash();
  QTRY_VERIFY(widget.picture().paintCount() > before);
  settle();
  EXPECT_EQ(widget.picture().paintCount(), before + 1);
}

TEST_F(TrazoWidgetInWindow, APointerAtDrawingPositionThreeSevenArrivesAsXSevenYThree) {
  (void)widget.control().AddLine(0, 0, 10, 10, 3, 0, u"");
  RecordingSink sink;
  widget.control().connect(sink);
  QSignalSpy spy(&widget, &TrazoWidget::mouseMove);
  widget.reflash();
  settle();
  const DeviceSurface& p1 = widget.picture().surface();
  const QPoint at = QPointF(p1.toDevice(3, 7).x, p1.toDevice(3, 7).y).toPoint();
  QTest::mouseMove(&widget.picture(), at);
  QTRY_VERIFY(!sink.moves.empty());
  // One pixel of slack, for the pointer lands on whole pixels.
  const double unitsPerPixel = 1 / std::fabs(p1.toDevice(1, 0).x - p1.toDevice(0, 0).x);
  EXPECT_NEAR(sink.moves.back().x, 7, unitsPerPixel);
  EXPECT_NEAR(sink.moves.back().y, 3, unitsPerPixel);
  EXPECT_EQ(sink.moves.back().button, 0);
  ASSERT_FALSE(spy.isEmpty());
  EXPECT_EQ(spy.last().at(2).toFloat(), sink.moves.back().x);
  EXPECT_EQ(spy.last().at(3).toFloat(), sink.moves.back().y);
}

TEST_F(TrazoWidgetInWindow, InfiniteCoordinatesPaintTheRestAndKeepQtRunning) {
  (void)widget.control().AddLine(-INFINITY, 0, INFINITY, 0, 1, 0, u"");  // the extents have no centre
  (void)widget.control().AddCircle(0, 5, 3, 2, 0, u"");
  widget.reflash();
  settle();
  EXPECT_EQ(widget.picture().lastPaintStatus(), status::ok);
  const QImage shown = widget.picture().grab().toImage();
  int ink = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) ink += shown.pixelColor(x, y) != QColor(0, 0, 0);
  EXPECT_GT(ink, 50);  // the circle
  widget.resize(300, 200);
  QTRY_COMPARE(widget.picture().size(), QSize(300, 200));
}

// Qt's own view of the control: points in drawing units with the axes as the drawing has
// them (unlike MouseMove), presses, releases and the wheel as signals in drawing units, and
// the members with QString and QColor.
TEST_F(TrazoWidgetInWindow, QtCodeSeesTheDrawingInItsOwnUnitsAndTypes) {
  ASSERT_EQ(widget.addLine(0, 0, 10, 10, 3, 0, QStringLiteral("diagonal")), status::ok);
  ASSERT_EQ(widget.addText(1, 1, 2, 0, 5, QStringLiteral("Ünïcode"), QStringLiteral("label")), status::ok);
  EXPECT_EQ(widget.count(), 2);
  EXPECT_EQ(widget.control().store().at(1)->Tag, u"diagonal");
  EXPECT_EQ(widget.control().store().at(2)->Text, u"Ünïcode");
  EXPECT_EQ(widget.colourOf(3), QColor(0, 255, 0));
  widget.reflash();
  settle();

  const QPointF at = widget.mapFromDrawing(QPointF(3, 7));
  const QPointF back = widget.mapToDrawing(at);
  EXPECT_NEAR(back.x(), 3, 1e-9);
  EXPECT_NEAR(back.y(), 7, 1e-9);
  EXPECT_LT(widget.mapFromDrawing(QPointF(3, 8)).y(), at.y());  // Y up

  QSignalSpy presses(&widget, &TrazoWidget::pointerPressed);
  QSignalSpy releases(&widget, &TrazoWidget::pointerReleased);
  QSignalSpy wheels(&widget, &TrazoWidget::wheelTurned);
  const QPoint pixel = at.toPoint();
  QTest::mousePress(&widget.picture(), Qt::RightButton, Qt::ShiftModifier, pixel);
  QTest::mouseRelease(&widget.picture(), Qt::RightButton, Qt::ShiftModifier, pixel);
  QWheelEvent wheel(QPointF(pixel), widget.picture().mapToGlobal(QPointF(pixel)), QPoint(), QPoint(0, 120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(&widget.picture(), &wheel);
  ASSERT_EQ(presses.size(), 1);
  ASSERT_EQ(releases.size(), 1);
  ASSERT_EQ(wheels.size(), 1);
  const double unitsPerPixel = std::fabs(widget.mapToDrawing(QPointF(1, 0)).x() - widget.mapToDrawing({}).x());
  for (const QPointF p : {presses[0][0].toPointF(), releases[0][0].toPointF(), wheels[0][0].toPointF()}) {
    EXPECT_NEAR(p.x(), 3, unitsPerPixel);
    EXPECT_NEAR(p.y(), 7, unitsPerPixel);
  }
  EXPECT_EQ(presses[0][1].value<Qt::MouseButton>(), Qt::RightButton);
  EXPECT_EQ(presses[0][2].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
  EXPECT_EQ(wheels[0][1].toPoint(), QPoint(0, 120));
}

// The widget option for texts: the characters show inside the box in the window too.
TEST_F(TrazoWidgetInWindow, TextsShowInTheWindowWhenAsked) {
  (void)widget.addBox(0, 0, 40, 20, 4, 0);
  (void)widget.addText(5, 5, 10, 0, 3, QStringLiteral("Trazo"));  // a box 25 x 10
  const auto inkInBox = [&] {
    const QImage shown = widget.picture().grab().toImage();
    const QPointF low = widget.mapFromDrawing(QPointF(5, 5)), high = widget.mapFromDrawing(QPointF(30, 15));
    int ink = 0;
    for (int y = static_cast<int>(high.y()) + 2; y < static_cast<int>(low.y()) - 1; ++y)
      for (int x = static_cast<int>(low.x()) + 2; x < static_cast<int>(high.x()) - 1; ++x)
        ink += shown.pixelColor(x, y) == QColor(0, 255, 0);
    return ink;
  };
  widget.reflash();
  settle();
  EXPECT_EQ(inkInBox(), 0);
  PictureOptions texts = widget.pictureOptions();
  texts.texts = true;
  widget.setPictureOptions(texts);
  settle();
  EXPECT_GT(inkInBox(), 100);
}

// Picking from Qt: the same entities found through widget points and drawing units, in a
// widget whose P1 is moved off its corner, and the pointer's hover and clicks as signals.
TEST_F(TrazoWidgetInWindow, EntitiesArePickedInWidgetPointsAndDrawingUnits) {
  ASSERT_EQ(widget.addLine(0, 0, 100, 50, 3, 0, QStringLiteral("diagonal")), status::ok);                // 1
  ASSERT_EQ(widget.addCircle(50, 25, 10, 4, 0, QStringLiteral("ring")), status::ok);                     // 2
  ASSERT_EQ(widget.addText(70, 5, 6, 0, 5, QStringLiteral("ab"), QStringLiteral("label")), status::ok);  // 3: 6 x 6
  EXPECT_EQ(widget.entityAt(QPointF(200, 150)), 0);  // nothing painted yet
  (void)widget.control().placement().setLeft(300);   // P1 30 twips right of the widget's corner
  widget.reflash();
  settle();
  ASSERT_NE(widget.picture().pos(), QPoint(0, 0));

  const struct {
    QPointF drawing;
    int expected;
  } points[] = {
      {{25, 12.5}, 1}, {{90, 45}, 1}, {{60, 25}, 2}, {{50, 15}, 2},
      {{70, 8}, 3},    {{76, 5}, 3},  {{50, 25}, 1},  // the circle's centre lies on the line
      {{10, 40}, 0},   {{66, 20}, 0}, {{73, 8}, 0},   // off every outline, and inside the text's box
  };
  for (const auto& p : points) {
    SCOPED_TRACE(QStringLiteral("(%1, %2)").arg(p.drawing.x()).arg(p.drawing.y()).toStdString());
    EXPECT_EQ(widget.entityAtDrawing(p.drawing, 1.5), p.expected);
    EXPECT_EQ(widget.entityAt(widget.mapFromDrawing(p.drawing), 1.5), p.expected);
  }
  const QPointF lineEnd = widget.mapFromDrawing(QPointF(100, 50));
  EXPECT_EQ(widget.entityAt(lineEnd + QPointF(6, 0), 1), 0);
  EXPECT_EQ(widget.entityAt(lineEnd + QPointF(6, 0), 8), 1);  // within the tolerance
  EXPECT_EQ(widget.entityAt(QPointF(NAN, 10), 3), 0);
  EXPECT_EQ(widget.entityAt(lineEnd, -1), 0);

  const QRectF aroundRing(QPointF(38, 13), QPointF(62, 37));  // the line crosses it too
  const QRectF aroundRingOnScreen(widget.mapFromDrawing(aroundRing.topLeft()),
                                  widget.mapFromDrawing(aroundRing.bottomRight()));
  EXPECT_EQ(widget.entitiesInDrawing(aroundRing), QList<int>({1, 2}));
  EXPECT_EQ(widget.entitiesInDrawing(aroundRing, BoxSelection::inside), QList<int>({2}));
  EXPECT_EQ(widget.entitiesIn(aroundRingOnScreen.normalized()), QList<int>({1, 2}));
  EXPECT_EQ(widget.entitiesIn(aroundRingOnScreen.normalized(), BoxSelection::inside), QList<int>({2}));
  EXPECT_EQ(widget.entitiesInDrawing(QRectF(60, 0, 30, 15), BoxSelection::inside), QList<int>({3}));

  // Entities added since the paint are not on the picture; after a Clear nothing is.
  ASSERT_EQ(widget.addLine(10, 40, 20, 40, 1, 0), status::ok);
  EXPECT_EQ(widget.entityAtDrawing(QPointF(15, 40), 1.5), 0);
  ASSERT_EQ(widget.clear(), status::ok);
  EXPECT_EQ(widget.entityAtDrawing(QPointF(25, 12.5), 1.5), 0);
  EXPECT_TRUE(widget.entitiesInDrawing(aroundRing).isEmpty());
}

TEST_F(TrazoWidgetInWindow, TheEntityUnderThePointerAndClicksOnEntitiesAreSignalled) {
  ASSERT_EQ(widget.addLine(0, 0, 100, 50, 3, 0), status::ok);
  ASSERT_EQ(widget.addCircle(50, 25, 10, 4, 0), status::ok);
  widget.reflash();
  settle();
  QSignalSpy hovered(&widget, &TrazoWidget::entityHovered);
  QSignalSpy clicked(&widget, &TrazoWidget::entityClicked);
  const auto on = [&](double x, double y) { return widget.mapFromDrawing(QPointF(x, y)).toPoint(); };
  // Sent at once, without moving the display's pointer, which other windows may move too.
  const auto moveTo = [&](QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), widget.picture().mapToGlobal(QPointF(at)), Qt::NoButton, {}, {});
    QCoreApplication::sendEvent(&widget.picture(), &move);
  };

  moveTo(on(25, 12.5));
  moveTo(on(25, 12.5) + QPoint(1, 0));  // still the line: no signal
  moveTo(on(10, 40));
  moveTo(on(60, 25));
  ASSERT_EQ(hovered.size(), 3);
  EXPECT_EQ((QList<int>{hovered[0][0].toInt(), hovered[1][0].toInt(), hovered[2][0].toInt()}), QList<int>({1, 0, 2}));
  EXPECT_EQ(widget.hoveredEntity(), 2);

  QTest::mouseClick(&widget.picture(), Qt::LeftButton, Qt::ShiftModifier, on(60, 25));
  QTest::mouseClick(&widget.picture(), Qt::RightButton, {}, on(10, 40));
  // A press and a release far apart are a drag, not a click.
  QTest::mousePress(&widget.picture(), Qt::LeftButton, {}, on(60, 25));
  QTest::mouseRelease(&widget.picture(), Qt::LeftButton, {}, on(60, 25) + QPoint(40, 0));
  ASSERT_EQ(clicked.size(), 2);
  EXPECT_EQ(clicked[0][0].toInt(), 2);
  EXPECT_EQ(clicked[0][1].value<Qt::MouseButton>(), Qt::LeftButton);
  EXPECT_EQ(clicked[0][2].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
  EXPECT_EQ(clicked[1][0].toInt(), 0);
  EXPECT_EQ(clicked[1][1].value<Qt::MouseButton>(), Qt::RightButton);

  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&widget.picture(), &leave);
  EXPECT_EQ(widget.hoveredEntity(), 0);
  EXPECT_EQ(hovered.last()[0].toInt(), 0);
}

TEST(TrazoWidgetBeforeShown, PointerMovesAreInTwipsBeforeTheFirstReflash) {
  TrazoWidget widget;
  RecordingSink sink;
  widget.control().connect(sink);
  PictureBox& p1 = widget.picture();
  QMouseEvent move(QEvent::MouseMove, QPointF(10, 20), p1.mapToGlobal(QPointF(10, 20)), Qt::NoButton, Qt::LeftButton,
                   Qt::ShiftModifier);
  QCoreApplication::sendEvent(&p1, &move);
  ASSERT_EQ(sink.moves.size(), 1u);
  EXPECT_FLOAT_EQ(sink.moves[0].x, static_cast<float>(20 * 1440.0 / p1.logicalDpiY()));
  EXPECT_FLOAT_EQ(sink.moves[0].y, static_cast<float>(10 * 1440.0 / p1.logicalDpiX()));
  EXPECT_EQ(sink.moves[0].button, 1);
  EXPECT_EQ(sink.moves[0].shift, 1);
}

// The table of placements every shell runs: P1's widget sits at the pixels the control gives,
// and its device follows its size.
TEST(TrazoWidgetBeforeShown, PictureSitsWhereEveryCaseOfTheTablePlacesIt) {
  const std::vector<trazo::testing::PlacementCase> cases = trazo::testing::placementCases();
  ASSERT_GT(cases.size(), 20u);
  for (const trazo::testing::PlacementCase& c : cases) {
    TrazoWidget widget;
    PictureBox& p1 = widget.picture();
    widget.control().placement().attach(&p1, trazo::testing::kPlacementCasesDpi, trazo::testing::kPlacementCasesDpi);
    for (const trazo::testing::PlacementStep& step : c.steps) {
      SCOPED_TRACE(c.name + ", line " + std::to_string(step.line));
      ASSERT_NE(step.line, 0) << "the table cannot be read";
      EXPECT_EQ(trazo::testing::assign(widget.control().placement(), step),
                step.refused ? status::invalidCall : status::ok);
      const PixelPlacement& e = step.expected;
      EXPECT_EQ(p1.geometry(), QRect(e.left, e.top, e.width, e.height));
      EXPECT_EQ(p1.surface().widthPixels(), std::round(e.width * p1.devicePixelRatioF()));
      EXPECT_EQ(p1.surface().heightPixels(), std::round(e.height * p1.devicePixelRatioF()));
    }
  }
}

}  // namespace
}  // namespace trazo::qt
