// Reading call scripts: the accepted forms, and one message per fault with file and line.
#include "tools/trazo/script.hpp"

#include <gtest/gtest.h>

namespace trazo::script {
namespace {

Script read(std::string_view text) { return readScript(text, "d.trz"); }

TEST(ScriptReader, AcceptsEveryCallForm) {
  const Script s = read(
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
  ASSERT_TRUE(s.errors.empty()) << s.errors.front();
  ASSERT_EQ(s.statements.size(), 7u);
  EXPECT_EQ(s.statements[0].line, 4);
  EXPECT_EQ(s.statements[0].member->name, "AddLine");
  EXPECT_EQ(s.statements[1].member->name, "AddBox");
  EXPECT_EQ(s.statements[2].named.size(), 8u);
  EXPECT_EQ(s.statements[4].positional.size(), 4u);
  EXPECT_EQ(std::get<double>(s.statements[4].positional[0]), -1);
  EXPECT_EQ(std::get<double>(s.statements[4].positional[2]), 0.5);
  EXPECT_EQ(s.statements[4].named[1].param, 4);  // ltype
  EXPECT_EQ(s.statements[6].member->name, "Count");
}

TEST(ScriptReader, StringsAreUtf16WithDoubledQuotes) {
  const Script s = read("AddText 0, 0, 1, 0, 1, \"say \"\"hi\"\" \xE4\xBC\x9A \xF0\x9F\x98\x80\", \"\"\n");
  ASSERT_TRUE(s.errors.empty()) << s.errors.front();
  EXPECT_EQ(std::get<std::u16string>(s.statements[0].positional[5]), u"say \"hi\" \u4F1A \U0001F600");
}

TEST(ScriptReader, ByteOrderMarkAndMissingFinalNewlineAreFine) {
  const Script s = read("\xEF\xBB\xBFReflash\nCount");
  ASSERT_TRUE(s.errors.empty()) << s.errors.front();
  EXPECT_EQ(s.statements.size(), 2u);
}

TEST(ScriptReader, EveryFaultIsReportedWithItsLine) {
  const Script s = read(
      "AddFoo 1\n"                                  // 1 unknown member
      "AddLine 1, 2\n"                              // 2 wrong number
      "AddLine 1,2,3,4,5,6,\"x\" junk\n"            // 3 trailing junk
      "AddLine 1,2,3,4,1E10,6,\"\"\n"               // 4 Long out of range
      "AddLine x1:=1, 2,3,4,5,6,\"\"\n"             // 5 positional after named
      "AddLine 1,2,3,4,5,6,\"x\n"                   // 6 unclosed string
      "AddText 1,2,3,4,5,\"a\",\"b\", lType:=1\n"   // 7 unknown argument name
      "AddLine \"north\",2,3,4,5,6,7\n"             // 8 cannot convert
      "AddLine 1,,3,4,5,6,\"\"\n"                   // 9 missing argument
      "AddLine 1E+400,2,3,4,5,6,\"\"\n"             // 10 number out of range
      "AddLine x1:=1,X1:=1,3,4,5,6,\"\"\n"          // 11 positional after named
      "AddCircle CX:=1,cx:=2,r:=1,col:=1,lType:=1,Tag:=\"\"\n"  // 12 given twice
      "Set t = CreateObject(\"Excel.Application\")\n"           // 13 another object
      "AddLine 1.2.3,2,3,4,5,6,\"\"\n"              // 14 malformed number
      "Reflash \x01\n"                              // 15 control character
      "AddText 1,2,3,4,5,\"\xFF\",\"\"\n"           // 16 invalid UTF-8
      "Count 1\n");                                 // 17 wrong number
  const std::vector<std::string> expected = {
      "d.trz:1: unknown member 'AddFoo'",
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
  };
  EXPECT_EQ(s.errors, expected);
  EXPECT_TRUE(s.statements.empty());
}

TEST(ScriptReader, InvalidUtf8IsRejectedInEveryForm) {
  for (const char* bad : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE4\xBC", "\x80"}) {
    const Script s = read(std::string("AddText 1,2,3,4,5,\"") + bad + "\",\"\"\n");
    EXPECT_EQ(s.errors.size(), 1u) << bad;
  }
}

}  // namespace
}  // namespace trazo::script
