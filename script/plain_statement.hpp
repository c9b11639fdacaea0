// The form nearly every statement of a long script has, read in one sweep: a member of the
// table and exactly its arguments, positional, each a number (with a minus sign, if any,
// right before it) for a number parameter or a string for a String parameter, then the end
// of the line or a comment. Characters, numbers and strings are read by the same rules as
// the lexer's, and arguments are coerced as binding does; the full parser reads any other
// line, and alone words its faults.
#pragma once

#include "script/call_list.hpp"

#include <cstddef>
#include <string>
#include <string_view>

namespace trazo::script {

// Strings longer than this go to the full parser, so that a statement's room in the call
// list is known before it is read.
inline constexpr std::size_t kPlainTextUnits = 256;

class PlainStatementReader {
 public:
  static constexpr std::size_t kNotPlain = static_cast<std::size_t>(-1);

  // Reads the line at the start of `text` (which runs on to the end of the script). When it
  // has the plain form its statement is added to `calls` and the line's length (up to its
  // newline) comes back; for any other line, blank ones too, kNotPlain, with `calls` as it
  // was.
  std::size_t read(std::string_view text, std::size_t lineNumber, CallList& calls);

 private:
  std::u16string text_;  // a String argument, decoded
};

}  // namespace trazo::script
