#include "script/plain_statement.hpp"

#include "automation/late_binding.hpp"
#include "automation/number_text.hpp"
#include "automation/variant.hpp"
#include "script/script_lexer.hpp"

#include <cstring>

namespace trazo::script {
namespace {

using lexer::is;

const char* skipBlanks(const char* p, const char* end) {
  while (p != end && is(*p, lexer::kBlank)) ++p;
  return p;
}

// The number at p, signed; nullptr unless it is a whole number token with a value.
const char* readNumber(const char* p, const char* end, double& value) {
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  if (p == end || !(is(*p, lexer::kDigit) || (*p == '.' && p + 1 != end && is(p[1], lexer::kDigit)))) return nullptr;
  NumberScan scan;
  const std::string_view digits(p, static_cast<std::size_t>(end - p));
  scanNumber(digits, scan);
  const char* after = p + scan.length;
  if (scan.malformed || (after != end && (is(*after, lexer::kNameChar) || *after == '.'))) return nullptr;
  if (!numberValue(digits.substr(0, scan.length), scan, value)) return nullptr;
  if (negative) value = -value;
  return after;
}

// The string at p, decoded into `text`; nullptr unless it is a whole, valid string token
// of at most kPlainTextUnits code units on this line.
const char* readString(const char* p, const char* end, std::u16string& text) {
  if (p == end || *p != '"') return nullptr;
  const char* q = p + 1;
  for (;;) {
    const void* quote = std::memchr(q, '"', static_cast<std::size_t>(end - q));
    if (quote == nullptr) return nullptr;
    q = static_cast<const char*>(quote);
    if (q + 1 != end && q[1] == '"') {
      q += 2;
      continue;
    }
    break;
  }
  const std::string_view content(p + 1, static_cast<std::size_t>(q - p - 1));
  // The text runs on to the end of the script: the string must end on its own line.
  if (content.size() > kPlainTextUnits || content.find('\n') != std::string_view::npos) return nullptr;
  if (!decodeString(content, text)) return nullptr;
  return q + 1;
}

}  // namespace

std::size_t PlainStatementReader::read(std::string_view text, std::size_t lineNumber, CallList& calls) {
  const char* end = text.data() + text.size();
  const char* p = skipBlanks(text.data(), end);
  if (p == end || !is(*p, lexer::kNameStart)) return kNotPlain;
  const char* name = p;
  while (p != end && is(*p, lexer::kNameChar)) ++p;
  const MemberInfo* member = findMember(std::string_view(name, static_cast<std::size_t>(p - name)));
  if (member == nullptr) return kNotPlain;

  const auto params = member->params;
  CallList::Writer writer =
      calls.begin(lineNumber, *member, CallList::mostBytes(*member, params.size() * kPlainTextUnits));
  for (std::size_t i = 0; i < params.size(); ++i) {
    p = skipBlanks(p, end);
    if (i > 0) {
      if (p == end || *p != ',') return kNotPlain;
      p = skipBlanks(p + 1, end);
    }
    if (params[i].type == VarType::String) {
      p = readString(p, end, text_);
      if (p == nullptr) return kNotPlain;
      char16_t* units = writer.putText(text_.size());
      if (!text_.empty()) std::memcpy(units, text_.data(), text_.size() * sizeof(char16_t));
      continue;
    }
    double number = 0;
    p = readNumber(p, end, number);
    if (p == nullptr) return kNotPlain;
    if (params[i].type == VarType::Double) {
      writer.put(number);
      continue;
    }
    std::int32_t integer = 0;
    if (failed(roundToLong(number, integer))) return kNotPlain;
    writer.put(integer);
  }
  p = skipBlanks(p, end);
  if (p != end && *p == '\'') {  // a comment, up to the end of the line
    const void* newline = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    p = newline == nullptr ? end : static_cast<const char*>(newline);
  }
  if (p != end && *p != '\n') return kNotPlain;
  calls.commit(writer);
  return static_cast<std::size_t>(p - text.data());
}

}  // namespace trazo::script
