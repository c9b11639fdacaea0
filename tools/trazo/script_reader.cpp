// Reads a call script. Each line is split into tokens, parsed as one member call, and its
// arguments are bound and coerced exactly as late binding will do when the script runs, so
// every fault shows before the first statement runs.
#include "tools/trazo/script.hpp"

#include "tools/trazo/script_lexer.hpp"

#include <optional>

namespace trazo::script {
namespace {

bool sameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string typeName(VarType t) {
  switch (t) {
    case VarType::Double: return "Double";
    case VarType::Long: return "Long";
    case VarType::String: return "String";
    default: return "?";
  }
}

class LineParser {
 public:
  explicit LineParser(const std::vector<Token>& tokens) : tokens_(tokens) {}

  // Parses one statement into `st`; returns an error message or nothing.
  std::optional<std::string> parse(Statement& st) {
    if (atEnd()) return std::nullopt;
    if (isWord(0, "Set")) return parseCreateObject();
    if (peekKind(0, TokenKind::Name) && peekKind(1, TokenKind::Dot)) pos_ += 2;  // object prefix
    if (!peekKind(0, TokenKind::Name)) return "expected a member name";
    const std::string name = tokens_[pos_++].text;
    st.member = findMember(name);
    if (st.member == nullptr) return "unknown member '" + name + "'";

    bool parenthesised = false;
    if (peekKind(0, TokenKind::LeftParen)) {
      parenthesised = true;
      ++pos_;
    }
    if (!(parenthesised && peekKind(0, TokenKind::RightParen)) && !atEnd()) {
      for (;;) {
        if (auto error = parseArgument(st)) return error;
        if (peekKind(0, TokenKind::Comma)) {
          ++pos_;
          continue;
        }
        break;
      }
    }
    if (parenthesised) {
      if (!peekKind(0, TokenKind::RightParen)) return "expected ')'";
      ++pos_;
    }
    if (!atEnd()) return "unexpected '" + tokens_[pos_].text + "' after the arguments";
    return std::nullopt;
  }

 private:
  // Set t = CreateObject("Trazolib.Trazo") makes a script valid VBScript; it creates nothing
  // here since the script already runs against one control.
  std::optional<std::string> parseCreateObject() {
    const bool ok = tokens_.size() == 7 && peekKind(1, TokenKind::Name) && peekKind(2, TokenKind::Assign) &&
                    isWord(3, "CreateObject") && peekKind(4, TokenKind::LeftParen) &&
                    peekKind(5, TokenKind::String) && peekKind(6, TokenKind::RightParen);
    if (!ok) return "expected Set NAME = CreateObject(\"" + std::string(kProgId) + "\")";
    if (!sameWord(tokens_[5].text, kProgId)) return "cannot create '" + tokens_[5].text + "'";
    pos_ = tokens_.size();
    return std::nullopt;
  }

  std::optional<std::string> parseArgument(Statement& st) {
    std::optional<std::int32_t> param;
    if (peekKind(0, TokenKind::Name) && peekKind(1, TokenKind::NamedAssign)) {
      const std::string& argName = tokens_[pos_].text;
      param = findParam(*st.member, argName);
      if (!param) return "unknown argument '" + argName + "' for " + std::string(st.member->name);
      pos_ += 2;
    } else if (!st.named.empty()) {
      return "positional argument after a named one";
    }
    Variant value;
    if (auto error = parseValue(value)) return error;
    if (param) {
      st.named.push_back({*param, std::move(value)});
    } else {
      st.positional.push_back(std::move(value));
    }
    return std::nullopt;
  }

  std::optional<std::string> parseValue(Variant& value) {
    bool negative = false;
    if (peekKind(0, TokenKind::Plus) || peekKind(0, TokenKind::Minus)) {
      negative = tokens_[pos_].kind == TokenKind::Minus;
      ++pos_;
      if (!peekKind(0, TokenKind::Number)) return "expected a number after the sign";
    }
    if (peekKind(0, TokenKind::Number)) {
      const std::u16string digits(tokens_[pos_].text.begin(), tokens_[pos_].text.end());
      double number = 0;
      bool overflowed = false;
      if (!parseNumber(digits, number, overflowed)) return "number '" + tokens_[pos_].text + "' is out of range";
      ++pos_;
      value = negative ? -number : number;
      return std::nullopt;
    }
    if (peekKind(0, TokenKind::String)) {
      std::u16string text;
      if (!utf8ToUtf16(tokens_[pos_].text, text)) return "string is not valid UTF-8";
      ++pos_;
      value = std::move(text);
      return std::nullopt;
    }
    if (atEnd() || peekKind(0, TokenKind::Comma) || peekKind(0, TokenKind::RightParen)) return "missing argument";
    return "expected a number or a string, not '" + tokens_[pos_].text + "'";
  }

  bool atEnd() const { return pos_ >= tokens_.size(); }
  bool peekKind(std::size_t ahead, TokenKind kind) const {
    return pos_ + ahead < tokens_.size() && tokens_[pos_ + ahead].kind == kind;
  }
  bool isWord(std::size_t ahead, std::string_view word) const {
    return peekKind(ahead, TokenKind::Name) && sameWord(tokens_[pos_ + ahead].text, word);
  }

  const std::vector<Token>& tokens_;
  std::size_t pos_ = 0;
};

// What binding says of a statement's arguments, in words.
std::optional<std::string> checkBinding(const Statement& st) {
  std::vector<Variant> ordered;
  std::int32_t argError = -1;
  const Status s = bindArguments(*st.member, st.positional, st.named, ordered, argError);
  if (!failed(s)) return std::nullopt;
  const std::string member(st.member->name);
  const auto count = st.member->params.size();
  if (s == status::badParamCount) {
    return member + " takes " + std::to_string(count) + (count == 1 ? " argument" : " arguments") + ", not " +
           std::to_string(st.positional.size() + st.named.size());
  }
  const ParamInfo& p = st.member->params[static_cast<std::size_t>(argError)];
  const std::string what = "argument '" + std::string(p.name) + "' of " + member;
  if (s == status::paramNotFound) return what + " is given twice";
  if (s == status::dispOverflow) return what + " is out of range for " + typeName(p.type);
  return what + " cannot be converted to " + typeName(p.type);
}

}  // namespace

Script readScript(std::string_view text, std::string_view fileName) {
  Script script;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a UTF-8 byte order mark
  std::vector<Token> tokens;
  int lineNumber = 0;
  while (!text.empty() || lineNumber == 0) {
    ++lineNumber;
    const std::size_t newline = text.find('\n');
    const std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    auto fault = [&](const std::string& message) {
      script.errors.push_back(std::string(fileName) + ":" + std::to_string(lineNumber) + ": " + message);
    };

    std::string error;
    if (!tokenizeLine(line, tokens, error)) {
      fault(error);
      continue;
    }
    Statement st;
    st.line = lineNumber;
    if (auto parseError = LineParser(tokens).parse(st)) {
      fault(*parseError);
      continue;
    }
    if (st.member == nullptr) continue;  // blank, comment, or Set ... = CreateObject(...)
    if (auto bindError = checkBinding(st)) {
      fault(*bindError);
      continue;
    }
    script.statements.push_back(std::move(st));
  }
  return script;
}

}  // namespace trazo::script
