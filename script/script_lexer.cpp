#include "script/script_lexer.hpp"

#include "script/printable_text.hpp"
#include "script/utf8.hpp"

#include <cstdint>
#include <cstring>

namespace trazo::script {
void Lexer::lexOther() {
  const char c = *at_;
  if (c == ':' && at_ + 1 != end_ && at_[1] == '=') {
    set(TokenKind::NamedAssign, text(at_, at_ + 2));
    at_ += 2;
    return;
  }
  static constexpr struct {
    char c;
    TokenKind kind;
  } kPunctuation[] = {{'(', TokenKind::LeftParen}, {')', TokenKind::RightParen}, {'.', TokenKind::Dot},
                      {'=', TokenKind::Assign},    {'+', TokenKind::Plus},       {'-', TokenKind::Minus}};
  for (const auto& p : kPunctuation) {
    if (p.c == c) return punctuation(p.kind);
  }
  set(TokenKind::Fault, text(at_, at_ + 1), LexFault::UnexpectedCharacter);
}

std::string faultMessage(const Token& fault) {
  switch (fault.fault) {
    case LexFault::UnclosedString: return "unclosed string";
    case LexFault::MalformedNumber: return "malformed number " + quoted(fault.text);
    case LexFault::UnexpectedCharacter: {
      const auto byte = static_cast<unsigned char>(fault.text.front());
      return byte < 0x20 || byte >= 0x7F ? "unexpected character (byte " + std::to_string(byte) + ")"
                                         : "unexpected character '" + std::string(fault.text) + "'";
    }
    case LexFault::None: break;
  }
  return "unexpected text";
}

bool decodeString(std::string_view content, std::u16string& out) {
  out.clear();
  std::size_t i = 0;
  while (i < content.size()) {
    const auto lead = static_cast<unsigned char>(content[i]);
    if (lead == '"') {  // the first of a doubled quote: the lexer let no single one through
      out += u'"';
      i += 2;
      continue;
    }
    std::uint32_t cp = 0;
    const std::size_t length = decodeUtf8(content.substr(i), cp);
    if (length == 0) return false;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += length;
  }
  return true;
}

std::string stringContent(std::string_view content) {
  std::string text;
  for (std::size_t i = 0; i < content.size(); ++i) {
    text += content[i];
    if (content[i] == '"') ++i;
  }
  return text;
}

}  // namespace trazo::script
