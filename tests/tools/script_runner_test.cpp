// Running a script: failures become Error lines and the next statement still runs; Count
// writes the value it returned.
#include "control/recording_surface.hpp"
#include "tools/trazo/script.hpp"
#include "tools/trazo/script_runner.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace trazo::script {
namespace {

std::string run(std::string_view text, double w = 4000, double h = 2000) {
  const Script s = readScript(text, "t.trz");
  EXPECT_TRUE(s.errors.empty());
  std::ostringstream out;
  RecordingSurface picture(out, w, h);
  Trazo control;
  control.attachPicture(picture);
  EXPECT_EQ(control.onInitialize(), status::ok);
  runScript(s, control, out);
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

// The first entity a one-line script stores.
Entity firstEntityOf(std::string_view text) {
  const Script s = readScript(text, "t.trz");
  EXPECT_TRUE(s.errors.empty());
  Trazo control;
  EXPECT_EQ(control.onInitialize(), status::ok);
  std::ostringstream out;
  runScript(s, control, out);
  EXPECT_EQ(control.store().count(), 1);
  return *control.store().at(1);
}

TEST(ScriptRunner, NumbersPassedToStringsBecomeText) {
  const Entity e = firstEntityOf("AddText 0, 0, 1, 0, 1, 2.5, 1E+300\n");
  EXPECT_EQ(e.Text, u"2.5");
  EXPECT_EQ(e.Tag, u"1E+300");
}

TEST(ScriptRunner, LongArgumentsRoundHalfToEven) {
  const Entity e = firstEntityOf("AddLine 0, 0, 1, 1, 2.5, \"3.5\", \"\"\n");
  EXPECT_EQ(e.Col, 2);
  EXPECT_EQ(e.LineType, 4);
}

TEST(ScriptRunner, ZeroHeightPictureRepaintsWithoutError) {
  EXPECT_EQ(run("AddLine 0, 0, 10, 5, 1, 0, \"\"\nReflash\n", 4000, 0), "Cls\nScaleMode 1\n");
}

}  // namespace
}  // namespace trazo::script
