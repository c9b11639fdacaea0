// Splits one line of a call script into tokens: names, numbers, strings and punctuation.
// A comment runs from an apostrophe outside a string to the end of the line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trazo::script {

enum class TokenKind { Name, Number, String, LeftParen, RightParen, Comma, Dot, Assign, NamedAssign, Plus, Minus };

struct Token {
  TokenKind kind;
  std::string text;  // the name, the number's digits, or the string's UTF-8 content
};

// False with `error` set when the line cannot be split (an unclosed string, a stray
// character, a malformed number).
bool tokenizeLine(std::string_view line, std::vector<Token>& tokens, std::string& error);

// UTF-8 to UTF-16 code units; false when the bytes are not valid UTF-8.
bool utf8ToUtf16(std::string_view utf8, std::u16string& out);

}  // namespace trazo::script
