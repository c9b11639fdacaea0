// Bytes no text editor would write, at the script reader: control characters, NULs, broken
// and forbidden UTF-8, and great sizes. Each is rejected with one message naming its line,
// or read as it should be; the golden scripts hostile_*.trz cover the ordinary faults.
#include "script/script.hpp"

#include <gtest/gtest.h>

#include <string>

namespace trazo::script {
namespace {

using namespace std::string_literals;

Script readScript(std::string_view text, std::string_view fileName) { return Script::read(text, fileName); }

// The tag of the first entity an accepted one-statement script stores.
std::u16string storedTag(std::string_view text) {
  Script s = readScript(text, "h.trz");
  EXPECT_TRUE(s.accepted());
  Trazo control;
  EXPECT_EQ(control.onInitialize(), status::ok);
  Listener nothing;
  s.run(control, nothing);
  const std::optional<Entity> e = control.store().count() == 1 ? control.store().at(1) : std::nullopt;
  return e ? std::u16string(e->Tag) : u"(nothing stored)";
}

TEST(HostileScript, BytesThatAreNotTextAreRejectedByLine) {
  struct Case {
    const char* what;
    std::string line;
    std::string message;
  };
  const Case cases[] = {
      {"a NUL between statements", "Count\0"s, "unexpected character (byte 0)"},
      {"a NUL inside a string", "AddLine 0, 0, 1, 1, 1, 0, \"a\0b\""s, ""},
      {"a control character", "Count \x01", "unexpected character (byte 1)"},
      {"a byte above ASCII outside a string", "Count \xff", "unexpected character (byte 255)"},
      {"a lone continuation byte", "AddLine 0, 0, 1, 1, 1, 0, \"\x80\"", "string is not valid UTF-8"},
      {"an overlong encoding", "AddLine 0, 0, 1, 1, 1, 0, \"\xc0\xaf\"", "string is not valid UTF-8"},
      {"an encoded surrogate", "AddLine 0, 0, 1, 1, 1, 0, \"\xed\xa0\x80\"", "string is not valid UTF-8"},
      {"a code point past U+10FFFF", "AddLine 0, 0, 1, 1, 1, 0, \"\xf4\x90\x80\x80\"", "string is not valid UTF-8"},
      {"a sequence cut off", "AddLine 0, 0, 1, 1, 1, 0, \"\xe3\x81\"", "string is not valid UTF-8"},
      {"a vertical tab", "Count\v", "unexpected character (byte 11)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Script s = readScript("Clear\n" + c.line + "\nCount\n", "h.trz");
    if (c.message.empty()) {
      EXPECT_TRUE(s.accepted());
      continue;
    }
    ASSERT_EQ(s.faults().size(), 1u);
    EXPECT_EQ(s.faults()[0], "h.trz:2: " + c.message);
  }
}

TEST(HostileScript, MessagesShowScriptBytesEscapedAndShort) {
  // Whatever a script holds reaches the terminal as printable text: escapes for what would
  // act on it, and no more of a token than its first 40 characters.
  const std::string x100(100, 'x');
  const struct {
    std::string line;
    std::string message;
  } cases[] = {
      {"Set t = CreateObject(\"\x1b[31mRed\x1b]0;title\x07\")", "cannot create '\\x1b[31mRed\\x1b]0;title\\x07'"},
      {"Reflash() \"a\xe2\x80\xa8"
       "b\xe2\x80\xae"
       "c\xc2\x9b\"",
       "unexpected 'a\\u2028b\\u202ec\\u009b' after the arguments"},
      {"Reflash() \"\xff\xc0\xaf \\ \"\"\"", "unexpected '\\xff\\xc0\\xaf \\\\ \"' after the arguments"},
      {"Reflash() \"\xe3\x81\x82\xf0\x9f\x98\x80\"", "unexpected '\xe3\x81\x82\xf0\x9f\x98\x80' after the arguments"},
      {x100 + " 1", "unknown member '" + x100.substr(0, 40) + "...'"},
      {"AddCircle 0, 0, 1" + std::string(500, '0') + ", 1, 0, \"\"",
       "number '1" + std::string(39, '0') + "...' is out of range"},
      {"AddLine " + x100 + ":=1", "unknown argument '" + x100.substr(0, 40) + "...' for AddLine"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const Script s = readScript(c.line, "h\x1b.trz");
    ASSERT_EQ(s.faults().size(), 1u);
    EXPECT_EQ(s.faults()[0], "h\\x1b.trz:1: " + c.message);
  }
  // A line past the limit is refused as such, without being read for anything else.
  const Script longLine = readScript("Count\n" + std::string(kLongestLine + 1, 'x') + "\nCount 1\n", "h.trz");
  ASSERT_EQ(longLine.faults().size(), 2u);
  EXPECT_EQ(longLine.faults()[0], "h.trz:2: the line is longer than 16 MiB");
  EXPECT_EQ(longLine.faults()[1], "h.trz:3: Count takes 0 arguments, not 1");
  EXPECT_TRUE(readScript("AddLine 0, 0, 1, 1, 1, 0, \"\"" + std::string(kLongestLine - 30, ' '), "h.trz").accepted());
}

TEST(HostileScript, AStringKeepsItsNulAndFourByteCharacters) {
  EXPECT_EQ(storedTag("AddLine 0, 0, 1, 1, 1, 0, \"a\0\xf0\x9f\x98\x80\"\n"s), std::u16string(u"a\0\xD83D\xDE00", 4));
  // Also where the full parser reads the statement.
  EXPECT_EQ(storedTag("AddLine(0, 0, 1, 1, 1, 0, \"a\0\xf0\x9f\x98\x80\")\n"s), std::u16string(u"a\0\xD83D\xDE00", 4));
}

TEST(HostileScript, GreatSizes) {
  // A tag of a million characters on one line.
  EXPECT_EQ(storedTag("AddLine 0, 0, 1, 1, 1, 0, \"" + std::string(1 << 20, 'x') + "\"").size(), 1u << 20);

  // A hundred thousand faulty lines give a hundred thousand messages, the last one numbered.
  std::string faulty;
  for (int i = 0; i < 100000; ++i) faulty += "Frobnicate\n";
  const Script many = readScript(faulty, "h.trz");
  ASSERT_EQ(many.faults().size(), 100000u);
  EXPECT_EQ(many.faults().back(), "h.trz:100000: unknown member 'Frobnicate'");

  // Numbers: beyond the Double range is refused, below it is 0, and the reader gives up on
  // any number written with more than 400 characters, however small its value.
  const auto messages = [](const std::string& number) {
    return readScript("AddCircle 0, 0, " + number + ", 1, 0, \"\"", "h.trz").faults().size();
  };
  EXPECT_EQ(messages(std::string(400, '9')), 1u);
  EXPECT_EQ(messages("0." + std::string(300, '0') + "1"), 0u);
  EXPECT_EQ(messages("0." + std::string(350, '0') + "1"), 0u);  // below the Double range: 0
  EXPECT_EQ(messages("0." + std::string(399, '0') + "1"), 1u);
}

}  // namespace
}  // namespace trazo::script
