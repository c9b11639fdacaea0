#include "tools/trazo/script_lexer.hpp"

#include <cstdint>

namespace trazo::script {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isNameChar(char c) { return isNameStart(c) || isDigit(c); }

// digits [. digits] [E [sign] digits], or . digits [...]; returns the length, 0 if none.
std::size_t numberLength(std::string_view s, std::size_t i, std::string& error) {
  const std::size_t start = i;
  std::size_t digits = 0;
  while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) {
      error = "malformed number '" + std::string(s.substr(start, i - start)) + "'";
      return 0;
    }
  }
  if (i < s.size() && (isNameChar(s[i]) || s[i] == '.')) {
    error = "malformed number '" + std::string(s.substr(start, i - start + 1)) + "'";
    return 0;
  }
  return i - start;
}

}  // namespace

bool tokenizeLine(std::string_view line, std::vector<Token>& tokens, std::string& error) {
  tokens.clear();
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '\'') {
      break;
    } else if (isNameStart(c)) {
      const std::size_t start = i;
      while (i < line.size() && isNameChar(line[i])) ++i;
      tokens.push_back({TokenKind::Name, std::string(line.substr(start, i - start))});
    } else if (isDigit(c) || (c == '.' && i + 1 < line.size() && isDigit(line[i + 1]))) {
      const std::size_t length = numberLength(line, i, error);
      if (length == 0) return false;
      tokens.push_back({TokenKind::Number, std::string(line.substr(i, length))});
      i += length;
    } else if (c == '"') {
      std::string text;
      ++i;
      for (;;) {
        if (i >= line.size()) {
          error = "unclosed string";
          return false;
        }
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            text += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        text += line[i++];
      }
      tokens.push_back({TokenKind::String, std::move(text)});
    } else if (c == ':' && i + 1 < line.size() && line[i + 1] == '=') {
      tokens.push_back({TokenKind::NamedAssign, ":="});
      i += 2;
    } else {
      static constexpr struct {
        char c;
        TokenKind kind;
      } punctuation[] = {{'(', TokenKind::LeftParen}, {')', TokenKind::RightParen}, {',', TokenKind::Comma},
                         {'.', TokenKind::Dot},       {'=', TokenKind::Assign},     {'+', TokenKind::Plus},
                         {'-', TokenKind::Minus}};
      bool known = false;
      for (const auto& p : punctuation) {
        if (p.c == c) {
          tokens.push_back({p.kind, std::string(1, c)});
          known = true;
          break;
        }
      }
      if (!known) {
        const auto byte = static_cast<unsigned char>(c);
        error = byte < 0x20 || byte >= 0x7F ? "unexpected character (byte " + std::to_string(byte) + ")"
                                            : "unexpected character '" + std::string(1, c) + "'";
        return false;
      }
      ++i;
    }
  }
  return true;
}

bool utf8ToUtf16(std::string_view utf8, std::u16string& out) {
  out.clear();
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
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
    if (extra > 0 && i + extra >= utf8.size()) return false;  // cut off at the end
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
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

}  // namespace trazo::script
