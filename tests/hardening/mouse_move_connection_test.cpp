// MouseMove raised while its sinks connect and disconnect one another: a sink gone before
// its turn is skipped, and one connected during the event waits for the next event.
#include "control/trazo.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace trazo {
namespace {

struct Sink : TrazoEvents {
  void MouseMove(std::int16_t&, std::int16_t&, float& X, float& Y) override {
    ++calls;
    lastX = X;
    lastY = Y;
    if (onEvent) onEvent();
  }
  int calls = 0;
  float lastX = 0, lastY = 0;
  std::function<void()> onEvent;
};

TEST(MouseMoveConnections, ChangesDuringTheEventTakeEffectInTurn) {
  Trazo t;
  Sink first, second, third, late;
  t.connect(first);
  const std::uint32_t secondCookie = t.connect(second);
  t.connect(third);
  first.onEvent = [&] {
    EXPECT_TRUE(t.disconnect(secondCookie));
    t.connect(late);
    first.onEvent = nullptr;
  };

  t.onMouseMove(1, 0, 2.0f, 3.0f);
  EXPECT_EQ(first.calls, 1);
  EXPECT_EQ(second.calls, 0);
  EXPECT_EQ(third.calls, 1);
  EXPECT_EQ(late.calls, 0);
  // crossed: the event's X is the vertical position
  EXPECT_EQ(third.lastX, 3.0f);
  EXPECT_EQ(third.lastY, 2.0f);

  t.onMouseMove(1, 0, 4.0f, 5.0f);
  EXPECT_EQ(first.calls, 2);
  EXPECT_EQ(second.calls, 0);
  EXPECT_EQ(third.calls, 2);
  EXPECT_EQ(late.calls, 1);
}

TEST(MouseMoveConnections, ASinkThatDisconnectsItselfIsRaisedOnce) {
  Trazo t;
  Sink only;
  const std::uint32_t cookie = t.connect(only);
  only.onEvent = [&] { EXPECT_TRUE(t.disconnect(cookie)); };
  t.onMouseMove(0, 0, 1, 1);
  t.onMouseMove(0, 0, 1, 1);
  EXPECT_EQ(only.calls, 1);
  EXPECT_FALSE(t.disconnect(cookie));
}

}  // namespace
}  // namespace trazo
