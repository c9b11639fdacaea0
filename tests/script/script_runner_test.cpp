// Running a script: each statement's result is handed on as data (line, member, status,
// value); the trace writes failures as Error lines and Count's value, and the next
// statement still runs.
#include "picture/recording_surface.hpp"
#include "script/script.hpp"
#include "tests/support/store_snapshot.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace trazo::script {
namespace {

std::string run(std::string_view text, double w = 4000, double h = 2000) {
  Script s = Script::read(text, "t.trz");
  EXPECT_TRUE(s.accepted());
  std::ostringstream out;
  RecordingSurface picture(out, w, h);
  Trazo control;
  control.attachPicture(picture);
  EXPECT_EQ(control.onInitialize(), status::ok);
  TraceListener trace(out);
  s.run(control, trace);
  return out.str();
}

TEST(ScriptRunner, FailuresAreWrittenAndTheScriptGoesOn) {
  EXPECT_EQ(run("addcircle 1E+308, 0, 1E+308, 1, 1, \"\"\n"
                "AddText 0, 0, 1E+308, 0, 1, \"ABCDEFGHIJ\", \"\"\n"
                "Count\n"
                "AddLine 0, 0, 10, 5, 1, 0, \"\"\n"
                "Count\n"),
            "Error AddCircle float\nError AddText float\nCount 0\nCount 1\n");
}

TEST(ScriptRunner, OutcomesNameTheLineTheMemberAndItsStatus) {
  struct Outcomes : Listener {
    void ran(const Outcome& o) override { all.push_back(o); }
    std::vector<Outcome> all;
  } outcomes;
  Script s = Script::read(
      "' first a comment\nAddLine 0, 0, 1, 1, 1, 0, \"\"\n\nADDCIRCLE 1E308, 0, 1E308, 1, 0, \"\"\nCount\n", "t.trz");
  Trazo control;
  ASSERT_EQ(control.onInitialize(), status::ok);
  s.run(control, outcomes);
  ASSERT_EQ(outcomes.all.size(), 3u);
  const Outcome& failure = outcomes.all[1];
  EXPECT_EQ(failure.line, 4u);
  EXPECT_EQ(failure.member->name, "AddCircle");  // as the table spells it
  EXPECT_EQ(failure.status, status::floatError);
  EXPECT_EQ(outcomes.all[2].line, 5u);
  EXPECT_EQ(outcomes.all[2].value, 1);
  EXPECT_EQ(s.statementCount(), 0u);  // a script runs once
}

// The first entity a one-line script stores, with its strings, which outlive the control.
testing::EntityCopy firstEntityOf(std::string_view text) {
  Script s = Script::read(text, "t.trz");
  EXPECT_TRUE(s.accepted());
  Trazo control;
  EXPECT_EQ(control.onInitialize(), status::ok);
  Listener nothing;
  s.run(control, nothing);
  EXPECT_EQ(control.store().count(), 1);
  return testing::EntityCopy(*control.store().at(1));
}

TEST(ScriptRunner, NumbersPassedToStringsBecomeText) {
  const testing::EntityCopy e = firstEntityOf("AddText 0, 0, 1, 0, 1, 2.5, 1E+300\n");
  EXPECT_EQ(e.text, u"2.5");
  EXPECT_EQ(e.tag, u"1E+300");
}

TEST(ScriptRunner, LongArgumentsRoundHalfToEven) {
  const Entity e = firstEntityOf("AddLine 0, 0, 1, 1, 2.5, \"3.5\", \"\"\n").numbers;
  EXPECT_EQ(e.Col, 2);
  EXPECT_EQ(e.LineType, 4);
}

TEST(ScriptRunner, ZeroHeightPictureRepaintsWithoutError) {
  EXPECT_EQ(run("AddLine 0, 0, 10, 5, 1, 0, \"\"\nReflash\n", 4000, 0), "Cls\nScaleMode 1\n");
}

}  // namespace
}  // namespace trazo::script
