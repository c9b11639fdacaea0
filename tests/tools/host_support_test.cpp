// What the host does around a script: the nearest name for a misspelt one, reading a
// script file or saying why not, and progress on a terminal only.
#include "script/nearest_name.hpp"
#include "tools/trazo/progress_display.hpp"
#include "tools/trazo/script_text.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace trazo::cli {
namespace {

TEST(NearestName, SuggestsOnlyWhatIsAFewEditsAway) {
  const std::vector<std::string_view> subcommands = {"trace", "render", "view"};
  const struct {
    std::string_view typed;
    std::string_view nearest;
  } cases[] = {
      {"rendr", "render"}, {"tarce", "trace"}, {"VIEW", "view"}, {"rnder", "render"},
      {"x", ""},           {"draw", ""},       {"", ""},         {"traceroute", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(script::nearestName(c.typed, subcommands, [](std::string_view s) { return s; }), c.nearest) << c.typed;
  }
  EXPECT_EQ(script::editDistance("AddCirlce", "AddCircle"), 1u);  // two letters swapped
  EXPECT_EQ(script::editDistance("addline", "AddLine"), 0u);
  EXPECT_EQ(script::editDistance("", "col"), 3u);
}

TEST(ScriptText, ReadsOnlyARegularFileWithinItsLimit) {
  const auto dir = std::filesystem::temp_directory_path() / "trazo_script_text_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const auto write = [&](const char* name, std::string_view text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
  };
  const std::string fifo = (dir / "fifo.trz").string();
#ifndef _WIN32
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);  // no writer: opening it to read would wait for ever
#endif
  using Outcome = ScriptText::Outcome;
  const ScriptLimits small{10, 4};
  struct Case {
    std::string path;
    ScriptLimits limits;
    Outcome outcome;
    std::string textOrReason;  // the text read, or why not
    std::size_t tooLargeAt = 0;
  };
  const Case cases[] = {
      {write("s.trz", "Reflash\r\nCount\n"), {}, Outcome::read, "Reflash\r\nCount\n"},
      {write("empty.trz", ""), {}, Outcome::read, ""},
      {write("ten.trz", "a\nb\ncdefgh"), small, Outcome::read, "a\nb\ncdefgh"},  // lines are the reader's
      {write("eleven.trz", "a\nb\nc\ndefgh"), small, Outcome::tooLarge, "", 4},
      {(dir / "missing.trz").string(), {}, Outcome::refused, "No such file or directory"},
      {dir.string(), {}, Outcome::refused, "Is a directory"},
#ifndef _WIN32
      {fifo, {}, Outcome::refused, "a FIFO, not a file (- reads standard input)"},
      {"/dev/null", {}, Outcome::refused, "a device, not a file (- reads standard input)"},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    ScriptText text;
    ASSERT_EQ(text.open(c.path, c.limits), c.outcome);
    EXPECT_EQ(c.outcome == Outcome::refused ? text.reason() : std::string(text.text()), c.textOrReason);
    EXPECT_EQ(text.tooLargeAt(), c.tooLargeAt);
  }
  std::filesystem::remove_all(dir);
}

TEST(ProgressDisplay, ShowsOnATerminalAfterASecondAndNeverElsewhere) {
  using namespace std::chrono_literals;
  struct Case {
    bool terminal;
    std::chrono::milliseconds at;  // when the progress comes, from the start
    std::string shown;
  };
  const script::Progress reading{65536, 0, false};
  const script::Progress last{100000, 42, true};
  const Case cases[] = {
      {false, 5000ms, ""},
      {true, 500ms, ""},
      {true, 1500ms, "\rs.trz: 65536 lines read, 0 entities added\rs.trz: 100000 lines read, 42 entities added\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    std::chrono::steady_clock::time_point now{};
    ProgressDisplay display("s.trz", out, c.terminal, nullptr, [&] { return now; });
    now += c.at;
    display.progress(reading);
    display.finish(last);
    EXPECT_EQ(out.str(), c.shown) << c.terminal << " " << c.at.count();
  }
}

TEST(ProgressDisplay, CountsStepsAfterTheScriptOnATerminalOnly) {
  for (const bool terminal : {false, true}) {
    std::ostringstream out;
    std::chrono::steady_clock::time_point now{};
    ProgressDisplay display("s.trz", out, terminal, nullptr, [&] { return now; });
    display.counted(1, 100, "tiles written");  // too soon
    now += std::chrono::seconds(2);
    display.progress({10, 5, true});
    display.finish({10, 5, true});
    display.counted(2, 100, "tiles written");  // too soon after the last line
    now += std::chrono::seconds(1);
    display.counted(99, 100, "tiles");
    display.counted(100, 100, "t");  // the last, shown at once, covering the longer line
    EXPECT_EQ(out.str(), terminal ? "\rs.trz: 10 lines read, 5 entities added\rs.trz: 10 lines read, 5 entities added\n"
                                    "\rs.trz: 99 of 100 tiles\rs.trz: 100 of 100 t   \n"
                                  : "");
  }
}

TEST(ProgressDisplay, AFailureGetsALineOfItsOwn) {
  std::ostringstream out;
  std::chrono::steady_clock::time_point now{};
  struct Outcomes : script::Listener {
    void ran(const script::Outcome&) override { ++count; }
    int count = 0;
  } outcomes;
  ProgressDisplay display("s.trz", out, true, &outcomes, [&] { return now; });
  now += std::chrono::seconds(2);
  display.progress({10, 5, true});
  display.ran({7, &kMembers[3], status::floatError, 0});
  display.ran({8, &kMembers[3], status::ok, 0});
  EXPECT_EQ(out.str(), "\rs.trz: 10 lines read, 5 entities added\n");
  EXPECT_EQ(outcomes.count, 2);
}

}  // namespace
}  // namespace trazo::cli
