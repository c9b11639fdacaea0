// Reading call scripts: the accepted forms and what they store, one message per fault with
// file and line (and the nearest name for a misspelt one), and one grammar of numbers for
// the script and for coercion.
#include "script/script.hpp"

#include "automation/variant.hpp"
#include "tests/support/store_snapshot.hpp"

#include <gtest/gtest.h>

#include <cstring>

namespace trazo::script {
namespace {

Script read(std::string_view text) { return Script::read(text, "d.trz"); }

// Every statement's outcome as the runner hands it on.
struct Outcomes : Listener {
  void ran(const Outcome& o) override { all.push_back(o); }
  std::vector<Outcome> all;
};

// Runs an accepted script into a fresh control and keeps what it stored.
struct Played {
  explicit Played(std::string_view text) {
    Script s = read(text);
    EXPECT_TRUE(s.accepted()) << (s.faults().empty() ? "" : s.faults().front());
    EXPECT_EQ(control.onInitialize(), status::ok);
    s.run(control, outcomes);
  }
  Entity entity(std::int32_t n) const { return *control.store().at(n); }
  Trazo control;
  Outcomes outcomes;
};

TEST(ScriptReader, AcceptsEveryCallForm) {
  const Played run(
      "' a comment\n"
      "\n"
      "Set t = CreateObject(\"Trazolib.Trazo\")\n"
      "t.AddLine 0, 0, 10, 5, 3, 2, \"\"   ' trailing comment\n"
      "ADDBOX 10, 20, 0, 5, 1, 0, \"frame\"\r\n"
      "AddCircle2 CX:=0, CY:=0, r:=10, sa:=0, ea:=1.5707963, col:=5, lType:=0, Tag:=\"\"\n"
      "AddText(0, 0, 10, 0, 1, \"ABC\", \"\")\n"
      "AddCircle -1, +2, .5, 1, TAG:=\"x\", ltype:=3\n"
      "Reflash()\n"
      "t.Count\n");
  std::vector<std::pair<std::size_t, std::string_view>> ran;
  for (const Outcome& o : run.outcomes.all) ran.emplace_back(o.line, o.member->name);
  const std::vector<std::pair<std::size_t, std::string_view>> expected = {
      {4, "AddLine"},   {5, "AddBox"},  {6, "AddCircle2"}, {7, "AddText"},
      {8, "AddCircle"}, {9, "Reflash"}, {10, "Count"}};
  EXPECT_EQ(ran, expected);
  EXPECT_EQ(run.outcomes.all.back().value, 8);  // a line, four sides, an arc, a text, a circle
  EXPECT_EQ(run.entity(6).Kind, kKindArc);
  EXPECT_EQ(run.entity(6).Value5, 1.5707963);
  const Entity& circle = run.entity(8);
  EXPECT_EQ(circle.Value1, -1);
  EXPECT_EQ(circle.Value3, 0.5);
  EXPECT_EQ(circle.LineType, 3);
  EXPECT_EQ(circle.Tag, u"x");
}

TEST(ScriptReader, StringsAreUtf16WithDoubledQuotes) {
  const Played run("AddText 0, 0, 1, 0, 1, \"say \"\"hi\"\" \xE4\xBC\x9A \xF0\x9F\x98\x80\", \"\"\"\"\n");
  EXPECT_EQ(run.entity(1).Text, u"say \"hi\" \u4F1A \U0001F600");
  EXPECT_EQ(run.entity(1).Tag, u"\"");
}

TEST(ScriptReader, ByteOrderMarkAndMissingFinalNewlineAreFine) {
  const Script s = read("\xEF\xBB\xBFReflash\nCount");
  ASSERT_TRUE(s.accepted()) << s.faults().front();
  EXPECT_EQ(s.statementCount(), 2u);
  EXPECT_EQ(s.lineCount(), 2u);
}

// A line has the same meaning however it is written: in the plain form nearly every line of
// a long script has, and in the forms the full parser reads.
TEST(ScriptReader, EveryFormOfAStatementStoresTheSame) {
  const char* forms[][4] = {
      {"AddLine 1, -2.5, .5, 1E3, 2.5, 3.5, \"t\"", "AddLine(1, -2.5, .5, 1E3, 2.5, 3.5, \"t\")",
       "AddLine 1, - 2.5, .5, 1e+3, \"2.5\", 3.5, Tag:=\"t\"",
       "t.AddLine y1:=-2.5, x1:=1, x2:=0.5, y2:=1000, col:=2.5, lType:=3.5, Tag:=\"t\""},
      {"AddText 1, 2, 3, 45, 6, \"a\"\"b\", \"\"", "AddText(1, 2, 3, 45, 6, \"a\"\"b\", \"\")",
       "ADDTEXT 1,2,3,45,6,\"a\"\"b\",\"\"\t' a comment",
       "AddText TX:=1, TY:=2, TH:=3, Tang:=45, col:=6, cText:=\"a\"\"b\", Tag:=\"\""},
      {"AddCircle 0, 0, 1E-400, -2147483648.5, 2147483647.4, \"\"",
       "AddCircle(0,0,1e-400,-2147483648.5,2147483647.4,\"\")",
       "AddCircle 0, 0, 0.0, \"-2147483648.5\", \"2147483647.4\", \"\"",
       "AddCircle 0, 0, 1E-400, -2147483648.5, 2147483647.4, Tag:=\"\""},
      {"AddText 1, 2, 3, 0, 1, 2.5, 1E300", "AddText(1, 2, 3, 0, 1, 2.5, 1E300)",
       "AddText 1, 2, 3, 0, 1, \"2.5\", \"1E+300\"", "AddText 1, 2, 3, 0, 1, cText:=2.5, Tag:=1E+300"},
  };
  for (const auto& row : forms) {
    const Played first(row[0]);
    ASSERT_EQ(first.control.store().count(), 1) << row[0];
    for (const char* other : row) {
      const Played run(other);
      ASSERT_EQ(run.control.store().count(), 1) << other;
      EXPECT_TRUE(testing::sameRecord(first.entity(1), run.entity(1))) << row[0] << "\n" << other;
    }
  }
}

// The script reads a number literal and coercion reads a String argument by one grammar:
// the same text gives the same Double bit for bit, or is refused by both.
TEST(ScriptReader, NumbersReadAsCoercionReadsThem) {
  for (const char* number : {"0",
                             "7",
                             "1.5",
                             ".5",
                             "5.",
                             "1E3",
                             "1e-3",
                             "12345678901234567890",
                             "0.1",
                             "3.14159265358979323846",
                             "1e308",
                             "2.2250738585072014e-308",
                             "4.9e-324",
                             "1e-400",
                             "00012.50000",
                             "9007199254740993",
                             "1.7976931348623157e308",
                             "1e309",
                             "1e",
                             "1.2.3"}) {
    SCOPED_TRACE(number);
    const Script literal = read("AddCircle 0, 0, " + std::string(number) + ", 1, 0, \"\"");
    const std::u16string text(number, number + std::strlen(number));
    double coerced = 0;
    const bool readable = !failed(doubleFromText(text, coerced));
    ASSERT_EQ(literal.accepted(), readable);
    if (!readable) continue;
    const Played run("AddCircle 0, 0, " + std::string(number) + ", 1, 0, \"\"");
    EXPECT_TRUE(testing::sameBits(run.entity(1).Value3, coerced));
  }
}

TEST(ScriptReader, EveryFaultIsReportedWithItsLine) {
  const Script s = read(
      "AddFoo 1\n"                                              // 1 unknown member
      "AddLine 1, 2\n"                                          // 2 wrong number
      "AddLine 1,2,3,4,5,6,\"x\" junk\n"                        // 3 trailing junk
      "AddLine 1,2,3,4,1E10,6,\"\"\n"                           // 4 Long out of range
      "AddLine x1:=1, 2,3,4,5,6,\"\"\n"                         // 5 positional after named
      "AddLine 1,2,3,4,5,6,\"x\n"                               // 6 unclosed string
      "AddText 1,2,3,4,5,\"a\",\"b\", lType:=1\n"               // 7 unknown argument name
      "AddLine \"north\",2,3,4,5,6,7\n"                         // 8 cannot convert
      "AddLine 1,,3,4,5,6,\"\"\n"                               // 9 missing argument
      "AddLine 1E+400,2,3,4,5,6,\"\"\n"                         // 10 number out of range
      "AddLine x1:=1,X1:=1,3,4,5,6,\"\"\n"                      // 11 positional after named
      "AddCircle CX:=1,cx:=2,r:=1,col:=1,lType:=1,Tag:=\"\"\n"  // 12 given twice
      "Set t = CreateObject(\"Excel.Application\")\n"           // 13 another object
      "AddLine 1.2.3,2,3,4,5,6,\"\"\n"                          // 14 malformed number
      "Reflash \x01\n"                                          // 15 control character
      "AddText 1,2,3,4,5,\"\xFF\",\"\"\n"                       // 16 invalid UTF-8
      "Count 1\n"                                               // 17 wrong number
      "AddCirlce 1, 2, 3, 1, 0, \"\"\n"                         // 18 misspelt member
      "AddLine 1, 2, 3, 4, clo:=1, lType:=0, Tag:=\"\"\n");     // 19 misspelt argument
  const std::vector<std::string> expected = {
      "d.trz:1: unknown member 'AddFoo'; did you mean 'AddBox'?",
      "d.trz:2: AddLine takes 7 arguments, not 2",
      "d.trz:3: unexpected 'junk' after the arguments",
      "d.trz:4: argument 'col' of AddLine is out of range for Long",
      "d.trz:5: positional argument after a named one",
      "d.trz:6: unclosed string",
      "d.trz:7: unknown argument 'lType' for AddText",
      "d.trz:8: argument 'x1' of AddLine cannot be converted to Double",
      "d.trz:9: missing argument",
      "d.trz:10: number '1E+400' is out of range",
      "d.trz:11: positional argument after a named one",
      "d.trz:12: argument 'CX' of AddCircle is given twice",
      "d.trz:13: cannot create 'Excel.Application'",
      "d.trz:14: malformed number '1.2.'",
      "d.trz:15: unexpected character (byte 1)",
      "d.trz:16: string is not valid UTF-8",
      "d.trz:17: Count takes 0 arguments, not 1",
      "d.trz:18: unknown member 'AddCirlce'; did you mean 'AddCircle'?",
      "d.trz:19: unknown argument 'clo' for AddLine; did you mean 'col'?",
  };
  EXPECT_EQ(s.faults(), expected);
  EXPECT_EQ(s.statementCount(), 0u);
}

// A script of several megabytes is read in two pieces where threads can be had: the pieces
// join in order, lines are numbered across them, faults come in line order.
TEST(ScriptReader, ALargeScriptReadsAsOne) {
  std::string text;
  const int lines = 200000;  // some 7 MB
  for (int i = 1; i <= lines; ++i) text += "AddLine " + std::to_string(i) + ", 0, 1, 2, 3, 0, \"a tag\"\n";
  Played played(text);
  ASSERT_EQ(played.outcomes.all.size(), static_cast<std::size_t>(lines));
  for (const int n : {1, lines / 2, lines / 2 + 1, lines}) {
    EXPECT_EQ(played.entity(n).Value1, n);
    EXPECT_EQ(played.outcomes.all[static_cast<std::size_t>(n - 1)].line, static_cast<std::size_t>(n));
  }
  text.replace(text.find("AddLine 3,"), 7, "AddLime");
  text.replace(text.rfind("AddLine"), 7, "AddLime");
  const Script rejected = read(text);
  ASSERT_EQ(rejected.faults().size(), 2u);
  EXPECT_EQ(rejected.faults()[0].rfind("d.trz:3: unknown member 'AddLime'", 0), 0u);
  EXPECT_EQ(rejected.faults()[1].rfind("d.trz:" + std::to_string(lines) + ": unknown member", 0), 0u);
  EXPECT_EQ(rejected.lineCount(), static_cast<std::size_t>(lines));
  EXPECT_EQ(rejected.statementCount(), 0u);
}

TEST(ScriptReader, InvalidUtf8IsRejectedInEveryForm) {
  for (const char* bad : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE4\xBC", "\x80"}) {
    const Script s = read(std::string("AddText 1,2,3,4,5,\"") + bad + "\",\"\"\n");
    EXPECT_EQ(s.faults().size(), 1u) << bad;
  }
}

}  // namespace
}  // namespace trazo::script
