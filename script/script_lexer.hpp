// Splits one line of a call script into tokens, one at a time and without copying: names,
// numbers, strings and punctuation. A comment runs from an apostrophe outside a string to
// the end of the line.
#pragma once

#include "automation/number_text.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace trazo::script {

enum class TokenKind : std::uint8_t {
  End,  // the end of the line or the start of a comment
  Name,
  Number,
  String,
  LeftParen,
  RightParen,
  Comma,
  Dot,
  Assign,
  NamedAssign,
  Plus,
  Minus,
  Fault,  // the line cannot be split here; faultMessage says why
};

enum class LexFault : std::uint8_t { None, UnclosedString, UnexpectedCharacter, MalformedNumber };

struct Token {
  TokenKind kind = TokenKind::End;
  // A name, a number's characters, a string's content between its quotes as written (a
  // quote still doubled), a punctuation mark; for a fault, what it covers.
  std::string_view text;
  LexFault fault = LexFault::None;
  NumberScan number;  // for a number: what its scan found, for numberValue
};

namespace lexer {

// What a character can start or continue, one bit each.
enum CharClass : std::uint8_t {
  kBlank = 1,      // space, tab, and the CR of a CRLF line end
  kNameStart = 2,  // letters and _
  kNameChar = 4,   // letters, digits and _
  kDigit = 8,
};

inline constexpr auto kClasses = [] {
  std::array<std::uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    const bool digit = c >= '0' && c <= '9';
    classes[static_cast<std::size_t>(c)] =
        static_cast<std::uint8_t>((c == ' ' || c == '\t' || c == '\r' ? kBlank : 0) |
                                  (letter ? kNameStart | kNameChar : 0) | (digit ? kNameChar | kDigit : 0));
  }
  return classes;
}();

inline bool is(char c, CharClass k) { return (kClasses[static_cast<unsigned char>(c)] & k) != 0; }

}  // namespace lexer

// Reads the tokens of a line one after the other; the end of the line, and a fault, stay
// the current token once reached. Inline: every character of a script passes here.
class Lexer {
 public:
  explicit Lexer(std::string_view line) : at_(line.data()), end_(line.data() + line.size()) { advance(); }

  const Token& token() const { return token_; }

  void advance() {
    if (token_.kind == TokenKind::Fault) return;
    at_ = nextNonBlank();
    if (at_ == end_ || *at_ == '\'') {  // the end, or a comment up to it
      at_ = end_;
      return set(TokenKind::End, {});
    }
    const char c = *at_;
    if (c == ',') return punctuation(TokenKind::Comma);
    if (lexer::is(c, lexer::kDigit) || (c == '.' && at_ + 1 != end_ && lexer::is(at_[1], lexer::kDigit))) {
      return lexNumber();
    }
    if (lexer::is(c, lexer::kNameStart)) {
      const char* start = at_;
      while (at_ != end_ && lexer::is(*at_, lexer::kNameChar)) ++at_;
      return set(TokenKind::Name, text(start, at_));
    }
    if (c == '"') return lexString();
    lexOther();
  }

  // Whether the token after the current one is a '.' (not the start of a number such as
  // .5) or a ":=", looking ahead without reading it.
  bool dotFollows() const {
    const char* p = nextNonBlank();
    return p != end_ && *p == '.' && !(p + 1 != end_ && lexer::is(p[1], lexer::kDigit));
  }
  bool namedAssignFollows() const {
    const char* p = nextNonBlank();
    return end_ - p >= 2 && p[0] == ':' && p[1] == '=';
  }

 private:
  static std::string_view text(const char* from, const char* to) { return {from, static_cast<std::size_t>(to - from)}; }
  const char* nextNonBlank() const {
    const char* p = at_;
    while (p != end_ && lexer::is(*p, lexer::kBlank)) ++p;
    return p;
  }
  void punctuation(TokenKind kind) {
    set(kind, text(at_, at_ + 1));
    ++at_;
  }
  void lexNumber() {
    const char* start = at_;
    NumberScan& scan = token_.number;
    scanNumber(text(start, end_), scan);
    at_ += scan.length;
    if (scan.malformed || (at_ != end_ && (lexer::is(*at_, lexer::kNameChar) || *at_ == '.'))) {
      // 1e, 1e+, 1x, 1.2.: the message shows the number up to the character that spoils it.
      return set(TokenKind::Fault, text(start, at_ + (scan.malformed ? 0 : 1)), LexFault::MalformedNumber);
    }
    set(TokenKind::Number, text(start, at_));
  }
  void lexString() {
    // Up to the quote that is not doubled.
    const char* start = at_;
    const char* p = at_ + 1;
    for (;;) {
      const void* quote = std::memchr(p, '"', static_cast<std::size_t>(end_ - p));
      if (quote == nullptr) return set(TokenKind::Fault, text(start, end_), LexFault::UnclosedString);
      p = static_cast<const char*>(quote);
      if (p + 1 != end_ && p[1] == '"') {
        p += 2;
        continue;
      }
      break;
    }
    at_ = p + 1;
    set(TokenKind::String, text(start + 1, p));
  }
  // The rest of the punctuation, and characters that have no place in a script.
  void lexOther();
  // Field by field: a token built whole and copied costs a stalled load on every token.
  void set(TokenKind kind, std::string_view t, LexFault fault = LexFault::None) {
    token_.kind = kind;
    token_.text = t;
    token_.fault = fault;
  }

  const char* at_;
  const char* end_;
  Token token_;
};

// The message for a fault token: "unclosed string", "unexpected character ...",
// "malformed number '...'".
std::string faultMessage(const Token& fault);

// A string token's content as UTF-16 code units, a doubled quote read as one; false when the
// bytes are not valid UTF-8. `out` is overwritten, its storage reused.
bool decodeString(std::string_view content, std::u16string& out);

// The same content as UTF-8 with doubled quotes read as one, for messages.
std::string stringContent(std::string_view content);

}  // namespace trazo::script
