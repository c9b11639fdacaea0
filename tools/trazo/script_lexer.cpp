#include "tools/trazo/script_lexer.hpp"

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
    case LexFault::MalformedNumber: return "malformed number '" + std::string(fault.text) + "'";
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
    std::size_t extra = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      cp = lead & 0x1Fu, extra = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      cp = lead & 0x0Fu, extra = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      cp = lead & 0x07u, extra = 3;
    } else {
      return false;
    }
    if (extra > 0 && i + extra >= content.size()) return false;  // cut off at the end
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(content[i + k]);
      if ((next & 0xC0u) != 0x80u) return false;
      cp = (cp << 6) | (next & 0x3Fu);
    }
    // overlong forms, surrogates and values beyond U+10FFFF are not UTF-8
    if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += extra + 1;
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
