// Reads a call script line by line. A line of the plain form goes straight into the call
// list (plain_statement.hpp); any other is split into tokens, parsed as one member call,
// and its arguments are bound to the member's parameters and coerced exactly as late
// binding does. A statement without fault goes into the call list in its bound form, so
// every fault shows before the first statement runs and nothing is bound twice.
#include "script/script.hpp"

#include "automation/late_binding.hpp"
#include "automation/number_text.hpp"
#include "automation/variant.hpp"
#include "script/call_list.hpp"
#include "script/nearest_name.hpp"
#include "script/plain_statement.hpp"
#include "script/printable_text.hpp"
#include "script/script_lexer.hpp"
#include "script/script_lines.hpp"

#include <array>
#include <cstring>
#include <limits>

namespace trazo::script {
namespace {

std::string typeName(VarType t) {
  switch (t) {
    case VarType::Double: return "Double";
    case VarType::Long: return "Long";
    case VarType::String: return "String";
    default: return "?";
  }
}

// A token as a message quotes it: a string by its content.
std::string shown(const Token& t) { return quoted(t.text, t.kind == TokenKind::String); }

// A hint for a name that is not in the table: "; did you mean 'AddCircle'?", or nothing.
template <typename Items, typename NameOf>
std::string suggestion(std::string_view typed, const Items& items, NameOf nameOf) {
  const std::string_view nearest = nearestName(typed, items, nameOf);
  return nearest.empty() ? std::string() : "; did you mean '" + std::string(nearest) + "'?";
}

// One argument as written: a number (its sign applied) or a string.
struct Value {
  bool isText = false;
  double number = 0;
  std::string_view text;  // a string's content as written
};

struct Argument {
  std::int32_t param = -1;  // the parameter a named argument names; -1 for a positional one
  Value value;
};

// One statement as parsed; only as many arguments are kept as a member can take, since a
// statement with more fails binding on their count alone.
struct Statement {
  const MemberInfo* member = nullptr;
  std::array<Argument, kMostParams> arguments;
  std::array<std::u16string, kMostParams> texts;      // each kept string argument, decoded
  std::array<std::u16string, kMostParams> formatted;  // a number bound to a String parameter, as text
  std::array<BoundArgument, kMostParams> bound;       // the arguments in parameter order, coerced
  std::size_t count = 0;
  std::size_t named = 0;
};

class LineParser {
 public:
  LineParser(std::string_view line, Statement& st, std::u16string& scratch, std::string& fault)
      : lexer_(line), st_(st), scratch_(scratch), fault_(fault) {}

  // Parses the line into the statement (no member for a line without one); false with the
  // fault in words when it cannot be.
  bool parse() {
    if (is(TokenKind::End)) return true;
    if (is(TokenKind::Name) && namesMatch(token().text, "Set")) return parseCreateObject();
    if (is(TokenKind::Name) && lexer_.dotFollows()) advance(), advance();  // an object prefix
    if (!is(TokenKind::Name)) return fail("expected a member name");
    const std::string_view name = token().text;
    st_.member = findMember(name);
    if (st_.member == nullptr) {
      return fail("unknown member " + quoted(name) +
                  suggestion(name, kMembers, [](const MemberInfo& m) { return m.name; }));
    }
    advance();

    const bool parenthesised = is(TokenKind::LeftParen);
    if (parenthesised) advance();
    if (!(parenthesised && is(TokenKind::RightParen)) && !is(TokenKind::End)) {
      for (;;) {
        // Plain numbers and strings, what nearly every argument is, are read right here.
        const bool kept = st_.count < kMostParams;
        Value& value = kept ? st_.arguments[st_.count].value : ignored_;
        std::u16string& decoded = kept ? st_.texts[st_.count] : scratch_;
        const bool plain = is(TokenKind::Number) || is(TokenKind::String);
        if (plain && st_.named > 0) return fail("positional argument after a named one");
        std::int32_t param = -1;
        if (is(TokenKind::Number)   ? !readNumber(value, false)
            : is(TokenKind::String) ? !readString(value, decoded)
                                    : !parseArgument(value, decoded, param)) {
          return false;
        }
        if (kept) st_.arguments[st_.count].param = param;
        ++st_.count;
        if (!is(TokenKind::Comma)) break;
        advance();
      }
    }
    if (parenthesised) {
      if (!is(TokenKind::RightParen)) return fail("expected ')'");
      advance();
    }
    if (!is(TokenKind::End)) return fail("unexpected " + shown(token()) + " after the arguments");
    return true;
  }

 private:
  const Token& token() const { return lexer_.token(); }
  bool is(TokenKind kind) const { return lexer_.token().kind == kind; }
  void advance() { lexer_.advance(); }

  // A fault of the tokens themselves anywhere on the line comes first: such a line was never
  // a statement at all.
  bool fail(std::string message) {
    while (!is(TokenKind::End) && !is(TokenKind::Fault)) advance();
    fault_ = is(TokenKind::Fault) ? faultMessage(token()) : std::move(message);
    return false;
  }

  // Set t = CreateObject("Trazolib.Trazo") makes a script valid VBScript; it creates nothing
  // here since the script already runs against one control.
  bool parseCreateObject() {
    const TokenKind shape[] = {TokenKind::Name,      TokenKind::Name,   TokenKind::Assign,     TokenKind::Name,
                               TokenKind::LeftParen, TokenKind::String, TokenKind::RightParen, TokenKind::End};
    Token tokens[std::size(shape)];
    bool ok = true;
    for (std::size_t i = 0; i < std::size(shape); ++i) {
      tokens[i] = token();
      ok = ok && tokens[i].kind == shape[i];
      advance();
    }
    if (!ok || !namesMatch(tokens[3].text, "CreateObject")) {
      return fail("expected Set NAME = CreateObject(\"" + std::string(kProgId) + "\")");
    }
    // Only a string no longer than the identifier with every quote doubled can name it.
    const std::string_view written = tokens[5].text;
    if (written.size() > 2 * kProgId.size() || !namesMatch(stringContent(written), kProgId)) {
      return fail("cannot create " + shown(tokens[5]));
    }
    return true;
  }

  // A named argument, a signed number, or what is no argument at all.
  bool parseArgument(Value& value, std::u16string& decoded, std::int32_t& param) {
    if (is(TokenKind::Name) && lexer_.namedAssignFollows()) {
      const std::string_view name = token().text;
      const auto found = findParam(*st_.member, name);
      if (!found) {
        return fail("unknown argument " + quoted(name) + " for " + std::string(st_.member->name) +
                    suggestion(name, st_.member->params, [](const ParamInfo& p) { return p.name; }));
      }
      param = *found;
      advance(), advance();
      ++st_.named;
    } else if (st_.named > 0) {
      return fail("positional argument after a named one");
    }
    bool negative = false;
    if (is(TokenKind::Plus) || is(TokenKind::Minus)) {
      negative = is(TokenKind::Minus);
      advance();
      if (!is(TokenKind::Number)) return fail("expected a number after the sign");
    }
    if (is(TokenKind::Number)) return readNumber(value, negative);
    if (is(TokenKind::String)) return readString(value, decoded);
    if (is(TokenKind::End) || is(TokenKind::Comma) || is(TokenKind::RightParen)) return fail("missing argument");
    return fail("expected a number or a string, not " + shown(token()));
  }

  bool readNumber(Value& value, bool negative) {
    const std::string_view digits = token().text;
    if (!numberValue(digits, token().number, value.number)) {
      return fail("number " + quoted(digits) + " is out of range");
    }
    if (negative) value.number = -value.number;
    value.isText = false;
    advance();
    return true;
  }

  bool readString(Value& value, std::u16string& decoded) {
    const std::string_view content = token().text;
    if (!decodeString(content, decoded)) return fail("string is not valid UTF-8");
    if (decoded.size() > std::numeric_limits<std::uint32_t>::max()) return fail("string is too long");
    value.isText = true;
    value.text = content;
    advance();
    return true;
  }

  Lexer lexer_;
  Statement& st_;
  std::u16string& scratch_;  // the decoded text of an argument beyond those kept
  Value ignored_;
  std::string& fault_;
};

// Binds the statement's arguments to its member's parameters and coerces each, as late
// binding's bindArguments does and in its order of checks, then writes the bound call to
// `calls` (when given). False with the fault in words when it cannot be bound.
bool bindStatement(Statement& st, std::size_t line, CallList* calls, std::string& fault) {
  const MemberInfo& m = *st.member;
  const std::size_t count = m.params.size();
  if (st.count != count) {
    fault = std::string(m.name) + " takes " + std::to_string(count) + (count == 1 ? " argument" : " arguments") +
            ", not " + std::to_string(st.count);
    return false;
  }
  std::array<const Argument*, kMostParams> given{};
  const std::size_t positional = count - st.named;
  for (std::size_t i = 0; i < count; ++i) {
    const Argument& a = st.arguments[i];
    const std::size_t param = i < positional ? i : static_cast<std::size_t>(a.param);
    if (given[param] != nullptr) {
      fault = "argument '" + std::string(m.params[param].name) + "' of " + std::string(m.name) + " is given twice";
      return false;
    }
    given[param] = &a;
  }

  std::size_t textUnits = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const Value& v = given[i]->value;
    const ParamInfo& p = m.params[i];
    BoundArgument& b = st.bound[i];
    if (p.type == VarType::String) {
      if (v.isText) {
        b.text = st.texts[static_cast<std::size_t>(given[i] - st.arguments.data())];
      } else {
        st.formatted[i] = formatDouble(v.number);
        b.text = st.formatted[i];
      }
      textUnits += b.text.size();
      continue;
    }
    Status s = status::ok;
    b.number = v.number;
    if (v.isText) {
      const std::u16string& text = st.texts[static_cast<std::size_t>(given[i] - st.arguments.data())];
      s = p.type == VarType::Long ? longFromText(text, b.integer) : doubleFromText(text, b.number);
    } else if (p.type == VarType::Long) {
      s = roundToLong(b.number, b.integer);
    }
    if (failed(s)) {
      const std::string what = "argument '" + std::string(p.name) + "' of " + std::string(m.name);
      fault =
          what + (s == status::dispOverflow ? " is out of range for " : " cannot be converted to ") + typeName(p.type);
      return false;
    }
  }
  if (calls != nullptr) calls->add(line, m, std::span(st.bound).first(count), textUnits);
  return true;
}

}  // namespace

Script::Script() : calls_(std::make_unique<CallList>()) {}
Script::Script(Script&&) noexcept = default;
Script& Script::operator=(Script&&) noexcept = default;
Script::~Script() = default;

std::size_t Script::statementCount() const { return calls_->size(); }

std::size_t readLines(std::string_view text, std::string_view fileName, std::size_t firstLine, Listener* listener,
                      CallList& calls, std::vector<std::string>& faults) {
  const std::string name = printable(fileName);
  PlainStatementReader plain;
  Statement st;
  std::u16string scratch;
  std::string fault;
  std::size_t lineNumber = firstLine - 1;
  const auto report = [&](const std::string& what) {
    faults.push_back(name + ":" + std::to_string(lineNumber) + ": " + what);
  };
  static const std::string tooLong = "the line is longer than " + std::to_string(kLongestLine >> 20) + " MiB";
  while (!text.empty() || lineNumber == firstLine - 1) {
    ++lineNumber;
    if (listener != nullptr && lineNumber % kProgressLines == 0) listener->progress({lineNumber, 0, false});
    if (const std::size_t length = plain.read(text, lineNumber, calls); length != plain.kNotPlain) {
      if (length > kLongestLine) report(tooLong);
      text.remove_prefix(length == text.size() ? length : length + 1);
      continue;
    }
    const void* newline = std::memchr(text.data(), '\n', text.size());
    const std::size_t length =
        newline == nullptr ? text.size() : static_cast<std::size_t>(static_cast<const char*>(newline) - text.data());
    const std::string_view line = text.substr(0, length);
    text.remove_prefix(newline == nullptr ? length : length + 1);
    if (length > kLongestLine) {
      report(tooLong);
      continue;
    }

    st.member = nullptr;
    st.count = 0;
    st.named = 0;
    const bool ok = LineParser(line, st, scratch, fault).parse() &&
                    (st.member == nullptr || bindStatement(st, lineNumber, &calls, fault));
    if (!ok) report(fault);
  }
  return lineNumber;
}

}  // namespace trazo::script
